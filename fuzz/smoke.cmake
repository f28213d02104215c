# Runs FUZZER for RUNS inputs from the committed SEEDS, with a fixed seed so
# that a CI run is repeatable.  New inputs go to SCRATCH, emptied first, so
# the source tree is never written and every run starts alike.
file(REMOVE_RECURSE ${SCRATCH})
file(MAKE_DIRECTORY ${SCRATCH})
execute_process(
  COMMAND ${FUZZER} -runs=${RUNS} -seed=1 -rss_limit_mb=1024 -timeout=10
          -max_len=1024 -print_final_stats=1 ${SCRATCH} ${SEEDS}
  RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${FUZZER} exited with ${rc}")
endif()
