#pragma once

#include "dbase/Filter.h"
#include "dbase/Table.h"

// Puts a table's index, filter and row back however the job that borrowed
// them ends; what the job left as it was is not touched again.
class TabellenLeihe {
public:
    explicit TabellenLeihe(dbase::Table& table)
        : m_table(table), m_index(table.indexName()), m_filter(table.filter()), m_filtered(table.filtered()),
          m_position(table.bookmark())
    {
    }
    // Narrows the table to the rows that pass `filter` alone, for the job.
    void eingrenzen(const dbase::Filter& filter)
    {
        m_eingegrenzt = true;
        m_table.setFiltered(false);
        m_table.setFilter(filter);
        m_table.setFiltered(true);
    }
    // Lifts the table's filter for the job: the rows it hides are reached too.
    void ohneFilter()
    {
        if (!m_table.filtered())
            return;
        m_eingegrenzt = true;
        m_table.setFiltered(false);
    }
    ~TabellenLeihe()
    {
        try {
            if (m_eingegrenzt) {
                m_table.setFiltered(false);
                m_table.setFilter(m_filter);
                m_table.setFiltered(m_filtered);
            }
            if (m_table.indexName() != m_index)
                m_table.setIndexName(m_index);
            if (m_position.valid() && m_table.bookmarkValid(m_position))
                m_table.gotoBookmark(m_position);
        } catch (const std::exception&) {
            // Index and filter were the table's own a moment ago; a table
            // that refuses them now has nothing better to go back to.
        }
    }
    TabellenLeihe(const TabellenLeihe&) = delete;
    TabellenLeihe& operator=(const TabellenLeihe&) = delete;

private:
    dbase::Table& m_table;
    QString m_index;
    dbase::Filter m_filter; // the user's, built or typed, as it was
    bool m_filtered;
    dbase::Bookmark m_position;
    bool m_eingegrenzt = false;
};
