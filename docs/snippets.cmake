# Every ```cpp block of the README and the guides must stand, line for
# line (indentation aside), in a file that the build compiles: an example,
# a test or a public header.  So a snippet cannot drift from the code.
file(GLOB docs ${SOURCE_DIR}/README.md ${SOURCE_DIR}/CONTRIBUTING.md
  ${SOURCE_DIR}/docs/*.md)
file(GLOB_RECURSE compiled
  ${SOURCE_DIR}/examples/*.cpp ${SOURCE_DIR}/examples/*.h
  ${SOURCE_DIR}/tests/*.cpp ${SOURCE_DIR}/tests/*.h
  ${SOURCE_DIR}/*/include/tamberlo/*.h)

# The text as a CMake list of lines, without indentation or trailing
# blanks.  The characters that CMake's lists give a meaning to are
# replaced first.
function(lines_of text out)
  string(REPLACE ";" "<semicolon>" text "${text}")
  string(REPLACE "[" "<open>" text "${text}")
  string(REPLACE "]" "<close>" text "${text}")
  string(REGEX REPLACE "[ \t]*\n[ \t]*" "\n" text "${text}")
  string(REPLACE "\n" ";" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

set(corpus "")
foreach(file IN LISTS compiled)
  file(READ ${file} content)
  lines_of("${content}" content)
  string(APPEND corpus ";${content};")
endforeach()

set(failures "")
foreach(doc IN LISTS docs)
  file(READ ${doc} text)
  lines_of("${text}" lines)
  set(block "")
  set(inside OFF)
  foreach(line IN LISTS lines)
    if(NOT inside AND line STREQUAL "```cpp")
      set(inside ON)
      set(block "")
    elseif(inside AND line STREQUAL "```")
      set(inside OFF)
      string(FIND "${corpus}" ";${block};" at)
      if(at EQUAL -1)
        string(REPLACE ";" "\n" shown "${block}")
        string(APPEND failures "${doc}:\n${shown}\n\n")
      endif()
    elseif(inside)
      if(block STREQUAL "")
        set(block "${line}")
      else()
        string(APPEND block ";${line}")
      endif()
    endif()
  endforeach()
endforeach()
if(failures)
  string(REPLACE "<semicolon>" ";" failures "${failures}")
  string(REPLACE "<open>" "[" failures "${failures}")
  string(REPLACE "<close>" "]" failures "${failures}")
  message(FATAL_ERROR "snippets found in no compiled file:\n${failures}")
endif()
