#include "snapshot/XmlAttributeList_C.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace {

// Each value read by name and by index through every conversion: GetLong, GetI64 (the same
// reading widened), GetULong, GetU64 and GetBool; and the list's own rules.
TEST(XmlAttributeListTest, ConversionsAndLookups) {
    // clang-format off
    struct Row {
        const char* value; int32_t asLong; uint32_t asULong; uint64_t asU64; bool asBool; };
    constexpr Row kRows[] = {
        {"0x10", 0, 0, 16, false},  // decimals only, but strtod reads hex
        {"-12abc", -12, 0u - 12u, 0, false},  // stops at the first other character; U64 pins to 0
        {"3000000000", INT32_MAX, 3000000000u, 3000000000u, false},  // strtol saturates at 32 bits
        {"99999999999999999999", INT32_MAX, UINT32_MAX, UINT64_MAX, false},
        {"-1", -1, UINT32_MAX, 0, false},
        {"1e3", 1, 1, 1000, true},  // strtod reads exponents; a leading 1 is true
        {"9007199254740993", INT32_MAX, UINT32_MAX, 9007199254740992u, false},  // via a double
        {"none", 0, 0, 0, false}, {"true", 0, 0, 0, true}, {"TRUE", 0, 0, 0, true},
        {"yes", 0, 0, 0, false}, {"", 0, 0, 0, false},
    };
    // clang-format on
    XmlAttributeList_C list(0, 1);
    for (const Row& row : kRows) {
        list.Append(row.value, row.value);
    }
    // A null name adds nothing, a null value is "", and a repeated name finds the first.
    list.Append(nullptr, "ignored");
    list.Append("b", nullptr);
    list.Append("1e3", "2");
    ASSERT_EQ(list.NumEntries(), std::size(kRows) + 2);
    EXPECT_TRUE(list.Exists("b"));
    EXPECT_FALSE(list.Exists("B"));
    EXPECT_STREQ(list.GetValue("b"), "");
    EXPECT_EQ(list.GetName(-1), nullptr);
    EXPECT_EQ(list.GetName(99), nullptr);
    EXPECT_STREQ(list.GetValue(99), "");
    const auto read = [&list](auto key) {
        return std::make_tuple(list.GetLong(key), list.GetI64(key), list.GetULong(key),
                               list.GetU64(key), list.GetBool(key));
    };
    for (int i = 0; i < static_cast<int>(std::size(kRows)); ++i) {
        const Row& row = kRows[i];
        const auto expected =
            std::make_tuple(row.asLong, int64_t{row.asLong}, row.asULong, row.asU64, row.asBool);
        EXPECT_EQ(read(row.value), expected) << row.value;
        EXPECT_EQ(read(i), expected) << row.value;
    }
    EXPECT_EQ(read("missing"), std::make_tuple(0, int64_t{0}, 0u, uint64_t{0}, false));
    EXPECT_EQ(read(99), read("missing"));
}

// Lookups by name in a list long enough to be indexed: the first entry of a repeated name
// wins however the lookups and appends interleave, and a cleared list forgets its index.
TEST(AttributeIndex, FirstEntryOfANameWinsAcrossAppendsAndLookups) {
    // Names in the order a SAF-TE status writes them, "fan3" again at 12 and "fan0" at the end.
    std::vector<std::string> names, values;
    for (int i = 0; i < 40; ++i) {
        names.push_back("fan" + std::to_string(i));
    }
    names.insert(names.begin() + 12, "fan3");
    names.push_back("fan0");
    for (size_t i = 0; i < names.size(); ++i) {
        values.push_back("v" + std::to_string(i));
    }
    XmlAttributeList_C list(0, 1);
    for (size_t i = 0; i < names.size(); ++i) {
        list.Append(names[i].c_str(), values[i].c_str());
        if (i == 9 || i == 20) {  // index built part way, then extended
            EXPECT_STREQ(list.GetValue("fan3"), "v3");
            EXPECT_STREQ(list.GetValue("fan9"), "v9");
        }
    }
    const std::pair<const char*, const char*> rows[] = {
        {"fan3", "v3"}, {"fan12", "v13"}, {"fan0", "v0"}, {"fan39", "v40"},
        {"fan40", ""},  {"fan", ""},      {"", ""}};
    for (const auto& [name, value] : rows) {
        EXPECT_STREQ(list.GetValue(name), value) << name;
        EXPECT_EQ(list.Exists(name), *value != '\0') << name;
    }
    list.Clear();
    EXPECT_FALSE(list.Exists("fan3"));
    list.Append("fan3", "again");
    EXPECT_STREQ(list.GetValue("fan3"), "again");
}

}  // namespace
