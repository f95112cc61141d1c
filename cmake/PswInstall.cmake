include(CMakePackageConfigHelpers)

install(TARGETS psw EXPORT pswTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
  INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/include/psw DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(EXPORT pswTargets NAMESPACE psw:: DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/psw)

configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/pswConfig.cmake.in
  ${PROJECT_BINARY_DIR}/pswConfig.cmake
  INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/psw)
write_basic_package_version_file(${PROJECT_BINARY_DIR}/pswConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/pswConfig.cmake ${PROJECT_BINARY_DIR}/pswConfigVersion.cmake
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/psw)

# The .pc file finds its prefix from its own place, so an install with --prefix works too.
file(RELATIVE_PATH PSW_PC_TO_PREFIX "${CMAKE_INSTALL_FULL_LIBDIR}/pkgconfig" "${CMAKE_INSTALL_PREFIX}")
configure_file(${PROJECT_SOURCE_DIR}/cmake/psw.pc.in ${PROJECT_BINARY_DIR}/psw.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/psw.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

# The installed psw finds the library beside its own prefix, wherever the tree is installed or
# moved to: its run path is relative to the executable ($ORIGIN), never an absolute folder.
if(TARGET psw_cli)
  file(RELATIVE_PATH PSW_BIN_TO_LIB "${CMAKE_INSTALL_FULL_BINDIR}" "${CMAKE_INSTALL_FULL_LIBDIR}")
  set_target_properties(psw_cli PROPERTIES INSTALL_RPATH "$ORIGIN/${PSW_BIN_TO_LIB}")
endif()
