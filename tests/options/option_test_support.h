// Shared pieces of the option set tests: option classes with their protected parts opened, a
// settings object, a capture of the "PSW" log lines and a scripted printer of the supported
// model.
#pragma once

#include "support/log_capture.h"

#include <mutex>
#include <string>
#include <vector>

#include "log/log_registry.h"
#include "psw/psw_options.h"
#include "query/plugin_usm.h"
#include "support/fake_get_data.h"

namespace psw::test {

// The generic option set with the one operation it leaves open.
class GenericOption : public CPSWDevCommOption {
public:
    bool is_supported_OID(const char* oid) noexcept override { return oid == nullptr; }
};

// An option class with the protected operations and members reachable, talking to the
// current FakeAgent.
template <class Base>
class Exposed : public Base {
public:
    Exposed() { this->set_get_data_factory(fake_get_data_factory); }

    using Base::ConvertMediumLevel;
    using Base::has_device_index;
    using Base::initialize_data;
    using Base::MediaDimensionToMediumSize;
    using Base::parse_version_value;
    using Base::refresh_fax_attributes;
    using Base::refresh_hrdevice_table;
    using Base::refresh_input_tray_table;
    using Base::refresh_memory_size;
    using Base::refresh_netware_attributes;
    using Base::refresh_output_tray_table;
    using Base::refresh_prt_media_table;
    using Base::refresh_system_attributes;
    using Base::refresh_xcm_hrdev_detail_setting;
    using Base::set_get_data_factory;

    using Base::m_address;
    using Base::m_authProtocol;
    using Base::m_community;
    using Base::m_communitySet;
    using Base::m_deviceCount;
    using Base::m_maxMessageSize;
    using Base::m_pAuthPassPhrase;
    using Base::m_pContextName;
    using Base::m_port;
    using Base::m_pPrivPassPhrase;
    using Base::m_privProtocol;
    using Base::m_protocol;
    using Base::m_pUserName;
    using Base::m_retries;
    using Base::m_romVersion;
    using Base::m_securityLevel;
    using Base::m_securityMode;
    using Base::m_timeout;
};

class ExposedBrambling : public Exposed<CPSWBramblingOption> {
public:
    using CPSWBramblingOption::m_deviceOid;
};

using ExposedGeneric = Exposed<GenericOption>;

class FakeUsm final : public IPSWPluginUSM {
public:
    void set_settings(int32_t, const PSWUSMSettings&) noexcept override {}
    void release() noexcept override {}
    int32_t security_mode() const noexcept override { return mode; }
    const char* user_name() const noexcept override { return user.c_str(); }
    int32_t security_level() const noexcept override { return level; }
    int32_t auth_protocol() const noexcept override { return auth; }
    int32_t priv_protocol() const noexcept override { return priv; }
    const char* auth_pass_phrase() const noexcept override { return authPass.c_str(); }
    const char* priv_pass_phrase() const noexcept override { return privPass.c_str(); }
    const char* context_name() const noexcept override { return context.c_str(); }

    int32_t mode = 2;
    std::string user = "operator";
    int32_t level = 1;
    int32_t auth = 2;
    int32_t priv = 0;
    std::string authPass = "auth-secret";
    std::string privPass = "priv-secret";
    std::string context = "ctx";
};

inline constexpr char kModelOid[] = "1.3.6.1.4.1.297.1.11.93.1.35.27.1";
inline constexpr char kHrDevice[] = "1.3.6.1.2.1.25.3.2.1.";
inline constexpr char kPrtInput[] = "1.3.6.1.2.1.43.8.2.1.";
inline constexpr char kPrtOutput[] = "1.3.6.1.2.1.43.9.2.1.";
inline constexpr char kMediaPath[] = "1.3.6.1.2.1.43.13.4.1.9.1.";
inline constexpr char kFaxBase[] = "1.3.6.1.4.1.253.8.64.4.2.1.5.10.1312414";
inline constexpr char kDetailBase[] = "1.3.6.1.4.1.253.8.53.13.2.1.6.";
inline constexpr char kSapOid[] = "1.3.6.1.4.1.253.8.64.4.2.1.7.10.19159104";

inline void add_device(FakeAgent& agent, int32_t index, const std::string& description,
                       int32_t status)
{
    const std::string suffix = std::to_string(index);
    agent.set_int(kHrDevice + std::string("1.") + suffix, index);
    agent.set_oid(kHrDevice + std::string("2.") + suffix, "1.3.6.1.2.1.25.3.1.5");
    agent.set_text(kHrDevice + std::string("3.") + suffix, description);
    agent.set_int(kHrDevice + std::string("5.") + suffix, status);
}

struct TrayRow {
    int32_t type;
    int32_t dimUnit;
    int32_t feed;
    int32_t crossFeed;
    int32_t capacityUnit;
    int32_t maxCapacity;
    int32_t level;
    std::string name;
    std::string description;
    std::string mediaType;
};

inline void add_input_tray(FakeAgent& agent, int32_t row, const TrayRow& tray)
{
    const std::string suffix = ".1." + std::to_string(row);
    auto column = [&](int n) { return kPrtInput + std::to_string(n) + suffix; };
    agent.set_int(column(1), row);
    agent.set_int(column(2), tray.type);
    agent.set_int(column(3), tray.dimUnit);
    agent.set_int(column(4), tray.feed);
    agent.set_int(column(5), tray.crossFeed);
    agent.set_int(column(6), tray.feed);
    agent.set_int(column(7), tray.crossFeed);
    agent.set_int(column(8), tray.capacityUnit);
    agent.set_int(column(9), tray.maxCapacity);
    agent.set_int(column(10), tray.level);
    agent.set_int(column(11), 0);
    agent.set_text(column(12), "plain");
    agent.set_text(column(13), tray.name);
    agent.set_text(column(18), tray.description);
    agent.set_text(column(21), tray.mediaType);
}

inline void add_output_tray(FakeAgent& agent, int32_t row, int32_t type, const std::string& name,
                            int32_t offsetStacking)
{
    const std::string suffix = ".1." + std::to_string(row);
    agent.set_int(kPrtOutput + std::string("2") + suffix, type);
    agent.set_text(kPrtOutput + std::string("7") + suffix, name);
    agent.set_int(kPrtOutput + std::string("24") + suffix, offsetStacking);
}

// A printer of the supported model with a FAX unit, three input and two output trays.
inline void populate_printer(FakeAgent& agent)
{
    agent.set_text("1.3.6.1.2.1.1.1.0", "Marlowen-K T7150X");
    agent.set_oid("1.3.6.1.2.1.1.2.0", kModelOid);
    agent.set_text("1.3.6.1.2.1.1.5.0", "office-printer-3");
    agent.set_int("1.3.6.1.2.1.25.2.2.0", 262144);
    add_device(agent, 1, "Marlowen-K T7150X", 2);
    add_device(agent, 10, "Printer Controller v1.2.3 - Processor", 2);
    add_device(agent, 11, "Hard disk", 2);
    add_device(agent, 102, "Scanner", 2);
    add_device(agent, 103, "Copier", 3);
    add_device(agent, 104, "FAX", 2);
    add_device(agent, 107, "High capacity feeder", 2);
    add_device(agent, 141, "FAX SIP", 5);
    add_input_tray(agent, 1,
                   {4, 4, 297000, 210000, 8, 500, 249, "Tray 1", "Standard tray", "stationery"});
    add_input_tray(agent, 2,
                   {4, 4, 210000, 297000, 8, 500, -3, "Tray 2", "Second tray", "recycled"});
    add_input_tray(agent, 3, {5, 3, 100, 100, 3, 100, 50, "Bypass", "Manual feed", "labels"});
    add_output_tray(agent, 1, 3, "Center Tray", 3);
    add_output_tray(agent, 2, 3, "Side Tray", 4);
    agent.set_int(kMediaPath + std::string("1"), 2);
    agent.set_int(kMediaPath + std::string("2"), 4);
    agent.set_text(kSapOid, "PRN-SAP-01");
    agent.set_int(kFaxBase + std::string("1"), 1);
    agent.set_int(kFaxBase + std::string("2"), 0);
    agent.set_int(kFaxBase + std::string("3"), 200);
    agent.set_int(kDetailBase + std::string("1.1.1"), 1);
    agent.set_int(kDetailBase + std::string("1.1.2"), 0);
    agent.set_int(kDetailBase + std::string("1.1.4"), 2);
    agent.set_int(kDetailBase + std::string("1.1.5"), 8);
    agent.set_int(kDetailBase + std::string("1.1.6"), 1);
    agent.set_int(kDetailBase + std::string("104.1.1"), 3);
    // Objects after the tables, so that walks end in the next column or subtree.
    agent.set_int("1.3.6.1.2.1.43.14.1.1.1.1", 1);
    agent.set_int("1.3.6.1.2.1.25.3.3.1.1.1", 1);
}

}  // namespace psw::test
