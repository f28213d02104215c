# Consumes an installed Tamberlo the way an outside project would.
#   STEP=install      install BUILD_DIR into WORK_DIR/prefix (and run the
#                     installed pellory if WITH_PELLORY)
#   STEP=find_package build the examples with find_package(Tamberlo) and run
#                     them; natively with records, also lock family 60
#                     anew: the lock test fails until its update target
#                     writes the lock, the same bytes each time
#   STEP=pkg-config   compile the example with pkg-config's flags and run
#   STEP=toolchain    compile the example with a standard, or a mode of
#                     the standard library, that the library was not built
#                     with: it must stop with the message that says what to do
#   STEP=libcxx       the same with Clang's libc++; prints "SKIPPED" (which
#                     CTest reports as a skip) where libc++ is not installed
#   STEP=libcxxbuild  build and install the library with Clang's libc++,
#                     build the examples against it and run them: typed
#                     lookups from a client into the library's objects
#   STEP=static       build the library with BUILD_SHARED_LIBS=OFF, install
#                     it into WORK_DIR/static, build the examples against it
#                     with find_package and run them
#   STEP=deb          build the .debs and the tarball, check their split and
#                     lintian, unpack them into WORK_DIR/root, run pellory
#   STEP=zip          build the Windows .zip, check it, unpack it into
#                     WORK_DIR/root and run Pellory.exe
#   STEP=fetchcontent build tests/embedding, which takes SOURCE_DIR with
#                     FetchContent, and run it and its lock test
# find_package and pkg-config consume PREFIX if given (an unpacked package).
# The compiler and flags of the build under test are passed on, so that a
# sanitizer build is consumed by a sanitizer build.  A cross build passes
# its TOOLCHAIN file and its EMULATOR, which runs the programs; WINDOWS says
# which file names to expect.
cmake_minimum_required(VERSION 3.23)

set(prefix ${WORK_DIR}/prefix)
if(PREFIX)
  set(prefix ${PREFIX})
endif()
set(expected_read_old_version "lat 45.000000, alt 32808 ft\n")
set(expected_temperature
  "stored 100.00 C\nread 99 F\nMsg30_v1{fahrenheit=99}\nvia family 15: -40 F\nproblems: 0 and 0\n")
set(expected_temperature_v3
  "stored 100.00 C, 40%\nMsg30_v3{celsius=100, humidity=40}\nproblems: 0\nvia family 15: -40 F\nfamily 15 via family 30: none\n")
set(expected_battery
  "Battery_v1{millivolts=0, fahrenheit=68}\nBattery_v3{volts=3.712, amps=1.5, celsius=36.666668}\nBattery_v2{millivolts=3712, amps=1.5, celsius=36.666668}\nproblems: 0\n")
set(expected_evolving "\
rename (0 problems): Probe_v2{celsius=21.5} Probe_v1{temp=21.5}
add (0 problems): Weather_v2{celsius=18, humidity=50} Weather_v1{celsius=18}
unit, metres written (0 problems): Length_v2{metres=1.237} Length_v1{centimetres=124}
unit, centimetres written (0 problems): Length_v2{metres=2.5} Length_v1{centimetres=250}
widen (0 problems): Tank_v2{litres=2.5, level=0.10000000149011612} Tank_v1{litres=3, level=0.1}
remove (0 problems): Air_v2{celsius=18} Air_v1{celsius=18, pressure=990}
remove, another chain (0 problems): Air_v2{celsius=0} Air_v1{celsius=0, pressure=1013}
nest (0 problems): Fix_v2{position=Coordinates{lat=45.5, lng=7.25}} Fix_v1{lat=45.5, lng=7.25}
split (0 problems): Colour_v2{red=51, green=102, blue=153} Colour_v1{rgb=3368601}
merge (0 problems): Clock_v2{sinceMidnight=795} Clock_v1{hours=13, minutes=15}
remap (0 problems): Pump_v2{mode=2} Pump_v1{state=1}
")
set(expected_pellory "val Lat: 45.000000\nval Alt: 32808\n")
set(expected_replay_log
  "Msg15_v4{lat=45, lng=7.5, alt=9999.879}
{\"family\":15,\"version\":5,\"fields\":{\"position\":{\"lat\":45.0,\"lng\":7.5,\"alt\":9999.879}}}
Msg15_v4{lat=51.4778, lng=-0.1, alt=3048}
{\"family\":15,\"version\":5,\"fields\":{\"position\":{\"lat\":51.4778,\"lng\":-0.1,\"alt\":3048.0}}}
Msg15_v4{lat=31.5, lng=35.25, alt=-304.80002}
{\"family\":15,\"version\":5,\"fields\":{\"position\":{\"lat\":31.5,\"lng\":35.25,\"alt\":-304.80002}}}
skipped: record of family 15 version 2 (Msg15_v2): not JSON: parse error at line 1, column 44: syntax error while parsing object - unexpected end of input; expected '}'
")
# The example programs, each printing its expected_ text; the examples'
# lock test is the suite's, and lock_anew below locks their family anew.
set(example_programs
  read_old_version temperature temperature_v3 battery evolving)

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc
    OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "failed (${rc}): ${ARGN}\n${out}\n${err}")
  endif()
  set(out "${out}" PARENT_SCOPE)
endfunction()

# Runs the command after `message`, which must fail, printing `message`.
function(expect_error message)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc
    OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(rc EQUAL 0 OR NOT err MATCHES "${message}")
    message(FATAL_ERROR "expected '${message}' from: ${ARGN}\n${out}\n${err}")
  endif()
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

# Unpacks the one archive matching `pattern` into `dir`, without the
# archive's top-level folder.
function(unpack pattern dir)
  file(GLOB archive ${pattern})
  file(REMOVE_RECURSE ${dir}.tmp ${dir})
  file(MAKE_DIRECTORY ${dir}.tmp)
  execute_process(COMMAND ${CMAKE_COMMAND} -E tar xf ${archive}
    WORKING_DIRECTORY ${dir}.tmp COMMAND_ERROR_IS_FATAL ANY)
  file(GLOB top ${dir}.tmp/*)
  file(RENAME ${top} ${dir})
  file(REMOVE_RECURSE ${dir}.tmp)
endfunction()

# Fails unless the lists `actual` and `expected` hold the same items.
function(expect_same what actual expected)
  list(SORT actual)
  list(SORT expected)
  if(NOT actual STREQUAL expected)
    message(FATAL_ERROR "${what} holds\n${actual}\nexpected\n${expected}")
  endif()
endfunction()

# Sets `var` to the development files an install holds below its prefix,
# the .so link aside: headers, CMake package and tamberlo.pc; records', and
# the lock's header of records, only WITH_RECORDS.
function(development_files var libdir)
  file(GLOB headers RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/*/include/tamberlo/*.h)
  list(FILTER headers EXCLUDE REGEX "^demo/")
  set(files Config ConfigVersion LockTargets LockTest Targets Targets-release)
  if(WITH_RECORDS)
    list(APPEND files RecordsTargets)
  else()
    list(FILTER headers EXCLUDE REGEX "^records/|/lock_records\\.h$")
  endif()
  list(TRANSFORM headers REPLACE "^[a-z]+/include/" "include/")
  list(APPEND headers include/tamberlo/built_with.h  # generated
    include/tamberlo/version.h)
  list(APPEND headers ${libdir}/pkgconfig/tamberlo.pc)
  foreach(f IN LISTS files)
    list(APPEND headers ${libdir}/cmake/Tamberlo/Tamberlo${f}.cmake)
  endforeach()
  set(${var} ${headers} PARENT_SCOPE)
endfunction()

# Locks family 60 in a project of its own at `dir`, with the lock file in
# it: the test fails, naming the update target, until that target writes
# the file; writing it again gives the same bytes, and the test passes.
function(lock_anew dir)
  file(REMOVE_RECURSE ${dir})
  file(WRITE ${dir}/CMakeLists.txt [=[
cmake_minimum_required(VERSION 3.23)
project(Lock LANGUAGES CXX)
enable_testing()
find_package(Tamberlo 1.0 CONFIG REQUIRED)
add_library(sensor STATIC ${EXAMPLES}/sensor.cpp)
target_link_libraries(sensor PUBLIC Tamberlo::tamberlo)
tamberlo_add_lock_test(sensor_lock
  LOCK_FILE sensor.lock
  HEADERS ${EXAMPLES}/sensor.h
  CLASSES Sensor_v1 Sensor_v2 Sensor_v3
  LIBRARIES sensor)
]=])
  run(${CMAKE_COMMAND} -S ${dir} -B ${dir}/build ${platform}
    -DEXAMPLES=${SOURCE_DIR}/examples -DCMAKE_CXX_FLAGS=${CXX_FLAGS}
    -DCMAKE_EXE_LINKER_FLAGS=${LINKER_FLAGS})
  run(${CMAKE_COMMAND} --build ${dir}/build)
  set(test ${CMAKE_CTEST_COMMAND} --test-dir ${dir}/build --output-on-failure)
  execute_process(COMMAND ${test} RESULT_VARIABLE rc OUTPUT_VARIABLE out)
  if(rc EQUAL 0 OR EXISTS ${dir}/sensor.lock OR NOT out MATCHES
     "no lock file [^\n]*: build the target sensor_lock_update to write it")
    message(FATAL_ERROR "a lock test without its lock file:\n${out}")
  endif()
  run(${CMAKE_COMMAND} --build ${dir}/build --target sensor_lock_update)
  file(READ ${dir}/sensor.lock first)
  run(${CMAKE_COMMAND} --build ${dir}/build --target sensor_lock_update)
  file(READ ${dir}/sensor.lock second)
  if(NOT first STREQUAL second)
    message(FATAL_ERROR "writing the lock twice gave\n${first}\nand\n${second}")
  endif()
  run(${test})
endfunction()

set(licence share/doc/Tamberlo/LICENSE)
set(compile -fsyntax-only -I${prefix}/include
  ${SOURCE_DIR}/examples/read_old_version.cpp)
set(built "libtamberlo was built against libstdc\\+\\+ without _GLIBCXX_DEBUG")

if(WINDOWS)
  set(installed bin/Tamberlo.dll lib/libTamberlo.dll.a lib/pkgconfig/tamberlo.pc)
  set(pellory bin/Pellory.exe)
  set(exe .exe)
  # Windows finds the DLL on its search path.
  set(ENV{WINEPATH} "Z:${prefix}/bin")
else()
  set(installed ${LIBDIR}/libtamberlo.so.1 ${LIBDIR}/pkgconfig/tamberlo.pc)
  set(pellory bin/pellory)
  set(exe "")
endif()

if(STEP STREQUAL "install")
  file(REMOVE_RECURSE ${prefix})
  run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})
  foreach(f include/tamberlo/tamberlo.h include/tamberlo/version.h
            ${licence} ${LIBDIR}/cmake/Tamberlo/TamberloConfig.cmake
            ${LIBDIR}/cmake/Tamberlo/TamberloConfigVersion.cmake ${installed})
    if(NOT EXISTS ${prefix}/${f})
      message(FATAL_ERROR "install did not produce ${f}")
    endif()
  endforeach()
  # The Debian packages' own copyright files and changelogs are theirs.
  file(GLOB debian_only ${prefix}/share/doc/*/copyright
    ${prefix}/share/doc/*/changelog.gz)
  if(debian_only)
    message(FATAL_ERROR "a plain install holds ${debian_only}")
  endif()
  if(WITH_PELLORY)
    # Finds the installed library through its run path, or beside it; a
    # build laid out for /usr has no run path.
    if(NOT PELLORY_RUN_PATH)
      set(ENV{LD_LIBRARY_PATH} ${prefix}/${LIBDIR})
    endif()
    expect_output(${prefix}/${pellory} pellory)
  endif()
elseif(STEP STREQUAL "find_package")
  set(build ${WORK_DIR}/find_package)
  file(REMOVE_RECURSE ${build})
  if(TOOLCHAIN)
    # A cross toolchain confines package searches to its target root.
    set(platform -DCMAKE_TOOLCHAIN_FILE=${TOOLCHAIN}
      -DTamberlo_DIR=${prefix}/${LIBDIR}/cmake/Tamberlo)
  else()
    set(platform -DCMAKE_CXX_COMPILER=${CXX} -DCMAKE_PREFIX_PATH=${prefix})
  endif()
  run(${CMAKE_COMMAND} -S ${SOURCE_DIR}/examples -B ${build} ${platform}
    -DCMAKE_CXX_FLAGS=${CXX_FLAGS}
    -DCMAKE_EXE_LINKER_FLAGS=${LINKER_FLAGS})
  set(programs ${example_programs})
  if(WITH_RECORDS)
    list(APPEND programs replay_log)
  endif()
  run(${CMAKE_COMMAND} --build ${build} --target ${programs})
  foreach(program IN LISTS programs)
    expect_output(${build}/${program}${exe} ${program})
  endforeach()
  # The installed tamberlo_add_lock_test; each lock test is a program to
  # compile, so only in the legs that build records (release, packages).
  if(WITH_RECORDS AND NOT TOOLCHAIN AND NOT PREFIX)
    lock_anew(${WORK_DIR}/lock)
  endif()
  # Without nlohmann/json, only a client that asks for records misses it.
  file(WRITE ${WORK_DIR}/no_json/CMakeLists.txt [=[
cmake_minimum_required(VERSION 3.23)
project(NoJson LANGUAGES CXX)
find_package(Tamberlo 1.0 CONFIG REQUIRED)
find_package(Tamberlo 1.0 CONFIG QUIET COMPONENTS records)
if(NOT TARGET Tamberlo::tamberlo OR TARGET Tamberlo::records OR Tamberlo_FOUND)
  message(FATAL_ERROR "records found without nlohmann/json")
endif()
]=])
  run(${CMAKE_COMMAND} -S ${WORK_DIR}/no_json -B ${WORK_DIR}/no_json/build
    ${platform} -DCMAKE_DISABLE_FIND_PACKAGE_nlohmann_json=ON)
elseif(STEP STREQUAL "pkg-config")
  set(ENV{PKG_CONFIG_PATH} ${prefix}/${LIBDIR}/pkgconfig)
  run(${PKG_CONFIG} --modversion tamberlo)
  if(NOT out STREQUAL "${VERSION}\n")
    message(FATAL_ERROR "pkg-config reports version ${out}")
  endif()
  run(${PKG_CONFIG} --cflags --libs tamberlo)
  separate_arguments(flags UNIX_COMMAND "${out} ${CXX_FLAGS} ${LINKER_FLAGS}")
  if(NOT WINDOWS)
    # Found at run time through its run path; Windows looks on WINEPATH.
    run(${PKG_CONFIG} --variable=libdir tamberlo)
    string(STRIP "${out}" libdir)
    list(APPEND flags -Wl,-rpath,${libdir})
  endif()
  set(program ${WORK_DIR}/pkg_config_example${exe})
  run(${CXX} -std=c++17 ${SOURCE_DIR}/examples/read_old_version.cpp
    ${flags} -o ${program})
  expect_output(${program} read_old_version)
elseif(STEP STREQUAL "toolchain")
  run(${CXX} -std=c++17 ${compile})
  expect_error("needs C\\+\\+17 or later: compile with -std=c\\+\\+17"
    ${CXX} -std=c++14 ${compile})
  expect_error(
    "${built}.*uses libstdc\\+\\+ with _GLIBCXX_DEBUG.*drop -D_GLIBCXX_DEBUG"
    ${CXX} -std=c++17 -D_GLIBCXX_DEBUG ${compile})
  if(CLANG)
    run(${CLANG} -std=c++17 ${compile})
  endif()
elseif(STEP STREQUAL "libcxx")
  # Without libc++ no client can be compiled against it, so there is
  # nothing to stop.
  file(MAKE_DIRECTORY ${WORK_DIR})
  file(WRITE ${WORK_DIR}/libcxx.cpp "#include <cstddef>\n")
  execute_process(COMMAND ${CLANG} -std=c++17 -stdlib=libc++ -fsyntax-only
      ${WORK_DIR}/libcxx.cpp
    RESULT_VARIABLE rc OUTPUT_QUIET ERROR_QUIET)
  if(NOT rc EQUAL 0)
    message("SKIPPED: ${CLANG} finds no libc++ headers")
    return()
  endif()
  expect_error("${built}.*uses libc\\+\\+.*drop -stdlib=libc\\+\\+"
    ${CLANG} -std=c++17 -stdlib=libc++ ${compile})
elseif(STEP STREQUAL "libcxxbuild")
  set(build ${WORK_DIR}/libcxx-build)
  set(prefix ${WORK_DIR}/libcxx)
  file(REMOVE_RECURSE ${build} ${prefix} ${WORK_DIR}/libcxx-examples)
  run(${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${build} -DCMAKE_BUILD_TYPE=Release
    -DCMAKE_INSTALL_LIBDIR=${LIBDIR} -DCMAKE_CXX_COMPILER=${CLANG}
    -DCMAKE_CXX_FLAGS=-stdlib=libc++ -DTAMBERLO_BUILD_TESTS=OFF
    -DTAMBERLO_BUILD_DEMO=OFF -DTAMBERLO_BUILD_EXAMPLES=OFF
    -DTAMBERLO_BUILD_RECORDS=OFF)
  run(${CMAKE_COMMAND} --build ${build} --parallel 2)
  run(${CMAKE_COMMAND} --install ${build} --prefix ${prefix})
  set(build ${WORK_DIR}/libcxx-examples)
  run(${CMAKE_COMMAND} -S ${SOURCE_DIR}/examples -B ${build}
    -DCMAKE_CXX_COMPILER=${CLANG} -DCMAKE_PREFIX_PATH=${prefix}
    -DCMAKE_CXX_FLAGS=-stdlib=libc++)
  run(${CMAKE_COMMAND} --build ${build} --target read_old_version temperature)
  foreach(example read_old_version temperature)
    expect_output(${build}/${example} ${example})
  endforeach()
elseif(STEP STREQUAL "static")
  set(build ${WORK_DIR}/static-build)
  set(prefix ${WORK_DIR}/static)
  file(REMOVE_RECURSE ${build} ${prefix} ${WORK_DIR}/static-examples)
  run(${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${build} -DBUILD_SHARED_LIBS=OFF
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_LIBDIR=${LIBDIR}
    -DCMAKE_CXX_COMPILER=${CXX}
    -DCMAKE_CXX_FLAGS=${CXX_FLAGS} -DTAMBERLO_BUILD_TESTS=OFF
    -DTAMBERLO_BUILD_DEMO=OFF -DTAMBERLO_BUILD_EXAMPLES=OFF)
  run(${CMAKE_COMMAND} --build ${build} --parallel 2)
  run(${CMAKE_COMMAND} --install ${build} --prefix ${prefix})
  file(GLOB shared ${prefix}/${LIBDIR}/libtamberlo.so*)
  if(shared OR NOT EXISTS ${prefix}/${LIBDIR}/libtamberlo.a)
    message(FATAL_ERROR "the static install holds '${shared}' and "
      "no ${LIBDIR}/libtamberlo.a")
  endif()
  set(build ${WORK_DIR}/static-examples)
  run(${CMAKE_COMMAND} -S ${SOURCE_DIR}/examples -B ${build}
    -DCMAKE_CXX_COMPILER=${CXX} -DCMAKE_PREFIX_PATH=${prefix}
    -DCMAKE_CXX_FLAGS=${CXX_FLAGS} -DCMAKE_EXE_LINKER_FLAGS=${LINKER_FLAGS})
  run(${CMAKE_COMMAND} --build ${build} --target ${example_programs})
  foreach(example IN LISTS example_programs)
    expect_output(${build}/${example} ${example})
  endforeach()
elseif(STEP STREQUAL "deb")
  file(REMOVE_RECURSE ${WORK_DIR})
  run(${CPACK} --config ${BUILD_DIR}/CPackConfig.cmake -B ${WORK_DIR}/cpack)
  set(lib usr/${LIBDIR})
  development_files(dev ${LIBDIR})
  list(TRANSFORM dev PREPEND usr/)
  set(files_libtamberlo1 ${lib}/libtamberlo.so.1 ${lib}/libtamberlo.so.${VERSION})
  set(files_libtamberlo-dev ${dev} ${lib}/libtamberlo.so)
  set(files_pellory usr/bin/pellory usr/share/man/man1/pellory.1.gz)
  set(depends_libtamberlo1 "libstdc\\+\\+6 ")
  set(depends_libtamberlo-dev "^libtamberlo1 \\(= ${VERSION}\\)\n$")
  set(depends_pellory "^libtamberlo1 \\(= ${VERSION}\\), .*libstdc\\+\\+6 ")
  # Records need nlohmann/json; clients without them do not.
  set(recommends_libtamberlo-dev "")
  if(WITH_RECORDS)
    set(recommends_libtamberlo-dev "nlohmann-json3-dev (>= 3.11)")
  endif()
  set(all "")
  foreach(package libtamberlo1 libtamberlo-dev pellory)
    file(GLOB deb ${WORK_DIR}/cpack/${package}_${VERSION}_*.deb)
    list(APPEND debs ${deb})
    run(dpkg-deb --contents ${deb})
    string(REGEX MATCHALL "\\./[^ \n]*[^/ \n]( -> [^\n]*)?\n" listed "${out}")
    list(TRANSFORM listed REPLACE "^\\./([^ \n]*).*" "\\1")
    expect_same(${package} "${listed}" "${files_${package}};\
usr/share/doc/${package}/copyright;usr/share/doc/${package}/changelog.gz")
    list(APPEND all ${listed})
    run(dpkg-deb --field ${deb} Depends)
    if(NOT out MATCHES "${depends_${package}}")
      message(FATAL_ERROR "${package} depends on ${out}")
    endif()
    run(dpkg-deb --field ${deb} Recommends)
    string(STRIP "${out}" out)
    if(NOT out STREQUAL "${recommends_${package}}")
      message(FATAL_ERROR "${package} recommends ${out}")
    endif()
    run(dpkg-deb -x ${deb} ${WORK_DIR}/root)
  endforeach()
  # The tarball holds the plain install tree below /usr: each of its files
  # is in exactly one package, and the licence stands for the packages'
  # copyright files and changelogs.
  unpack(${WORK_DIR}/cpack/Tamberlo-${VERSION}-*.tar.gz ${WORK_DIR}/tree)
  file(GLOB_RECURSE tree RELATIVE ${WORK_DIR}/tree ${WORK_DIR}/tree/*)
  list(FILTER all EXCLUDE REGEX "^usr/share/doc/")
  list(TRANSFORM all REPLACE "^usr/" "")
  expect_same("the tarball" "${tree}" "${all};${licence}")
  list(GET debs 0 runtime)
  run(dpkg-deb --info ${runtime} shlibs)
  if(NOT out STREQUAL "libtamberlo 1 libtamberlo1 (= ${VERSION})\n")
    message(FATAL_ERROR "libtamberlo1's shlibs: ${out}")
  endif()
  run(${LINTIAN} --fail-on error ${debs})
  message("${out}")
  set(ENV{LD_LIBRARY_PATH} ${WORK_DIR}/root/${lib})
  expect_output(${WORK_DIR}/root/usr/bin/pellory pellory)
elseif(STEP STREQUAL "zip")
  file(REMOVE_RECURSE ${WORK_DIR})
  run(${CPACK} --config ${BUILD_DIR}/CPackConfig.cmake -B ${WORK_DIR}/cpack)
  unpack(${WORK_DIR}/cpack/Tamberlo-${VERSION}-*.zip ${WORK_DIR}/root)
  file(GLOB_RECURSE listed RELATIVE ${WORK_DIR}/root ${WORK_DIR}/root/*)
  development_files(expected lib)
  expect_same("the zip" "${listed}" "${expected};bin/Tamberlo.dll;\
bin/Pellory.exe;lib/libTamberlo.dll.a;${licence}")
  expect_output(${WORK_DIR}/root/bin/Pellory.exe pellory)
elseif(STEP STREQUAL "fetchcontent")
  set(build ${WORK_DIR}/embedding)
  file(REMOVE_RECURSE ${build})
  # tests/embedding checks that the library adds no programs or tests.
  run(${CMAKE_COMMAND} -S ${SOURCE_DIR}/tests/embedding -B ${build}
    -DCMAKE_CXX_COMPILER=${CXX} -DFETCHCONTENT_SOURCE_DIR_TAMBERLO=${SOURCE_DIR}
    -DCMAKE_EXPORT_COMPILE_COMMANDS=ON -DCMAKE_CXX_FLAGS=${CXX_FLAGS}
    -DCMAKE_EXE_LINKER_FLAGS=${LINKER_FLAGS})
  run(${CMAKE_COMMAND} --build ${build})
  expect_output(${build}/read_old_version read_old_version)
  run(${CMAKE_CTEST_COMMAND} --test-dir ${build} --output-on-failure)
  # The library's warning flags stay on its own target.
  file(READ ${build}/compile_commands.json commands)
  string(REGEX MATCH "[^\n]*read_old_version\\.cpp\\.o[^\n]*" command
    "${commands}")
  if(NOT command OR command MATCHES " -W| -ffp-contract")
    message(FATAL_ERROR "the parent's compile command: '${command}'")
  endif()
  # Nor does it install anything.
  run(${CMAKE_COMMAND} --install ${build} --prefix ${WORK_DIR}/embedded-install)
  if(EXISTS ${WORK_DIR}/embedded-install)
    message(FATAL_ERROR "the embedded library installed files")
  endif()
else()
  message(FATAL_ERROR "unknown STEP '${STEP}'")
endif()
