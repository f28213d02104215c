# Compiles one case of compile_error_test.cpp.  CASE names the macro to
# define, and the compiler must refuse the file with a message matching
# EXPECT; without CASE the file must compile.
# Arguments: CXX, FLAGS (a list), INCLUDES (a list), SOURCE, CASE, EXPECT.
set(args ${FLAGS} -std=c++17 -fsyntax-only)
foreach(dir IN LISTS INCLUDES)
  list(APPEND args -I${dir})
endforeach()
if(CASE)
  list(APPEND args -DTAMBERLO_CASE_${CASE})
endif()
execute_process(COMMAND ${CXX} ${args} ${SOURCE}
  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT CASE)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "the accepted forms do not compile:\n${output}")
  endif()
elseif(result EQUAL 0)
  message(FATAL_ERROR "TAMBERLO_CASE_${CASE} compiled")
elseif(NOT output MATCHES "${EXPECT}")
  message(FATAL_ERROR
    "TAMBERLO_CASE_${CASE} failed without naming \"${EXPECT}\":\n${output}")
endif()
