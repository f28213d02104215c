# Time limits for the tests that set their own.  Each is sized to hold on a
# machine four times slower than a quiet one, in the builds that run its
# test; valgrind runs tests tens of times slower than a plain build, so the
# memcheck preset raises TAMBERLO_TEST_TIME_SCALE, which multiplies them.
set(TAMBERLO_TEST_TIME_SCALE 1 CACHE STRING
  "Multiplies the time limits that tests set for themselves.")
if(NOT TAMBERLO_TEST_TIME_SCALE MATCHES "^[1-9][0-9]*$")
  message(FATAL_ERROR "TAMBERLO_TEST_TIME_SCALE must be a whole number of "
    "at least 1, not '${TAMBERLO_TEST_TIME_SCALE}'")
endif()

# Sets `out` to `seconds` times the scale.
function(tamberlo_time_limit out seconds)
  math(EXPR limit "${seconds} * ${TAMBERLO_TEST_TIME_SCALE}")
  set(${out} ${limit} PARENT_SCOPE)
endfunction()
