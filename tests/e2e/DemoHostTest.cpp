// End to end through the shared libraries: the demo host binary plays each scenario with
// --format jsonl, and the events it prints are parsed and compared with what the scenario
// must report, run by run and phase by phase.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using nlohmann::json;

namespace {

// clang-format off
struct Outcome { int exitCode = -1; std::vector<json> events; std::string out, err; };
// clang-format on

std::string slurp(const std::string& path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class DemoHost : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("tlxvl-e2e-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    // Runs the demo host with these arguments (TLXVL_HOME cleared) and parses its jsonl.
    Outcome run(const std::string& arguments) {
        const std::string out = (dir_ / "out").string(), err = (dir_ / "err").string();
        const std::string command = "env -u TLXVL_HOME '" + std::string(TLXVL_DEMO) + "' " +
                                    arguments + " >'" + out + "' 2>'" + err + "'";
        const int status = std::system(command.c_str());
        Outcome outcome;
        outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        outcome.out = slurp(out);
        outcome.err = slurp(err);
        std::istringstream lines(outcome.out);
        for (std::string line; std::getline(lines, line);) {
            if (!line.empty() && line[0] == '{') {
                outcome.events.push_back(json::parse(line));
            }
        }
        return outcome;
    }

    static std::string scenario(const std::string& name) {
        return std::string(TLXVL_SOURCE_DIR) + "/tools/scenarios/" + name;
    }

    fs::path dir_;
};

// "run phase code identifier object-type adapter" of every event, in order; the phase is S
// (start-of-run report) or L (live), an empty identifier is "-" and the common "EVENT_VELMAR_"
// is left off; a line repeated n times in a row is written once, with " xn".
std::vector<std::string> summary(const std::vector<json>& events) {
    std::vector<std::string> lines;
    std::string last;
    int repeats = 1;
    for (const json& e : events) {
        std::string id = e["identifier"].get<std::string>();
        id = id.empty() ? "-" : id.rfind("EVENT_VELMAR_", 0) == 0 ? id.substr(13) : id;
        const std::string line =
            std::to_string(e["run"].get<int>()) + (e["phase"] == "start-of-run" ? " S " : " L ") +
            std::to_string(e["code"].get<int>()) + " " + id + " o" +
            std::to_string(e["objectType"].get<int>()) + " A" +
            (e["adapterID"].is_null() ? "-" : std::to_string(e["adapterID"].get<int>()));
        if (line == last) {
            lines.back() = line + " x" + std::to_string(++repeats);
        } else {
            lines.push_back(last = line);
            repeats = 1;
        }
    }
    return lines;
}

struct ScenarioCase {
    const char* name;  // a file of tools/scenarios, or "default"
    std::vector<std::string> events;
};

// Test names show the scenario, not the bytes of the case.
void PrintTo(const ScenarioCase& c, std::ostream* out) {
    *out << c.name;
}

const std::vector<ScenarioCase>& scenarioCases() {
    // clang-format off
    static const std::vector<ScenarioCase> kCases = {
        {"default", {
            "1 S 207 STATE_ADDED o2 A0", "1 S 299 STATE_CHANGE o2 A0",
            "1 S 499 PD_STATE_CHANGE o5 A0 x4", "1 S 399 STATE_CHANGE_LD o4 A0",
            "1 S 207 STATE_ADDED o2 A1", "1 S 299 STATE_CHANGE o2 A1",
            "1 S 499 PD_STATE_CHANGE o5 A1 x2", "1 S 399 STATE_CHANGE_LD o4 A1", "1 L 404 - o5 A0",
            "1 L 301 - o4 A0", "1 L 304 - o4 A0", "1 L 504 - o7 A0", "1 L 372 - o4 A0",
            "2 S 408 CONFIGURATION_CHANGE_REMOVE_PD o5 A0", "2 S 499 PD_STATE_CHANGE o5 A0",
            "2 S 345 LD_STATE_NORMAL o4 A0", "2 S 399 STATE_CHANGE_LD o4 A0", "2 S 305 - o4 A0",
            "2 S 504 ENC_FAN_FAILURE o7 A0", "2 S 510 ENC_PS_FAILURE o8 A0",
            "2 S 401 PD_STATE_FAILED o5 A1", "2 S 499 PD_STATE_CHANGE o5 A1",
            "2 S 301 LD_STATE_CRITICAL o4 A1", "2 S 399 STATE_CHANGE_LD o4 A1"}},
        {"failing-drive-rebuild", {
            "1 S 207 STATE_ADDED o2 A0", "1 S 299 STATE_CHANGE o2 A0",
            "1 S 499 PD_STATE_CHANGE o5 A0 x4", "1 S 399 STATE_CHANGE_LD o4 A0", "1 L 404 - o5 A0",
            "1 L 301 - o4 A0", "1 L 304 - o4 A0", "1 L 372 - o4 A0", "1 L 305 - o4 A0",
            "1 L 345 - o4 A0"}},
        {"controller-replaced", {
            "1 S 207 STATE_ADDED o2 A0", "1 S 299 STATE_CHANGE o2 A0",
            "1 S 499 PD_STATE_CHANGE o5 A0 x2", "1 S 399 STATE_CHANGE_LD o4 A0",
            "2 S 202 STATE_FAILED o2 A0", "2 S 207 STATE_ADDED o2 A0",
            "2 S 299 STATE_CHANGE o2 A0", "2 S 214 - o2 A0", "2 S 299 STATE_CHANGE o2 A0",
            "2 S 499 PD_STATE_CHANGE o5 A0 x2", "2 S 399 STATE_CHANGE_LD o4 A0"}},
        {"enclosure-failures", {
            "1 S 207 STATE_ADDED o2 A0", "1 S 299 STATE_CHANGE o2 A0",
            "1 S 499 PD_STATE_CHANGE o5 A0 x2", "1 S 399 STATE_CHANGE_LD o4 A0", "1 L 504 - o7 A0",
            "2 S 506 ENC_FAN_REMOVED o7 A0", "2 S 510 ENC_PS_FAILURE o8 A0"}},
        {"two-controllers-tasks", {
            "1 S 207 STATE_ADDED o2 A0", "1 S 299 STATE_CHANGE o2 A0",
            "1 S 499 PD_STATE_CHANGE o5 A0 x3", "1 S 399 STATE_CHANGE_LD o4 A0",
            "1 S 207 STATE_ADDED o2 A1", "1 S 299 STATE_CHANGE o2 A1",
            "1 S 499 PD_STATE_CHANGE o5 A1 x2", "1 S 399 STATE_CHANGE_LD o4 A1", "1 L 335 - o4 A0",
            "1 L 307 - o4 A1", "1 L 382 - o4 A0", "1 L 373 - o4 A1", "2 S 336 - o4 A0",
            "2 S 309 - o4 A1"}},
        {"no-controllers", {"1 S 201 STATE_NOTFOUND o1 A-"}},
    };
    // clang-format on
    return kCases;
}

}  // namespace

// Every scenario, run by run: the start-of-run report of what changed while no monitor ran,
// then what the controllers logged live. One test per scenario, so that they run in parallel.
class DemoScenario : public DemoHost, public ::testing::WithParamInterface<ScenarioCase> {};

TEST_P(DemoScenario, ReportsItsEventsInOrder) {
    const ScenarioCase& c = GetParam();
    const std::string file =
        c.name == std::string("default") ? "" : scenario(std::string(c.name) + ".txt");
    const Outcome outcome = run("--format jsonl " + file);
    EXPECT_EQ(outcome.exitCode, 0) << outcome.err;
    EXPECT_EQ(summary(outcome.events), c.events);
}

INSTANTIATE_TEST_SUITE_P(Scenarios, DemoScenario, ::testing::ValuesIn(scenarioCases()),
                         [](const ::testing::TestParamInfo<ScenarioCase>& info) {
                             std::string name = info.param.name;
                             for (char& ch : name) {
                                 ch = ch == '-' ? '_' : ch;
                             }
                             return name;
                         });

// The fields of the default scenario's live drive failure and its second run's reports.
TEST_F(DemoHost, DefaultScenarioEventsCarryTheirObjects) {
    const Outcome outcome = run("--format jsonl");
    ASSERT_EQ(outcome.exitCode, 0) << outcome.err;
    // clang-format off
    const struct { int run, code; const char* field; json value; } kFields[] = {
        {1, 404, "type", 1}, {1, 404, "channelID", 0}, {1, 404, "deviceID", 1},
        {1, 404, "driveSerial", "SN0-0-1"}, {1, 404, "fru", "49Y1866"}, {1, 404, "adapterSerial", "VLM-A0001"},
        {1, 372, "percentComplete", 75}, {2, 510, "powerSupply", 1}, {2, 510, "deviceID", 15}};
    // clang-format on
    for (const auto& f : kFields) {
        const auto e =
            std::find_if(outcome.events.begin(), outcome.events.end(),
                         [&](const json& e) { return e["run"] == f.run && e["code"] == f.code; });
        ASSERT_NE(e, outcome.events.end()) << f.run << " " << f.code;
        EXPECT_EQ((*e)[f.field], f.value) << f.run << " " << f.code << " " << f.field;
    }
}

// A second invocation on the same home compares against the snapshot the first one left and
// reports only what its own scenario states differently.
TEST_F(DemoHost, ASecondInvocationOnTheSameHomeReportsOnlyChanges) {
    const std::string home = (dir_ / "home").string();
    const std::string file = scenario("enclosure-failures.txt");
    ASSERT_EQ(run("--format jsonl --home '" + home + "' " + file).exitCode, 0);
    std::ofstream(dir_ / "quiet.txt") << "controller 0 serial=VLM-E0001 family=pell\n"
                                         "channel 0 0 type=scsi\ndrive 0 0 0\ndrive 0 0 1\n"
                                         "enclosure 0 0 15 fans=6 supplies=2\n"
                                         "logical 0 0 level=1 size=2097152\n"
                                         "run\nat 1 stop\n";
    const Outcome again =
        run("--format jsonl --home '" + home + "' '" + (dir_ / "quiet.txt").string() + "'");
    EXPECT_EQ(again.exitCode, 0) << again.err;
    // The enclosure as the file states it has all its fans and supplies again.
    EXPECT_EQ(summary(again.events), (std::vector<std::string>{"1 S 503 ENC_FAN_REPLACED o7 A0",
                                                               "1 S 505 ENC_FAN_INSTALLED o7 A0",
                                                               "1 S 509 ENC_PS_REPLACED o8 A0"}));
    // The snapshot the second invocation left shows the enclosure whole again.
    const Outcome shown = run("show --snapshot '" + home + "/TLXVLConfig.xml'");
    EXPECT_EQ(shown.exitCode, 0) << shown.err;
    EXPECT_NE(shown.out.find("fans: 1=ok 2=ok 3=ok 4=ok 5=ok 6=ok"), std::string::npos)
        << shown.out;
}

// SIGTERM stops the monitor at once; what it had queued is still printed and the exit is 0.
TEST_F(DemoHost, TerminationStopsPromptlyAndDrainsTheQueue) {
    const std::string out = (dir_ / "out").string();
    const std::string command =
        "env -u TLXVL_HOME '" + std::string(TLXVL_DEMO) + "' --format jsonl >'" + out +
        "' 2>/dev/null & pid=$!; sleep 3; start=$(date +%s%N); kill -TERM $pid; wait $pid; "
        "code=$?; end=$(date +%s%N); echo \"$code $(( (end - start) / 1000000 ))\" >'" +
        (dir_ / "result").string() + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    std::istringstream result(slurp((dir_ / "result").string()));
    int code = -1;
    long millis = -1;
    result >> code >> millis;
    EXPECT_EQ(code, 0);
    EXPECT_LT(millis, 1000);
    // Run 1's start-of-run report was pulled before the signal.
    std::istringstream lines(slurp(out));
    int events = 0;
    for (std::string line; std::getline(lines, line);) {
        events += json::parse(line)["run"] == 1 ? 1 : 0;
    }
    EXPECT_GE(events, 12);
}

TEST_F(DemoHost, BadArgumentsAndScenariosAreRefused) {
    const std::string data = std::string(TLXVL_SOURCE_DIR) + "/tests/data/";
    // clang-format off
    const struct { std::string arguments; int exitCode; std::string message; } cases[] = {
        {"--format xml", 2, "--format is text or jsonl"}, {"--debug 7", 2, "--debug is 0, 1 or 2"},
        {"--bogus", 2, "unknown or incomplete argument \"--bogus\""},
        {"/nonexistent/scenario.txt", 2, "no scenario file /nonexistent/scenario.txt"},
        {data + "scenario-bad-line.txt", 2, "scenario-bad-line.txt:2: no such controller and channel: \"drive 0 9 1\""},
        {data + "scenario-bad-change.txt", 2, "scenario-bad-change.txt:5: drive state is"},
        {"show --snapshot /nonexistent.xml", 2, "no snapshot file /nonexistent.xml"},
        {"show --snapshot " + std::string(TLXVL_SOURCE_DIR) + "/README.md", 2, "is not a whole snapshot"},
        {"show --scenario " + data + "scenario-bad-line.txt", 2, "scenario-bad-line.txt:2: no such controller and channel"},
        {"--help", 0, ""}, {"--version", 0, ""}};
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments);
        const Outcome outcome = run(c.arguments);
        EXPECT_EQ(outcome.exitCode, c.exitCode);
        EXPECT_NE(outcome.err.find(c.message), std::string::npos) << outcome.err;
        EXPECT_TRUE(outcome.events.empty());
    }
}
