// The base fixture of every test that touches the monitor's files: a temporary directory
// of its own set as TLXVL_HOME, the fake clock installed, and the debug mask reset to 0.
// Everything is undone in the destructor, after the derived fixture's members (a monitor and
// its open log files) are gone: Windows cannot remove a directory that holds an open file.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "support/FakeClock.h"

class TestHome : public ::testing::Test {
protected:
    ~TestHome() override;
    void SetUp() override;

    // The temporary directory (UTF-8), ending in its separator.
    const std::string& home() const { return home_; }
    std::string path(const std::string& name) const { return home_ + name; }

    // Writes (replaces) a file in the home directory.
    void writeFile(const std::string& name, const std::string& content) const;
    // The whole file, or an empty string when it does not exist.
    std::string readFile(const std::string& name) const;
    bool exists(const std::string& name) const;

    // A small message catalog, enough for tests that do not exercise the shipped one.
    void writeSmallCatalog() const;
    // The shipped catalog, data/RaidNLS.properties, copied into the home directory.
    void installShippedCatalog() const;

    FakeClock clock_;

private:
    std::string home_;
};

// The repository's data/RaidNLS.properties.
std::string shippedCatalogPath();
// A file under tests/data.
std::string testDataPath(const std::string& name);
