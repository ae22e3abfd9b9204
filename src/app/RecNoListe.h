#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include <QString>
#include <QStringList>

// The physical record number of each list line's row. A register of a
// million names has a million lines, so the numbers are held as integers
// and read as the decimal text the list's callers work with.
class RecNoListe {
public:
    RecNoListe() = default;
    explicit RecNoListe(std::vector<std::uint32_t> recNos) : m_recNos(std::move(recNos)) {}

    qsizetype size() const { return static_cast<qsizetype>(m_recNos.size()); }
    bool isEmpty() const { return m_recNos.empty(); }
    void clear() { std::vector<std::uint32_t>().swap(m_recNos); }
    // The record number of the line as text; the line must exist.
    QString operator[](qsizetype line) const { return QString::number(m_recNos.at(static_cast<std::size_t>(line))); }
    // The first line of the record, or -1.
    qsizetype indexOf(std::uint32_t recNo) const
    {
        for (std::size_t line = 0; line < m_recNos.size(); ++line)
            if (m_recNos[line] == recNo)
                return static_cast<qsizetype>(line);
        return -1;
    }

    friend bool operator==(const RecNoListe& list, const QStringList& texts)
    {
        if (list.size() != texts.size())
            return false;
        for (qsizetype line = 0; line < list.size(); ++line)
            if (list[line] != texts[line])
                return false;
        return true;
    }

private:
    std::vector<std::uint32_t> m_recNos;
};
