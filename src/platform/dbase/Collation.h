#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace dbase {

// The order in which dBASE programs of the language driver's era sort
// character keys: one weight per byte of the table's code page. Keys compare
// weight by weight; equal weights fall back to record order in the index.
class Collation {
public:
    static const Collation& forLanguageDriver(std::uint8_t driver);

    const char* name() const { return m_name; } // "DBWINWE0", "DB437DE0", ...
    std::uint8_t weight(unsigned char byte) const { return m_weights[byte]; }

    // Negative, zero or positive like memcmp, on weights; a shorter key that is
    // a prefix of the other sorts first.
    int compare(std::string_view a, std::string_view b) const;
    // The key's weights as bytes, so that memcmp on sort keys equals compare().
    std::string sortKey(std::string_view key) const;

    Collation(const char* name, const std::uint8_t (&weights)[256]);

private:
    const char* m_name;
    const std::uint8_t* m_weights;
};

} // namespace dbase
