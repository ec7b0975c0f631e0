#include "tools/ConfigurationPrinter.h"

#include <string>
#include <vector>

#include "raidlib/raidlib.h"
#include "snapshot/TLXEnclosure.h"
#include "snapshot/TLXProgress.h"

namespace {

const char* const kDriveStates[] = {"ready",    "online", "defunct", "rebuilding",
                                    "hotspare", "raw",    "standby", "missing"};
const char* const kLogicalStates[] = {"absent",     "offline", "okay",     "critical",
                                      "recovering", "hidden",  "degraded", "critical-hidden"};
const char* const kBatteryStates[] = {
    "none", "not supported", "charging", "missing", "unknown",
    "ok",   "new",           "charged",  "low",     "reconditioning"};
const char* const kTaskStates[] = {"idle", "completed", "running", "failed", "paused", "stopped"};

template <size_t N>
std::string named(const char* const (&names)[N], int value) {
    return value >= 0 && static_cast<size_t>(value) < N ? names[value]
                                                        : "state " + std::to_string(value);
}

std::vector<RaidObject*> children(RaidObject* parent, const char* type) {
    std::vector<RaidObject*> list;
    parent->getChildren(list, type, false, true);
    return list;
}

std::string unitState(int code, bool fan) {
    if (fan) {
        return code == SAFTE_FAN_MALFUNCTIONING  ? "failed"
               : code == SAFTE_FAN_NOT_INSTALLED ? "missing"
                                                 : "ok";
    }
    return code == SAFTE_PS_MALFUNCTIONING_ON || code == SAFTE_PS_MALFUNCTIONING_OFF ? "failed"
           : code == SAFTE_PS_NOT_PRESENT                                            ? "missing"
                                                                                     : "ok";
}

void printEnclosure(Enclosure* enclosure, std::ostream& out) {
    const bool stored = enclosure->isInstanceOf("TLXEnclosure");
    auto* kept = stored ? static_cast<TLXEnclosure*>(enclosure) : nullptr;
    const int fans = stored ? kept->getSafteFanCount() : enclosure->getFanCount();
    const int supplies =
        stored ? kept->getSaftePowerSupplyCount() : enclosure->getPowerSupplyCount();
    out << "      enclosure " << enclosure->getDeviceID() << ": " << enclosure->getVendor() << " "
        << enclosure->getModel() << ", temperature "
        << (enclosure->isTempOutOfRange() ? "out of range" : "in range") << "\n        fans:";
    for (int i = 0; i < fans; ++i) {
        out << " " << i + 1 << "="
            << unitState(stored ? kept->getSafteFanStatus(i) : int(enclosure->getFanStatus(i)),
                         true);
    }
    out << "\n        power supplies:";
    for (int i = 0; i < supplies; ++i) {
        out << " " << i + 1 << "="
            << unitState(stored ? kept->getSaftePowerSupplyStatus(i)
                                : int(enclosure->getPowerSupplyStatus(i)),
                         false);
    }
    out << "\n";
}

}  // namespace

void ConfigurationPrinter::print(RaidObject* system, std::ostream& out) {
    if (system == nullptr) {
        out << "no configuration\n";
        return;
    }
    const std::vector<RaidObject*> adapters = children(system, "Adapter");
    if (adapters.empty()) {
        out << "no controllers\n";
    }
    for (RaidObject* node : adapters) {
        auto* adapter = static_cast<Adapter*>(node);
        out << "controller " << adapter->getAdapterID() << ": " << adapter->getDeviceVendor() << " "
            << adapter->getDeviceName() << " #" << adapter->getSerialNumString() << ", battery "
            << named(kBatteryStates, adapter->getBatStatus()) << "\n";
        for (RaidObject* channelNode : children(adapter, "Channel")) {
            auto* channel = static_cast<Channel*>(channelNode);
            const int type = channel->getChannelType();
            out << "  channel " << channel->getChannelID() << " ("
                << (type == CHANNEL_TYPE_SAS    ? "SAS"
                    : type == CHANNEL_TYPE_SATA ? "SATA"
                                                : "SCSI")
                << ")\n";
            for (RaidObject* device : children(channel, "PhysicalDevice")) {
                if (device->isInstanceOf("Enclosure")) {
                    printEnclosure(static_cast<Enclosure*>(device), out);
                    continue;
                }
                auto* drive = static_cast<PhysicalDevice*>(device);
                out << "      drive " << drive->getDeviceID() << ": "
                    << named(kDriveStates, drive->getState()) << ", serial "
                    << drive->getSerialNumber() << ", " << drive->getVendor() << " "
                    << drive->getModel() << "\n";
            }
        }
        for (RaidObject* driveNode : children(adapter, "LogicalDrive")) {
            auto* drive = static_cast<LogicalDrive*>(driveNode);
            out << "  logical drive " << drive->getLogicalDriveID() << ": RAID level "
                << drive->getRaidLevel() << ", data space " << drive->getDataSpace64() << ", "
                << named(kLogicalStates, drive->getState());
            Progress task;
            if (drive->getProgress(task).getReturnCode() == 0 && task.getType() != TASK_TYPE_NONE) {
                out << ", task type " << task.getType() << " "
                    << named(kTaskStates, task.getStatus()) << " " << task.getPercent() << "%";
            }
            out << "\n";
        }
    }
    // A stored snapshot keeps the tasks apart, one per controller.
    std::vector<RaidObject*> tasks;
    system->getChildren(tasks, "Progress", true, true);
    for (RaidObject* node : tasks) {
        auto* task = dynamic_cast<TLXProgress*>(node);
        if (task == nullptr || task->getTaskType() == TASK_TYPE_NONE) {
            continue;
        }
        out << "task of controller " << task->getDeviceAddr().getAdapterID() << ", logical drive "
            << task->getDeviceAddr().getLogicalDriveID() << ": type " << task->getTaskType() << " "
            << named(kTaskStates, static_cast<int>(task->getTaskState())) << " "
            << task->getPercentageComplete() << "%\n";
    }
}
