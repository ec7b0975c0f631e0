#include "snapshot/TLXConfigBuilder.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <utility>

#include "port/FileSystem.h"
#include "raidlib/System.h"
#include "snapshot/SimpleXmlException.h"
#include "snapshot/SimpleXmlParser.h"
#include "snapshot/SnapshotElement.h"
#include "snapshot/TLXProgressCollection.h"
#include "snapshot/TLXSystem.h"
#include "snapshot/XMLWriter.h"

namespace {

struct CloseFile {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// The whole file as text; false when it cannot be opened or read to its end.
bool readWholeFile(const std::string& path, std::string& text) {
    std::unique_ptr<std::FILE, CloseFile> file(std::fopen(path.c_str(), "r"));
    if (file == nullptr) {
        return false;
    }
    char block[4096];
    size_t count;
    while ((count = std::fread(block, 1, sizeof block, file.get())) > 0) {
        text.append(block, count);
    }
    return std::ferror(file.get()) == 0;
}

}  // namespace

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
        if (live != nullptr) {
            system_->copyFrom(*live);
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

bool TLXConfigBuilder::writeXML() {
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
            written = port::replaceFileAtomically(path_, block, length);
        }
    } catch (...) {
        written = false;
    }
    system_.reset();
    treeComplete_ = true;
    std::free(block);
    return written;
}

bool TLXConfigBuilder::readXML() {
    // Never parse the text of an earlier read again: a missing file gives an empty tree.
    text_.clear();
    readWhole_ = false;
    bool read = false;
    try {
        if (!path_.empty()) {
            read = readWholeFile(path_, text_);
            if (!read) {
                text_.clear();
            }
        }
    } catch (...) {
        text_.clear();
        read = false;
    }

    system_.reset();
    treeComplete_ = true;
    try {
        system_.reset(new TLXSystem(0));
        // The tokenizer counts in 32 bits; a larger file is read up to that length.
        const auto length =
            static_cast<unsigned>(std::min<size_t>(text_.size(), static_cast<size_t>(UINT32_MAX)));
        SimpleXmlParser parser(&text_[0], length);
        system_->buildFromXml(parser);
        // The root's reading ends on its own end token only when the text reached it; at
        // the end of a cut text the parser holds no end token of "System".
        readWhole_ = read && parser.isEnd() && snapshot::named(parser.getElementName(), "System");
    } catch (const SimpleXmlException&) {
        // Malformed markup: the tree keeps the objects completed before it.
    } catch (...) {
        // Out of memory: likewise.
    }
    return read;
}

std::unique_ptr<XMLWriter> TLXConfigBuilder::newWriter(char** text) const {
    return std::unique_ptr<XMLWriter>(new XMLWriter(text));
}

void TLXConfigBuilder::resetConfigFile(std::string path) {
    path_ = std::move(path);
}
