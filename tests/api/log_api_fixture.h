// A test of the exported log calls: leaves the process's log as it found it (the loggers' masks,
// which other tests of the same program set through LogCapture) and detaches every output the
// calls attached.
#pragma once

#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <vector>

#include "log/log_registry.h"
#include "psw/psw.h"

namespace psw::test {

class LogApiTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        registry_ = pmc_log_registry(nullptr);
        ASSERT_NE(registry_, nullptr);
        for (const char* name : kNames) {
            saved_.push_back(registry_->get_logger(name, nullptr)->get_level_mask());
        }
        detach_all();
    }

    void TearDown() override
    {
        detach_all();
        // The master first: setting it overwrites the others.
        for (size_t i = 0; i < saved_.size(); ++i) {
            registry_->get_logger(kNames[i], nullptr)->set_level_mask(saved_[i]);
        }
    }

    static void detach_all()
    {
        EXPECT_EQ(PSWLogDetachCallback(), PSW_SUCCESS);
        EXPECT_EQ(PSWLogDetachFile(), PSW_SUCCESS);
        EXPECT_EQ(PSWLogDetachStdout(), PSW_SUCCESS);
    }

    // Collects what the callback is given.
    struct Lines {
        std::mutex mutex;
        std::vector<std::string> lines;

        static void collect(void* context, const char* line)
        {
            auto* self = static_cast<Lines*>(context);
            std::lock_guard<std::mutex> guard(self->mutex);
            self->lines.emplace_back(line);
        }
        size_t size()
        {
            std::lock_guard<std::mutex> guard(mutex);
            return lines.size();
        }
    };

    static constexpr const char* kNames[] = {"All", "PSW", "socket", "snmp"};
    CPmcLogRegistry* registry_ = nullptr;
    std::vector<uint32_t> saved_;
};

}  // namespace psw::test
