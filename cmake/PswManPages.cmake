# Manual pages psw(1) and libpsw(3), written in scdoc (docs/man/*.scd) and converted at build
# time, compressed as Debian installs them. psw(1) goes with the program, libpsw(3) with the
# development files.
find_program(PSW_SCDOC scdoc)
if(NOT PSW_SCDOC)
  message(WARNING "scdoc not found: the manual pages are not built (tools/install-deps.sh installs it)")
  return()
endif()

set(psw_man_outputs "")
foreach(psw_page_component IN ITEMS "psw.1;program" "libpsw.3;development")
  list(GET psw_page_component 0 psw_page)
  list(GET psw_page_component 1 psw_component)
  if(psw_component STREQUAL "program" AND NOT TARGET psw_cli)
    continue()
  endif()
  string(REGEX REPLACE ".*\\.([0-9])$" "\\1" psw_section ${psw_page})
  set(psw_source ${PROJECT_SOURCE_DIR}/docs/man/${psw_page}.scd)
  set(psw_output ${PROJECT_BINARY_DIR}/man/${psw_page}.gz)
  add_custom_command(OUTPUT ${psw_output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/man
    COMMAND sh -c "'${PSW_SCDOC}' < '${psw_source}' | gzip -9 -n > '${psw_output}'"
    DEPENDS ${psw_source}
    COMMENT "Converting ${psw_page} with scdoc"
    VERBATIM)
  list(APPEND psw_man_outputs ${psw_output})
  install(FILES ${psw_output} DESTINATION ${CMAKE_INSTALL_MANDIR}/man${psw_section}
    COMPONENT ${psw_component})
endforeach()
add_custom_target(psw_man_pages ALL DEPENDS ${psw_man_outputs})
