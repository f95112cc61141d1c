# Debian packages from the same build, one per install component (cmake/PswInstall.cmake):
#   libpsw0     runtime      the shared library and its SONAME link
#   libpsw-dev  development  headers, the .so link, CMake package, pkg-config file, libpsw(3)
#   psw         program      the psw program and psw(1)
# Built by `cpack -G DEB` in a build folder configured with CMAKE_INSTALL_PREFIX=/usr
# (tools/ci/packages.sh). Library dependencies, Net-SNMP's included, come from dpkg-shlibdeps.

set(PSW_DEB_RUNTIME libpsw${PROJECT_VERSION_MAJOR})

# Each package carries its copyright file and changelog in /usr/share/doc/<package>/.
execute_process(
  COMMAND gzip -9 -n -c ${PROJECT_SOURCE_DIR}/cmake/debian/changelog
  OUTPUT_FILE ${PROJECT_BINARY_DIR}/changelog.gz
  RESULT_VARIABLE psw_gzip_result)
if(NOT psw_gzip_result EQUAL 0)
  message(FATAL_ERROR "gzip of cmake/debian/changelog failed")
endif()
foreach(psw_component_package IN ITEMS "runtime;${PSW_DEB_RUNTIME}" "development;libpsw-dev" "program;psw")
  list(GET psw_component_package 0 psw_component)
  list(GET psw_component_package 1 psw_package)
  if(psw_component STREQUAL "program" AND NOT TARGET psw_cli)
    continue()
  endif()
  install(FILES ${PROJECT_SOURCE_DIR}/cmake/debian/copyright ${PROJECT_BINARY_DIR}/changelog.gz
    DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${psw_package} COMPONENT ${psw_component})
endforeach()

set(CPACK_PACKAGE_NAME libpsw)
set(CPACK_PACKAGE_VENDOR "libpsw developers")
set(CPACK_PACKAGE_CONTACT "libpsw developers <maintainers@users.noreply.c-seed-580414c9.example>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "printer discovery and status over SNMP")
set(CPACK_GENERATOR DEB)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL runtime development)
if(TARGET psw_cli)
  list(APPEND CPACK_COMPONENTS_ALL program)
endif()
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The library's shlibs file, so that packages built against it depend on a version at least
# as new as the one they were built with.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)

set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME ${PSW_DEB_RUNTIME})
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION libs)
# The loader cache is refreshed through dpkg's ldconfig trigger. CPack would otherwise write
# postinst and postrm scripts that call ldconfig themselves; these do nothing instead.
set(CPACK_DEBIAN_RUNTIME_PACKAGE_CONTROL_EXTRA
  ${PROJECT_SOURCE_DIR}/cmake/debian/triggers
  ${PROJECT_SOURCE_DIR}/cmake/debian/postinst
  ${PROJECT_SOURCE_DIR}/cmake/debian/postrm)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_RUNTIME_DESCRIPTION "printer discovery and status over SNMP - shared library
libpsw finds printers and multifunction devices on the network and reads
their state: status, identity, trays, supplies, alerts and jobs. It
speaks SNMPv1/v2c with its own engine and SNMPv3 through Net-SNMP, and
exports a flat C interface.
.
This package holds the shared library.")

set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME libpsw-dev)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
set(CPACK_COMPONENT_DEVELOPMENT_DEPENDS runtime)
set(CPACK_DEBIAN_DEVELOPMENT_DESCRIPTION "printer discovery and status over SNMP - development files
libpsw finds printers and multifunction devices on the network and reads
their state over SNMP through a flat C interface.
.
This package holds the headers, the CMake package (find_package(psw)),
the pkg-config file and the libpsw(3) manual page.")

set(CPACK_DEBIAN_PROGRAM_PACKAGE_NAME psw)
set(CPACK_DEBIAN_PROGRAM_PACKAGE_SECTION net)
set(CPACK_COMPONENT_PROGRAM_DEPENDS runtime)
set(CPACK_DEBIAN_PROGRAM_DESCRIPTION "printer discovery and status over SNMP - command-line program
psw finds printers on the network and shows their status, identity,
supplies, trays, alerts, jobs and installed options, as text or JSON.
It reads any printer through the standard Printer MIB, over SNMPv1 or
SNMPv3.")
# psw's own library is in the libpsw0 package, not yet installed while psw is packaged:
# dpkg-shlibdeps finds it in that package's staging folder; the dependency on libpsw0 itself
# comes from the component dependency above.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS
  "${PROJECT_BINARY_DIR}/_CPack_Packages/Linux/DEB/libpsw-${PROJECT_VERSION}-Linux/runtime${CMAKE_INSTALL_FULL_LIBDIR}")

include(CPack)
