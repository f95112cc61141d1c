// Running the psw program in tests, and reading its JSON output with Python's json module.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <string>
#include <vector>

#include "support/process.h"
#include "support/temp_dir.h"

namespace psw::test {

// Runs the psw program built beside the tests with its output captured (not a terminal).
inline CommandResult run_psw(const std::vector<std::string>& args, int timeout_ms = 30000);

// Empty when `text` is one well-formed JSON document for /usr/bin/python3's json module;
// otherwise Python's complaint.
inline std::string json_error(const std::string& text);

// Evaluates a Python expression over the document `d` parsed from `text` and returns
// json.dumps of its value, e.g. json_eval(out, "[t['name'] for t in d['input_trays']]")
// gives "[\"Tray 1\", ...]". On a parse or evaluation failure returns "ERROR: ...".
inline std::string json_eval(const std::string& text, const std::string& expression);

// True when the library's device layer answers "not supported" (PSW_ERR_UNSUPPORTED) in `result`,
// i.e. the call that was to reach a printer did not exist yet in this build.
inline bool device_layer_missing(const CommandResult& result);

}  // namespace psw::test

namespace psw::test {

inline CommandResult run_psw(const std::vector<std::string>& args, int timeout_ms)
{
    std::vector<std::string> argv = {PSW_CLI_PATH};
    argv.insert(argv.end(), args.begin(), args.end());
    CommandOptions options;
    options.timeout = std::chrono::milliseconds(timeout_ms);
    options.env = {{"PSW_NO_PROGRESS", std::nullopt}};
    return run_command(argv, options);
}

namespace detail {

inline std::string python_json(const std::string& text, const std::string& expression)
{
    TempDir dir("psw-json");
    const std::string path = dir.file("doc.json");
    {
        std::ofstream out(path, std::ios::binary);
        out << text;
    }
    const std::string script =
        "import json, sys\n"
        "try:\n"
        "    d = json.load(open(sys.argv[1], encoding='utf-8'))\n"
        "except Exception as e:\n"
        "    print('ERROR: ' + str(e)); sys.exit(0)\n"
        "expr = sys.argv[2]\n"
        "if expr:\n"
        "    try:\n"
        "        print(json.dumps(eval(expr)))\n"
        "    except Exception as e:\n"
        "        print('ERROR: ' + repr(e))\n";
    CommandResult result = run_command({"/usr/bin/python3", "-c", script, path, expression});
    if (!result.ok()) {
        return "ERROR: python failed: " + result.describe();
    }
    std::string out = result.out;
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) {
        out.pop_back();
    }
    return out;
}

}  // namespace detail

inline std::string json_error(const std::string& text)
{
    const std::string out = detail::python_json(text, "");
    return out;  // empty when the document parsed
}

inline std::string json_eval(const std::string& text, const std::string& expression)
{
    return detail::python_json(text, expression);
}

inline bool device_layer_missing(const CommandResult& result)
{
    return result.exit_code == 1 && result.err.find("not supported (-5)") != std::string::npos;
}

}  // namespace psw::test

// Skips (visibly) a test whose psw run met a library without its device layer.
#define PSW_SKIP_IF_NO_DEVICE_LAYER(result)                                             \
    do {                                                                                \
        if (::psw::test::device_layer_missing(result)) {                                \
            GTEST_SKIP() << "the library's device layer answers 'not supported (-5)': " \
                         << (result).err;                                               \
        }                                                                               \
    } while (0)
