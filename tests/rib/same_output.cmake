# Runs a program and fails unless it exits with status 0 and writes exactly
# the expected bytes to standard output.
# Run as: cmake -DPROGRAM=<program> -DEXPECTED=<file> -P same_output.cmake
execute_process(COMMAND ${PROGRAM} OUTPUT_VARIABLE written RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${PROGRAM} exited with ${status}")
endif()
file(READ ${EXPECTED} expected)
if(NOT written STREQUAL expected)
  message(FATAL_ERROR "${PROGRAM} wrote:\n${written}\nexpected:\n${expected}")
endif()
