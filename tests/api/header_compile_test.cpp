// The public headers compiled by the system compilers as C99, C11 and C++11: psw.h must be
// valid in each language mode with warnings as errors, every exported function must have its
// documented type, and the layout checks of psw_records.h must really stop a wrong layout.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/process.h"

namespace {

const std::string kIncludeDir = std::string(PSW_TEST_DATA_DIR) + "/../../include";
const std::string kDataDir = std::string(PSW_TEST_DATA_DIR) + "/api";

struct LanguageMode {
  const char* name;               // for test names
  const char* compiler;           // looked up in PATH
  std::vector<std::string> flags; // language and standard
  // The text of a failed static check in this mode: C99 has no static assertion and reports
  // the negative array size of the fallback instead of the message.
  bool reports_message;
};

std::ostream& operator<<(std::ostream& out, const LanguageMode& mode) { return out << mode.name; }

class HeaderCompile : public ::testing::TestWithParam<LanguageMode> {
 protected:
  // Compiles one file of tests/data/api (syntax only) and returns the compiler's result.
  psw::test::CommandResult compile(const std::string& file) const {
    const LanguageMode& mode = GetParam();
    const std::string compiler = psw::test::find_program(mode.compiler);
    EXPECT_FALSE(compiler.empty()) << "no `" << mode.compiler << "` in PATH";
    std::vector<std::string> argv = {compiler.empty() ? mode.compiler : compiler};
    argv.insert(argv.end(), mode.flags.begin(), mode.flags.end());
    for (const char* flag : {"-Wall", "-Wextra", "-pedantic-errors", "-Werror", "-fsyntax-only"})
      argv.push_back(flag);
    argv.push_back("-I" + kIncludeDir);
    argv.push_back(kDataDir + "/" + file);
    return psw::test::run_command(argv);
  }

  // All of the compiler's diagnostics.
  static std::string diagnostics(const psw::test::CommandResult& result) {
    return result.err + result.out;
  }
};

TEST_P(HeaderCompile, HeaderCompilesWithEveryFunctionOfItsDocumentedType) {
  const psw::test::CommandResult result = compile("psw_c_check.c");
  EXPECT_TRUE(result.ok()) << result.describe();
  EXPECT_EQ(diagnostics(result), "") << "the header must compile without a single warning";
}

TEST_P(HeaderCompile, AWrongSignatureIsRejected) {
  const psw::test::CommandResult result = compile("psw_c_bad_signature.c");
  EXPECT_FALSE(result.ok()) << "a signature check that cannot fail proves nothing";
  EXPECT_NE(diagnostics(result).find("PSWGetCharSet"), std::string::npos) << diagnostics(result);
}

TEST_P(HeaderCompile, AWrongRecordSizeIsRejected) {
  const psw::test::CommandResult result = compile("psw_c_bad_size.c");
  EXPECT_FALSE(result.ok()) << "the size checks of psw_records.h do not fire";
  const std::string expected = GetParam().reports_message ? "PSWJobInfo must be 1332 bytes"
                                                          : "psw_static_assert_line_";
  EXPECT_NE(diagnostics(result).find(expected), std::string::npos) << diagnostics(result);
}

TEST_P(HeaderCompile, AWrongFieldOffsetIsRejected) {
  const psw::test::CommandResult result = compile("psw_c_bad_offset.c");
  EXPECT_FALSE(result.ok()) << "the offset checks of psw_records.h do not fire";
  const std::string expected = GetParam().reports_message ? "PSWJobInfo.job_id must be at 789"
                                                          : "psw_static_assert_line_";
  EXPECT_NE(diagnostics(result).find(expected), std::string::npos) << diagnostics(result);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, HeaderCompile,
    ::testing::Values(LanguageMode{"C99", "cc", {"-x", "c", "-std=c99", "-Wstrict-prototypes"}, false},
                      LanguageMode{"C11", "cc", {"-x", "c", "-std=c11", "-Wstrict-prototypes"}, true},
                      LanguageMode{"Cxx11", "c++", {"-x", "c++", "-std=c++11"}, true}),
    [](const ::testing::TestParamInfo<LanguageMode>& info) { return std::string(info.param.name); });

}  // namespace
