# One step of the package tests: install into a temporary prefix, or build
# an outside project against libduzozo one of three ways and check, byte for
# byte, the RIB that its program writes.
# Run as: cmake -DSTEP=install|findpackage|pkgconfig|subdirectory <settings> -P package.cmake
# (the settings are the -D variables that tests/package/CMakeLists.txt passes).
set(prefix ${WORK}/prefix)

# Runs a command; on failure the test fails with everything it wrote.
function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL 0)
    string(JOIN " " command ${ARGN})
    message(FATAL_ERROR "${command}\nfailed (${status}):\n${out}\n${err}")
  endif()
  set(output "${out}" PARENT_SCOPE)
endfunction()

function(expect_classic program)
  run(${program})
  file(READ ${EXPECTED} expected)
  if(NOT output STREQUAL expected)
    message(FATAL_ERROR "${program} wrote:\n${output}\ninstead of:\n${expected}")
  endif()
endfunction()

# Configures and builds an outside project with this build's compilers and
# sanitizer flags.
function(build_project source binary)
  file(REMOVE_RECURSE ${binary})
  run(${CMAKE_COMMAND} -S ${source} -B ${binary} -G ${GENERATOR}
      -DCMAKE_C_COMPILER=${CC} -DCMAKE_CXX_COMPILER=${CXX}
      "-DCMAKE_C_FLAGS=${FLAGS}" "-DCMAKE_CXX_FLAGS=${FLAGS}"
      -DCLASSIC_SOURCE=${CLASSIC} ${ARGN})
  run(${CMAKE_COMMAND} --build ${binary} -j 2)
endfunction()

if(STEP STREQUAL "install")
  file(REMOVE_RECURSE ${WORK})
  run(${CMAKE_COMMAND} --install ${BUILD} --prefix ${prefix})
  set(installed ${LIBDIR}/libduzozo.a include/duzozo/ri.h include/duzozo/rib/ri.h
      include/duzozo/rib/ribwriter.h ${LIBDIR}/cmake/duzozo/duzozoConfig.cmake
      ${LIBDIR}/cmake/duzozo/duzozoConfigVersion.cmake ${LIBDIR}/pkgconfig/duzozo.pc
      share/doc/wobble/README.md)
  foreach(program ${PROGRAMS})
    list(APPEND installed bin/${program})
  endforeach()
  foreach(file ${installed})
    if(NOT EXISTS ${prefix}/${file})
      message(FATAL_ERROR "cmake --install did not install ${file}")
    endif()
  endforeach()
elseif(STEP STREQUAL "findpackage")
  build_project(${HERE}/findpackage ${WORK}/findpackage -DCMAKE_PREFIX_PATH=${prefix})
  expect_classic(${WORK}/findpackage/classic)
elseif(STEP STREQUAL "pkgconfig")
  run(${CMAKE_COMMAND} -E env PKG_CONFIG_PATH=${prefix}/${LIBDIR}/pkgconfig
      ${PKG_CONFIG} --cflags --libs --static duzozo)
  separate_arguments(package UNIX_COMMAND "${output}")
  separate_arguments(flags UNIX_COMMAND "${FLAGS}")
  run(${CC} -std=c99 -Wall -Wextra -Werror -pedantic ${flags} ${CLASSIC} ${package}
      -o ${WORK}/classic_c)
  expect_classic(${WORK}/classic_c)
elseif(STEP STREQUAL "subdirectory")
  # GoogleTest and Google Benchmark hidden: the library must not need them.
  build_project(${HERE}/subdirectory ${WORK}/subdirectory -DDUZOZO_SOURCE=${ROOT}
                -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON)
  expect_classic(${WORK}/subdirectory/scene)
  run(${CTEST} -N --test-dir ${WORK}/subdirectory)
  if(NOT output MATCHES "parent_scene" OR NOT output MATCHES "Total Tests: 1\n")
    message(FATAL_ERROR "the parent's tests are not its own alone:\n${output}")
  endif()
else()
  message(FATAL_ERROR "unknown step '${STEP}'")
endif()
