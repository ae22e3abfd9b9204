#include "app/NameRules.h"

#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextEdit>

namespace {

// Letters as the key rule knows them: the ASCII letters and the German ones.
bool isUpperLetter(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= 'A' && u <= 'Z') || u == u'Ä' || u == u'Ö' || u == u'Ü';
}

bool isLowerLetter(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= 'a' && u <= 'z') || u == u'ß' || u == u'ä' || u == u'ö' || u == u'ü';
}

bool startsCapitalisedWord(const QString& s)
{
    return s.size() >= 2 && isUpperLetter(s[0]) && isLowerLetter(s[1]);
}

bool isControlOrBlank(QChar c)
{
    return c.unicode() <= 32;
}

// After these characters a digit keeps its full size: it is a count or part
// of a number, not an atom index.
bool keepsDigitFullSize(QChar c)
{
    switch (c.unicode()) {
    case ' ': case '*': case '+': case ',': case '-': case '.': case '~':
        return true;
    default:
        return c.unicode() >= '0' && c.unicode() <= '9';
    }
}

bool isDigit(QChar c)
{
    return c.unicode() >= '0' && c.unicode() <= '9';
}

} // namespace

void UmlauteErsetzen(QString& s)
{
    QString folded;
    folded.reserve(s.size() + 4);
    for (QChar c : s) {
        switch (c.unicode()) {
        case u'Ä': folded += u"Ae"; break;
        case u'Ö': folded += u"Oe"; break;
        case u'Ü': folded += u"Ue"; break;
        case u'ß': folded += u"ss"; break;
        case u'ä': folded += u"ae"; break;
        case u'ö': folded += u"oe"; break;
        case u'ü': folded += u"ue"; break;
        default: folded += c;
        }
    }
    s = folded;
}

QString umlauteErsetzt(QString s)
{
    UmlauteErsetzen(s);
    return s;
}

QString StripNameBilden(const QString& name)
{
    if (name.isEmpty())
        return {};
    QString s = name + u' ';
    QString prefix;
    if (!startsCapitalisedWord(s)) {
        do {
            prefix += s[0];
            s.remove(0, 1);
        } while (!startsCapitalisedWord(s) && s.size() >= 2);
    }
    qsizetype begin = 0;
    qsizetype end = s.size();
    while (begin < end && isControlOrBlank(s[begin]))
        ++begin;
    while (end > begin && isControlOrBlank(s[end - 1]))
        --end;
    QString key = s.mid(begin, end - begin) + prefix;
    UmlauteErsetzen(key);
    return key;
}

bool CarnPruefen(const QString& carn)
{
    if (carn.isEmpty())
        return false;
    int sum = 0;
    int weight = 1;
    // The last two characters (check digit and the separator before it) are
    // not part of the sum; the digits are weighted from the right.
    for (qsizetype i = carn.size() - 3; i >= 0; --i) {
        const QChar c = carn[i];
        if (c == u'-')
            continue;
        if (!isDigit(c))
            return false;
        sum += (c.unicode() - '0') * weight;
        ++weight;
    }
    return QChar(u'0' + sum % 10) == carn.back();
}

std::vector<int> formelTiefstellungen(const QString& firstLine)
{
    std::vector<int> offsets;
    bool shrunk = false;
    for (qsizetype i = 1; i < firstLine.size(); ++i) {
        if (!isDigit(firstLine[i])) {
            shrunk = false;
        } else if (shrunk || !keepsDigitFullSize(firstLine[i - 1])) {
            offsets.push_back(static_cast<int>(i));
            shrunk = true;
        } else {
            shrunk = false;
        }
    }
    return offsets;
}

void FormelFormatieren(QTextEdit& control)
{
    QTextDocument* document = control.document();
    const QString firstLine = document->firstBlock().text();
    if (firstLine.size() < 2)
        return;
    const qreal defaultSize = document->defaultFont().pointSizeF() > 0
        ? document->defaultFont().pointSizeF()
        : control.font().pointSizeF();
    QTextCharFormat half;
    half.setFontPointSize(static_cast<int>(defaultSize) / 2);
    QTextCursor cursor(document);
    for (int offset : formelTiefstellungen(firstLine)) {
        cursor.setPosition(offset);
        cursor.setPosition(offset + 1, QTextCursor::KeepAnchor);
        cursor.mergeCharFormat(half);
    }
}
