#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <vector>

namespace psw::test {

TempDir::TempDir(const std::string& tag)
{
    std::string pattern = "/tmp/psw-test-" + tag + "-XXXXXX";
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back('\0');
    if (!mkdtemp(buf.data())) throw std::runtime_error("mkdtemp failed for " + pattern);
    path_ = buf.data();
    chmod(path_.c_str(), 0755);
}

TempDir::~TempDir()
{
    if (path_.empty()) return;
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    bool failed = test && test->result() && test->result()->Failed();
    const char* keep = getenv("PSW_KEEP_TEST_DIRS");
    if (failed || (keep && *keep)) {
        std::cerr << "[psw-test] kept " << path_ << " for diagnosis\n";
        return;
    }
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

std::string TempDir::write(const std::string& name, const std::string& text) const
{
    std::string full = file(name);
    std::ofstream out(full, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    if (!out) return {};
    chmod(full.c_str(), 0644);
    return full;
}

std::string read_text_file(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

std::string tail_of_file(const std::string& path, size_t max_lines)
{
    std::string text = read_text_file(path);
    size_t pos = text.size();
    if (pos && text[pos - 1] == '\n') --pos;
    size_t lines = 0;
    while (pos > 0) {
        if (text[pos - 1] == '\n' && ++lines == max_lines) break;
        --pos;
    }
    return text.substr(pos);
}

}  // namespace psw::test
