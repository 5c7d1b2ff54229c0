# Fails unless every document shows the example program verbatim, as one
# fenced C block, so that what readers copy is what the tests build and run.
# Run as: cmake -DEXAMPLE=<file> "-DDOCUMENTS=<file>;<file>" -P documented.cmake
file(READ ${EXAMPLE} program)
foreach(document ${DOCUMENTS})
  file(READ ${document} text)
  string(FIND "${text}" "```c\n${program}```\n" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "${document} does not show ${EXAMPLE} as it is")
  endif()
endforeach()
