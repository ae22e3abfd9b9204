#pragma once

#include <string>
#include <vector>

#include "dbase/CodePage.h"
#include "dbase/FieldDef.h"
#include "fixtures/Tables.h"

// Records of a given layout built in memory, for key expression and filter
// tests that need no table file.
class RecordSample {
public:
    explicit RecordSample(std::vector<dbase::FieldDef> fields,
                          const dbase::CodePage& codePage = dbase::CodePage::windows1252())
        : m_layout(std::move(fields)), m_codePage(codePage), m_bytes(m_layout.recordLength(), ' ')
    {
    }

    const dbase::TableLayout& layout() const { return m_layout; }

    // Stores the text as the table would: code-page bytes, left-aligned for
    // text, right-aligned for numbers. Fields never set stay blank.
    RecordSample& set(const std::string& field, const QString& value)
    {
        const dbase::FieldDef& def = m_layout.field(m_layout.indexOf(field));
        std::string bytes = m_codePage.encode(value);
        bytes.resize(std::min<size_t>(bytes.size(), def.length));
        const size_t pad = def.length - bytes.size();
        const bool rightAligned = def.type == dbase::FieldType::Numeric || def.type == dbase::FieldType::Float;
        m_bytes.replace(def.offset, def.length, rightAligned ? std::string(pad, ' ') + bytes : bytes + std::string(pad, ' '));
        return *this;
    }

    RecordSample& clear()
    {
        m_bytes.assign(m_layout.recordLength(), ' ');
        return *this;
    }

    dbase::RecordView view() const { return dbase::RecordView(m_layout, m_codePage, m_bytes); }

private:
    dbase::TableLayout m_layout;
    const dbase::CodePage& m_codePage;
    std::string m_bytes;
};

using fixtures::field;
