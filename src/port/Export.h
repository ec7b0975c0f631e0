// Symbol export for the two shared libraries (brixvl and tlxvl).
// Both build with hidden visibility; only classes and functions marked TLX_EXPORT
// form their binary interface.
#pragma once

#if defined(_WIN32)
#define TLX_EXPORT __declspec(dllexport)
#else
#define TLX_EXPORT __attribute__((visibility("default")))
#endif

// Marks a type nested in an exported class as internal: neither it nor the standard-library
// instantiations made of it (std::vector<Nested>, ...) are exported with the class.
#if defined(_WIN32)
#define TLX_LOCAL
#else
#define TLX_LOCAL __attribute__((visibility("hidden")))
#endif
