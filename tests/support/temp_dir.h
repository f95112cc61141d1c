// A private temporary folder for one test's peer files (configs, data, logs).
#pragma once

#include <string>

namespace psw::test {

// Creates /tmp/psw-test-<tag>-XXXXXX (mode 0755, so agents that drop to `nobody` can read it)
// and removes it with everything in it when the object ends. The folder is kept, and its path
// printed, when the running test has failed or PSW_KEEP_TEST_DIRS is set, so logs survive.
class TempDir {
public:
    explicit TempDir(const std::string& tag = "tmp");
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    // path() + "/" + name
    std::string file(const std::string& name) const { return path_ + "/" + name; }
    // Writes text to path()/name (replacing it) and returns the full path; empty on failure.
    std::string write(const std::string& name, const std::string& text) const;

private:
    std::string path_;
};

// Whole contents of a file; empty when it cannot be read.
std::string read_text_file(const std::string& path);
// The last `max_lines` lines of a file, for failure messages.
std::string tail_of_file(const std::string& path, size_t max_lines = 20);

}  // namespace psw::test
