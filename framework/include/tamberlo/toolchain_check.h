/// \file
/// Stops a client whose compiler settings cannot work with the library at
/// compile time, with a message that says what to change, instead of letting
/// it link cleanly and crash.  The library's classes hold std::map members,
/// whose layout differs between libstdc++, its debug mode and libc++; the
/// client's imports carry no std:: type, so the linker cannot tell.
#ifndef TAMBERLO_TOOLCHAIN_CHECK_H_
#define TAMBERLO_TOOLCHAIN_CHECK_H_

#if (defined(_MSVC_LANG) ? _MSVC_LANG : __cplusplus) < 201703L
#error \
    "Tamberlo needs C++17 or later: compile with -std=c++17 (MSVC: /std:c++17)"
#endif

#include <tamberlo/built_with.h>

#include <cstddef>  // like any standard header, identifies its library

// Macros, not constants: the preprocessor compares them in #if.
// NOLINTBEGIN(cppcoreguidelines-macro-usage)
#define TAMBERLO_STDLIB_OTHER 0            ///< another standard library
#define TAMBERLO_STDLIB_LIBSTDCXX 1        ///< libstdc++, `_GLIBCXX_DEBUG` off
#define TAMBERLO_STDLIB_LIBSTDCXX_DEBUG 2  ///< libstdc++, `_GLIBCXX_DEBUG` on
#define TAMBERLO_STDLIB_LIBCXX 3           ///< libc++

/// \def TAMBERLO_STDLIB
/// The standard library, and its mode, that this code is compiled against:
/// one of the TAMBERLO_STDLIB_ values.  This header stops the compile with
/// an `#error` when it differs from TAMBERLO_BUILT_WITH_STDLIB.
/// \hideinitializer
#if defined(_LIBCPP_VERSION)
#define TAMBERLO_STDLIB TAMBERLO_STDLIB_LIBCXX
#elif defined(__GLIBCXX__) && defined(_GLIBCXX_DEBUG)
#define TAMBERLO_STDLIB TAMBERLO_STDLIB_LIBSTDCXX_DEBUG
#elif defined(__GLIBCXX__)
#define TAMBERLO_STDLIB TAMBERLO_STDLIB_LIBSTDCXX
#else
#define TAMBERLO_STDLIB TAMBERLO_STDLIB_OTHER
#endif
// NOLINTEND(cppcoreguidelines-macro-usage)

#if TAMBERLO_STDLIB != TAMBERLO_BUILT_WITH_STDLIB
#if TAMBERLO_BUILT_WITH_STDLIB == TAMBERLO_STDLIB_LIBSTDCXX
#error "libtamberlo was built against libstdc++ without _GLIBCXX_DEBUG"
#elif TAMBERLO_BUILT_WITH_STDLIB == TAMBERLO_STDLIB_LIBSTDCXX_DEBUG
#error "libtamberlo was built against libstdc++ with _GLIBCXX_DEBUG"
#elif TAMBERLO_BUILT_WITH_STDLIB == TAMBERLO_STDLIB_LIBCXX
#error "libtamberlo was built against libc++"
#endif
#if TAMBERLO_STDLIB == TAMBERLO_STDLIB_LIBSTDCXX
#error \
    "this code uses libstdc++ without _GLIBCXX_DEBUG: compile it with the library's standard library and mode, or rebuild Tamberlo with this code's flags"
#elif TAMBERLO_STDLIB == TAMBERLO_STDLIB_LIBSTDCXX_DEBUG
#error \
    "this code uses libstdc++ with _GLIBCXX_DEBUG: compile it with the library's standard library and mode (drop -D_GLIBCXX_DEBUG), or rebuild Tamberlo with this code's flags"
#elif TAMBERLO_STDLIB == TAMBERLO_STDLIB_LIBCXX
#error \
    "this code uses libc++: compile it with the library's standard library (drop -stdlib=libc++), or rebuild Tamberlo with this code's flags"
#else
#error \
    "this code uses another standard library: compile it with the library's, or rebuild Tamberlo with this code's flags"
#endif
#endif

#endif  // TAMBERLO_TOOLCHAIN_CHECK_H_
