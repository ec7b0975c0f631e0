#include "TranslationTestSupport.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "ctlevents/EventCodeTable.h"
#include "support/TreeBuilder.h"

std::string summary(const TLXEvent& e) {
    std::string ids;
    const std::pair<const char*, long long> numbers[] = {
        {"A", e.getAdapterID()},      {"C", e.getChannelID()},    {"D", e.getDeviceID()},
        {"L", e.getLogicalDriveID()}, {"R", e.getArrayID()},      {" lun", e.getLun()},
        {" fan", e.getFan()},         {" ps", e.getPowerSupply()}};
    for (const auto& [name, value] : numbers) {
        ids += value != TLXEvent::kUnset ? name + std::to_string(value) : "";
    }
    const std::pair<const char*, std::string> texts[] = {{" fru=", e.getFru()},
                                                         {" hd=", e.getHardDriveSerialNumber()},
                                                         {" enc=", e.getEnclosureModel()},
                                                         {" ser=", e.getAdapterSerial()},
                                                         {" id=", e.getIndentifier()}};
    for (const auto& [name, value] : texts) {
        ids += value.empty() ? "" : name + value;
    }
    return std::to_string(e.getEventCode()) + " t" + std::to_string(e.getEventType()) + " o" +
           std::to_string(e.getObjectType()) + (ids.empty() || ids[0] == ' ' ? "" : " ") + ids +
           " | " + e.getEventDesc();
}

bool HookedClock::wait(long ms, port::Interrupt* interrupt) {
    const bool cut = FakeClock::wait(ms, interrupt);
    if (onWait) {
        onWait();
    }
    return cut;
}

Ret RewritingLib::getEvents(const Addr& adapter, unsigned long from, char** buffer) {
    Ret ret = VelmarLib::getEvents(adapter, from, buffer);
    const std::string before = *buffer != nullptr ? *buffer : "";
    const std::string text = rewrite ? rewrite(adapter.getAdapterID(), before) : before;
    if (text != before) {
        std::free(*buffer);
        *buffer = static_cast<char*>(std::malloc(text.size() + 1));
        std::memcpy(*buffer, text.c_str(), text.size() + 1);
    }
    return ret;
}

void TranslationTest::SetUp() {
    TestHome::SetUp();
    port::Clock::install(&clock);
    // Short argument texts, so that a message shows which object it names; every message
    // key as its own name followed by its arguments.
    std::string catalog =
        "eventArgController2=C{0} eventArgController=ctl({0}) deviceArgFRU=fru({0}) "
        "eventArgControllerChannel=ch({0},{1}) eventArgControllerArray=arr({0},{1}) "
        "eventArgControllerScsiDevice=drv({0},{1},{2}) eventArgControllerLogicalDrive=ld({0},{1}) "
        "eventArgEnclosureController=enc({0},{1},{2}) LD_SUB_QUICK_INIT=QI\n";
    std::replace(catalog.begin(), catalog.end(), ' ', '\n');
    for (const CatalogKey& key : ctlevents::eventCodeCatalogKeys()) {
        catalog += std::string(key.key) + "=" + key.key + "(";
        for (int i = 0; i < key.arguments; ++i) {
            catalog += (i > 0 ? ",{" : "{") + std::to_string(i) + "}";
        }
        catalog += ")\n";
    }
    writeFile("RaidNLS.properties", catalog);
    writeFile("TLXConfig.ini", "tlx.debugMask=2\n");

    // Controller 0 (Pell): two channels with drives and an enclosure each, listed so that a
    // lookup by position would find other objects; logical drives 0 and 1.
    TreeBuilder tree(lib.getHardwareModel());
    Adapter* a0 = tree.adapter(0, "A0");
    Channel* c0 = tree.channel(a0, 0);
    Channel* c1 = tree.channel(a0, 1);
    tree.drive(c1, 0);
    tree.drive(c1, 3);
    tree.drive(c0, 1);
    tree.enclosure(c1, 7)->setFruNumber("EFRU-7");  // channel 0 has none
    tree.logicalDrive(a0, 0);
    tree.logicalDrive(a0, 1, LD_STATE_OKAY, RAID_LEVEL_1, 2252800)  // 1100 MB in blocks
        ->setSubState(LD_SUB_STATE_QUICK_INIT);
    // Controller 3 (Omdi, megabytes) and 7; controller 5 only in the previous tree.
    Adapter* a3 = tree.adapter(3, "A3", TreeBuilder::Family::Omdi);
    tree.logicalDrive(a3, 1, LD_STATE_OKAY, RAID_LEVEL_UNKNOWN, 1100);
    Adapter* a5 = tree.adapter(5, "A5");
    Adapter* a7 = tree.adapter(7, "A7");
    a7->setBiosVersion("B1");
    a7->setFirmwareVersion("F2");
    a7->setDeviceDriverVersion("D3");
    lib.getNewSystem();
    delete a5;
    lib.getNewSystem();

    monitor = std::make_unique<TranslationMonitor>(&lib);
    monitor->setEventTypeLevel(static_cast<EnumEventType>(7));  // queue every severity
}

void TranslationTest::TearDown() {
    monitor.reset();
    port::Clock::install(nullptr);
    TestHome::TearDown();
}

Adapter* TranslationTest::current(uint32_t adapterID) {
    return dynamic_cast<Adapter*>(lib.getCurrentSystem()->getObject(
        adapterID, Addr::kUnset, Addr::kUnset, Addr::kUnset, Addr::kUnset));
}

std::vector<std::string> TranslationTest::translate(const std::string& text, uint32_t caller) {
    std::string buffer = text;
    monitor->GetEventFromXml(&buffer[0], current(caller));
    std::vector<std::string> events;
    for (const TLXEvent& event : monitor->getEvents(0)) {
        events.push_back(summary(event));
    }
    return events;
}
