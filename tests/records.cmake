# Records: the suite, and the field types and class lists that must not
# compile (compile_error_test.cmake, with records' include paths).
tamberlo_add_test(records_test)
target_link_libraries(records_test PRIVATE Tamberlo::records)

# Each compile takes seconds (nlohmann/json), and what compiles does not
# depend on a sanitizer, so the legs without one check it.  records_test
# compiles the accepted forms.
if(CMAKE_CXX_FLAGS MATCHES "-fsanitize")
  return()
endif()

set(records_includes
  "$<TARGET_PROPERTY:tamberlo,INTERFACE_INCLUDE_DIRECTORIES>"
  "$<TARGET_PROPERTY:tamberlo_records,INTERFACE_INCLUDE_DIRECTORIES>"
  # The compiler's own /usr/include must stay last on its path.
  "$<FILTER:$<TARGET_PROPERTY:nlohmann_json::nlohmann_json,INTERFACE_INCLUDE_DIRECTORIES>,EXCLUDE,^/usr/include/?$>")
foreach(case_message IN ITEMS
    "FieldOfUnsupportedType|a record holds fields of type bool"
    "EnumerationWithoutFixedType|an enumeration only with a fixed underlying type"
    "OneVersionTwice|two classes have the same family and version")
  string(REPLACE "|" ";" case_message "${case_message}")
  list(GET case_message 0 case)
  list(GET case_message 1 message)
  add_test(NAME CompileError.Records${case}
    COMMAND ${CMAKE_COMMAND} -DCXX=${CMAKE_CXX_COMPILER} -DCASE=${case}
      "-DFLAGS=${compile_error_flags}" "-DEXPECT=${message}"
      "-DINCLUDES=${records_includes}"
      -DSOURCE=${CMAKE_CURRENT_SOURCE_DIR}/records_compile_error_test.cpp
      -P ${CMAKE_CURRENT_SOURCE_DIR}/compile_error_test.cmake)
endforeach()

