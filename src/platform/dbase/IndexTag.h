#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace dbase {

class Collation;

struct TagInfo {
    std::string name;            // upper-case, at most 10 characters
    std::string expression;      // key expression as stored
    std::string forExpression;   // FOR condition, empty when none
    char keyType = 'C';          // 'C', 'N', 'D'
    std::uint16_t keyLength = 0; // 0 for N and D: their fixed 12 and 8
    bool unique = false;
    bool descending = false;

    // The expression is one bare field name ("STRIPNAME1"), not a formula.
    bool isFieldTag() const;
};

// Longest key and longest expressions a dBASE IV tag can hold.
inline constexpr std::uint16_t maxKeyLength = 100;
inline constexpr std::size_t maxExpressionLength = 219;
inline constexpr std::size_t maxForExpressionLength = 261;

// One tag of a production index held in memory: its entries (key bytes in
// index encoding, physical record number) in index order. Character keys
// order by the collation, date keys by value, numeric keys by value except
// that zero sorts after the positive values below 0.1, as other dBASE
// programs compare them; equal keys by record number, in descending tags too. A unique tag holds one entry per
// key: the first one inserted (after assign: the lowest record number), as
// dBASE does.
class IndexTag {
public:
    // Checks the tag's name, key type, key length and expression lengths;
    // DbaseError naming the tag when they cannot be stored. The collation
    // must outlive the tag.
    IndexTag(TagInfo info, const Collation& collation);

    const TagInfo& info() const { return m_info; }
    std::size_t size() const { return m_recNos.size(); }
    std::uint32_t recNoAt(std::size_t position) const { return m_recNos[position]; }
    std::string_view keyAt(std::size_t position) const;

    // A tag walked in order needs its record numbers only: assignOrder()
    // takes them (already in tag order, as an index file holds them) without
    // the keys, which keyAt(), insert(), remove() and the searches need
    // (DbaseError without them) until assign() gives them.
    void assignOrder(std::vector<std::uint32_t> recNos);
    bool hasKeys() const { return m_keys.size() == m_recNos.size() * m_info.keyLength; }
    // Tag order of two keys as the tag stores them (full length; for a
    // descending tag the descending order): negative, zero or positive.
    int compareStoredKeys(std::string_view a, std::string_view b) const;

    // Character keys are blank-padded or cut to the key length; numeric and
    // date keys must have their exact length (DbaseError otherwise). Returns
    // false when nothing was added: the entry is already there, or a unique
    // tag holds the key already.
    bool insert(std::string_view key, std::uint32_t recNo);
    // Removes the entry of recNo whose key is `key`; false when absent.
    bool remove(std::string_view key, std::uint32_t recNo);
    // Removes the entries of the records `first` to `last`, keys or not;
    // returns how many went.
    std::size_t removeRecords(std::uint32_t first, std::uint32_t last);
    // Replaces all entries; sorts them (cheaply when they come sorted).
    void assign(std::vector<std::pair<std::string, std::uint32_t>> entries);
    // The same from keys laid end to end by appendFullKey() and their record
    // numbers in the same order: a whole table's keys without a string each.
    void assign(std::string fullKeys, std::vector<std::uint32_t> recNos);
    // Appends a key as the tag stores it (see insert()) to `fullKeys`.
    void appendFullKey(std::string& fullKeys, std::string_view key) const;

    // Position of the first entry whose key starts with `prefix` compared
    // under the tag's order; size() when none.
    std::size_t findPrefix(std::string_view prefix) const;
    // Positions [first, last) of the entries whose keys start with `prefix`.
    std::pair<std::size_t, std::size_t> prefixRange(std::string_view prefix) const;
    // Position of the first entry not less than key (`key` may be shorter).
    std::size_t lowerBound(std::string_view key) const;
    // Position of recNo's entry with the given key; size() when absent.
    std::size_t find(std::string_view key, std::uint32_t recNo) const;
    // Tag order of two keys (either may be a shorter prefix, which sorts
    // first): negative, zero or positive.
    int compareKeys(std::string_view a, std::string_view b) const;

private:
    // Key bytes held on the stack, so that lookups allocate nothing.
    struct KeyBytes {
        std::array<char, maxKeyLength> bytes;
        std::size_t size = 0;
        std::string_view view() const { return {bytes.data(), size}; }
    };
    // The key as stored: blank-padded (C) or checked for its length (N, D).
    void writeFullKey(std::string_view key, char* out) const;
    KeyBytes fullKey(std::string_view key) const;
    // Writes the memcmp-comparable form of `key` (at most sortWidth bytes).
    std::size_t makeSortKey(std::string_view key, char* out) const;
    std::size_t makeNumericSortKey(std::string_view key, char* out) const;
    KeyBytes sortKey(std::string_view key) const;
    // What a key is searched by: character keys as they are (compared
    // weight by weight where their bytes differ), numeric and date keys in
    // their sort form. Sort forms are made as keys are compared, not kept:
    // a tag holds no more than the index file does.
    KeyBytes searchKey(std::string_view key) const;
    // Tag order of a stored key against a search key (its first
    // searchKey.size() bytes, so a shorter one compares as a prefix).
    int compareStored(const char* stored, std::string_view searchKey) const;
    int compareAt(std::size_t position, std::string_view searchKey) const;
    int compareEntries(std::size_t a, std::size_t b) const;
    void requireKeys() const;
    // First position whose (key, record number) is not less than the given
    // pair; a search key shorter than the key compares as a prefix.
    std::size_t lowerBoundOf(std::string_view searchKey, std::uint32_t recNo) const;
    bool hasSortKeyAt(std::size_t position, std::string_view searchKey) const;
    // Puts unsorted entries into tag order.
    void sortEntries(std::string& keys, std::vector<std::uint32_t>& recNos) const;

    TagInfo m_info;
    const Collation* m_collation;
    std::size_t m_sortWidth; // key length for C, 12 for N, 8 for D
    // Flat storage: index keys of fixed length side by side.
    std::vector<std::uint32_t> m_recNos;
    std::string m_keys; // size() * keyLength bytes, index encoding
};

} // namespace dbase
