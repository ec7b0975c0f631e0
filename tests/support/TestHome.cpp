#include "support/TestHome.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "port/DebugMask.h"
#include "port/FileSystem.h"
#include "port/ModuleDirectory.h"

namespace fs = std::filesystem;

void TestHome::SetUp() {
    home_ = port::makeTemporaryDirectory("tlxvl-test-");
    ASSERT_FALSE(home_.empty()) << "cannot create a temporary directory";
    port::setModuleDirectory(home_);
    port::Clock::install(&clock_);
    DebugMask::set(0);
}

TestHome::~TestHome() {
    port::Clock::install(nullptr);
    DebugMask::set(0);
    port::setModuleDirectory("");
    if (!home_.empty()) {
        std::error_code ignored;
        fs::permissions(fs::u8path(home_), fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(fs::u8path(home_), ignored);
    }
}

void TestHome::writeFile(const std::string& name, const std::string& content) const {
    std::ofstream out(fs::u8path(path(name)), std::ios::binary | std::ios::trunc);
    out << content;
}

std::string TestHome::readFile(const std::string& name) const {
    std::ifstream in(fs::u8path(path(name)), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool TestHome::exists(const std::string& name) const {
    return fs::exists(fs::u8path(path(name)));
}

void TestHome::writeSmallCatalog() const {
    writeFile("RaidNLS.properties",
              "# A catalog for tests\n"
              "agentEventInfNoControllers=No controllers were found.\n"
              "eventArgController=controller {0}\n"
              "testTwoArgs=first {0}, second {1}\n");
}

void TestHome::installShippedCatalog() const {
    fs::copy_file(shippedCatalogPath(), path("RaidNLS.properties"),
                  fs::copy_options::overwrite_existing);
}

std::string shippedCatalogPath() {
    return std::string(TLXVL_SOURCE_DIR) + "/data/RaidNLS.properties";
}

std::string testDataPath(const std::string& name) {
    return std::string(TLXVL_SOURCE_DIR) + "/tests/data/" + name;
}
