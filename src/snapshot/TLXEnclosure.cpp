#include "snapshot/TLXEnclosure.h"

#include <new>

#include "snapshot/SnapshotDevice.h"

namespace {
constexpr uint8_t kUnknownStatus = 0x80;
constexpr unsigned kMaxUnits = 32;

template <typename T>
std::unique_ptr<T> copyOf(const std::unique_ptr<T>& member) {
    return member != nullptr ? std::unique_ptr<T>(new T(*member)) : nullptr;
}
}  // namespace

TLXEnclosure::TLXEnclosure(const TLXEnclosure& other)
    : Enclosure(other),
      tlxSafteDataValid(other.tlxSafteDataValid),
      element_(other.element_),
      safteConfig_(copyOf(other.safteConfig_)),
      safteStatus_(copyOf(other.safteStatus_)) {}

bool TLXEnclosure::isInstanceOf(const char* name) const {
    return snapshot::named(name, "TLXEnclosure") || Enclosure::isInstanceOf(name);
}

void TLXEnclosure::writeTo(Writer* writer) {
    if (writer == nullptr) {
        return;
    }
    Enclosure::writeTo(writer);
    writer->writeAttribute("tlxSafteDataValid", tlxSafteDataValid);
}

bool TLXEnclosure::isTempOutOfRange() const {
    return safteStatus_ != nullptr &&
           (safteStatus_->getTempFlags1() != 0 || safteStatus_->getTempFlags2() != 0);
}

int TLXEnclosure::getSafteFanCount() const {
    return tlxSafteDataValid && safteConfig_ != nullptr ? safteConfig_->getFanCount() : 0;
}

int TLXEnclosure::getSaftePowerSupplyCount() const {
    return tlxSafteDataValid && safteConfig_ != nullptr ? safteConfig_->getPowerSupplyCount() : 0;
}

uint8_t TLXEnclosure::getSafteFanStatus(int index) const {
    const auto unit = static_cast<uint16_t>(index);
    if (!tlxSafteDataValid || safteStatus_ == nullptr || unit >= kMaxUnits) {
        return kUnknownStatus;
    }
    return safteStatus_->getFanStatus(unit);
}

uint8_t TLXEnclosure::getSaftePowerSupplyStatus(int index) const {
    const auto unit = static_cast<uint16_t>(index);
    if (!tlxSafteDataValid || safteStatus_ == nullptr || unit >= kMaxUnits) {
        return kUnknownStatus;
    }
    return safteStatus_->getPowerSupplyStatus(unit);
}

void TLXEnclosure::updateSafteDataValid() {
    if (safteConfig_ != nullptr && safteStatus_ != nullptr) {
        tlxSafteDataValid = true;
    }
}

template <typename T>
void TLXEnclosure::keepOwned(std::unique_ptr<T>& member, std::unique_ptr<T> value) {
    snapshot::adoptChild(*this, copyOf(value));
    member = std::move(value);
}

template <typename T, typename Live>
void TLXEnclosure::copyOwned(std::unique_ptr<T>& member, const Live* live) {
    if (live != nullptr) {
        std::unique_ptr<T> copy(new T());
        copy->copyFrom(*live);
        keepOwned(member, std::move(copy));
    }
}

template <typename T>
void TLXEnclosure::buildOwned(std::unique_ptr<T>& member, SimpleXmlParser& parser) {
    member.reset();
    std::unique_ptr<T> built(new (std::nothrow) T());
    if (built != nullptr) {
        built->buildFromXml(parser);
        keepOwned(member, std::move(built));
    }
}

void TLXEnclosure::copyFrom(const Enclosure& live) {
    snapshot::copyDeviceValues(*this, live);
    if (!live.isSafteDataValid()) {
        return;
    }
    copyOwned(safteConfig_, live.getSafteConfig());
    copyOwned(safteStatus_, live.getSafteStatus());
    updateSafteDataValid();
}

bool TLXEnclosure::matches(const Enclosure& live) const {
    const bool valid = live.isSafteDataValid();
    return snapshot::sameDeviceValues(*this, live) &&
           sameOwned(safteConfig_, valid ? live.getSafteConfig() : nullptr) &&
           sameOwned(safteStatus_, valid ? live.getSafteStatus() : nullptr);
}

template <typename T, typename Live>
bool TLXEnclosure::sameOwned(const std::unique_ptr<T>& member, const Live* live) {
    return live == nullptr ? member == nullptr : member != nullptr && member->matches(*live);
}

void TLXEnclosure::buildFromXml(SimpleXmlParser& parser) {
    element_.read(
        parser, "Enclosure",
        [this](const char* name) { snapshot::readDeviceIdentifier(*this, element_, name); },
        [this, &parser](const char* name) {
            if (snapshot::named(name, "SafteConfig")) {
                buildOwned(safteConfig_, parser);
            } else if (snapshot::named(name, "SafteStatus")) {
                buildOwned(safteStatus_, parser);
            }
        });
    snapshot::readDeviceValues(*this, element_);
    updateSafteDataValid();
    element_.attributes().Clear();
}
