// The snapshot form of an enclosure: the library's Enclosure, linked to its controller and
// channel at construction, with its SAF-TE data. It owns one TLXSafteConfig and one
// TLXSafteStatus and holds separate copies of them as children (which are what is written).
// tlxSafteDataValid is set once both owned members exist. The SAF-TE queries answer only
// while it is set: counts 0 and status codes 0x80 otherwise. Written as "Enclosure".
#pragma once

#include <cstdint>
#include <memory>

#include "port/Export.h"
#include "raidlib/Enclosure.h"
#include "snapshot/SnapshotElement.h"
#include "snapshot/TLXSafteConfig.h"
#include "snapshot/TLXSafteStatus.h"

class SimpleXmlParser;

class TLX_EXPORT TLXEnclosure : public Enclosure {
public:
    explicit TLXEnclosure(Adapter* adapter = nullptr, Channel* channel = nullptr)
        : Enclosure(adapter, channel) {}
    TLXEnclosure(const TLXEnclosure& other);
    TLXEnclosure& operator=(const TLXEnclosure&) = delete;
    ~TLXEnclosure() override = default;

    bool isInstanceOf(const char* name) const override;
    const char* serializedName() const override { return "Enclosure"; }
    void writeTo(Writer* writer) override;
    RaidObject* clone() const override { return new TLXEnclosure(*this); }
    // From the stored temperature flags (the library's own answer looks for a library
    // SafteStatus child, which a stored enclosure does not have).
    bool isTempOutOfRange() const override;

    void copyFrom(const Enclosure& live);
    // True when this copy holds every value that copyFrom(live) would take.
    bool matches(const Enclosure& live) const;
    virtual void buildFromXml(SimpleXmlParser& parser);

    int getSafteFanCount() const;
    int getSaftePowerSupplyCount() const;
    uint8_t getSafteFanStatus(int index) const;
    uint8_t getSaftePowerSupplyStatus(int index) const;

    bool tlxSafteDataValid = false;

    // The owned SAF-TE members; null until copied or read.
    const TLXSafteConfig* getTLXSafteConfig() const { return safteConfig_.get(); }
    const TLXSafteStatus* getTLXSafteStatus() const { return safteStatus_.get(); }

private:
    // Replaces the owned member by value and adds a copy of it as a child.
    template <typename T>
    void keepOwned(std::unique_ptr<T>& member, std::unique_ptr<T> value);
    // Keeps a copy of the live SAF-TE object, if there is one.
    template <typename T, typename Live>
    void copyOwned(std::unique_ptr<T>& member, const Live* live);
    // Drops the owned member and keeps one read from the element the parser stands on.
    template <typename T>
    void buildOwned(std::unique_ptr<T>& member, SimpleXmlParser& parser);
    void updateSafteDataValid();
    // True when member is what copyOwned(member, live) makes of a fresh copy.
    template <typename T, typename Live>
    static bool sameOwned(const std::unique_ptr<T>& member, const Live* live);

    SnapshotElement element_;
    std::unique_ptr<TLXSafteConfig> safteConfig_;
    std::unique_ptr<TLXSafteStatus> safteStatus_;
};
