#include "raidlib/RaidObject.h"

#include <algorithm>

#include "raidlib/Adapter.h"
#include "raidlib/Channel.h"

RaidObject::RaidObject(const RaidObject& other) : Serializable(other), addr_(other.addr_) {
    try {
        copyChildrenFrom(other);
    } catch (...) {
        deleteAllChildren();  // no destructor runs for a copy that failed half way
        throw;
    }
}

RaidObject& RaidObject::operator=(const RaidObject& other) {
    if (this != &other) {
        Serializable::operator=(other);
        deleteAllChildren();
        addr_ = other.addr_;
        adapterLink_ = nullptr;
        channelLink_ = nullptr;
        copyChildrenFrom(other);
    }
    return *this;
}

RaidObject::~RaidObject() {
    if (parent_ != nullptr) {
        parent_->removeChild(this);  // deleted directly: the parent must not delete it again
    }
    deleteAllChildren();
}

void RaidObject::copyChildrenFrom(const RaidObject& other) {
    for (const RaidObject* child : other.children_) {
        addChild(child->clone());
    }
}

bool RaidObject::isInstanceOf(const char* name) const {
    return named(name, "RaidObject") || Serializable::isInstanceOf(name);
}

void RaidObject::addChild(RaidObject* child) {
    addChild(child, static_cast<unsigned>(children_.size()));
}

void RaidObject::addChild(RaidObject* child, unsigned position) {
    for (const RaidObject* node = this; node != nullptr; node = node->parent_) {
        if (node == child) {
            return;  // a node cannot hold itself or an ancestor
        }
    }
    if (child == nullptr) {
        return;
    }
    if (child->parent_ != nullptr) {
        child->parent_->removeChild(child);
    }
    if (child->addr_.getAdapterID() == Addr::kUnset) {
        child->addr_.setAdapterID(getAdapterID());
    }
    if (child->addr_.getChannelID() == Addr::kUnset) {
        child->addr_.setChannelID(getChannelID());
    }
    child->parent_ = this;
    const auto at = std::min<size_t>(position, children_.size());
    children_.insert(children_.begin() + static_cast<std::ptrdiff_t>(at), child);
    for (RaidObject* node = this; node != nullptr; node = node->parent_) {
        node->descendantAdded(child);
    }
}

void RaidObject::descendantAdded(RaidObject*) {}

RaidObject* RaidObject::removeChild(RaidObject* child) {
    auto it = std::find(children_.begin(), children_.end(), child);
    if (it == children_.end()) {
        return nullptr;
    }
    children_.erase(it);
    child->parent_ = nullptr;
    return child;
}

void RaidObject::deleteAllChildren() {
    std::vector<RaidObject*> children;
    children.swap(children_);
    for (RaidObject* child : children) {
        child->parent_ = nullptr;
        delete child;
    }
}

RaidObject* RaidObject::getChild(int index) const {
    if (index < 0 || static_cast<size_t>(index) >= children_.size()) {
        return nullptr;
    }
    return children_[static_cast<size_t>(index)];
}

void RaidObject::getChildren(std::vector<RaidObject*>& list, const char* typeName, bool recursive,
                             bool searchBelowMatches) const {
    for (RaidObject* child : children_) {
        const bool matches = typeName == nullptr || child->isInstanceOf(typeName);
        if (matches) {
            list.push_back(child);
        }
        if (recursive && (!matches || searchBelowMatches)) {
            child->getChildren(list, typeName, true, searchBelowMatches);
        }
    }
}

bool RaidObject::matchesAddress(uint32_t adapterID, uint32_t arrayID, uint32_t logicalDriveID,
                                uint32_t channelID, uint32_t deviceID) const {
    // Array and channel act as wildcards when not given; the others must agree exactly,
    // so that asking for a channel does not find a drive on it and vice versa.
    const auto wildcard = [](uint32_t wanted, uint32_t have) {
        return wanted == Addr::kUnset || wanted == have;
    };
    return adapterID == getAdapterID() && wildcard(arrayID, getArrayID()) &&
           logicalDriveID == getLogicalDriveID() && wildcard(channelID, getChannelID()) &&
           deviceID == getDeviceID();
}

RaidObject* RaidObject::getObject(uint32_t adapterID, uint32_t arrayID, uint32_t logicalDriveID,
                                  uint32_t channelID, uint32_t deviceID) const {
    if (matchesAddress(adapterID, arrayID, logicalDriveID, channelID, deviceID)) {
        return const_cast<RaidObject*>(this);
    }
    for (const RaidObject* child : children_) {
        if (RaidObject* found =
                child->getObject(adapterID, arrayID, logicalDriveID, channelID, deviceID)) {
            return found;
        }
    }
    return nullptr;
}

RaidObject* RaidObject::getObject(const Addr& addr) const {
    return getObject(addr.getAdapterID(), addr.getArrayID(), addr.getLogicalDriveID(),
                     addr.getChannelID(), addr.getDeviceID());
}

Adapter* RaidObject::getAdapter() const {
    if (adapterLink_ != nullptr) {
        return adapterLink_;
    }
    for (RaidObject* node = parent_; node != nullptr; node = node->parent_) {
        if (node->isInstanceOf("Adapter")) {
            return static_cast<Adapter*>(node);
        }
    }
    return nullptr;
}

Channel* RaidObject::getChannel() const {
    if (channelLink_ != nullptr) {
        return channelLink_;
    }
    for (RaidObject* node = parent_; node != nullptr; node = node->parent_) {
        if (node->isInstanceOf("Channel")) {
            return static_cast<Channel*>(node);
        }
    }
    return nullptr;
}

uint32_t RaidObject::getAdapterID() const {
    if (addr_.getAdapterID() != Addr::kUnset) {
        return addr_.getAdapterID();
    }
    const Adapter* adapter = getAdapter();
    return adapter != nullptr ? adapter->getAdapterID() : Addr::kUnset;
}

uint32_t RaidObject::getChannelID() const {
    if (addr_.getChannelID() != Addr::kUnset) {
        return addr_.getChannelID();
    }
    const Channel* channel = getChannel();
    return channel != nullptr ? channel->getChannelID() : Addr::kUnset;
}

Addr RaidObject::getAddr() const {
    Addr addr = addr_;
    addr.setAdapterID(getAdapterID());
    addr.setChannelID(getChannelID());
    return addr;
}
