// Lookups by name in a list long enough to be indexed: the first entry of a repeated name
// wins however the lookups and appends interleave, and a cleared list forgets its index.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "snapshot/XmlAttributeList_C.h"

namespace {

TEST(AttributeIndex, FirstEntryOfANameWinsAcrossAppendsAndLookups) {
    // Names in the order a SAF-TE status writes them, with repeats near and far.
    std::vector<std::string> names;
    for (int i = 0; i < 40; ++i) {
        names.push_back("fan" + std::to_string(i));
    }
    names.insert(names.begin() + 12, "fan3");  // a repeat among the first twenty
    names.push_back("fan0");                   // a repeat at the end
    names.push_back("tempFlags1");
    XmlAttributeList_C list(0, 1);
    std::vector<std::string> values;
    values.reserve(names.size());
    // (name, value the lookup finds) once every entry is in.
    const std::vector<std::pair<std::string, std::string>> rows = {
        {"fan3", "v3"},        {"fan12", "v13"}, {"fan0", "v0"}, {"fan39", "v40"},
        {"tempFlags1", "v42"}, {"fan40", ""},    {"fan", ""},    {"", ""},
    };
    for (size_t i = 0; i < names.size(); ++i) {
        values.push_back("v" + std::to_string(i));
        list.Append(names[i].c_str(), values[i].c_str());
        if (i == 9 || i == 20) {  // index built part way, then extended
            EXPECT_STREQ(list.GetValue("fan3"), "v3");
            EXPECT_STREQ(list.GetValue("fan9"), "v9");
        }
    }
    for (const auto& row : rows) {
        EXPECT_STREQ(list.GetValue(row.first.c_str()), row.second.c_str()) << row.first;
        EXPECT_EQ(list.Exists(row.first.c_str()), !row.second.empty()) << row.first;
    }
    list.Clear();
    EXPECT_FALSE(list.Exists("fan3"));
    list.Append("fan3", "again");
    EXPECT_STREQ(list.GetValue("fan3"), "again");
}

}  // namespace
