#include "snapshot/XmlAttributeList_C.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <tuple>

namespace {

TEST(XmlAttributeListTest, KeepsOrderAndFindsTheFirstOfRepeatedNames) {
    XmlAttributeList_C list(0, 1);
    list.Append("a", "1");
    list.Append(nullptr, "ignored");
    list.Append("b", nullptr);
    list.Append("a", "2");
    ASSERT_EQ(list.NumEntries(), 3u);
    EXPECT_STREQ(list.GetName(2), "a");
    EXPECT_EQ(list.GetName(3), nullptr);
    EXPECT_EQ(list.GetName(-1), nullptr);
    EXPECT_STREQ(list.GetValue("a"), "1");
    EXPECT_STREQ(list.GetValue(2), "2");
    EXPECT_STREQ(list.GetValue("b"), "");
    EXPECT_TRUE(list.Exists("b"));
    EXPECT_FALSE(list.Exists("A"));
    EXPECT_STREQ(list.GetValue("missing"), "");
    EXPECT_STREQ(list.GetValue(7), "");
    list.Clear();
    EXPECT_FALSE(list.Exists("a"));
}

// Each value read by name and by index through every conversion: GetLong, GetI64 (the same
// reading widened), GetULong, GetU64 and GetBool.
TEST(XmlAttributeListTest, NumberAndBoolConversions) {
    struct Row {
        const char* value;
        int32_t asLong;
        uint32_t asULong;
        uint64_t asU64;
        bool asBool;
    };
    // clang-format off
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

}  // namespace
