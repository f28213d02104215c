# Records: the suite, and the field types and class lists that must not
# compile (compile_error_test.cmake, with records' include paths).
tamberlo_add_test(records_test)
target_link_libraries(records_test PRIVATE Tamberlo::records)
if(TAMBERLO_BUILD_SLOW_TESTS)
  tamberlo_add_test(lock_records_test)
  target_link_libraries(lock_records_test PRIVATE Tamberlo::lock
    Tamberlo::records)
endif()

# Each compile takes seconds (nlohmann/json); records_test compiles the
# accepted forms.
if(tamberlo_sanitized)
  return()
endif()

set(records_includes
  "$<TARGET_PROPERTY:tamberlo,INTERFACE_INCLUDE_DIRECTORIES>"
  "$<TARGET_PROPERTY:tamberlo_records,INTERFACE_INCLUDE_DIRECTORIES>"
  # The compiler's own /usr/include must stay last on its path.
  "$<FILTER:$<TARGET_PROPERTY:nlohmann_json::nlohmann_json,INTERFACE_INCLUDE_DIRECTORIES>,EXCLUDE,^/usr/include/?$>")
tamberlo_add_compile_error_tests(Records
    ${CMAKE_CURRENT_SOURCE_DIR}/records_compile_error_test.cpp
    "${records_includes}"
    "FieldOfUnsupportedType|a record holds fields of type bool"
    "EnumerationWithoutFixedType|an enumeration only with a fixed underlying type"
    "OneVersionTwice|two classes have the same family and version")
