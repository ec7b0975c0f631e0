#include "snapshot/TLXEnclosure.h"

#include <new>

#include "snapshot/SnapshotDevice.h"

namespace {
constexpr uint8_t kUnknownStatus = 0x80;
constexpr unsigned kMaxUnits = 32;

template <typename T>
std::unique_ptr<T> copyOf(const std::unique_ptr<T>& member) {
    return member != nullptr ? std::unique_ptr<T>(new (std::nothrow) T(*member)) : nullptr;
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

void TLXEnclosure::keepSafteConfig(std::unique_ptr<TLXSafteConfig> config) {
    if (config == nullptr) {
        return;
    }
    snapshot::adoptChild(*this, copyOf(config));
    safteConfig_ = std::move(config);
}

void TLXEnclosure::keepSafteStatus(std::unique_ptr<TLXSafteStatus> status) {
    if (status == nullptr) {
        return;
    }
    snapshot::adoptChild(*this, copyOf(status));
    safteStatus_ = std::move(status);
}

void TLXEnclosure::updateSafteDataValid() {
    if (safteConfig_ != nullptr && safteStatus_ != nullptr) {
        tlxSafteDataValid = true;
    }
}

void TLXEnclosure::copyFrom(const Enclosure& live) {
    snapshot::copyDeviceValues(*this, live);
    if (!live.isSafteDataValid()) {
        return;
    }
    if (const SafteConfig* config = live.getSafteConfig()) {
        std::unique_ptr<TLXSafteConfig> copy(new (std::nothrow) TLXSafteConfig());
        if (copy != nullptr) {
            copy->copyFrom(*config);
            keepSafteConfig(std::move(copy));
        }
    }
    if (const SafteStatus* status = live.getSafteStatus()) {
        std::unique_ptr<TLXSafteStatus> copy(new (std::nothrow) TLXSafteStatus());
        if (copy != nullptr) {
            copy->copyFrom(*status);
            keepSafteStatus(std::move(copy));
        }
    }
    updateSafteDataValid();
}

void TLXEnclosure::buildFromXml(SimpleXmlParser& parser) {
    element_.read(
        parser, "Enclosure",
        [this](const char* name) { snapshot::readDeviceIdentifier(*this, element_, name); },
        [this, &parser](const char* name) {
            if (snapshot::named(name, "SafteConfig")) {
                safteConfig_.reset();
                std::unique_ptr<TLXSafteConfig> config(new (std::nothrow) TLXSafteConfig());
                if (config != nullptr) {
                    config->buildFromXml(parser);
                    keepSafteConfig(std::move(config));
                }
            } else if (snapshot::named(name, "SafteStatus")) {
                safteStatus_.reset();
                std::unique_ptr<TLXSafteStatus> status(new (std::nothrow) TLXSafteStatus());
                if (status != nullptr) {
                    status->buildFromXml(parser);
                    keepSafteStatus(std::move(status));
                }
            }
        });
    snapshot::readDeviceValues(*this, element_);
    updateSafteDataValid();
    element_.attributes().Clear();
}
