# Precompiled headers for the panel and its tests, whose files all include
# Qt's widget headers (and the tests GoogleTest and QTest): parsed once per
# target instead of once per file. On 2 cores that took the panel's build from
# 69 to 48 s with GCC and from 44 to 18 s with Clang and the sanitizers, and
# panel_tests' from 63 to 47 s and from 81 to 51 s. zr5130ctl and the other
# tests are left out: there a precompiled CLI11 or GoogleTest made no gain,
# or a loss.
set(ZR5130_QT_HEADERS <QAbstractButton> <QComboBox> <QDialog> <QKeyEvent> <QLabel> <QLineEdit>
    <QMenu> <QObject> <QPushButton> <QString> <QStringList> <QWidget>)

# GCC writes a precompiled header with different bytes each time, and the
# debug information of the files compiled with it follows: the Debian
# package's build turns this off, so that its programs are reproducible. The
# test programs are never shipped and keep theirs.
option(ZR5130_PRECOMPILED_HEADERS "Precompiled Qt headers for the panel's code" ON)

# zr5130_precompile(TARGET [TESTS]): the Qt widget headers, and with TESTS
# GoogleTest and QTest.
function(zr5130_precompile target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "TESTS" "" "")
  set(headers ${ZR5130_QT_HEADERS})
  if(arg_TESTS)
    list(APPEND headers <gtest/gtest.h> <QTest>)
  endif()
  target_precompile_headers(${target} PRIVATE ${headers})
endfunction()

# zr5130_precompile_shipped(FIRST OTHER...): the first target's precompiled
# header, reused by the others; none without ZR5130_PRECOMPILED_HEADERS.
function(zr5130_precompile_shipped first)
  if(NOT ZR5130_PRECOMPILED_HEADERS)
    return()
  endif()
  zr5130_precompile(${first})
  foreach(target IN LISTS ARGN)
    target_precompile_headers(${target} REUSE_FROM ${first})
  endforeach()
endfunction()

# Unity builds: the panel's rooms, the Python module, zr5130ctl and the
# test programs compile a few files of their sources each, which parse Qt's,
# pybind11's, the JSON library's and GoogleTest's headers once for all.
# Unlike a precompiled header, the result is the same bytes every time, so
# the package's build takes them instead; scripts/test's sanitizer build
# takes them too. Developer builds compile every file on its own, which also
# finds a file that does not include what it uses.
option(ZR5130_UNITY_BUILD "Compile the panel, the Python module, zr5130ctl and the tests as unity builds" OFF)

# zr5130_unity(TARGET...): these targets as unity builds under ZR5130_UNITY_BUILD.
function(zr5130_unity)
  if(ZR5130_UNITY_BUILD)
    set_target_properties(${ARGN} PROPERTIES UNITY_BUILD ON)
  endif()
endfunction()
