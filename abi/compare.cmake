# Compares LIBRARY with the recorded BASELINE.  abidiff's exit code is a bit
# set: 1 error, 2 usage error, 4 an ABI change, 8 an incompatible one.  Any
# of them fails: a change to a layout, a member or a vtable shows as 4, a
# removed symbol as 8.  Added functions are compatible and not reported.
execute_process(
  COMMAND ${ABIDIFF} --no-added-syms --suppressions ${SUPPRESSIONS}
          ${BASELINE} ${LIBRARY}
  RESULT_VARIABLE rc OUTPUT_VARIABLE report ERROR_VARIABLE report)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR
    "libtamberlo's ABI differs from abi/libtamberlo.abi (abidiff: ${rc}):\n"
    "${report}")
endif()
