# The Windows test programs (cross build, run under Wine by tools/ci/windows.sh). GoogleTest is
# built from the source Debian ships; the real-peer harness (network namespaces, agents started
# as processes) is Linux-only, so the programs take the test files that need none of it, plus
# the *_windows_test.cpp files that read what the Windows side of the platform layer reads.
set(psw_gtest_source /usr/src/googletest CACHE PATH "GoogleTest source for the cross build")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${psw_gtest_source} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# (alloc_failure.cpp needs aligned_alloc, which the Windows C runtime lacks.)
add_library(psw_test_support STATIC
  support/fake_get_data.cpp
  support/log_capture.cpp
  support/wire_trace_lines.cpp)
target_include_directories(psw_test_support PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(psw_test_support PUBLIC psw_internal gtest gmock)

# Test files of each program; a folder's *_windows_test.cpp belong to it as well.
set(psw_windows_core_tests core/interface_test.cpp core/pmc_string_test.cpp
    core/random_test.cpp)
set(psw_windows_log_tests log/logger_test.cpp log/wire_trace_test.cpp)
set(psw_windows_snmp_tests snmp/captured_messages_test.cpp snmp/codec_test.cpp
    snmp/containers_test.cpp snmp/oid_sub_ids_test.cpp snmp/snmp_test_util_test.cpp
    snmp/value_test.cpp)
# (socket_api_test and address_services_test test the POSIX socket layer's own start-up
# counting; ipv6_scope_test names Linux interfaces.)
set(psw_windows_net_tests net/network_address_test.cpp)
set(psw_windows_api_tests api/api_frame_test.cpp api/record_layout_test.cpp)

foreach(area core log snmp net api)
  file(GLOB windows_only CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${area}/*_windows_test.cpp)
  add_executable(psw_${area}_tests ${psw_windows_${area}_tests} ${windows_only})
  target_link_libraries(psw_${area}_tests PRIVATE psw_test_support gtest_main)
  # GCC 12 misreads inlined std::string code at -O2 (a known false -Wrestrict).
  target_compile_options(psw_${area}_tests PRIVATE -Wno-restrict)
  target_compile_definitions(psw_${area}_tests PRIVATE
    PSW_TEST_DATA_DIR="${CMAKE_CURRENT_SOURCE_DIR}/data")
endforeach()
