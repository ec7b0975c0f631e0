#include "snapshot/XmlAttributeList_C.h"

#include <gtest/gtest.h>

#include <string>

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
    EXPECT_EQ(list.NumEntries(), 0u);
    EXPECT_FALSE(list.Exists("a"));
}

TEST(XmlAttributeListTest, GrowsPastItsReservation) {
    XmlAttributeList_C list(2, 3);
    list.setInitElements(1);
    std::string names[40];
    for (int i = 0; i < 40; ++i) {
        names[i] = "n" + std::to_string(i);
        list.Append(names[i].c_str(), names[i].c_str());
    }
    ASSERT_EQ(list.NumEntries(), 40u);
    EXPECT_STREQ(list.GetValue("n39"), "n39");
    EXPECT_STREQ(list.GetName(0), "n0");
}

TEST(XmlAttributeListTest, NumberConversionsReadDecimalsAndStopAtTheFirstOtherCharacter) {
    XmlAttributeList_C list(0, 1);
    list.Append("hex", "0x10");
    list.Append("neg", "-12abc");
    list.Append("big", "3000000000");
    list.Append("huge", "99999999999999999999");
    list.Append("minus1", "-1");
    list.Append("word", "none");
    list.Append("float", "1e3");
    list.Append("wide", "9007199254740993");

    EXPECT_EQ(list.GetLong("hex"), 0);
    EXPECT_EQ(list.GetLong("neg"), -12);
    EXPECT_EQ(list.GetLong("big"), 2147483647);  // saturates like a 32-bit strtol
    EXPECT_EQ(list.GetLong("word"), 0);
    EXPECT_EQ(list.GetLong("missing"), 0);
    EXPECT_EQ(list.GetLong(1), -12);

    EXPECT_EQ(list.GetULong("big"), 3000000000u);
    EXPECT_EQ(list.GetULong("huge"), 0xFFFFFFFFu);
    EXPECT_EQ(list.GetULong("minus1"), 0xFFFFFFFFu);
    EXPECT_EQ(list.GetULong("hex"), 0u);

    EXPECT_EQ(list.GetI64("neg"), -12);
    EXPECT_EQ(list.GetI64("big"), 2147483647);  // a 32-bit reading, widened

    EXPECT_EQ(list.GetU64("big"), 3000000000u);
    EXPECT_EQ(list.GetU64("float"), 1000u);                 // strtod reads exponents
    EXPECT_EQ(list.GetU64("wide"), 9007199254740992u);      // and rounds to a double
    EXPECT_EQ(list.GetU64("minus1"), 0u);                   // negative pins to 0
    EXPECT_EQ(list.GetU64("huge"), 18446744073709551615u);  // beyond range pins to max
    EXPECT_EQ(list.GetU64("missing"), 0u);
}

TEST(XmlAttributeListTest, BoolsBeginWithTOrOne) {
    XmlAttributeList_C list(0, 1);
    list.Append("a", "true");
    list.Append("b", "TRUE");
    list.Append("c", "1");
    list.Append("d", "yes");
    list.Append("e", "false");
    list.Append("f", "");
    EXPECT_TRUE(list.GetBool("a"));
    EXPECT_TRUE(list.GetBool("b"));
    EXPECT_TRUE(list.GetBool(2));
    EXPECT_FALSE(list.GetBool("d"));
    EXPECT_FALSE(list.GetBool("e"));
    EXPECT_FALSE(list.GetBool("f"));
    EXPECT_FALSE(list.GetBool("missing"));
}

}  // namespace
