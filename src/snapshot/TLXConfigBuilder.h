// Owns the configuration snapshot file and the snapshot tree. build() copies a live system
// and the task snapshot into a tree; writeXML() writes that tree and drops it, replacing the
// file atomically and only with a whole text, so that a crash, a full disk or a lack of
// memory never leaves a cut snapshot; readXML() rebuilds the tree from the file (an empty
// tree when the file is missing, unreadable or malformed from its start) and tells through
// wasReadWhole() whether the text was a whole snapshot, so that the caller never takes the
// front of a damaged file for the stored configuration. writeXML() leaves the file alone
// when it still holds exactly the text that this builder last installed there (same bytes,
// same file, unchanged size and times), so an idle system costs no disk write. No
// exception leaves these operations; one thread (the monitor's loop) calls them.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

#include "port/Export.h"
#include "port/FileSystem.h"

class System;
class TLXProgressCollection;
class TLXSystem;
class XMLWriter;

class TLX_EXPORT TLXConfigBuilder {
public:
    explicit TLXConfigBuilder(std::string path);
    virtual ~TLXConfigBuilder();
    TLXConfigBuilder(const TLXConfigBuilder&) = delete;
    TLXConfigBuilder& operator=(const TLXConfigBuilder&) = delete;

    // Replaces the tree by a copy of live (none when null) with a task list copied from
    // progress (an empty one when null). A copy cut short by a lack of memory is kept but
    // marked, so that writeXML() does not take it for the configuration.
    void build(System* live, TLXProgressCollection* progress);
    // Writes the tree (an empty "System" when there is none) to the file and deletes the
    // tree. True when the file now holds the text; on failure the old file is untouched. A
    // text that lost a piece for want of memory is never written: it would be a cut snapshot.
    // When the text is byte for byte the one this builder last installed and the file is
    // still that file, unchanged, nothing is written (wasWriteSkipped()) and true returned.
    bool writeXML();
    // build(live, progress) and writeXML() in one step, for the monitor's periodic snapshot.
    // When live and progress still hold exactly what the tree of the text last installed
    // here was copied from, neither copy nor text is made again: that text is the one the
    // copy would give, and it is written again only when the file no longer holds it.
    bool writeCopyOf(System* live, TLXProgressCollection* progress);
    // Reads the file and rebuilds the tree from it. True when the file could be read; the
    // tree is then what its text holds up to the first malformed token. A read given up on
    // the abandon check returns false with an empty tree, as for a file that cannot be read.
    bool readXML();
    // Rebuilds the tree from text held in memory, as readXML() does from the file's text,
    // and sets wasReadWhole() likewise. False only when given up on the abandon check.
    bool readXMLText(std::string text);
    // True when the last readXML() read the file and parsed its text without a malformed
    // token, up to the end tag of the root "System" element (or its "/>"): a text cut
    // anywhere before that, or an empty file, is not whole. False before any read, after a
    // build() and when the file was missing or unreadable.
    bool wasReadWhole() const { return readWhole_; }
    void resetConfigFile(std::string path);

    // Asked while readXML() rebuilds, build() copies and writeXML() writes (before each
    // controller, element or piece of the file); once it answers true the work is given up:
    // the file keeps its old contents (a rename already begun completes). The monitor asks
    // whether a stop was requested. Empty: never.
    void setAbandonCheck(std::function<bool()> abandon) { abandon_ = std::move(abandon); }
    // True when the last writeXML() found the file already holding its text.
    bool wasWriteSkipped() const { return writeSkipped_; }

    // The current tree, owned by the builder until the next build or read; null when none.
    TLXSystem* getSystem() const { return system_.get(); }
    const std::string& getPath() const { return path_; }

protected:
    // The writer that writeXML() uses over its text block (tests hand in a failing one).
    virtual std::unique_ptr<XMLWriter> newWriter(char** text) const;

private:
    struct FreeBlock {
        void operator()(char* block) const { std::free(block); }
    };
    // The text this builder last installed and the state of the file that it became.
    struct Installed {
        std::unique_ptr<char, FreeBlock> text;
        size_t length = 0;
        port::FileStat file;
        // The tree the text was written from, when writeCopyOf() copied it: compared with the
        // live system instead of copying and writing it again.
        std::unique_ptr<TLXSystem> copy;
    };

    bool abandoned() const { return abandon_ && abandon_(); }
    // The body of both reads: makes text the text of the read and rebuilds the tree from
    // it; wasReadWhole() can hold only when mayBeWhole. False when given up.
    bool rebuild(std::string text, bool mayBeWhole);
    // True when path still holds exactly text as this builder installed it.
    bool stillInstalled(const char* text, size_t length) const;
    // writeXML(), keeping the tree as the installed copy when keepCopy is set.
    bool writeTree(bool keepCopy);
    // True when copy holds what build(live, progress) would copy.
    static bool copyMatches(const TLXSystem& copy, System* live, TLXProgressCollection* progress);
    // Keeps the installed text in the file: written again when someone else changed it.
    bool keepInstalled();

    // The text of the last read; the parser works in it in place.
    std::string text_;
    std::unique_ptr<TLXSystem> system_;
    // False while the tree is a copy that build() could not finish.
    bool treeComplete_ = true;
    bool readWhole_ = false;
    bool writeSkipped_ = false;
    std::string path_;
    std::function<bool()> abandon_;
    std::unique_ptr<Installed> installed_;
};
