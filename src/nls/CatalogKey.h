// One message-catalog key that the code looks up, with the number of arguments that the
// lookup passes (0 for a plain lookup). Each subsystem lists its keys in constexpr tables of
// these in its own code; the catalog check (tests/catalog) walks the tables and proves that
// the shipped catalog has every key, with no placeholder beyond the arguments passed.
#pragma once

struct CatalogKey {
    const char* key;
    int arguments;
};
