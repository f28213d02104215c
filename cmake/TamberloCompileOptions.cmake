# Flags every target of this tree is built with.  -ffp-contract=off keeps
# a*b+c from being fused into one multiply-add, which would change the last
# bit of the unit and attitude conversions between compilers and CPUs.
function(tamberlo_compile_options target)
  if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    target_compile_options(${target} PRIVATE
      -Wall -Wextra -Wpedantic -ffp-contract=off)
  elseif(MSVC)
    target_compile_options(${target} PRIVATE /W4 /fp:precise)
  endif()
endfunction()
