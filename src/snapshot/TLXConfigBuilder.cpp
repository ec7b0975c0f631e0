#include "snapshot/TLXConfigBuilder.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

#include "port/FileSystem.h"
#include "raidlib/System.h"
#include "snapshot/SimpleXmlException.h"
#include "snapshot/SimpleXmlParser.h"
#include "snapshot/SnapshotElement.h"
#include "snapshot/TLXAdapter.h"
#include "snapshot/TLXProgressCollection.h"
#include "snapshot/TLXSystem.h"
#include "snapshot/XMLWriter.h"

TLXConfigBuilder::TLXConfigBuilder(std::string path) : path_(std::move(path)) {}

TLXConfigBuilder::~TLXConfigBuilder() {
    if (system_ != nullptr) {
        system_->deleteAllChildren();
    }
}

void TLXConfigBuilder::build(System* live, TLXProgressCollection* progress) {
    treeComplete_ = false;
    readWhole_ = false;
    try {
        system_.reset();
        system_.reset(new TLXSystem(0));
        if (live != nullptr && !system_->copyFrom(*live, abandon_)) {
            return;  // given up: the tree stays marked incomplete and is not written
        }
        std::unique_ptr<TLXProgressCollection> tasks(new TLXProgressCollection());
        if (progress != nullptr) {
            tasks->copyFrom(*progress);
        }
        system_->addChild(tasks.get());
        tasks.release();
        treeComplete_ = true;
    } catch (...) {
        // Out of memory part way: the tree holds what was copied, and is not written.
    }
}

bool TLXConfigBuilder::writeCopyOf(System* live, TLXProgressCollection* progress) {
    try {
        if (installed_ != nullptr && installed_->copy != nullptr && !path_.empty() &&
            copyMatches(*installed_->copy, live, progress)) {
            system_.reset();
            treeComplete_ = true;
            readWhole_ = false;
            return keepInstalled();
        }
    } catch (...) {
        // Out of memory while comparing: copy and write as usual.
    }
    build(live, progress);
    return writeTree(true);
}

bool TLXConfigBuilder::copyMatches(const TLXSystem& copy, System* live,
                                   TLXProgressCollection* progress) {
    // The children that build() gives the tree: one per controller, then the task list.
    snapshot::KeptChildren kept(copy);
    if (live != nullptr) {
        for (const RaidObject* child : live->getChildren()) {
            if (child != nullptr && child->isInstanceOf("Adapter") &&
                !kept.match<TLXAdapter, Adapter>(child)) {
                return false;
            }
        }
    }
    const TLXProgressCollection empty;
    return kept.match<TLXProgressCollection, RaidObject>(progress != nullptr ? progress : &empty) &&
           kept.done();
}

bool TLXConfigBuilder::keepInstalled() {
    writeSkipped_ = false;
    const char* text = installed_->text.get();
    if (stillInstalled(text, installed_->length)) {
        writeSkipped_ = true;
        return true;
    }
    port::FileStat file;
    if (!port::replaceFileAtomically(path_, text, installed_->length, abandon_, &file)) {
        return false;
    }
    installed_->file = file;
    return true;
}

bool TLXConfigBuilder::writeXML() {
    return writeTree(false);
}

bool TLXConfigBuilder::writeTree(bool keepCopy) {
    writeSkipped_ = false;
    // The writer frees the block its text pointer holds, allocates its own and keeps the
    // pointer on its current block; the text is ours to free.
    char* block = static_cast<char*>(std::malloc(1));
    if (block == nullptr) {
        return false;
    }
    bool written = false;
    try {
        uint32_t length = 0;
        bool complete = treeComplete_;
        {
            std::unique_ptr<XMLWriter> writer = newWriter(&block);
            writer->setAbandonCheck(abandon_);
            if (system_ == nullptr) {
                system_.reset(new TLXSystem(0));
            }
            writer->writeElement(*system_);
            length = writer->getLength();
            complete = complete && writer->isComplete();
        }
        // A tree or text cut short for want of memory is not the configuration: replacing
        // the file with it would make the next run miss everything after the cut.
        if (complete && block != nullptr && !path_.empty()) {
            if (stillInstalled(block, length)) {
                written = true;
                writeSkipped_ = true;
                if (keepCopy) {
                    installed_->copy = std::move(system_);
                }
            } else {
                port::FileStat file;
                written = port::replaceFileAtomically(path_, block, length, abandon_, &file);
                if (written) {
                    // Kept to tell the next unchanged text from a changed one.
                    std::unique_ptr<Installed> installed(new Installed());
                    installed->text.reset(block);
                    block = nullptr;
                    installed->length = length;
                    installed->file = file;
                    if (keepCopy) {
                        installed->copy = std::move(system_);
                    }
                    installed_ = std::move(installed);
                }
            }
        }
    } catch (...) {
        written = false;
    }
    system_.reset();
    treeComplete_ = true;
    std::free(block);
    return written;
}

bool TLXConfigBuilder::stillInstalled(const char* text, size_t length) const {
    if (installed_ == nullptr || installed_->length != length ||
        (text != installed_->text.get() &&
         std::memcmp(installed_->text.get(), text, length) != 0)) {
        return false;
    }
    port::FileStat now;
    if (!port::statFile(path_, now) || now != installed_->file) {
        return false;  // removed, replaced or changed by someone else
    }
    // A change made within the file system's time granularity of our write may have left
    // size and times as they were: then only the bytes on disk tell.
    if (port::isRecentlyChanged(now, port::fileTimeNow())) {
        std::string disk;
        return port::readWholeFile(path_, disk) && disk.size() == length &&
               std::memcmp(disk.data(), text, length) == 0;
    }
    return true;
}

bool TLXConfigBuilder::readXML() {
    // Never parse the text of an earlier read again: a missing file gives an empty tree.
    text_.clear();
    std::string text;
    bool read = false;
    try {
        if (!path_.empty()) {
            read = port::readWholeFile(path_, text);
            if (!read) {
                text.clear();
            }
        }
    } catch (...) {
        text.clear();
        read = false;
    }
    return rebuild(std::move(text), read) && read;
}

bool TLXConfigBuilder::readXMLText(std::string text) {
    return rebuild(std::move(text), true);
}

bool TLXConfigBuilder::rebuild(std::string text, bool mayBeWhole) {
    text_ = std::move(text);
    readWhole_ = false;
    system_.reset();
    treeComplete_ = true;
    try {
        system_.reset(new TLXSystem(0));
        // The tokenizer counts in 32 bits; a larger text is read up to that length.
        const auto length =
            static_cast<unsigned>(std::min<size_t>(text_.size(), static_cast<size_t>(UINT32_MAX)));
        SimpleXmlParser parser(&text_[0], length);
        if (!system_->buildFromXml(parser, abandon_)) {
            // Given up: as if the file could not be read, never as a damaged file.
            system_.reset(new TLXSystem(0));
            return false;
        }
        // The root's reading ends on its own end token only when the text reached it; at
        // the end of a cut text the parser holds no end token of "System".
        readWhole_ =
            mayBeWhole && parser.isEnd() && snapshot::named(parser.getElementName(), "System");
    } catch (const SimpleXmlException&) {
        // Malformed markup: the tree keeps the objects completed before it.
    } catch (...) {
        // Out of memory: likewise.
    }
    return true;
}

std::unique_ptr<XMLWriter> TLXConfigBuilder::newWriter(char** text) const {
    return std::unique_ptr<XMLWriter>(new XMLWriter(text));
}

void TLXConfigBuilder::resetConfigFile(std::string path) {
    path_ = std::move(path);
}
