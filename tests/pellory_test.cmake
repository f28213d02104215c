# Runs the program (under WRAPPER, if given) with arguments it must ignore,
# and checks its streams and exit code exactly.  With TEXT_CRLF, the program
# is a Windows one whose text streams end lines with CR LF; with
# TOOL_ON_STDERR, the wrapper writes to stderr as well.
cmake_minimum_required(VERSION 3.23)

set(expected_out "val Lat: 45.000000\nval Alt: 32808\n")
string(CONCAT expected_err
  "pellory: family 16 version 1 is not reachable; attitude exchange skipped\n"
  "pellory: family 18 version 1 is not reachable; velocity exchange skipped\n")

separate_arguments(wrapper UNIX_COMMAND "${WRAPPER}")
execute_process(COMMAND ${wrapper} ${PELLORY} --ignored argument
  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)

if(TEXT_CRLF)
  string(REPLACE "\r\n" "\n" out "${out}")
  string(REPLACE "\r\n" "\n" err "${err}")
endif()

if(NOT rc EQUAL 0)
  message(FATAL_ERROR "exit code ${rc}\nstderr:\n${err}")
endif()
if(NOT out STREQUAL expected_out)
  message(FATAL_ERROR "stdout was\n'${out}'\nexpected\n'${expected_out}'")
endif()
if(TOOL_ON_STDERR)
  # The wrapping tool reports on stderr too.
  string(FIND "${err}" "${expected_err}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "stderr lacks the program's lines:\n${err}")
  endif()
elseif(NOT err STREQUAL expected_err)
  message(FATAL_ERROR "stderr was\n'${err}'\nexpected\n'${expected_err}'")
endif()
