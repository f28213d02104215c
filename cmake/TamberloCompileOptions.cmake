# Flags every target of this tree is built with.  -ffp-contract=off keeps
# a*b+c from being fused into one multiply-add, which would change the last
# bit of the unit and attitude conversions between compilers and CPUs.
# 32-bit x86 compilers may default to x87 arithmetic, which evaluates float
# and double expressions in 80-bit registers; SSE2 rounds every operation to
# its own type, as every other target does.  The conversion sources refuse
# to compile unless FLT_EVAL_METHOD is 0.
function(tamberlo_compile_options target)
  set(sse2 "")
  if(CMAKE_SIZEOF_VOID_P EQUAL 4 AND CMAKE_SYSTEM_PROCESSOR MATCHES
     "^([iI][3-6]86|x86|X86|x86_64|AMD64|amd64)$")
    if(MSVC)
      set(sse2 /arch:SSE2)
    else()
      set(sse2 -msse2 -mfpmath=sse)
    endif()
  endif()
  if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    target_compile_options(${target} PRIVATE
      -Wall -Wextra -Wpedantic -Wconversion -ffp-contract=off ${sse2})
  elseif(MSVC)
    target_compile_options(${target} PRIVATE /W4 /fp:precise ${sse2})
  endif()
endfunction()
