#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <vector>

#include "dbase/IndexTag.h"

namespace dbase {

// One tag as an index file holds it: its definition, and where its tree is.
struct StoredTag {
    TagInfo info;
    std::uint32_t root = 0;       // page of the tree's root
    std::uint32_t pages = 0;      // the tag's size in pages, as the file says
    std::uint16_t itemLength = 0; // bytes of one entry in a tree node
};

// A dBASE IV production index file (.mdx): the tag table, each tag's header
// with its key expression, and its B-tree. Read a tag at a time, never the
// whole file at once; written back whole to a temporary file that then
// replaces the old one, so a crash never leaves a half-written index.
class MdxFile {
public:
    // Throws DbaseError naming the file when it is truncated, corrupt or not
    // an index file. Entries of every tag are read from its leaf pages and
    // kept in the collation's order (a file sorted otherwise is re-sorted).
    static MdxFile read(const std::filesystem::path& path, const Collation& collation);
    // Only the tag table and headers (names, expressions), no entries.
    static std::vector<TagInfo> readTagInfos(const std::filesystem::path& path);
    // The same with where each tag's tree is, for reading its entries when
    // they are first wanted.
    static std::vector<StoredTag> readStoredTags(const std::filesystem::path& path);
    // Reads one tag's entries into `tag` (made from stored.info), as read()
    // does; with `withKeys` false only the order (IndexTag::assignOrder),
    // when the file holds the entries in the tag's order already: false,
    // and nothing taken, when it does not. `owners` holds for every page of
    // the file the number (from 1) of the tag whose tree was read there; a
    // tree that runs into another tag's page is damaged. DbaseError as read().
    static bool readEntries(const std::filesystem::path& path, const StoredTag& stored, IndexTag& tag,
                            std::vector<std::uint8_t>& owners, std::uint8_t owner, bool withKeys);

    // A dBASE IV file of 1024-byte blocks with a B-tree per tag, written to
    // a temporary file beside `path`, synced, then renamed over it. DbaseError
    // naming the file when it cannot be written (the old file stays), when
    // two tags share a name, or for more than 47 tags.
    void write(const std::filesystem::path& path, const std::string& tableBaseName,
               std::uint8_t languageDriver) const;

    std::vector<IndexTag>& tags() { return m_tags; }
    const std::vector<IndexTag>& tags() const { return m_tags; }
    IndexTag* tag(std::string_view name); // case-insensitive; nullptr when absent

    // Marks the file on disk as "being changed" (set before the first change
    // after a write); a file opened with the mark set is stale and must be
    // rebuilt from the table. The mark is header byte 47, a filler that no
    // reader interprets; write() clears it. DbaseError when the file is
    // missing or not an index file (which is then left untouched).
    static void markDirty(const std::filesystem::path& path);
    static bool isMarkedDirty(const std::filesystem::path& path);

private:
    std::vector<IndexTag> m_tags;
};

} // namespace dbase
