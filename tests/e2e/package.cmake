# Builds the release package and unpacks it, for the tests that read it:
#   cmake -DBUILD=<build folder> -DZIP=<package> -DOUT=<folder> -P package.cmake
# A package left from an earlier build must not stand in for this one.
file(REMOVE ${ZIP})
execute_process(COMMAND ${CMAKE_COMMAND} --build ${BUILD} --target package RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "building the package failed")
endif()
file(REMOVE_RECURSE ${OUT})
file(ARCHIVE_EXTRACT INPUT ${ZIP} DESTINATION ${OUT})
