# Runs the program (under WRAPPER, if given) with arguments it must ignore,
# and checks its streams and exit code exactly.
set(expected_out "val Lat: 45.000000\nval Alt: 32808\n")
string(CONCAT expected_err
  "pellory: family 16 version 1 is not reachable; attitude exchange skipped\n"
  "pellory: family 18 version 1 is not reachable; velocity exchange skipped\n")

separate_arguments(wrapper UNIX_COMMAND "${WRAPPER}")
execute_process(COMMAND ${wrapper} ${PELLORY} --ignored argument
  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)

if(NOT rc EQUAL 0)
  message(FATAL_ERROR "exit code ${rc}\nstderr:\n${err}")
endif()
if(NOT out STREQUAL expected_out)
  message(FATAL_ERROR "stdout was\n'${out}'\nexpected\n'${expected_out}'")
endif()
if(WRAPPER)
  # The tool's own report is on stderr too; the program's lines come first.
  string(FIND "${err}" "${expected_err}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "stderr lacks the program's lines:\n${err}")
  endif()
elseif(NOT err STREQUAL expected_err)
  message(FATAL_ERROR "stderr was\n'${err}'\nexpected\n'${expected_err}'")
endif()
