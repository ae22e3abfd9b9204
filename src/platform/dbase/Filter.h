#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QString>

#include "dbase/FieldDef.h"

namespace dbase {

// Options of a table's filter, as the database engine knows them.
struct FilterOptions {
    bool caseInsensitive = false;
    bool noPartialCompare = false; // a trailing '*' is then a literal character
    bool operator==(const FilterOptions&) const = default;
};

struct FilterNode;

// A text unit as filters that ignore case compare it.
char16_t foldCase(char16_t c);

// A record filter: the engine's filter text parsed once into a tree, or a
// predicate built by the program. Values in built predicates are data, never
// text to parse, so an apostrophe in a chemical name cannot break them.
//
// Filter text: field names, string literals in apostrophes or double quotes
// (a doubled quote inside stands for one), numbers, TRUE and FALSE, = <> < >
// <= >=, AND, OR, NOT in any case, parentheses; AND binds tighter than OR.
// A string literal ending in "*" matches as a prefix unless
// FilterOptions::noPartialCompare is set.
//
// Comparisons: text fields compare without their trailing blanks, a blank
// field equals ''; numeric fields compare numerically with numbers and with
// strings holding a number (a text field compared with a number compares the
// number it holds); dates are written 'TT.MM.JJJJ' (or 'JJJJMMTT'); logical
// fields compare with TRUE, FALSE, 'T', 'F' or stand alone. A blank number or
// date has no value: every comparison with it fails, NOT of it passes.
// caseInsensitive applies to built predicates too; equals() and startsWith()
// are exact and prefix whatever noPartialCompare says.
class Filter {
public:
    class Bound;

    Filter(); // the empty filter: every record passes

    // Throws DbaseError with the reason and the (1-based) position.
    static Filter parse(const QString& text);

    static Filter equals(const std::string& field, const QString& value);
    static Filter startsWith(const std::string& field, const QString& prefix);
    static Filter greaterThan(const std::string& field, double value);

    // One term per alternative in a single pass, for the long OR chains the
    // list filter builds; no alternatives match nothing.
    static Filter anyOf(const std::vector<Filter>& alternatives);

    Filter operator&&(const Filter& other) const;
    Filter operator||(const Filter& other) const;
    Filter operator!() const;

    bool isEmpty() const;
    // The filter as text: the parsed text as given, or a rendering of a built
    // predicate for display and saving.
    QString text() const;

    // Resolves the field names against a layout; an unknown field is a
    // DbaseError naming it.
    Bound bind(const TableLayout& layout) const;

    class Bound {
    public:
        bool matches(const RecordView& record, const FilterOptions& options) const;
        // A text that the given text field of every passing record begins
        // with, as its stored bytes read: the value of an equality or of a
        // prefix match with that field which the filter requires (alone or
        // joined by AND). nullopt when it requires none, or when the options
        // ignore case.
        std::optional<QString> requiredPrefix(int field, const FilterOptions& options) const;
        ~Bound();
        Bound(Bound&&) noexcept;
        Bound& operator=(Bound&&) noexcept;

    private:
        friend class Filter;
        Bound();
        struct Impl;
        std::unique_ptr<Impl> d;
    };

private:
    static Filter combined(const std::vector<Filter>& parts, bool any);

    std::shared_ptr<const FilterNode> m_root;
    QString m_text;
};

} // namespace dbase
