#include "ini/IniFile.h"

#include <limits>
#include <optional>
#include <utility>
#include <vector>

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include "files/Paths.h"

namespace ini {

namespace {

constexpr const char* codePage = "windows-1252";
constexpr QByteArrayView newLine = "\r\n";

QString quoted(const QString& fileName)
{
    return u"„"_qs + QFileInfo(fileName).absoluteFilePath() + u"“"_qs;
}

// Qt reaches Windows-1252 through ICU; without it Latin-1, which differs only
// in 0x80 to 0x9F, is the closest there is. (An ICU converter must not be
// moved: its error reporting stays with the original object.)
template <typename Converter>
void fallBackToLatin1(Converter& converter)
{
    if (!converter.isValid())
        converter = Converter(QStringConverter::Latin1);
}

// One line of the file: its bytes with the line end, and what it means.
struct Line {
    enum class Kind { Other, Section, Key };
    QByteArray raw;
    Kind kind = Kind::Other;
    QString name;  // section or key, trimmed
    QString value; // of a key, trimmed
    bool blank = false;

    bool terminated() const { return raw.endsWith('\n'); }
};

Line parseLine(QByteArray raw, QStringDecoder& decoder)
{
    Line line;
    line.raw = std::move(raw);
    QByteArrayView body(line.raw);
    if (body.endsWith('\n'))
        body.chop(1);
    if (body.endsWith('\r'))
        body.chop(1);
    const QString text = QString(decoder(body)).trimmed();
    line.blank = text.isEmpty();
    if (text.startsWith(u'[')) {
        const qsizetype close = text.indexOf(u']');
        if (close > 0) {
            line.kind = Line::Kind::Section;
            line.name = text.mid(1, close - 1).trimmed();
        }
    } else if (!text.startsWith(u';')) {
        const qsizetype equals = text.indexOf(u'=');
        if (equals > 0) {
            line.kind = Line::Kind::Key;
            line.name = text.left(equals).trimmed();
            line.value = text.mid(equals + 1).trimmed();
        }
    }
    return line;
}

std::vector<Line> parse(const QByteArray& content)
{
    std::vector<Line> lines;
    QStringDecoder decoder(codePage);
    fallBackToLatin1(decoder);
    qsizetype start = 0;
    while (start < content.size()) {
        qsizetype end = content.indexOf('\n', start);
        end = end < 0 ? content.size() : end + 1;
        lines.push_back(parseLine(content.mid(start, end - start), decoder));
        start = end;
    }
    return lines;
}

bool sameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Where a key stands, or would stand, in the file.
struct Position {
    std::optional<std::size_t> section; // the header line
    std::optional<std::size_t> key;     // the key's line
    std::size_t lastKeyOrHeader = 0;    // the line a new key goes after
};

Position locate(const std::vector<Line>& lines, const QString& section, const QString& key)
{
    Position position;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const Line& line = lines[i];
        if (line.kind == Line::Kind::Section) {
            if (position.section)
                break; // the end of the first section of that name
            if (sameName(line.name, section)) {
                position.section = i;
                position.lastKeyOrHeader = i;
            }
        } else if (position.section && line.kind == Line::Kind::Key) {
            position.lastKeyOrHeader = i;
            if (!position.key && sameName(line.name, key))
                position.key = i;
        }
    }
    return position;
}

// The text of the file, or nothing when it does not exist or cannot be read:
// for reading, both mean "use the default".
std::optional<QByteArray> readContent(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

std::optional<QString> lookup(const QString& fileName, const QString& section, const QString& key)
{
    const auto path = files::find(fileName);
    if (!path)
        return std::nullopt;
    const auto content = readContent(*path);
    if (!content)
        return std::nullopt;
    const std::vector<Line> lines = parse(*content);
    const Position position = locate(lines, section, key);
    if (!position.key)
        return std::nullopt;
    return lines[*position.key].value;
}

QString stripQuotes(const QString& value)
{
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'')
        && value.back() == value.front())
        return value.mid(1, value.size() - 2);
    return value;
}

int digitValue(QChar c, int base)
{
    const char16_t u = c.unicode();
    const int digit = u >= u'0' && u <= u'9'   ? u - u'0'
                    : u >= u'a' && u <= u'f' ? u - u'a' + 10
                    : u >= u'A' && u <= u'F' ? u - u'A' + 10
                                             : -1;
    return digit < base ? digit : -1;
}

std::optional<int> parseInteger(const QString& text)
{
    int base = 10;
    qsizetype i = 0;
    bool negative = false;
    if (text.size() > 2 && text[0] == u'0' && (text[1] == u'x' || text[1] == u'X')) {
        base = 16;
        i = 2;
    } else if (!text.isEmpty() && (text[0] == u'-' || text[0] == u'+')) {
        negative = text[0] == u'-';
        i = 1;
    }
    // Hexadecimal takes 32 bits as they stand; decimal must fit a signed int.
    const qint64 limit = base == 16 ? qint64(std::numeric_limits<quint32>::max())
                                    : qint64(std::numeric_limits<int>::max()) + (negative ? 1 : 0);
    const qsizetype first = i;
    qint64 value = 0;
    for (int digit; i < text.size() && (digit = digitValue(text[i], base)) >= 0; ++i) {
        value = value * base + digit;
        if (value > limit)
            return std::nullopt;
    }
    if (i == first)
        return std::nullopt;
    if (base == 16)
        return static_cast<int>(static_cast<quint32>(value));
    return static_cast<int>(negative ? -value : value);
}

// Names that the file could not give back as written are refused: they would
// be trimmed, split, or read as something else.
void checkName(const QString& name, const QString& what, bool storable, const QString& fileName)
{
    if (!storable || name.isEmpty() || name.trimmed() != name || name.contains(u'\r')
        || name.contains(u'\n'))
        throw IniError(u"Der %1 „%2“ kann in der Einstellungsdatei %3 nicht gespeichert werden."_qs
                           .arg(what, name, quoted(fileName)));
}

QByteArray encode(const QString& text, const QString& fileName)
{
    QStringEncoder encoder(codePage);
    fallBackToLatin1(encoder);
    QByteArray bytes = encoder(text);
    if (encoder.hasError())
        throw IniError(u"Der Text „%1“ enthält Zeichen, die die Einstellungsdatei %2 nicht aufnehmen kann."_qs
                           .arg(text, quoted(fileName)));
    return bytes;
}

} // namespace

IniFile::IniFile(QString fileName) : m_fileName(std::move(fileName)) {}

QString IniFile::readString(const QString& section, const QString& key, const QString& defaultValue) const
{
    const auto value = lookup(m_fileName, section, key);
    return (value ? stripQuotes(*value) : defaultValue).left(maxStringLength);
}

int IniFile::readInteger(const QString& section, const QString& key, int defaultValue) const
{
    const auto value = lookup(m_fileName, section, key);
    if (!value)
        return defaultValue;
    return parseInteger(*value).value_or(defaultValue);
}

bool IniFile::readBool(const QString& section, const QString& key, bool defaultValue) const
{
    return readInteger(section, key, defaultValue ? 1 : 0) != 0;
}

void IniFile::writeString(const QString& section, const QString& key, const QString& value)
{
    checkName(section, u"Abschnitt"_qs, !section.contains(u']'), m_fileName);
    checkName(key, u"Schlüssel"_qs,
              !key.contains(u'=') && !key.startsWith(u'[') && !key.startsWith(u';'), m_fileName);
    if (value.contains(u'\r') || value.contains(u'\n'))
        throw IniError(u"Der Wert für „%1“ enthält einen Zeilenumbruch und kann in der Einstellungsdatei %2 nicht gespeichert werden."_qs
                           .arg(key, quoted(m_fileName)));

    const QString path = files::resolveForWrite(m_fileName);
    QByteArray content;
    if (QFileInfo::exists(path)) {
        // Writing without the old content would lose every other setting.
        const auto existing = readContent(path);
        if (!existing)
            throw IniError(u"Die Einstellungsdatei %1 kann nicht gelesen werden."_qs.arg(quoted(path)));
        content = *existing;
    }

    std::vector<Line> lines = parse(content);
    const Position position = locate(lines, section, key);
    const QByteArray entryEnd = newLine.toByteArray();
    auto terminate = [&](Line& line) {
        if (!line.terminated())
            line.raw += entryEnd;
    };

    if (position.key) {
        Line& line = lines[*position.key];
        const QByteArray ending = line.raw.endsWith("\r\n") ? QByteArray("\r\n")
                                : line.raw.endsWith('\n')   ? QByteArray("\n")
                                                            : QByteArray();
        line.raw = encode(line.name, path) + '=' + encode(value, path) + ending;
    } else if (position.section) {
        terminate(lines[position.lastKeyOrHeader]);
        Line entry;
        entry.raw = encode(key, path) + '=' + encode(value, path) + entryEnd;
        lines.insert(lines.begin() + std::ptrdiff_t(position.lastKeyOrHeader + 1), std::move(entry));
    } else {
        QByteArray tail;
        if (!lines.empty()) {
            terminate(lines.back());
            if (!lines.back().blank)
                tail += entryEnd;
        }
        tail += '[' + encode(section, path) + ']' + entryEnd;
        tail += encode(key, path) + '=' + encode(value, path) + entryEnd;
        Line appended;
        appended.raw = tail;
        lines.push_back(std::move(appended));
    }

    QByteArray result;
    result.reserve(content.size() + 64);
    for (const Line& line : lines)
        result += line.raw;

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(result) != result.size() || !file.commit())
        throw IniError(u"Die Einstellungsdatei %1 kann nicht geschrieben werden: %2"_qs
                           .arg(quoted(path), file.errorString()));
}

void IniFile::writeInteger(const QString& section, const QString& key, int value)
{
    writeString(section, key, QString::number(value));
}

void IniFile::writeBool(const QString& section, const QString& key, bool value)
{
    writeString(section, key, value ? u"1"_qs : u"0"_qs);
}

} // namespace ini
