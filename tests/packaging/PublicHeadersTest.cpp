// What a host compiles against: every header that a public header includes is itself in the
// installed list (TLXVL_PUBLIC_HEADERS of cmake/TlxvlInstall.cmake), so an installed prefix
// compiles without the private ones; and the README's hosting sample is examples/HostMonitor.cpp
// word for word, so the sample that readers copy is the one CI builds and runs.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>

namespace {

std::string readSource(const std::string& path) {
    std::ifstream in(std::string(TLXVL_SOURCE_DIR) + "/" + path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::set<std::string> publicHeaders() {
    std::set<std::string> headers;
    std::istringstream list(TLXVL_PUBLIC_HEADERS);
    for (std::string header; std::getline(list, header, ',');) {
        headers.insert(header);
    }
    return headers;
}

TEST(PublicHeaders, EveryIncludeOfAPublicHeaderIsPublic) {
    const std::set<std::string> headers = publicHeaders();
    ASSERT_TRUE(headers.count("monitor/VelmarMonitor.h") && headers.count("raidlib/raidlib.h"));
    const std::regex include("#include \"([^\"]+)\"");
    for (const std::string& header : headers) {
        const std::string text = readSource("src/" + header);
        EXPECT_FALSE(text.empty()) << header << " is missing";
        for (std::sregex_iterator it(text.begin(), text.end(), include), end; it != end; ++it) {
            EXPECT_EQ(headers.count((*it)[1]), 1u)
                << header << " includes the private header " << (*it)[1];
        }
    }
}

TEST(PublicHeaders, ReadmeHostingSampleIsTheExample) {
    const std::string readme = readSource("README.md");
    const size_t section = readme.find("## Hosting the monitor");
    ASSERT_NE(section, std::string::npos);
    const std::string fence = "```cpp\n";
    const size_t begin = readme.find(fence, section);
    ASSERT_NE(begin, std::string::npos);
    const size_t end = readme.find("```\n", begin + fence.size());
    ASSERT_NE(end, std::string::npos);
    EXPECT_EQ(readme.substr(begin + fence.size(), end - begin - fence.size()),
              readSource("examples/HostMonitor.cpp"));
}

}  // namespace
