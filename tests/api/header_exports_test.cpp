// The declarations of psw.h as a C++ translation unit sees them: each exported function has its
// documented type (checked when this file compiles), the list below covers every function the
// header exports, and the shared library really exports each of them under its plain C name.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <psw/psw.h>

#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <type_traits>

namespace {

// Every exported function with its return type and parameter list.
#define PSW_EXPORTED_FUNCTIONS(X)                                                                  \
    X(PSWInit, int32_t, (PSWHandle*))                                                              \
    X(PSWUnInit, void, (PSWHandle))                                                                \
    X(PSWCommandString, int32_t, (PSWHandle, const char*, const char*))                            \
    X(PSWCommandInteger, int32_t, (PSWHandle, const void*, const void*))                           \
    X(PSWTransportAvailable, int16_t, (int32_t))                                                   \
    X(PSWIsSupportedOID, int16_t, (PSWHandle, const char*))                                        \
    X(PSWFindDeviceSNMP, int32_t, (PSWHandle, const char*, int32_t, uint32_t, uint32_t, int32_t*)) \
    X(PSWFindDeviceSNMPEx, int32_t,                                                                \
      (PSWHandle, const char*, int32_t, int32_t, PSWUSMSettings, uint32_t, uint32_t, int32_t*))    \
    X(PSWFindAddFilter, int32_t, (PSWHandle, const char*))                                         \
    X(PSWFindClearFilter, void, (PSWHandle))                                                       \
    X(PSWFindResetPosition, void, (PSWHandle))                                                     \
    X(PSWGetDeviceNext, int16_t, (PSWHandle, char*, char*, char*, char*))                          \
    X(PSWInitDevice, int32_t, (PSWHandle, const char*, int32_t, uint32_t, uint32_t))               \
    X(PSWInitDeviceEx, int32_t,                                                                    \
      (PSWHandle, const char*, int32_t, int32_t, PSWUSMSettings, uint32_t, uint32_t))              \
    X(PSWRefreshOptions, int32_t, (PSWHandle))                                                     \
    X(PSWGetOptionValueBoolean, int32_t, (PSWHandle, const char*, uint16_t, int16_t*))             \
    X(PSWGetOptionValueInteger, int32_t, (PSWHandle, const char*, uint16_t, int32_t*))             \
    X(PSWGetOptionValueUInteger, int32_t, (PSWHandle, const char*, uint16_t, uint32_t*))           \
    X(PSWGetOptionValueString, int32_t, (PSWHandle, const char*, uint16_t, char*))                 \
    X(PSWGetNumberOfStorageInfo, int32_t, (PSWHandle, int32_t*))                                   \
    X(PSWGetStorageInfo, int32_t, (PSWHandle, int32_t, PSWStorageInfo*))                           \
    X(PSWGetNumberOfDeviceInfo, int32_t, (PSWHandle, int32_t*))                                    \
    X(PSWGetDeviceInfo, int32_t, (PSWHandle, int32_t, PSWDeviceInfo*))                             \
    X(PSWGetNumberOfInputTrayInfo, int32_t, (PSWHandle, int32_t*))                                 \
    X(PSWGetInputTrayInfo, int32_t, (PSWHandle, int32_t, PSWInputTrayInfo*))                       \
    X(PSWGetNumberOfInputTrayInfoEx, int32_t, (PSWHandle, int32_t*))                               \
    X(PSWGetInputTrayInfoEx, int32_t, (PSWHandle, int32_t, PSWInputTrayInfoEx*))                   \
    X(PSWGetNumberOfOutputTrayInfo, int32_t, (PSWHandle, int32_t*))                                \
    X(PSWGetOutputTrayInfo, int32_t, (PSWHandle, int32_t, PSWOutputTrayInfo*))                     \
    X(PSWGetNumberOfTonerInfo, int32_t, (PSWHandle, int32_t*))                                     \
    X(PSWGetTonerInfo, int32_t, (PSWHandle, int32_t, PSWTonerInfo*))                               \
    X(PSWGetNumberOfAlertInfo, int32_t, (PSWHandle, int32_t*))                                     \
    X(PSWGetAlertInfo, int32_t, (PSWHandle, int32_t, PSWAlertInfo*))                               \
    X(PSWGetNumberOfJobInfo, int32_t, (PSWHandle, uint32_t, int32_t*))                             \
    X(PSWGetJobInfo, int32_t, (PSWHandle, int32_t, PSWJobInfo*))                                   \
    X(PSWGetPrinterInfo, int32_t, (PSWHandle, PSWPrinterInfo*))                                    \
    X(PSWGetCharSet, int32_t, (PSWHandle, uint32_t, int32_t*))                                     \
    X(PSWCancelJob, int32_t, (PSWHandle, const char*))                                             \
    X(PSWLogSetLevel, int32_t, (const char*, uint32_t))                                            \
    X(PSWLogAttachStdout, int32_t, ())                                                             \
    X(PSWLogDetachStdout, int32_t, ())                                                             \
    X(PSWLogAttachFile, int32_t, (const char*, uint64_t))                                          \
    X(PSWLogDetachFile, int32_t, ())                                                               \
    X(PSWLogAttachCallback, int32_t, (PSWLogCallback, void*))                                      \
    X(PSWLogDetachCallback, int32_t, ())                                                           \
    X(PSWGetVersion, const char*, (void))                                                          \
    X(PSWInitAnyDevice, int32_t, (PSWHandle, const char*, int32_t, uint32_t, uint32_t))            \
    X(PSWInitAnyDeviceEx, int32_t,                                                                 \
      (PSWHandle, const char*, int32_t, int32_t, PSWUSMSettings, uint32_t, uint32_t))              \
    X(PSWGetNumberOfSupplyInfo, int32_t, (PSWHandle, int32_t*))                                    \
    X(PSWGetSupplyInfo, int32_t, (PSWHandle, int32_t, PSWSupplyInfo*))                             \
    X(PSWGetIdentityInfo, int32_t, (PSWHandle, PSWIdentityInfo*))                                  \
    X(PSWGetMediumSize, int32_t, (int32_t, int32_t, int32_t, int32_t*))

// A changed signature stops the build here. decltype does not use the function, so this
// translation unit links whether or not the library defines it.
#define PSW_CHECK_DECLARED_TYPE(fn, ret, params) \
    static_assert(std::is_same_v<decltype(&fn), ret(*) params>, #fn " has another type");
PSW_EXPORTED_FUNCTIONS(PSW_CHECK_DECLARED_TYPE)

// The handle is an opaque pointer.
static_assert(std::is_pointer_v<PSWHandle>);
static_assert(sizeof(PSWHandle) == sizeof(void*));

#define PSW_FUNCTION_NAME(fn, ret, params) #fn,
const std::set<std::string> kExportedNames = {PSW_EXPORTED_FUNCTIONS(PSW_FUNCTION_NAME)};

std::string read_file(const std::string& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(HeaderExports, ListCoversEveryFunctionDeclaredWithTheExportMacro)
{
    const std::string header =
        read_file(std::string(PSW_TEST_DATA_DIR) + "/../../include/psw/psw.h");
    ASSERT_FALSE(header.empty()) << "psw.h not found";
    // The return type may be a pointer ("const char* PSWGetVersion").
    const std::regex declaration(R"(PSW_API\s+(?:const\s+)?\w+\s*\**\s*(PSW\w+)\s*\()");
    std::set<std::string> declared;
    for (std::sregex_iterator it(header.begin(), header.end(), declaration), end; it != end; ++it)
        declared.insert((*it)[1].str());
    EXPECT_EQ(declared, kExportedNames);
}

TEST(HeaderExports, SharedLibraryExportsEveryDeclaredFunction)
{
    const std::string path = std::string(PSW_BINARY_DIR) + "/src/libpsw.so";
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << "cannot load " << path
                                << " (build the target psw): " << dlerror();
    for (const std::string& name : kExportedNames)
        EXPECT_NE(dlsym(library, name.c_str()), nullptr) << name << " is not exported by libpsw.so";
    dlclose(library);
}

}  // namespace
