# Reads the export and import tables of the Windows binaries on the build
# host with MinGW's objdump.
#   STEP=exports  Tamberlo.dll exports exactly the library's out-of-line
#                 members, each by name
#   STEP=imports  Pellory.exe takes exactly getInstance and getVersion from
#                 Tamberlo.dll
# Both binaries must import nothing but system DLLs besides the library: the
# runtime is linked in statically.
cmake_minimum_required(VERSION 3.23)

set(map_spelling "std::map<int, MsgBase*, std::less<int>, std::allocator<std::pair<int const, MsgBase*> > >")
set(system_dlls KERNEL32.dll msvcrt.dll)

function(read_table file)
  execute_process(COMMAND ${OBJDUMP} -p ${file}
    RESULT_VARIABLE rc OUTPUT_VARIABLE text ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${OBJDUMP} -p ${file} failed: ${err}")
  endif()
  string(REPLACE ";" "\\;" text "${text}")
  string(REPLACE "\n" ";" lines "${text}")
  set(lines "${lines}" PARENT_SCOPE)
endfunction()

# Demangled, with the map type spelled MsgMap, each name once, sorted.
function(demangle out_var)
  string(JOIN "\n" mangled ${ARGN})
  file(WRITE ${WORK_DIR}/mangled.txt "${mangled}\n")
  execute_process(COMMAND ${CXXFILT} INPUT_FILE ${WORK_DIR}/mangled.txt
    OUTPUT_VARIABLE plain COMMAND_ERROR_IS_FATAL ANY)
  string(REPLACE "${map_spelling}" "MsgMap" plain "${plain}")
  string(STRIP "${plain}" plain)
  string(REPLACE "\n" ";" names "${plain}")
  list(REMOVE_DUPLICATES names)
  list(SORT names)
  set(${out_var} "${names}" PARENT_SCOPE)
endfunction()

function(expect_equal what actual)
  set(expected ${ARGN})
  list(SORT expected)
  if(NOT "${actual}" STREQUAL "${expected}")
    string(REPLACE ";" "\n  " actual "${actual}")
    string(REPLACE ";" "\n  " expected "${expected}")
    message(FATAL_ERROR
      "${what}:\n  ${actual}\nexpected:\n  ${expected}")
  endif()
endfunction()

# The DLLs a binary imports from, other than the allowed ones.
function(expect_only_system_dlls file)
  read_table(${file})
  set(allowed ${system_dlls} ${ARGN})
  set(foreign "")
  foreach(line IN LISTS lines)
    if(line MATCHES "DLL Name: (.+)$")
      set(dll "${CMAKE_MATCH_1}")
      if(NOT dll IN_LIST allowed)
        list(APPEND foreign "${dll}")
      endif()
    endif()
  endforeach()
  if(foreign)
    message(FATAL_ERROR "${file} needs runtime DLLs: ${foreign}")
  endif()
endfunction()

file(MAKE_DIRECTORY ${WORK_DIR})

if(STEP STREQUAL "exports")
  read_table(${DLL})
  set(in_names OFF)
  set(in_addresses OFF)
  set(addresses 0)
  set(mangled "")
  foreach(line IN LISTS lines)
    if(line MATCHES "^Export Address Table --")
      set(in_addresses ON)
    elseif(line MATCHES "^\\[Ordinal/Name Pointer\\] Table")
      set(in_names ON)
    elseif(line STREQUAL "")
      set(in_names OFF)
      set(in_addresses OFF)
    elseif(in_addresses AND line MATCHES "Export RVA")
      math(EXPR addresses "${addresses} + 1")
    elseif(in_names AND line MATCHES "^\t\\[ *[0-9]+\\] (.+)$")
      list(APPEND mangled "${CMAKE_MATCH_1}")
    endif()
  endforeach()
  list(LENGTH mangled named)
  if(NOT named EQUAL addresses OR named EQUAL 0)
    message(FATAL_ERROR
      "${addresses} exported addresses but ${named} names: "
      "something is exported by ordinal only")
  endif()
  demangle(exported ${mangled})
  foreach(name IN LISTS exported)
    if(name MATCHES "El(Base|ementCur|ementPrev|Interface)|std::")
      message(FATAL_ERROR "exported by mistake: ${name}")
    endif()
  endforeach()
  expect_equal("Tamberlo.dll exports" "${exported}"
    "EulerAngles::setFromQuaternion(Quaternions&)"
    "Quaternions::setFromEA(EulerAngles&)"
    "MsgBase::MsgBase(int, int, MsgMap&)"
    "MsgBase::setRoot(MsgBase*, int)"
    "MsgBase::getInstance(int)"
    "MsgBase::getVersion(int, int)"
    "Msg15_v2::Msg15_v2(MsgMap&)"
    "Msg15_v3::Msg15_v3(MsgMap&)"
    "Msg15_v3::init()"
    "Msg15_v4::Msg15_v4(MsgMap&)"
    "Msg15_v4::init()"
    "Msg15_v4::getAlt()"
    "Msg15_v4::setAlt(int)"
    "Msg15_v5::Msg15_v5(MsgMap&)"
    "Msg15_v5::init()"
    "Msg15_v5::getLat()"
    "Msg15_v5::setLat(float)"
    "Msg15_v5::getLng()"
    "Msg15_v5::setLng(float)"
    "Msg15_v5::getAlt()"
    "Msg15_v5::setAlt(float)"
    "Msg16_v1::Msg16_v1(MsgMap&)"
    "Msg16_v2::Msg16_v2(MsgMap&)"
    "Msg16_v2::init()"
    "Msg16_v2::getAtt()"
    "Msg16_v2::setAtt(EulerAngles)"
    "tamberlo::detail::settleAnnouncement(MsgBase*, bool)")
  expect_only_system_dlls(${DLL})
elseif(STEP STREQUAL "imports")
  read_table(${EXE})
  set(in_library OFF)
  set(blocks 0)
  set(mangled "")
  foreach(line IN LISTS lines)
    if(line MATCHES "DLL Name: (.+)$")
      if(CMAKE_MATCH_1 STREQUAL "Tamberlo.dll")
        set(in_library ON)
        math(EXPR blocks "${blocks} + 1")
      else()
        set(in_library OFF)
      endif()
    elseif(in_library AND line MATCHES "^\t[0-9a-f]+\t +[0-9]+ +(.+)$")
      list(APPEND mangled "${CMAKE_MATCH_1}")
    endif()
  endforeach()
  if(NOT blocks EQUAL 1)
    message(FATAL_ERROR "${EXE} names Tamberlo.dll ${blocks} times")
  endif()
  demangle(imported ${mangled})
  expect_equal("Pellory.exe imports from Tamberlo.dll" "${imported}"
    "MsgBase::getInstance(int)" "MsgBase::getVersion(int, int)")
  expect_only_system_dlls(${EXE} Tamberlo.dll)
else()
  message(FATAL_ERROR "unknown STEP '${STEP}'")
endif()
