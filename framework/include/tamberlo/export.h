/// \file
/// Export macro for the classes that the library defines.
#ifndef TAMBERLO_EXPORT_H_
#define TAMBERLO_EXPORT_H_

#include <tamberlo/built_with.h>
#include <tamberlo/toolchain_check.h>

/// \def TAMBERLO_API
/// Marks a class that the library exports.  The shared library is built
/// with hidden visibility, so only what carries TAMBERLO_API can be reached
/// from outside.  Clients see the same headers without TAMBERLO_EXPORTS and
/// get the import side of the macro.  A static library exports nothing, and
/// its clients must not import.  Classes of one's own, which the library
/// does not export, go without it.
/// \hideinitializer
#if !TAMBERLO_BUILT_SHARED
#define TAMBERLO_API
#elif defined(_WIN32) || defined(__CYGWIN__)
#if defined(TAMBERLO_EXPORTS)
#define TAMBERLO_API __declspec(dllexport)
#else
#define TAMBERLO_API __declspec(dllimport)
#endif
#elif defined(__GNUC__) || defined(__clang__)
#define TAMBERLO_API __attribute__((visibility("default")))
#else
#define TAMBERLO_API
#endif

#endif  // TAMBERLO_EXPORT_H_
