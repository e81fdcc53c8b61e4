# The Debian package: `cpack -G DEB` in the build folder. The version is the
# project's; the runtime dependencies come from the binaries through
# dpkg-shlibdeps (package dpkg-dev). Build without the tests and sanitizers
# for a package to ship.
set(ZR5130_MAINTAINER "ZR5130 bench software <zr5130-bench@example.com>"
    CACHE STRING "Maintainer field of the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zr5130-eval)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${ZR5130_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "evaluation panel and command-line tool for the ZR5130 LED driver")
set(CPACK_PACKAGE_DESCRIPTION
    "Bench software for the ZR5130 LED backlight driver, reached over I2C through
a Linux i2c-dev bus (a USB-to-I2C bridge) or a simulated board. The panel
zr5130-eval sets brightness, LED enables, LED current, boost and PWM
dimming, loads preset configurations, walks through the EEPROM burn and
reads the registers back; zr5130ctl does the same from the shell and from
scripts.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${ZR5130_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Not found in the binaries: the debug log's viewer is started through
# xdg-open, and i2c-tools finds the bus and dumps a real chip.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "i2c-tools")
include(CPack)
