# Records: the suite, and the field types and class lists that must not
# compile (compile_error_test.cmake, with records' include paths).
tamberlo_add_test(records_test)
target_link_libraries(records_test PRIVATE Tamberlo::records)

set(records_includes
  "$<TARGET_PROPERTY:tamberlo,INTERFACE_INCLUDE_DIRECTORIES>"
  "$<TARGET_PROPERTY:tamberlo_records,INTERFACE_INCLUDE_DIRECTORIES>"
  # The compiler's own /usr/include must stay last on its path.
  "$<FILTER:$<TARGET_PROPERTY:nlohmann_json::nlohmann_json,INTERFACE_INCLUDE_DIRECTORIES>,EXCLUDE,^/usr/include/?$>")
foreach(case_message IN ITEMS "AcceptedForms|"
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

# Every float through a record: too long for the suite, so a tool run by
# hand (docs/design.md), built here so that it keeps compiling.
add_executable(record_floats record_floats.cpp)
target_link_libraries(record_floats PRIVATE Tamberlo::records)
tamberlo_compile_options(record_floats)
