# What `cmake --install` puts where: both programs, the desktop entry, its
# AppStream metadata and its icon at every size res/art holds, the manual
# pages, and the documentation with the licence, the pictures the README shows,
# the example register dumps and the example udev rule. The rule stays under
# the documentation folder: installing it does not change anyone's access to
# the I2C buses. The Python module has its rules in python/CMakeLists.txt.
# Stripping and compressing are left to the packaging tools (dh_strip,
# dh_compress), as distributions expect.
include(GNUInstallDirs)

install(TARGETS zr5130-eval RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET zr5130ctl)
  install(TARGETS zr5130ctl RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

install(FILES dist/zr5130-eval.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES dist/org.example.zr5130_eval.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
file(GLOB ZR5130_ICONS CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/res/art/icon-*.png)
foreach(icon IN LISTS ZR5130_ICONS)
  string(REGEX REPLACE ".*/icon-([0-9]+)\\.png$" "\\1" size ${icon})
  install(FILES ${icon} RENAME zr5130-eval.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

set(ZR5130_MAN_PAGES docs/man/zr5130-eval.1)
if(TARGET zr5130ctl AND EXISTS ${PROJECT_SOURCE_DIR}/docs/man/zr5130ctl.1)
  list(APPEND ZR5130_MAN_PAGES docs/man/zr5130ctl.1)
endif()
install(FILES ${ZR5130_MAN_PAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

install(FILES README.md CHANGELOG.md LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR})
# Where the README's picture links point, beside it.
file(GLOB ZR5130_PICTURES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/docs/*.png)
install(FILES ${ZR5130_PICTURES} DESTINATION ${CMAKE_INSTALL_DOCDIR}/docs)
install(DIRECTORY examples/ DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples
        FILES_MATCHING PATTERN "*.txt")
install(FILES dist/60-zr5130-i2c.rules DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples)
