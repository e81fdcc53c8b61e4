# What `cmake --install` puts where: both programs, the desktop entry and
# its icon at every size res/art holds, the manual pages (gzip-compressed, as
# Debian ships them), and the documentation with the example register dumps
# and the example udev rule. The rule stays under the documentation folder:
# installing it does not change anyone's access to the I2C buses.
include(GNUInstallDirs)

install(TARGETS zr5130-eval RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET zr5130ctl)
  install(TARGETS zr5130ctl RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

install(FILES dist/zr5130-eval.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
file(GLOB ZR5130_ICONS CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/res/art/icon-*.png)
foreach(icon IN LISTS ZR5130_ICONS)
  string(REGEX REPLACE ".*/icon-([0-9]+)\\.png$" "\\1" size ${icon})
  install(FILES ${icon} RENAME zr5130-eval.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

set(ZR5130_MAN_PAGES zr5130-eval.1)
if(TARGET zr5130ctl AND EXISTS ${PROJECT_SOURCE_DIR}/docs/man/zr5130ctl.1)
  list(APPEND ZR5130_MAN_PAGES zr5130ctl.1)
endif()
find_program(GZIP_PROGRAM gzip REQUIRED)
set(ZR5130_MAN_OUTPUTS)
foreach(page IN LISTS ZR5130_MAN_PAGES)
  set(source ${PROJECT_SOURCE_DIR}/docs/man/${page})
  set(output ${PROJECT_BINARY_DIR}/man/${page}.gz)
  # -n leaves out the name and time, so the same page gives the same bytes.
  add_custom_command(OUTPUT ${output}
                     COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/man
                     COMMAND ${GZIP_PROGRAM} -9nc ${source} > ${output}
                     DEPENDS ${source} VERBATIM)
  list(APPEND ZR5130_MAN_OUTPUTS ${output})
endforeach()
add_custom_target(man_pages ALL DEPENDS ${ZR5130_MAN_OUTPUTS})
install(FILES ${ZR5130_MAN_OUTPUTS} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

install(FILES README.md CHANGELOG.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(DIRECTORY examples/ DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples
        FILES_MATCHING PATTERN "*.txt")
install(FILES dist/60-zr5130-i2c.rules DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples)
