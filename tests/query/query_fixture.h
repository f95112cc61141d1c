// A device session bound to a scripted get-data request, with the log lines of "PSW" captured.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "log/capture_output.h"
#include "log/log_registry.h"
#include "query/device_query.h"
#include "query/fake_get_data.h"
#include "query/plugin_usm.h"

namespace psw::test {

class QueryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_get_data_script = &script;
        usm.reset(pmc_create_plugin_usm(nullptr));
        ASSERT_NE(usm, nullptr);
        PSWUSMSettings zero;
        std::memset(&zero, 0, sizeof zero);
        usm->set_settings(0, zero);
        query.set_get_data_factory(fake_create_get_data);
        ASSERT_EQ(query.init(1, "192.0.2.10", usm.get(), 500, 2, 0), PSW_SUCCESS);

        registry = pmc_log_registry(nullptr);
        ASSERT_NE(registry, nullptr);
        registry->reset();
        IPmcLogger* logger = registry->get_logger("PSW", nullptr);
        ASSERT_NE(logger, nullptr);
        logger->add_output(&capture);
        logger->set_level_mask(kLogAll);
        logger->set_flags(0);
    }
    void TearDown() override
    {
        registry->reset();
        g_get_data_script = nullptr;
    }

    // Whether a captured line ends with the operation text.
    bool logged(const std::string& operation) const { return capture.has_line_ending(operation); }

    GetDataScript script;
    OwnedPtr<IPSWPluginUSM> usm;
    PSWDeviceQuery query;
    CPmcLogRegistry* registry = nullptr;
    CaptureOutput capture;
};

}  // namespace psw::test
