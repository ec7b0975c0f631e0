#include "TranslationTestSupport.h"

#include <sstream>

#include "ctlevents/EventCategoryTable.h"
#include "ctlevents/EventCodeTable.h"
#include "support/TreeBuilder.h"

namespace {

// Short names for the argument texts, so that a message shows which object it names.
constexpr const char* kArgumentTexts =
    "eventArgController2=C{0}\n"
    "eventArgController=ctl({0})\n"
    "eventArgControllerChannel=ch({0},{1})\n"
    "eventArgControllerScsiDevice=drv({0},{1},{2})\n"
    "eventArgControllerLogicalDrive=ld({0},{1})\n"
    "eventArgEnclosureController=enc({0},{1},{2})\n"
    "eventArgControllerArray=arr({0},{1})\n"
    "deviceArgFRU=fru({0})\n"
    "LD_SUB_QUICK_INIT=QI\n";

// Every message key as its own name followed by its arguments.
std::string taggedCatalog() {
    std::string text = kArgumentTexts;
    for (const CatalogKey& key : ctlevents::eventCodeCatalogKeys()) {
        text += std::string(key.key) + "=" + key.key + "(";
        for (int i = 0; i < key.arguments; ++i) {
            text += (i > 0 ? ",{" : "{") + std::to_string(i) + "}";
        }
        text += ")\n";
    }
    return text;
}

std::string id(long long value) {
    return value == TLXEvent::kUnset ? "-" : std::to_string(value);
}

}  // namespace

std::string summary(const TLXEvent& e) {
    std::ostringstream out;
    out << e.getEventCode() << " t" << e.getEventType() << " o" << e.getObjectType() << " A"
        << id(e.getAdapterID()) << "C" << id(e.getChannelID()) << "D" << id(e.getDeviceID()) << "L"
        << id(e.getLogicalDriveID()) << "R" << id(e.getArrayID());
    const std::pair<const char*, int> numbers[] = {
        {" lun", e.getLun()}, {" fan", e.getFan()}, {" ps", e.getPowerSupply()}};
    for (const auto& [name, value] : numbers) {
        if (value != TLXEvent::kUnset) {
            out << name << value;
        }
    }
    const std::pair<const char*, std::string> texts[] = {{" fru=", e.getFru()},
                                                         {" hd=", e.getHardDriveSerialNumber()},
                                                         {" enc=", e.getEnclosureModel()},
                                                         {" ser=", e.getAdapterSerial()},
                                                         {" id=", e.getIndentifier()}};
    for (const auto& [name, value] : texts) {
        if (!value.empty()) {
            out << name << value;
        }
    }
    out << " | " << e.getEventDesc();
    return out.str();
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
    if (rewrite) {
        rewrite(adapter.getAdapterID(), buffer);
    }
    return ret;
}

void TranslationTest::SetUp() {
    TestHome::SetUp();
    port::Clock::install(&clock);
    writeFile("RaidNLS.properties", taggedCatalog());
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
    tree.enclosure(c1, 7)->setFruNumber("EFRU-7");                   // channel 0 has none
    tree.logicalDrive(a0, 0, LD_STATE_OKAY, RAID_LEVEL_5, 4194304);  // 2048 MB in blocks
    tree.logicalDrive(a0, 1, LD_STATE_OKAY, RAID_LEVEL_1, 2252800)   // 1100 MB in blocks
        ->setSubState(LD_SUB_STATE_QUICK_INIT);
    // Controller 3 (Omdi, megabytes) and 7; controller 5 only in the previous tree.
    Adapter* a3 = tree.adapter(3, "A3", TreeBuilder::Family::Omdi);
    tree.logicalDrive(a3, 0, LD_STATE_OKAY, RAID_LEVEL_5, 2048);
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
    RaidObject* object = lib.getCurrentSystem()->getObject(adapterID, Addr::kUnset, Addr::kUnset,
                                                           Addr::kUnset, Addr::kUnset);
    return dynamic_cast<Adapter*>(object);
}

std::vector<std::string> TranslationTest::translate(const std::string& text, uint32_t caller) {
    std::vector<char> buffer(text.begin(), text.end());
    buffer.push_back('\0');
    monitor->GetEventFromXml(buffer.data(), current(caller));
    std::vector<std::string> events;
    for (const TLXEvent& event : monitor->getEvents(0)) {
        events.push_back(summary(event));
    }
    return events;
}
