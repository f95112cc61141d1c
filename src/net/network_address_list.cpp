#include "net/network_address_list.h"

#include "core/factory.h"

namespace psw {

namespace {

class CPmcNetworkAddressList final : public IPmcNetworkAddressList {
public:
    ~CPmcNetworkAddressList()
    {
        for (size_t i = 0; i < m_count; ++i) {
            m_items[i]->release();
        }
        delete[] m_items;
    }

    Result append(IPmcNetworkAddress* address) noexcept override
    {
        if (address == nullptr) {
            return PSW_ERR_PARAMETER;
        }
        if (m_count == m_capacity) {
            const size_t capacity = m_capacity == 0 ? 4 : m_capacity * 2;
            auto* items = new (std::nothrow) IPmcNetworkAddress*[capacity];
            if (items == nullptr) {
                return PSW_ERR_NO_MEMORY;
            }
            for (size_t i = 0; i < m_count; ++i) {
                items[i] = m_items[i];
            }
            delete[] m_items;
            m_items = items;
            m_capacity = capacity;
        }
        m_items[m_count++] = address;
        return PSW_SUCCESS;
    }

    size_t count() const noexcept override { return m_count; }

    IPmcNetworkAddress* at(size_t index) const noexcept override
    {
        return index < m_count ? m_items[index] : nullptr;
    }

    void destroy() noexcept override { delete this; }

private:
    IPmcNetworkAddress** m_items = nullptr;
    size_t m_count = 0;
    size_t m_capacity = 0;
};

}  // namespace

IPmcNetworkAddressList* create_address_list(Result* result) noexcept
{
    IPmcNetworkAddressList* list = pmc_new<CPmcNetworkAddressList>();
    set_result(result, list != nullptr ? PSW_SUCCESS : PSW_ERR_NO_MEMORY);
    return list;
}

}  // namespace psw
