#pragma once

#include <QString>

namespace dbase {

// The character walk of the filter and index expression lexers: both read
// ASCII names, digits, quoted strings and one-character symbols, and count
// positions from 1 for their messages.
class Scanner {
public:
    explicit Scanner(const QString& text) : m_text(text) {}

    // Skips blanks; returns the position (from 1) of what comes next.
    int skipSpaces()
    {
        while (!atEnd() && m_text[m_pos].isSpace())
            ++m_pos;
        return static_cast<int>(m_pos) + 1;
    }
    bool atEnd() const { return m_pos >= m_text.size(); }
    // The character `ahead` places on; a null character past the end.
    QChar peek(qsizetype ahead = 0) const
    {
        return m_pos + ahead < m_text.size() ? m_text[m_pos + ahead] : QChar();
    }
    QChar get() { return m_text[m_pos++]; }
    bool accept(char16_t c)
    {
        if (atEnd() || m_text[m_pos] != c)
            return false;
        ++m_pos;
        return true;
    }
    template <class Predicate>
    QString takeWhile(Predicate predicate)
    {
        const qsizetype start = m_pos;
        while (!atEnd() && predicate(m_text[m_pos]))
            ++m_pos;
        return m_text.mid(start, m_pos - start);
    }
    // A name: a letter or "_", then letters, digits and "_".
    QString name() { return takeWhile([](QChar c) { return isLetter(c) || isDigit(c); }); }

    static bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }
    static bool isLetter(QChar c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u'_'; }

private:
    const QString& m_text;
    qsizetype m_pos = 0;
};

} // namespace dbase
