# Sets TAMBERLO_BUILT_WITH_STDLIB to the standard library that the library
# is compiled against, as toolchain_check.h numbers them.  Asked again at
# every configure, so a changed CMAKE_CXX_FLAGS is never answered from the
# cache; the library includes the recorded header too, so a record that
# disagrees with the library's own compilation fails its build.
include(CheckCXXSourceCompiles)

function(tamberlo_detect_stdlib)
  set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)
  if(CMAKE_BUILD_TYPE)
    set(CMAKE_TRY_COMPILE_CONFIGURATION ${CMAKE_BUILD_TYPE})
  endif()
  set(CMAKE_REQUIRED_QUIET ON)
  set(stdlib 0)
  foreach(candidate
      "3;defined(_LIBCPP_VERSION)"
      "2;defined(__GLIBCXX__) && defined(_GLIBCXX_DEBUG)"
      "1;defined(__GLIBCXX__)")
    list(GET candidate 0 number)
    list(GET candidate 1 condition)
    unset(TAMBERLO_STDLIB_IS_${number} CACHE)
    check_cxx_source_compiles("#include <cstddef>
#if !(${condition})
#error not this one
#endif
" TAMBERLO_STDLIB_IS_${number})
    if(TAMBERLO_STDLIB_IS_${number})
      set(stdlib ${number})
      break()
    endif()
  endforeach()
  set(TAMBERLO_BUILT_WITH_STDLIB ${stdlib} PARENT_SCOPE)
endfunction()
