# Installs the build into a fresh prefix, builds a small host project of its
# own against the installed tree only, creates a class by ProgID from that
# project's program without registration (the store installed beside the
# libraries serves it), then registers the installed libraries with the
# installed `skein10` into a private store and creates one from there.
#   cmake -DBUILD_DIR=... -DSOURCE_DIR=... -DWORK_DIR=... -DGENERATOR=... [-DCXX_FLAGS=...] -P InstallTest.cmake

function(run_step)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out TIMEOUT 300)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "failed (${status}): ${ARGN}\n${out}")
  endif()
  set(step_output "${out}" PARENT_SCOPE)
endfunction()

function(expect_in text wanted)
  string(FIND "${text}" "${wanted}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "expected '${wanted}' in:\n${text}")
  endif()
endfunction()

set(prefix ${WORK_DIR}/prefix)
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})

run_step(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})
file(GLOB_RECURSE package_files RELATIVE ${prefix} ${prefix}/*)
foreach(wanted bin/skein10 include/skein10/Automation.h include/skein10/Component.h lib/libskein10rt.so
               lib/libskein10rt.so.1 lib/skein10/libskein10.so lib/skein10/libkvmarrow10.so lib/skein10/registry
               lib/cmake/Skein10/Skein10Config.cmake lib/pkgconfig/skein10.pc)
  if(NOT EXISTS ${prefix}/${wanted})
    message(FATAL_ERROR "not installed: ${wanted}\ninstalled: ${package_files}")
  endif()
endforeach()

set(ENV{PKG_CONFIG_PATH} ${prefix}/lib/pkgconfig)
run_step(pkg-config --cflags --libs skein10)
expect_in("${step_output}" "-lskein10rt")
expect_in("${step_output}" "/include")

run_step(${CMAKE_COMMAND} -S ${SOURCE_DIR}/tests/host/outside -B ${WORK_DIR}/outside -G ${GENERATOR}
         -DCMAKE_PREFIX_PATH=${prefix} -DCMAKE_BUILD_TYPE=Debug "-DCMAKE_CXX_FLAGS=${CXX_FLAGS}")
run_step(${CMAKE_COMMAND} --build ${WORK_DIR}/outside -v)
# The outside host's compile line carries none of the runtime's Asio settings.
foreach(leaked ASIO_STANDALONE ASIO_NO_DEPRECATED ASIO_DISABLE_STD_ALIGNED_ALLOC)
  string(FIND "${step_output}" "${leaked}" at)
  if(NOT at EQUAL -1)
    message(FATAL_ERROR "the installed package passes ${leaked} to hosts:\n${step_output}")
  endif()
endforeach()
# Only the public headers are installed: none of the project's internal ones.
foreach(internal platform ftp host)
  if(EXISTS ${prefix}/include/${internal})
    message(FATAL_ERROR "internal headers installed: include/${internal}")
  endif()
endforeach()

set(ENV{SKEIN10_REGISTRY} ${WORK_DIR}/registry)
unset(ENV{SKEIN10_INSTALLED_REGISTRY})
run_step(${WORK_DIR}/outside/outside_host Skein10.clsKvInetAdvancedA)
expect_in("${step_output}" "_clsKvInetAdvancedA")
run_step(${prefix}/bin/skein10 register)
expect_in("${step_output}" "registered ${prefix}/lib/skein10/libskein10.so")
run_step(${WORK_DIR}/outside/outside_host Skein10.clsKvInetGeneralA)
expect_in("${step_output}" "_clsKvInetGeneralA")
message(STATUS "the installed tree serves an outside host")
