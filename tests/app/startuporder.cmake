# Checks the program's static objects: theWorld is constructed first, and the
# RIB writer's symbol tables after it, although nothing in main refers to them.
# The linker lays out the start-up functions in the same input order as their
# constructor-table entries, so their addresses give the construction order.
# Run as: cmake -DNM=<nm> -DPROGRAM=<wobble> -P startuporder.cmake
execute_process(COMMAND ${NM} -n ${PROGRAM} OUTPUT_VARIABLE symbols RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${NM} -n ${PROGRAM} failed")
endif()
string(FIND "${symbols}" " _GLOBAL__sub_I_theWorld\n" world)
string(FIND "${symbols}" " _GLOBAL__sub_I_stringTable\n" tables)
if(world EQUAL -1)
  message(FATAL_ERROR "${PROGRAM} does not construct theWorld at start-up")
endif()
if(tables EQUAL -1)
  message(FATAL_ERROR "${PROGRAM} does not build the RIB symbol tables at start-up")
endif()
if(NOT world LESS tables)
  message(FATAL_ERROR "${PROGRAM} builds the RIB symbol tables before theWorld")
endif()
