# Files and folders for every Windows test program.
add_library(mv_winfiles STATIC ${PROJECT_SOURCE_DIR}/tests/support/winfiles.cpp)
target_include_directories(mv_winfiles PUBLIC ${PROJECT_SOURCE_DIR})

# mv_wine_test(NAME src...): a GoogleTest program for Windows, run by CTest
# under Wine once the prefix fixture is ready. Tests find the built programs
# through the MV_* definitions.
function(mv_wine_test name)
  add_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE gtest gtest_main morvane_core mv_winfiles)
  target_link_options(${name} PRIVATE -static)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine TIMEOUT 900)
endfunction()
