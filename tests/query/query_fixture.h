// A device session bound to a scripted get-data request, with the log lines of "PSW" captured.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "log/log_registry.h"
#include "query/device_query.h"
#include "query/plugin_usm.h"
#include "support/fake_get_data.h"
#include "support/log_capture.h"

namespace psw::test {

class QueryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        script.strict = true;  // every read the session makes is scripted
        usm.reset(pmc_create_plugin_usm(nullptr));
        ASSERT_NE(usm, nullptr);
        PSWUSMSettings zero;
        std::memset(&zero, 0, sizeof zero);
        usm->set_settings(0, zero);
        query.set_get_data_factory(fake_get_data_factory);
        ASSERT_EQ(query.init(1, "192.0.2.10", usm.get(), 500, 2, 0), PSW_SUCCESS);

        registry = pmc_log_registry(nullptr);
        ASSERT_NE(registry, nullptr);
        registry->reset();
        log = &LogCapture::attach("PSW");
        registry->get_logger("PSW", nullptr)->set_flags(0);
    }
    void TearDown() override { registry->reset(); }

    // Whether a captured line ends with the operation text.
    bool logged(const std::string& operation) const { return log->has_line_ending(operation); }

    FakeAgent script;
    OwnedPtr<IPSWPluginUSM> usm;
    PSWDeviceQuery query;
    CPmcLogRegistry* registry = nullptr;
    LogCapture* log = nullptr;
};

}  // namespace psw::test
