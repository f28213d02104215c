# Every C++ block (```cpp, or c++, cxx, cc) of the README and the guides
# must stand, line for line (indentation aside), in a file that the build
# compiles: an example, a test or a public header.  So a snippet cannot
# drift from the code.
cmake_minimum_required(VERSION 3.23)  # lists keep their empty lines

file(GLOB docs ${SOURCE_DIR}/README.md ${SOURCE_DIR}/CONTRIBUTING.md
  ${SOURCE_DIR}/docs/*.md)
file(GLOB_RECURSE compiled
  ${SOURCE_DIR}/examples/*.cpp ${SOURCE_DIR}/examples/*.h
  ${SOURCE_DIR}/tests/*.cpp ${SOURCE_DIR}/tests/*.h
  ${SOURCE_DIR}/*/include/tamberlo/*.h)

# The text as a CMake list of lines, without indentation, trailing blanks or
# carriage returns.  The characters that CMake's lists give a meaning to
# are replaced first, and put back by shown() below.
function(lines_of text out)
  string(REPLACE "\\" "<backslash>" text "${text}")
  string(REPLACE ";" "<semicolon>" text "${text}")
  string(REPLACE "[" "<open>" text "${text}")
  string(REPLACE "]" "<close>" text "${text}")
  string(REGEX REPLACE "[ \t\r]*\n[ \t]*" "\n" text "${text}")
  string(REPLACE "\n" ";" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

function(shown line out)
  string(REPLACE "<backslash>" "\\" line "${line}")
  string(REPLACE "<semicolon>" ";" line "${line}")
  string(REPLACE "<open>" "[" line "${line}")
  string(REPLACE "<close>" "]" line "${line}")
  set(${out} "${line}" PARENT_SCOPE)
endfunction()

# Each compiled file's lines, as ";line;line;...;" so that a search for
# ";a;b;" finds whole lines only.
set(count 0)
foreach(file IN LISTS compiled)
  file(READ ${file} content)
  lines_of("${content}" content)
  set(corpus_${count} ";${content};")
  math(EXPR count "${count} + 1")
endforeach()
math(EXPR last "${count} - 1")

# Reports the block that starts at line `at` of `doc`: it is in no compiled
# file.  Says how far it agrees with the compiled file that agrees longest,
# and its first line that differs.
function(report doc at block)
  set(longest 0)
  set(closest "")
  foreach(i RANGE ${last})
    set(prefix "")
    set(agree 0)
    foreach(line IN LISTS block)
      string(FIND "${corpus_${i}}" ";${prefix}${line};" found)
      if(found EQUAL -1)
        break()
      endif()
      string(APPEND prefix "${line};")
      math(EXPR agree "${agree} + 1")
    endforeach()
    if(agree GREATER longest)
      set(longest ${agree})
      list(GET compiled ${i} closest)
    endif()
  endforeach()
  file(RELATIVE_PATH name ${SOURCE_DIR} ${doc})
  list(GET block ${longest} differs)
  shown("${differs}" differs)
  math(EXPR line "${at} + ${longest} + 1")
  if(closest STREQUAL "")
    set(why "its first line is in no compiled file")
  else()
    file(RELATIVE_PATH closest ${SOURCE_DIR} ${closest})
    set(why "${closest} has its first ${longest} line(s), but not line ${line}")
  endif()
  string(APPEND why ":\n      ${differs}")
  set(failures "${failures}  ${name}:${at}: ${why}\n" PARENT_SCOPE)
endfunction()

set(failures "")
foreach(doc IN LISTS docs)
  file(READ ${doc} text)
  lines_of("${text}" lines)
  set(number 0)
  set(fence "")
  foreach(line IN LISTS lines)
    math(EXPR number "${number} + 1")
    if(fence STREQUAL "")
      string(TOLOWER "${line}" lower)
      if(lower MATCHES "^(```+|~~~+) *(cpp|c\\+\\+|cxx|cc)( .*)?$")
        set(fence ${CMAKE_MATCH_1})
        set(start ${number})
        set(block "")
        set(first TRUE)
      endif()
    elseif(line STREQUAL fence)
      set(fence "")
      set(found FALSE)
      foreach(i RANGE ${last})
        string(FIND "${corpus_${i}}" ";${block};" at)
        if(NOT at EQUAL -1)
          set(found TRUE)
          break()
        endif()
      endforeach()
      if(NOT found)
        report(${doc} ${start} "${block}")
      endif()
    elseif(first)
      set(block "${line}")
      set(first FALSE)
    else()
      string(APPEND block ";${line}")
    endif()
  endforeach()
  if(NOT fence STREQUAL "")
    file(RELATIVE_PATH name ${SOURCE_DIR} ${doc})
    string(APPEND failures "  ${name}:${start}: the block is never closed\n")
  endif()
endforeach()
if(failures)
  message(FATAL_ERROR
    "C++ snippets found in no compiled file (an example, a test or a public "
    "header), with indentation ignored:\n${failures}")
endif()
