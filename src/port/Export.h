// Symbol export for the two shared libraries: TLX_EXPORT marks the binary interface of tlxvl,
// BRIXVL_EXPORT that of brixvl. Both build with hidden visibility. On Windows a mark exports
// while its own library is built (TLXVL_BUILDING_TLXVL, TLXVL_BUILDING_BRIXVL, set by CMake)
// and imports everywhere else, so a host compiled against the headers links the DLL's import
// library.
#pragma once

#if defined(_WIN32)
#if defined(TLXVL_BUILDING_TLXVL)
#define TLX_EXPORT __declspec(dllexport)
#else
#define TLX_EXPORT __declspec(dllimport)
#endif
#if defined(TLXVL_BUILDING_BRIXVL)
#define BRIXVL_EXPORT __declspec(dllexport)
#else
#define BRIXVL_EXPORT __declspec(dllimport)
#endif
#else
#define TLX_EXPORT __attribute__((visibility("default")))
#define BRIXVL_EXPORT __attribute__((visibility("default")))
#endif

// Marks a type nested in an exported class as internal: neither it nor the standard-library
// instantiations made of it (std::vector<Nested>, ...) are exported with the class.
#if defined(_WIN32)
#define TLX_LOCAL
#else
#define TLX_LOCAL __attribute__((visibility("hidden")))
#endif
