// The settings every target kind shares; the kinds derive from it.
#pragma once

#include "snmp/snmp_target.h"

namespace psw {

class CPmsTargetBase : public IPmsSnmpTarget {
public:
    ~CPmsTargetBase() override { pms_release_target_address(m_address); }

    Result unsupported() noexcept override { return PSW_ERR_UNSUPPORTED; }
    Result set_version(int32_t version) noexcept override
    {
        return store_setting(m_version, version);
    }
    Result set_timeout(int32_t milliseconds) noexcept override
    {
        return store_setting(m_timeout, milliseconds);
    }
    Result set_retries(int32_t retries) noexcept override
    {
        return store_setting(m_retries, retries);
    }
    Result set_max_message_size(size_t bytes) noexcept override
    {
        return store_setting(m_max_message_size, bytes);
    }
    Result set_port(uint16_t port) noexcept override { return store_setting(m_port, port); }
    int32_t version() const noexcept override { return m_version; }
    int32_t timeout() const noexcept override { return m_timeout; }
    int32_t retries() const noexcept override { return m_retries; }
    size_t max_message_size() const noexcept override { return m_max_message_size; }
    uint16_t port() const noexcept override { return m_port; }
    Result set_address(const IPmcNetworkAddress* address) noexcept override
    {
        Result result = PSW_SUCCESS;
        IPmcNetworkAddress* copy = pms_clone_target_address(address, &result);
        if (result != PSW_SUCCESS) {
            return result;
        }
        pms_release_target_address(m_address);
        m_address = copy;
        return PSW_SUCCESS;
    }
    IPmcNetworkAddress* address() const noexcept override { return m_address; }

protected:
    // The common part of copy_from: a failing address copy is returned and stops the copy.
    // borrowed: `other` is only read (its address is cloned)
    Result copy_common(const IPmsSnmpTarget& other) noexcept
    {
        const Result result = set_address(other.address());
        if (result != PSW_SUCCESS) {
            return result;
        }
        m_version = other.version();
        m_timeout = other.timeout();
        m_retries = other.retries();
        m_max_message_size = other.max_message_size();
        m_port = other.port();
        return PSW_SUCCESS;
    }

private:
    int32_t m_version = kPmsVersionUnset;
    int32_t m_timeout = -1;
    int32_t m_retries = 0;
    size_t m_max_message_size = 0;
    uint16_t m_port = 0;
    IPmcNetworkAddress* m_address = nullptr;
};

}  // namespace psw
