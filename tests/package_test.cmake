# Consumes an installed Tamberlo the way an outside project would.
#   STEP=install      install BUILD_DIR into WORK_DIR/prefix (and run the
#                     installed pellory if WITH_PELLORY)
#   STEP=find_package build the examples with find_package(Tamberlo) and run
#   STEP=pkg-config   compile the example with pkg-config's flags and run
# The compiler and flags of the build under test are passed on, so that a
# sanitizer build is consumed by a sanitizer build.  A cross build passes
# its TOOLCHAIN file and its EMULATOR, which runs the programs; WINDOWS says
# which file names to expect.
cmake_minimum_required(VERSION 3.23)

set(prefix ${WORK_DIR}/prefix)
set(expected_read_old_version "lat 45.000000, alt 32808 ft\n")
set(expected_temperature "stored 100.00 C\nread 99 F\nvia family 15: -40 F\n")
set(expected_pellory "val Lat: 45.000000\nval Alt: 32808\n")

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc
    OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "failed (${rc}): ${ARGN}\n${out}\n${err}")
  endif()
  set(out "${out}" PARENT_SCOPE)
endfunction()

# Runs `program` and compares its stdout with expected_<name>.  Windows
# text streams end lines with CR LF.
function(expect_output program name)
  separate_arguments(emulator UNIX_COMMAND "${EMULATOR}")
  run(${emulator} ${program})
  string(REPLACE "\r\n" "\n" out "${out}")
  if(NOT out STREQUAL expected_${name})
    message(FATAL_ERROR
      "${program} printed\n'${out}'\nexpected\n'${expected_${name}}'")
  endif()
endfunction()

if(WINDOWS)
  set(installed bin/Tamberlo.dll lib/libTamberlo.dll.a)
  set(pellory bin/Pellory.exe)
  set(exe .exe)
  # Windows finds the DLL on its search path.
  set(ENV{WINEPATH} "Z:${prefix}/bin")
else()
  set(installed lib/libtamberlo.so.1 lib/pkgconfig/tamberlo.pc)
  set(pellory bin/pellory)
  set(exe "")
endif()

if(STEP STREQUAL "install")
  file(REMOVE_RECURSE ${prefix})
  run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})
  foreach(f include/tamberlo/tamberlo.h lib/cmake/Tamberlo/TamberloConfig.cmake
            lib/cmake/Tamberlo/TamberloConfigVersion.cmake ${installed})
    if(NOT EXISTS ${prefix}/${f})
      message(FATAL_ERROR "install did not produce ${f}")
    endif()
  endforeach()
  if(WITH_PELLORY)
    # Finds the installed library through its run path, or beside it.
    expect_output(${prefix}/${pellory} pellory)
  endif()
elseif(STEP STREQUAL "find_package")
  set(build ${WORK_DIR}/find_package)
  file(REMOVE_RECURSE ${build})
  if(TOOLCHAIN)
    # A cross toolchain confines package searches to its target root.
    set(platform -DCMAKE_TOOLCHAIN_FILE=${TOOLCHAIN}
      -DTamberlo_DIR=${prefix}/lib/cmake/Tamberlo)
  else()
    set(platform -DCMAKE_CXX_COMPILER=${CXX} -DCMAKE_PREFIX_PATH=${prefix})
  endif()
  run(${CMAKE_COMMAND} -S ${SOURCE_DIR}/examples -B ${build} ${platform}
    -DCMAKE_CXX_FLAGS=${CXX_FLAGS}
    -DCMAKE_EXE_LINKER_FLAGS=${LINKER_FLAGS})
  run(${CMAKE_COMMAND} --build ${build})
  expect_output(${build}/read_old_version${exe} read_old_version)
  expect_output(${build}/temperature${exe} temperature)
elseif(STEP STREQUAL "pkg-config")
  set(ENV{PKG_CONFIG_PATH} ${prefix}/lib/pkgconfig)
  run(${PKG_CONFIG} --modversion tamberlo)
  if(NOT out STREQUAL "${VERSION}\n")
    message(FATAL_ERROR "pkg-config reports version ${out}")
  endif()
  run(${PKG_CONFIG} --cflags --libs tamberlo)
  separate_arguments(flags UNIX_COMMAND "${out} ${CXX_FLAGS} ${LINKER_FLAGS}")
  run(${PKG_CONFIG} --variable=libdir tamberlo)
  string(STRIP "${out}" libdir)
  set(program ${WORK_DIR}/pkg_config_example)
  run(${CXX} -std=c++17 ${SOURCE_DIR}/examples/read_old_version.cpp
    ${flags} -Wl,-rpath,${libdir} -o ${program})
  expect_output(${program} read_old_version)
else()
  message(FATAL_ERROR "unknown STEP '${STEP}'")
endif()
