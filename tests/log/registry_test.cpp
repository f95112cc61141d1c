#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "core/interface_ids.h"
#include "log/log_outputs.h"
#include "log/log_registry.h"

namespace psw {
namespace {

namespace fs = std::filesystem;

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        registry = pmc_log_registry(nullptr);
        ASSERT_NE(registry, nullptr);
        registry->reset();
        dir = fs::temp_directory_path() /
              ("psw-log-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
               "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override
    {
        registry->reset();
        fs::remove_all(dir);
    }

    static IPmcLogFileOutput* as_file(IPmcLogOutput* output)
    {
        void* part = nullptr;
        EXPECT_EQ(output->query_interface(kIidPmcLogFileOutput, &part), PSW_SUCCESS);
        return static_cast<IPmcLogFileOutput*>(part);
    }

    static std::string read_file(const fs::path& path)
    {
        std::ifstream in(path);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    CPmcLogRegistry* registry = nullptr;
    fs::path dir;
};

TEST_F(RegistryTest, GetOutputCreatesOnceAndAnswersByName)
{
    IPmcLogOutput* console = registry->get_output("stdout", "console");
    ASSERT_NE(console, nullptr);
    EXPECT_STREQ(console->type_name(), "stdout");
    EXPECT_STREQ(console->name(), "console");
    EXPECT_EQ(registry->get_output("stdout", "console"), console);
    // Same name, other type: the null output of the requested type.
    IPmcLogOutput* other = registry->get_output("file", "console");
    ASSERT_NE(other, nullptr);
    EXPECT_STREQ(other->type_name(), "null_file");
    EXPECT_EQ(registry->get_output("syslog", "x"), nullptr);
    EXPECT_STREQ(registry->get_output(nullptr, "console")->type_name(), "null_standard");
    EXPECT_STREQ(registry->get_output("file", nullptr)->type_name(), "null_file");

    Result result = 1;
    EXPECT_EQ(registry->find_output("console", &result), console);
    EXPECT_EQ(result, PSW_SUCCESS);
    EXPECT_EQ(registry->find_output("missing", &result), pmc_null_standard_output());
    EXPECT_EQ(result, PSW_SUCCESS);
    EXPECT_EQ(registry->find_output(nullptr, &result), pmc_null_standard_output());
    EXPECT_EQ(result, PSW_ERR_PARAMETER);
}

TEST_F(RegistryTest, LoggerGroupIsOnlyTheMasters)
{
    registry->get_logger("PSW", nullptr);
    Result result = 0;
    IPmcLoggerGroup* group = registry->find_logger_group("All", &result);
    EXPECT_NE(group, nullptr);
    EXPECT_EQ(result, PSW_SUCCESS);
    EXPECT_EQ(registry->find_logger_group("PSW", &result), nullptr);
    EXPECT_EQ(result, PSW_ERR_FAILED);
    EXPECT_EQ(registry->find_logger_group("nobody", &result), nullptr);
    EXPECT_EQ(result, PSW_ERR_NOT_FOUND);
    EXPECT_NE(registry->find_logger_group(nullptr, &result), nullptr);
    EXPECT_EQ(result, PSW_ERR_PARAMETER);
    EXPECT_EQ(registry->find_logger_group_again("All", &result), group);
}

TEST_F(RegistryTest, FileOutputWithoutPathCannotWrite)
{
    IPmcLogFileOutput* file = as_file(registry->get_output("file", "log"));
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->write_line("line"), PSW_ERR_NOT_AVAILABLE);
    EXPECT_EQ(file->set_path(nullptr), PSW_ERR_PARAMETER);
}

TEST_F(RegistryTest, FileOutputRefusesLinesLongerThanItsLimit)
{
    IPmcLogFileOutput* file = as_file(registry->get_output("file", "log"));
    const fs::path path = dir / "psw.log";
    ASSERT_EQ(file->set_path(path.c_str()), PSW_SUCCESS);
    file->set_max_size(100);
    EXPECT_EQ(file->write_line(std::string(99, 'a').c_str()), PSW_ERR_TOO_LONG);
    EXPECT_EQ(file->write_line(std::string(98, 'b').c_str()), PSW_SUCCESS);
    EXPECT_EQ(read_file(path), std::string(98, 'b') + "\n");
}

TEST_F(RegistryTest, FileOutputRotatesToBakReplacingAnOlderBackup)
{
    IPmcLogFileOutput* file = as_file(registry->get_output("file", "log"));
    const fs::path path = dir / "psw.log";
    file->set_path(path.c_str());
    file->set_max_size(30);
    // Each line counts its length plus 2: 12 + 12 = 24 fits, a third line would make 36.
    EXPECT_EQ(file->write_line("first-line"), PSW_SUCCESS);
    EXPECT_EQ(file->write_line("second-lin"), PSW_SUCCESS);
    EXPECT_EQ(file->write_line("third-line"), PSW_SUCCESS);
    EXPECT_EQ(read_file(path), "third-line\n");
    EXPECT_EQ(read_file(dir / "psw.log.bak"), "first-line\nsecond-lin\n");
    EXPECT_EQ(file->write_line("fourth-lin"), PSW_SUCCESS);
    EXPECT_EQ(file->write_line("fifth-line"), PSW_SUCCESS);
    EXPECT_EQ(read_file(path), "fifth-line\n");
    EXPECT_EQ(read_file(dir / "psw.log.bak"), "third-line\nfourth-lin\n");
    EXPECT_FALSE(fs::exists(dir / "psw.log.bak.bak"));
}

TEST_F(RegistryTest, FileOutputCountsWhatTheFileAlreadyHolds)
{
    const fs::path path = dir / "existing.log";
    std::ofstream(path) << std::string(20, 'z') << "\n";
    IPmcLogFileOutput* file = as_file(registry->get_output("file", "log"));
    file->set_path(path.c_str());
    file->set_max_size(30);
    EXPECT_EQ(file->write_line("0123456789"), PSW_SUCCESS);  // 21 + 12 > 30: rotates first
    EXPECT_EQ(read_file(path), "0123456789\n");
    EXPECT_EQ(read_file(dir / "existing.log.bak"), std::string(20, 'z') + "\n");
}

TEST_F(RegistryTest, LoggerWritesFormattedLinesIntoTheFile)
{
    IPmcLogOutput* output = registry->get_output("file", "log");
    const fs::path path = dir / "lines.log";
    as_file(output)->set_path(path.c_str());
    IPmcLogger* logger = registry->create_logger("PSW", output, nullptr);
    logger->set_level_mask(kLogError);
    logger->set_flags(0);
    pmc_log("PSW", kLogError, "pGetData->init()", -203);
    EXPECT_EQ(read_file(path), std::string(23, ' ') + ",         ,         , PSW             , "
                                                      "Error, pGetData->init()\n");
}

TEST_F(RegistryTest, FileTypeReadsItsPathFromOptions)
{
    struct Options final : IPmcKeyValueSet {
        const char* path;
        bool has_key(const char* key) const noexcept override
        {
            return std::string(key) == "ExtentionName";
        }
        const char* value_of(const char*) const noexcept override { return path; }
    };
    std::unique_ptr<IPmcLogOutputType> type(pmc_create_file_output_type());
    ASSERT_NE(type, nullptr);
    EXPECT_STREQ(type->type_name(), "file");
    EXPECT_STREQ(type->create(nullptr, nullptr)->type_name(), "null_file");

    Options with_path;
    const std::string path = (dir / "opt.log").string();
    with_path.path = path.c_str();
    IPmcLogOutput* output = type->create("opt", &with_path);
    ASSERT_NE(output, nullptr);
    EXPECT_STREQ(output->type_name(), "file");
    EXPECT_EQ(output->write_line("via options"), PSW_SUCCESS);
    EXPECT_EQ(read_file(path), "via options\n");
    output->destroy();

    Options empty_path;
    empty_path.path = "";
    EXPECT_STREQ(type->create("opt2", &empty_path)->type_name(), "null_file");
}

}  // namespace
}  // namespace psw
