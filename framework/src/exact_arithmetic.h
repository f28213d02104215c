// Included by every source that converts values.  The conversions are
// specified as IEEE single and double operations, each rounded to its own
// type; a target that evaluates them in wider registers (x87 without SSE2)
// would give other bits for some inputs, so it must not build them.
#ifndef TAMBERLO_FRAMEWORK_SRC_EXACT_ARITHMETIC_H_
#define TAMBERLO_FRAMEWORK_SRC_EXACT_ARITHMETIC_H_

#include <cfloat>

static_assert(FLT_EVAL_METHOD == 0,
              "float and double must be evaluated in their own precision: "
              "on 32-bit x86 build with -msse2 -mfpmath=sse");

#endif  // TAMBERLO_FRAMEWORK_SRC_EXACT_ARITHMETIC_H_
