# Runs wobble's start-up, built with the probe that announces the building of
# the RIB library's symbol tables, and checks the order of what it writes:
# theWorld's five lines, then the tables, then main. No display is given, so
# the program stops after main's own lines, when GLUT finds none.
# Run as: cmake -DPROGRAM=<probe> -P startuporder.cmake
execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY ${PROGRAM}
                ERROR_VARIABLE err OUTPUT_VARIABLE out TIMEOUT 60)
set(body "wobble: initialing members...
wobble: initialize nodes array with actual nodes...
initializing springs...
initializing faces...
wobble has been created
")
set(expected "${body}[RIB symbol tables built]
about to create the world...
${body}world has been created...
")
string(LENGTH "${expected}" length)
string(SUBSTRING "${err}" 0 ${length} start)
if(NOT start STREQUAL expected)
  message(FATAL_ERROR "start-up order differs; standard error was:\n${err}")
endif()
string(FIND "${err}" "[RIB symbol tables built]" first)
string(FIND "${err}" "[RIB symbol tables built]" last REVERSE)
if(NOT first EQUAL last)
  message(FATAL_ERROR "the RIB symbol tables were built more than once:\n${err}")
endif()
