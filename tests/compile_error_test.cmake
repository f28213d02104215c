# Compiles compile_error_test.cpp with TAMBERLO_CASE_${CASE} defined: the
# compiler must refuse it with a message matching EXPECT.  CASE
# AcceptedForms must compile.  Also takes CXX, FLAGS, INCLUDES and SOURCE.
list(TRANSFORM INCLUDES PREPEND -I)
execute_process(
  COMMAND ${CXX} ${FLAGS} ${INCLUDES} -std=c++17 -fsyntax-only
          -DTAMBERLO_CASE_${CASE} ${SOURCE}
  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(CASE STREQUAL "AcceptedForms")
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "the accepted forms do not compile:\n${output}")
  endif()
elseif(result EQUAL 0 OR NOT output MATCHES "${EXPECT}")
  message(FATAL_ERROR "expected an error naming \"${EXPECT}\":\n${output}")
endif()
