// The enclosure comparison end to end: a model in the stand-in library, a snapshot of it
// written and read back as the stored controller, a change to the model, then compareSafte
// or checkSafte and every field of the events in the queue, in order.
#include <gtest/gtest.h>

#include <sstream>

#include "DetectTestSupport.h"
#include "detect/EnclosureEventTable.h"
#include "snapshot/TLXConfigBuilder.h"
#include "snapshot/TLXSystem.h"

namespace {

constexpr uint32_t U = Addr::kUnset;

// What each enclosure event code (from 501 on) stands for: one code, one kind of event.
// clang-format off
struct Kind { int type; const char* identifier; EnumObjectType object; const char* key; };
constexpr Kind kKinds[] = {
    {3, "EVENT_VELMAR_ENC_OK", TLX_OBJ_ENCLOSURE, "agentEventInfEnclOk"},                         // 501
    {1, "EVENT_VELMAR_ENC_FAILURE", TLX_OBJ_ENCLOSURE, "agentEventErrEnclFail"},                  // 502
    {3, "EVENT_VELMAR_ENC_FAN_REPLACED", TLX_OBJ_FAN, "agentEventInfFanOperational"},             // 503
    {1, "EVENT_VELMAR_ENC_FAN_FAILURE", TLX_OBJ_FAN, "agentEventErrFanFail"},                     // 504
    {3, "EVENT_VELMAR_ENC_FAN_INSTALLED", TLX_OBJ_FAN, "agentEventInfFanInstalled"},              // 505
    {1, "EVENT_VELMAR_ENC_FAN_REMOVED", TLX_OBJ_FAN, "agentEventWrnFanRemoved"},                  // 506
    {3, "EVENT_VELMAR_ENC_TEMP_NORMAL", TLX_OBJ_ENCLOSURE, "agentEventInfTempNormal"},            // 507
    {1, "EVENT_VELMAR_ENC_TEMP_FAILURE", TLX_OBJ_ENCLOSURE, "agentEventErrTempFail"},             // 508
    {3, "EVENT_VELMAR_ENC_PS_REPLACED", TLX_OBJ_POWER_SUPPLY, "agentEventInfPowerOperational"},   // 509
    {1, "EVENT_VELMAR_ENC_PS_FAILURE", TLX_OBJ_POWER_SUPPLY, "agentEventErrPowerFail"},           // 510
    {3, "EVENT_VELMAR_ENC_PS_INSTALLED", TLX_OBJ_POWER_SUPPLY, "agentEventInfPowerInstalled"},    // 511
    {1, "EVENT_VELMAR_ENC_PS_REMOVED", TLX_OBJ_POWER_SUPPLY, "agentEventWrnPowerRemoved"},        // 512
};
// clang-format on

class EnclosureComparisonTest : public DetectTest {
protected:
    void SetUp() override {
        DetectTest::SetUp();
        // Each enclosure text is its key with the arguments between bars.
        std::string catalog = readFile("RaidNLS.properties");
        for (const CatalogKey& key : detect::enclosureCatalogKeys()) {
            catalog += std::string(key.key) + "=" + key.key +
                       (key.arguments == 2 ? "({0}|{1})\n" : "({0})\n");
        }
        writeFile("RaidNLS.properties", catalog);
    }

    // Changes the model by steps "op channel device index value", one after another: "fan"
    // and "ps" set the SAF-TE code (value) of a unit, "temp" the temperature flag, "fans" the
    // fan count, "valid" the SAF-TE validity flag; "rm" removes an enclosure, "add" adds one
    // with index fans and value supplies; "renumber" makes controller 0 controller 1.
    void apply(const std::string& steps) {
        std::istringstream in(steps);
        std::string op, device, value;
        uint32_t ch;
        int i;
        while (in >> op >> ch >> device >> i >> value) {
            const uint32_t dev = std::stoul(device), a = adapterID;
            const int v = std::stoi(value, nullptr, 0);
            RaidObject* model = lib.getHardwareModel();
            auto* enclosure = dynamic_cast<Enclosure*>(model->getObject(a, U, U, ch, dev));
            // clang-format off
            if (op == "fan") lib.setFanStatus(a, ch, dev, i, static_cast<EnumSAFTEFanStatusCodes>(v));
            if (op == "ps") lib.setPowerSupplyStatus(a, ch, dev, i, static_cast<EnumSAFTEPowerSupplyStatusCodes>(v));
            if (op == "temp") lib.setTemperatureOutOfRange(a, ch, dev, v != 0);
            if (op == "fans") enclosure->getSafteConfig()->setFanCount(static_cast<uint16_t>(v));
            if (op == "valid") enclosure->setSafteDataValid(v != 0);
            if (op == "rm") lib.removeEnclosure(a, ch, dev);
            if (op == "add") ModelBuilder(nullptr).enclosure(dynamic_cast<Channel*>(model->getObject(a, U, U, ch, U)), dev, i, v)->setFruNumber("FRU-" + device);
            if (op == "renumber") lib.renumberAdapter(a, ++adapterID);
            // clang-format on
        }
    }

    // Controller 0 "S0" with enclosure 14 (4 fans, 2 supplies) on channel 0 and enclosure 15
    // (2 and 2) on channel 1, all operational, is changed by before and snapshotted, then
    // changed by after; then the stored and current controller are compared (or the current
    // one checked). Returns the events.
    std::vector<std::string> run(const std::string& before, const std::string& after, bool check) {
        lib.setHardwareModel(nullptr);
        adapterID = 0;
        ModelBuilder build(lib.getHardwareModel());
        Adapter* adapter = build.adapter(0, "S0");
        build.channel(adapter, 0);
        build.channel(adapter, 1);
        apply("add 0 14 4 2 add 1 15 2 2 " + before);
        TLXConfigBuilder builder(path("TLXVLConfig.xml"));
        builder.build(lib.getNewSystem(), nullptr);
        EXPECT_TRUE(builder.writeXML() && builder.readXML());
        auto* stored = dynamic_cast<Adapter*>(builder.getSystem()->getChild(0));
        apply(after);
        auto* current = dynamic_cast<Adapter*>(lib.getNewSystem()->getChild(0));
        check ? monitor->checkSafte(monitor->queue(), current)
              : monitor->compareSafte(monitor->queue(), current, stored);
        return monitor->take();
    }

    // The events "code channel device unit ..." (unit: the fan or supply index, "-" for
    // none) of the current controller: fan and supply events carry the enclosure's FRU
    // number, the others its model; the text is the key with [unit number,] channel identity.
    std::vector<std::string> expected(const std::string& events) const {
        std::vector<std::string> out;
        std::istringstream in(events);
        std::string code, channel, device, unit;
        while (in >> code >> channel >> device >> unit) {
            const Kind& kind = kKinds[std::stoi(code) - 501];
            const bool part = unit != "-";
            const std::string where = part ? (kind.object == TLX_OBJ_FAN ? " fan" : " ps") + unit +
                                                 " ser=S0 fru=FRU-" + device
                                           : " ser=S0 enc=ENCL-" + device;
            out.push_back(code + " t" + std::to_string(kind.type) + " o" +
                          std::to_string(kind.object) + " A" + std::to_string(adapterID) + "C" +
                          channel + "D" + device + where + " id=" + kind.identifier + " | " +
                          kind.key + "(" + (part ? std::to_string(std::stoi(unit) + 1) + "|" : "") +
                          "CH(C2(" + std::to_string(adapterID + 1) +
                          "| VELMAR RAID Controller #S0|Unknown)|" +
                          std::to_string(std::stoi(channel) + 1) + "))");
        }
        return out;
    }

    // The model's controller ID: 1 after "renumber".
    uint32_t adapterID = 0;
};

// Each case names the rows of the enclosure event table that it raises; together they raise
// every row.
TEST_F(EnclosureComparisonTest, Scenarios) {
    const std::string failures = "fan 0 14 0 0x01 ps 1 15 1 0x20 temp 1 15 0 1 ";
    const std::string sixFans = "fans 0 14 0 6 fan 0 14 4 0x00 fan 0 14 5 0x00 ";
    // clang-format off
    struct Scenario {
        const char *rows, *name; std::string before, after; bool check; const char* events; };
    const Scenario scenarios[] = {
        {"F1 F5 F6", "fans repaired, failing where missing, removed when failed",
         "fan 0 14 0 0x01 fan 0 14 1 0x02 fan 0 14 2 0x01", "fan 0 14 0 0x00 fan 0 14 1 0x01 fan 0 14 2 0x02", false,
         "503 0 14 0  504 0 14 1  506 0 14 2"},
        {"F3", "six fans where four were", "", sixFans, false, "505 0 14 4  505 0 14 5"},
        {"F4", "four fans where six were", sixFans, "fans 0 14 0 4", false, "506 0 14 4  506 0 14 5"},
        {"P2 P4", "supply codes 0x11 and 0x80 are operational, 0x10 and 0x20 are not", "",
         "ps 1 15 0 0x11 ps 1 15 1 0x80 ps 0 14 0 0x20 ps 0 14 1 0x10", false, "512 0 14 0  510 0 14 1"},
        {"P1 P3 P5 P6", "supplies repaired, installed, failing where missing, removed",
         "ps 0 14 0 0x10 ps 0 14 1 0x20 ps 1 15 0 0x20 ps 1 15 1 0x10", "ps 0 14 0 0x00 ps 0 14 1 0x00 ps 1 15 0 0x10 ps 1 15 1 0x20", false,
         "509 0 14 0  511 0 14 1  510 1 15 0  512 1 15 1"},
        {"T1 T2", "temperature out of range and back", "temp 1 15 0 1", "temp 0 14 0 1 temp 1 15 0 0", false, "508 0 14 -  507 1 15 -"},
        {"E1 C1 C2 C3 C4 C5", "a new enclosure is checked even with invalid SAF-TE data", "",
         "add 1 13 2 2 valid 1 13 0 0 fan 1 13 0 0x01 fan 1 13 1 0x02 ps 1 13 0 0x10 ps 1 13 1 0x20 temp 1 13 0 1", false,
         "501 1 13 -  504 1 13 0  506 1 13 1  510 1 13 0  512 1 13 1  508 1 13 -"},
        {"E1 E2", "an enclosure moves to another channel: found there in list order, lost last", "",
         "rm 0 14 0 0 add 1 14 2 2 fan 1 15 0 0x02", false, "506 1 15 0  501 1 14 -  502 0 14 -"},
        {"", "units that were already failed stay silent", failures, "", false, ""},
        {"C1 C4 C5", "the check of a new controller reports them, but not an invalid enclosure",
         failures + "add 1 13 1 0 valid 1 13 0 0 fan 1 13 0 0x01", "", true, "504 0 14 0  512 1 15 1  508 1 15 -"},
        {"", "SAF-TE data invalid on either side: not compared", "valid 1 15 0 0",
         "valid 0 14 0 0 fan 0 14 0 0x01 valid 1 15 0 1 fan 1 15 0 0x01", false, ""},
        {"", "a 33rd fan compares as not present on both sides", "fans 0 14 0 32", "fans 0 14 0 33", false, ""},
        {"C2", "a check reads fan index 32 as not present", "fans 0 14 0 33", "", true, "506 0 14 32"},
        {"F2", "fan 3 of a controller renumbered between runs fails", "", "renumber 0 0 0 0 fan 0 14 2 0x01", false,
         "504 0 14 2"},
    };
    // clang-format on
    std::string named;
    for (const Scenario& scenario : scenarios) {
        SCOPED_TRACE(scenario.name);
        named += std::string(" ") + scenario.rows + " ";
        const auto events = run(scenario.before, scenario.after, scenario.check);
        EXPECT_EQ(events, expected(scenario.events));  // after run: renumber moves adapterID
    }
    NLSParser shipped(shippedCatalogPath());
    for (const detect::EnclosureEventRow& row : detect::kEnclosureEvents) {
        EXPECT_NE(named.find(std::string(" ") + row.name + " "), std::string::npos) << row.name;
        EXPECT_FALSE(shipped.get(row.key).empty()) << row.key;
    }
}

TEST_F(EnclosureComparisonTest, SESCodesAndElements) {
    // SES codes 0 to 7 reduce to operational (1), failed (2) or not present (3).
    std::string fans, supplies;
    for (int code = SES_STATUS_UNSUPPORTED; code <= SES_STATUS_NOT_AVAILABLE; ++code) {
        fans += std::to_string(monitor->getFanStatus(static_cast<EnumSESStatusCodes>(code)));
        supplies +=
            std::to_string(monitor->getPowerSupplyStatus(static_cast<EnumSESStatusCodes>(code)));
    }
    EXPECT_EQ(fans, "11212311");
    EXPECT_EQ(supplies, fans);
    // Matched by element type and descriptor; null entries and other objects are passed by.
    SESElement elements[4];
    Enclosure other;
    std::vector<RaidObject*> list{nullptr, &other};
    for (int i = 0; i < 4; ++i) {
        elements[i].setElementType(i < 2 ? SES_ELEMENT_COOLING : SES_ELEMENT_POWER_SUPPLY);
        elements[i].setElementDescriptor(i == 1 ? "B" : "A");
        list.push_back(&elements[i]);
        SESElement wanted(elements[i]);
        EXPECT_EQ(monitor->getSESElement(list, &wanted), &elements[i < 3 ? i : 2]) << i;
    }
    elements[3].setElementDescriptor("C");
    EXPECT_EQ(monitor->getSESElement(list, &elements[3]), &elements[3]);
    EXPECT_EQ(monitor->getSESElement({nullptr, &elements[0]}, &elements[3]), nullptr);
    EXPECT_EQ(monitor->getSESElement(list, nullptr), nullptr);
}

}  // namespace
