# Test set-up shared by every folder.
#
# mvimport_gtests(TARGET): registers a GoogleTest program with CTest. Natively
# each test becomes a CTest test of its own. A cross build for Windows runs
# the program once, under the emulator (Wine), as one CTest test: discovering
# the tests would run every program at build time through Wine and parse its
# CR LF output.
function(mvimport_gtests target)
  if(CMAKE_CROSSCOMPILING)
    add_test(NAME ${target} COMMAND ${target} --gtest_color=no)
  else()
    gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST)
  endif()
endfunction()

# MVIMPORT_TEST_DRIVE goes before a path of the build machine that a test
# program is given (a fixture folder, the command line's .exe): a Windows
# program under Wine reaches the build machine's "/" as drive Z:, and takes
# "Z:/a/b" as well as "Z:\a\b".
if(CMAKE_CROSSCOMPILING AND WIN32)
  set(MVIMPORT_TEST_DRIVE "Z:")
else()
  set(MVIMPORT_TEST_DRIVE "")
endif()

# mvimport_use_pxlib(TARGET): pxlib, an independent reader and writer of
# Paradox tables, is the tests' oracle; the program never links it. Where it
# is absent (a cross build for Windows) MVIMPORT_HAVE_PXLIB is 0 and the
# checks that need it are skipped, saying so.
function(mvimport_use_pxlib target)
  if(NOT CMAKE_CROSSCOMPILING)
    find_package(PkgConfig REQUIRED)
    pkg_check_modules(PXLIB REQUIRED IMPORTED_TARGET pxlib)
    target_link_libraries(${target} PRIVATE PkgConfig::PXLIB)
    target_compile_definitions(${target} PRIVATE MVIMPORT_HAVE_PXLIB=1)
  else()
    target_compile_definitions(${target} PRIVATE MVIMPORT_HAVE_PXLIB=0)
  endif()
endfunction()
