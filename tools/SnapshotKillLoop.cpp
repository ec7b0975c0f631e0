// Kills a snapshot writer at random moments and checks what a crash leaves: a child process
// writes two different snapshots in turn, without pause, until it is killed with SIGKILL;
// after each kill the snapshot must read whole and be one of the two, and the clean-up that
// starts each run must leave no temporary file. Not part of the test suite (it takes a few
// seconds per hundred rounds); run it by hand:
//   build/default/tools/tlxvl-killloop [rounds]
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "port/FileSystem.h"
#include "raidlib/raidlib.h"
#include "snapshot/TLXConfigBuilder.h"
#include "snapshot/TLXSystem.h"

namespace {

// controllers controllers of 2 channels with 12 drives each: about 3 KB of snapshot each.
void fill(System& system, int controllers) {
    for (int a = 0; a < controllers; ++a) {
        auto* adapter = new Adapter();
        adapter->setAdapterID(a);
        adapter->setSerialNumString("K" + std::to_string(a));
        system.addChild(adapter);
        for (int c = 0; c < 2; ++c) {
            auto* channel = new Channel(adapter);
            channel->setChannelID(c);
            adapter->addChild(channel);
            for (int d = 0; d < 12; ++d) {
                auto* drive = new HardDrive(adapter, channel);
                drive->setDeviceID(d);
                drive->setSerialNumber("SN" + std::to_string(a * 100 + c * 20 + d));
                channel->addChild(drive);
            }
        }
    }
}

std::vector<std::string> temporaries(const std::string& directory) {
    std::vector<std::string> names, found;
    port::FileOps::current().listDirectory(directory, names);
    for (const std::string& name : names) {
        if (name.find(port::kTemporarySuffix) != std::string::npos) {
            found.push_back(name);
        }
    }
    return found;
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 1000;
    const std::string directory = port::makeTemporaryDirectory("tlxvl-kill-");
    const std::string path = directory + "TLXVLConfig.xml";
    System systems[2];
    fill(systems[0], 3);
    fill(systems[1], 8);
    TLXConfigBuilder(path).writeXML();  // an empty system: the first old file
    std::mt19937 random(12345);
    int leftBehind = 0, removed = 0, unreadable = 0, surviving = 0, counts[3] = {0, 0, 0};
    for (int round = 0; round < rounds; ++round) {
        const pid_t child = ::fork();
        if (child == 0) {
            TLXConfigBuilder builder(path);
            for (unsigned i = round;; ++i) {
                builder.build(&systems[i % 2], nullptr);
                builder.writeXML();
            }
        }
        ::usleep(std::uniform_int_distribution<unsigned>(200, 20000)(random));
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);

        leftBehind += temporaries(directory).empty() ? 0 : 1;
        TLXConfigBuilder reader(path);
        int controllers = reader.readXML() && reader.wasReadWhole() ? 0 : -1;
        for (int i = 0; controllers >= 0 && i < reader.getSystem()->getChildCount(); ++i) {
            controllers +=
                std::string(reader.getSystem()->getChild(i)->serializedName()) == "Controller";
        }
        if (controllers == 0 || controllers == 3 || controllers == 8) {
            ++counts[controllers == 0 ? 0 : controllers == 3 ? 1 : 2];
        } else {
            ++unreadable;
            std::printf("round %d: the snapshot does not read whole\n", round);
        }
        removed += port::removeStaleTemporaryFiles(path);
        surviving += static_cast<int>(temporaries(directory).size());
    }
    std::printf(
        "%d kills: %d left a temporary file, %d removed at the next start, %d survived it;\n"
        "snapshot read whole every time but %d (empty %d, 3 controllers %d, 8 controllers %d)\n",
        rounds, leftBehind, removed, surviving, unreadable, counts[0], counts[1], counts[2]);
    for (const std::string& name : temporaries(directory)) {
        port::FileOps::current().remove(directory + name);
    }
    port::FileOps::current().remove(path);
    ::rmdir(directory.c_str());
    return unreadable == 0 && surviving == 0 ? 0 : 1;
}
