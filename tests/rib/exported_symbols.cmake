# Fails when the library archive defines a global symbol that is not one of
# the interface's own names: any other global name could clash at link time
# with one of the caller's. Helpers belong in namespace duzozo or have
# internal linkage.
# Run as: cmake -DNM=<nm> -DARCHIVE=<libduzozo.a> -P exported_symbols.cmake

# Classes, functions and variables of the interface besides the Ri..., RI_...
# names of the C binding.
set(interface_names
  RenderInterface RibWriter SymbolEntry SymbolTable TokenDeclaration
  ParamValueEntry ParamValueList
  applyRibOptions createRibWriter currentRenderer ribBinaryFormat ribGzipCompression
  echoDeclarations stringTable tokenTable internString
  parseDeclaration lookupDeclaration inlineDeclarationLength formatDeclaration
  declarationByteSize predeclareTokens printParamValueStats)

execute_process(COMMAND ${NM} -C -g --defined-only ${ARCHIVE}
                OUTPUT_VARIABLE listing RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${NM} -C -g --defined-only ${ARCHIVE} failed")
endif()

# Brackets and semicolons would confuse CMake's lists; they never decide a name.
string(REPLACE "[" "(" listing "${listing}")
string(REPLACE "]" ")" listing "${listing}")
string(REPLACE ";" "," listing "${listing}")
string(REPLACE "\n" ";" lines "${listing}")

set(stray "")
set(checked 0)
foreach(line IN LISTS lines)
  if(NOT line MATCHES "^[0-9a-fA-F]+ [A-Za-z] (.+)$")
    continue()  # member headings and blank lines
  endif()
  set(symbol "${CMAKE_MATCH_1}")
  math(EXPR checked "${checked} + 1")
  # The standard library's and the library's own namespace, whatever follows
  # (an operator, a template argument that is a reference to an array): an
  # unoptimised build keeps such functions out of line.
  if(symbol MATCHES "^(std|duzozo)::" OR symbol MATCHES "^[a-z ]+\\(&(std|duzozo)::")
    continue()
  endif()
  # Items the compiler makes for a class stand or fall with the class.
  string(REGEX REPLACE "^(vtable|typeinfo name|typeinfo|VTT|guard variable) for " "" name "${symbol}")
  string(REGEX REPLACE "^(non-)?virtual thunk to " "" name "${name}")
  # The sanitizer's marker of a variable, which names it mangled.
  string(REGEX REPLACE "^__odr_asan\\." "" name "${name}")
  string(REGEX REPLACE "^_ZN6duzozo[0-9]+" "duzozo::" name "${name}")
  # Names reserved to the compiler, and the standard library's own inline
  # functions, kept out of line without optimisation.
  if(name MATCHES "^DW\\.ref\\.__gxx_personality_v0$" OR name MATCHES "^__[a-z]"
     OR name MATCHES "^operator (new|delete)")
    continue()
  endif()
  # The qualified name: before the parameter list, without template arguments
  # and without the return type that a template function's name carries.
  string(REGEX REPLACE "\\(.*$" "" name "${name}")
  while(name MATCHES "<[^<>]*>")
    string(REGEX REPLACE "<[^<>]*>" "" name "${name}")
  endwhile()
  string(REGEX REPLACE "^.* " "" name "${name}")
  string(REGEX REPLACE "::.*$" "" outer "${name}")
  if(outer MATCHES "^(duzozo|std|__gnu_cxx)$" OR outer MATCHES "^R[iI]_?[A-Z]")
    continue()
  endif()
  list(FIND interface_names "${outer}" known)
  if(known EQUAL -1)
    list(APPEND stray "${symbol}")
  endif()
endforeach()

if(checked EQUAL 0)
  message(FATAL_ERROR "${ARCHIVE} defines no global symbols at all")
endif()
if(stray)
  list(JOIN stray "\n  " text)
  message(FATAL_ERROR "global symbols outside the interface:\n  ${text}")
endif()
message(STATUS "${checked} global symbols, all of the interface")
