include(CMakePackageConfigHelpers)

# Install components, one per package (cmake/PswPackaging.cmake): "runtime" the shared library
# with its SONAME link, "development" the headers, the .so link, the CMake package and the
# pkg-config file, "program" psw (tools/CMakeLists.txt).
install(TARGETS psw EXPORT pswTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT runtime NAMELINK_COMPONENT development
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT development
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT runtime
  INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/include/psw DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}
  COMPONENT development)
install(EXPORT pswTargets NAMESPACE psw:: DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/psw
  COMPONENT development)

configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/pswConfig.cmake.in
  ${PROJECT_BINARY_DIR}/pswConfig.cmake
  INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/psw)
write_basic_package_version_file(${PROJECT_BINARY_DIR}/pswConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/pswConfig.cmake ${PROJECT_BINARY_DIR}/pswConfigVersion.cmake
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/psw COMPONENT development)

# The .pc file finds its prefix from its own place, so an install with --prefix works too.
file(RELATIVE_PATH PSW_PC_TO_PREFIX "${CMAKE_INSTALL_FULL_LIBDIR}/pkgconfig" "${CMAKE_INSTALL_PREFIX}")
configure_file(${PROJECT_SOURCE_DIR}/cmake/psw.pc.in ${PROJECT_BINARY_DIR}/psw.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/psw.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig
  COMPONENT development)

# The installed psw finds the library beside its own prefix, wherever the tree is installed or
# moved to: its run path is relative to the executable ($ORIGIN), never an absolute folder.
if(TARGET psw_cli)
  file(RELATIVE_PATH PSW_BIN_TO_LIB "${CMAKE_INSTALL_FULL_BINDIR}" "${CMAKE_INSTALL_FULL_LIBDIR}")
  set_target_properties(psw_cli PROPERTIES INSTALL_RPATH "$ORIGIN/${PSW_BIN_TO_LIB}")
endif()
include(${CMAKE_CURRENT_LIST_DIR}/PswManPages.cmake)
