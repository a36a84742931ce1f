# One static library per source folder: every .cpp directly in the folder
# belongs to it, so adding a file needs no edit here.
#   pg_module(<target> <folder> [DEPS <targets...>])
#   Sources named main.cpp are left out: they belong to an executable.
function(pg_module target folder)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/${folder}/*.cpp)
  list(FILTER sources EXCLUDE REGEX "/main\\.cpp$")
  if(NOT sources)
    set(sources ${PROJECT_SOURCE_DIR}/cmake/empty.cpp)
  endif()
  add_library(${target} STATIC ${sources})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${target} PUBLIC ${ARG_DEPS})
  pg_moc_if_qt_folder(${target} ${folder})
endfunction()

# Classes with Q_OBJECT live in qt/ folders only: their library and their test
# program run moc; every other target skips the moc step, which would make it
# wait for all the libraries it links before compiling a single file.
function(pg_moc_if_qt_folder target folder)
  if(folder MATCHES "(^|/)qt$")
    set_target_properties(${target} PROPERTIES AUTOMOC ON)
  endif()
endfunction()

# What every test translation unit is compiled with, the shared precompiled
# header's carrier (pg_test_support) included, so that one header serves all
# test programs without Qt.
set(PIGMORA_TEST_PCH <gtest/gtest.h> <gmock/gmock.h>)
function(pg_test_compile_settings target)
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(${target} PRIVATE GTest::gtest GTest::gmock)
  target_compile_options(${target} PRIVATE -O0)
  target_compile_definitions(${target} PRIVATE PIGMORA_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data")
endfunction()

# Test programs compile their files in batches (one translation unit per
# PIGMORA_TEST_BATCH files) over a precompiled header of the test framework
# and, in qt/ folders, of the Qt modules the tests use. Test code is compiled
# without optimisation; the libraries under test keep theirs. Files of one
# program therefore share a translation unit: file-local helpers live in a
# namespace named after the file (see docs/conventions.md).
option(PIGMORA_UNITY_TESTS "Compile each test program's files in batches" ON)
set(PIGMORA_TEST_BATCH 8 CACHE STRING "Test files per batch of a test program")

# One GoogleTest executable per test folder, every .cpp in it, registered with ctest.
#   pg_test_folder(<folder> DEPS <targets...>)
function(pg_test_folder folder)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/${folder}/*.cpp)
  if(NOT sources)
    return()
  endif()
  string(REPLACE "/" "_" name "test_${folder}")
  add_executable(${name} ${sources})
  pg_test_compile_settings(${name})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} pg_test_support GTest::gtest_main)
  pg_moc_if_qt_folder(${name} ${folder})
  set_target_properties(${name} PROPERTIES UNITY_BUILD ${PIGMORA_UNITY_TESTS}
                                           UNITY_BUILD_BATCH_SIZE ${PIGMORA_TEST_BATCH})
  if(folder MATCHES "(^|/)qt$")
    # Each Qt test program has its own: the Qt modules it links change what
    # the QtTest header declares.
    target_link_libraries(${name} PRIVATE Qt6::Widgets Qt6::Test)
    target_precompile_headers(${name} PRIVATE ${PIGMORA_TEST_PCH}
      <QApplication> <QWidget> <QAction> <QMenu> <QPushButton> <QSpinBox> <QComboBox> <QTimer> <QTest>)
  else()
    target_precompile_headers(${name} REUSE_FROM pg_test_support)
  endif()
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()
