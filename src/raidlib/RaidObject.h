// A node of the library's object tree. The node owns its children (addChild takes ownership
// and links the parent; the destructor deletes them and unlinks the node from its parent)
// and keeps its IDs in its address. An ID that is unset falls back to the adapter or channel
// above the node, so a drive answers getAdapterID() and getChannelID() from its tree.
// Copying a node copies its subtree.
#pragma once

#include <cstdint>
#include <vector>

#include "raidlib/Addr2.h"
#include "raidlib/Serializable.h"

class Adapter;
class Channel;

class BRIXVL_EXPORT RaidObject : public Serializable {
public:
    RaidObject() = default;
    // Deep copy: the copy has no parent and owns copies of the children.
    RaidObject(const RaidObject& other);
    RaidObject& operator=(const RaidObject& other);
    ~RaidObject() override;

    bool isInstanceOf(const char* typeName) const override;
    const char* typeName() const override { return "RaidObject"; }

    // Child order is the order of addition; the library never reorders.
    virtual void sortChildren() {}
    // Takes ownership of child and links it to this node, moving it from its former parent.
    // A child whose adapter or channel ID is unset takes this node's. Null, this node and its
    // ancestors are ignored.
    virtual void addChild(RaidObject* child);
    // The same, inserting at position (appends when position is past the end).
    virtual void addChild(RaidObject* child, unsigned position);
    // Called on this node and every ancestor after a node was added below it.
    virtual void descendantAdded(RaidObject* descendant);
    // A deep copy of the same class.
    virtual RaidObject* clone() const { return new RaidObject(*this); }

    // Unlinks child and hands its ownership to the caller; null when it is not a child.
    RaidObject* removeChild(RaidObject* child);
    void deleteAllChildren();
    int getChildCount() const { return static_cast<int>(children_.size()); }
    // Null when index is out of range.
    RaidObject* getChild(int index) const;
    const std::vector<RaidObject*>& getChildren() const { return children_; }
    // Appends the children that are instances of typeName (every child for a null name) to
    // list, in child order. recursive: also look below the children, depth first, so the
    // list follows the tree order. searchBelowMatches: with recursive, also look below the
    // children that matched.
    void getChildren(std::vector<RaidObject*>& list, const char* typeName, bool recursive,
                     bool searchBelowMatches) const;
    RaidObject* getParent() const { return parent_; }

    // The first node of this subtree (this node included, depth first) at the address. An ID
    // given as 0x7FFFFFFF asks for a node without that ID, except the array and channel IDs,
    // which then match any node (callers name logical drives without array and drives
    // without channel).
    RaidObject* getObject(uint32_t adapterID, uint32_t arrayID, uint32_t logicalDriveID,
                          uint32_t channelID, uint32_t deviceID) const;
    RaidObject* getObject(const Addr& addr) const;

    // The adapter and channel this node belongs to: the link given at construction, else the
    // nearest ancestor of that kind (null when there is none).
    Adapter* getAdapter() const;
    Channel* getChannel() const;

    uint32_t getAdapterID() const;
    uint32_t getChannelID() const;
    uint32_t getArrayID() const { return addr_.getArrayID(); }
    uint32_t getLogicalDriveID() const { return addr_.getLogicalDriveID(); }
    uint32_t getDeviceID() const { return addr_.getDeviceID(); }
    uint64_t getChunkID() const { return addr_.getChunkID(); }
    void setAdapterID(uint32_t id) { addr_.setAdapterID(id); }
    void setArrayID(uint32_t id) { addr_.setArrayID(id); }
    void setLogicalDriveID(uint32_t id) { addr_.setLogicalDriveID(id); }
    void setChannelID(uint32_t id) { addr_.setChannelID(id); }
    void setDeviceID(uint32_t id) { addr_.setDeviceID(id); }
    void setChunkID(uint64_t id) { addr_.setChunkID(id); }

    // The stored address, without the fallbacks of the getters above.
    const Addr2& getAddr2() const { return addr_; }
    void setAddr2(const Addr2& addr) { addr_ = addr; }
    // The address with the adapter and channel IDs resolved as the getters do.
    Addr getAddr() const;

protected:
    // Links for objects built outside a tree (the snapshot classes name their adapter and
    // channel at construction). Not copied.
    void setAdapterLink(Adapter* adapter) { adapterLink_ = adapter; }
    void setChannelLink(Channel* channel) { channelLink_ = channel; }

private:
    bool matchesAddress(uint32_t adapterID, uint32_t arrayID, uint32_t logicalDriveID,
                        uint32_t channelID, uint32_t deviceID) const;
    void copyChildrenFrom(const RaidObject& other);

    Addr2 addr_;
    RaidObject* parent_ = nullptr;
    Adapter* adapterLink_ = nullptr;
    Channel* channelLink_ = nullptr;
    std::vector<RaidObject*> children_;
};
