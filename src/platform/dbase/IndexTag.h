#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace dbase {

class Collation;

struct TagInfo {
    std::string name;            // upper-case, at most 10 characters
    std::string expression;      // key expression as stored
    std::string forExpression;   // FOR condition, empty when none
    char keyType = 'C';          // 'C', 'N', 'D'
    std::uint16_t keyLength = 0;
    bool unique = false;
    bool descending = false;
};

// One tag of a production index held in memory: its entries (key bytes in
// index encoding, physical record number) in index order. Character keys
// order by the collation, numeric and date keys by value; equal keys by
// record number.
class IndexTag {
public:
    IndexTag(TagInfo info, const Collation& collation);

    const TagInfo& info() const { return m_info; }
    std::size_t size() const { return m_recNos.size(); }
    std::uint32_t recNoAt(std::size_t position) const { return m_recNos[position]; }
    std::string_view keyAt(std::size_t position) const;

    void insert(std::string_view key, std::uint32_t recNo);
    // Removes the entry of recNo whose key is `key`; false when absent.
    bool remove(std::string_view key, std::uint32_t recNo);
    // Replaces all entries; sorts them.
    void assign(std::vector<std::pair<std::string, std::uint32_t>> entries);

    // Position of the first entry whose key starts with `prefix` compared
    // under the tag's order; size() when none.
    std::size_t findPrefix(std::string_view prefix) const;
    // Position of the first entry not less than key (`key` may be shorter).
    std::size_t lowerBound(std::string_view key) const;
    // Position of recNo's entry with the given key; size() when absent.
    std::size_t find(std::string_view key, std::uint32_t recNo) const;
    int compareKeys(std::string_view a, std::string_view b) const;

private:
    TagInfo m_info;
    const Collation* m_collation;
    // Flat storage: sort keys and index keys of fixed length side by side.
    std::vector<std::uint32_t> m_recNos;
    std::string m_keys;     // size() * keyLength bytes, index encoding
    std::string m_sortKeys; // size() * keyLength bytes, memcmp-comparable
};

} // namespace dbase
