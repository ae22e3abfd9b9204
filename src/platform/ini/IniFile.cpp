#include "ini/IniFile.h"

#include <algorithm>
#include <iterator>
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

QString quoted(const QString& fileName)
{
    return u"„"_qs + QFileInfo(fileName).absoluteFilePath() + u"“"_qs;
}

// How a file's text is stored: its code page, and the width and byte order
// of its code units. Line ends are sought unit by unit: in UTF-16 a byte
// 0x0A or 0x0D may be half of any character.
struct Encoding {
    const char* name;
    int unitSize = 1;
    bool bigEndian = false;

    char16_t unitAt(QByteArrayView bytes, qsizetype i) const
    {
        const auto byte = [&](qsizetype j) { return char16_t(static_cast<unsigned char>(bytes[j])); };
        if (unitSize == 1)
            return byte(i);
        return bigEndian ? char16_t(byte(i) << 8 | byte(i + 1)) : char16_t(byte(i + 1) << 8 | byte(i));
    }
};

constexpr Encoding windows1252{"windows-1252"};
constexpr Encoding utf8{"UTF-8"};
constexpr Encoding utf16le{"UTF-16LE", 2, false};
constexpr Encoding utf16be{"UTF-16BE", 2, true};

// The byte-order marks a file may start with (an editor's "Unicode" is
// UTF-16), and the code page each stands for.
struct ByteOrderMark {
    QByteArrayView bytes;
    const Encoding* encoding;
};
constexpr ByteOrderMark byteOrderMarks[] = {
    {"\xEF\xBB\xBF", &utf8}, {"\xFF\xFE", &utf16le}, {"\xFE\xFF", &utf16be}};

// Qt reaches Windows-1252 through ICU; without it Latin-1, which differs only
// in 0x80 to 0x9F, is the closest there is. (An ICU converter must not be
// moved: its error reporting stays with the original object.)
template <typename Converter>
void fallBackToLatin1(Converter& converter)
{
    if (!converter.isValid())
        converter = Converter(QStringConverter::Latin1);
}

// The line starting at `start`: its text, and its line end (CR LF, LF, a
// lone CR, or none at the end of the file).
std::pair<QByteArrayView, QByteArrayView> lineAt(QByteArrayView content, qsizetype start, const Encoding& encoding)
{
    const int width = encoding.unitSize;
    for (qsizetype i = start; i + width <= content.size(); i += width) {
        const char16_t unit = encoding.unitAt(content, i);
        if (unit == u'\n' || unit == u'\r') {
            const bool crLf = unit == u'\r' && i + 2 * width <= content.size()
                           && encoding.unitAt(content, i + width) == u'\n';
            return {content.sliced(start, i - start), content.sliced(i, crLf ? 2 * width : width)};
        }
    }
    return {content.sliced(start), {}};
}

// One line of the file: its bytes, and what it means.
struct Line {
    enum class Kind { Other, Section, Key };
    QByteArray body;
    QByteArray ending; // none on a last line without one
    Kind kind = Kind::Other;
    QString name;  // section or key, trimmed
    QString value; // of a key, trimmed
    bool blank = false;
};

Line parseLine(QByteArrayView body, QByteArrayView ending, QStringDecoder& decoder)
{
    Line line;
    line.body = body.toByteArray();
    line.ending = ending.toByteArray();
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

bool isAscii(QByteArrayView bytes)
{
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Stateless: a sequence still open at the end is an error too, not one that
// waits for bytes to come.
bool validUtf8(QByteArrayView bytes)
{
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString text = decoder(bytes);
    return !decoder.hasError();
}

// A file as its author wrote it: the code page, the line end and the lines.
struct Document {
    QByteArray byteOrderMark; // kept in front of the first line
    const Encoding* encoding = &windows1252;
    QByteArray newLine;       // for new lines: the first line's end; none for CR LF
    std::vector<Line> lines;
    // Half a code unit at the end of a damaged UTF-16 file: no character,
    // so no part of a line, but kept as the file's last byte.
    QByteArray tail;

    QByteArray bytes() const
    {
        QByteArray result = byteOrderMark;
        for (const Line& line : lines)
            result += line.body + line.ending;
        return result + tail;
    }
};

// A file saved as Unicode elsewhere is read as such: with a byte-order mark
// (which is no part of the first line), or, as UTF-8, when its bytes beyond
// ASCII are valid UTF-8 throughout, which Windows-1252 text with umlauts
// practically never is.
Document parse(const QByteArray& content)
{
    Document document;
    QByteArrayView text(content);
    const auto mark = std::find_if(std::begin(byteOrderMarks), std::end(byteOrderMarks),
                                   [&](const ByteOrderMark& m) { return text.startsWith(m.bytes); });
    if (mark != std::end(byteOrderMarks)) {
        document.byteOrderMark = mark->bytes.toByteArray();
        document.encoding = mark->encoding;
        text = text.sliced(mark->bytes.size());
    } else if (!isAscii(text) && validUtf8(text)) {
        document.encoding = &utf8;
    }
    const Encoding& encoding = *document.encoding;
    document.tail = text.last(text.size() % encoding.unitSize).toByteArray();
    text.chop(document.tail.size());

    // Stateless: a sequence a stray byte leaves open at a line's end must
    // not take the first character of the next line with it.
    QStringDecoder decoder(encoding.name, QStringConverter::Flag::Stateless);
    fallBackToLatin1(decoder);
    for (qsizetype start = 0; start < text.size();) {
        const auto [body, ending] = lineAt(text, start, encoding);
        document.lines.push_back(parseLine(body, ending, decoder));
        start += body.size() + ending.size();
    }
    if (!document.lines.empty())
        document.newLine = document.lines.front().ending;
    return document;
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
    const Document document = parse(*content);
    const Position position = locate(document.lines, section, key);
    if (!position.key)
        return std::nullopt;
    return document.lines[*position.key].value;
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
    // "12abc" is no number, not 12.
    if (i == first || i != text.size())
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

void check(const IniChanges::Change& change, const QString& fileName)
{
    checkName(change.section, u"Abschnitt"_qs, !change.section.contains(u']'), fileName);
    checkName(change.key, u"Schlüssel"_qs,
              !change.key.contains(u'=') && !change.key.startsWith(u'[') && !change.key.startsWith(u';'), fileName);
    if (change.value.contains(u'\r') || change.value.contains(u'\n'))
        throw IniError(u"Der Wert für „%1“ enthält einen Zeilenumbruch und kann in der Einstellungsdatei %2 nicht gespeichert werden."_qs
                           .arg(change.key, quoted(fileName)));
}

// The lines that a write puts into a document, in its code page.
class LineMaker {
public:
    LineMaker(const Document& document, const QString& fileName)
        : m_encoder(document.encoding->name), m_fileName(fileName)
    {
        fallBackToLatin1(m_encoder);
        m_newLine = document.newLine.isEmpty() ? encode(u"\r\n"_qs) : document.newLine;
    }

    Line section(const QString& name)
    {
        return make(Line::Kind::Section, name, {}, encode(u"["_qs) + encode(name) + encode(u"]"_qs), m_newLine);
    }
    Line key(const QString& name, const QString& value, const QByteArray& ending)
    {
        return make(Line::Kind::Key, name, value, encode(name) + encode(u"="_qs) + encode(value), ending);
    }
    Line key(const QString& name, const QString& value) { return key(name, value, m_newLine); }
    Line blank() { return make(Line::Kind::Other, {}, {}, {}, m_newLine); }
    const QByteArray& newLine() const { return m_newLine; }

private:
    static Line make(Line::Kind kind, const QString& name, const QString& value, const QByteArray& body,
                     const QByteArray& ending)
    {
        Line line;
        line.body = body;
        line.ending = ending;
        line.kind = kind;
        line.name = name;
        line.value = value;
        line.blank = body.isEmpty();
        return line;
    }

    QByteArray encode(const QString& text)
    {
        QByteArray bytes = m_encoder(text);
        if (m_encoder.hasError())
            throw IniError(u"Der Text „%1“ enthält Zeichen, die die Einstellungsdatei %2 nicht aufnehmen kann."_qs
                               .arg(text, quoted(m_fileName)));
        return bytes;
    }

    QStringEncoder m_encoder;
    QByteArray m_newLine;
    QString m_fileName;
};

void apply(Document& document, LineMaker& make, const IniChanges::Change& change)
{
    std::vector<Line>& lines = document.lines;
    auto terminate = [&](Line& line) {
        if (line.ending.isEmpty())
            line.ending = make.newLine();
    };
    const Position position = locate(lines, change.section, change.key);
    if (change.remove) {
        if (position.key)
            lines.erase(lines.begin() + std::ptrdiff_t(*position.key));
        return;
    }
    if (position.key) {
        Line& line = lines[*position.key];
        line = make.key(line.name, change.value, line.ending);
    } else if (position.section) {
        terminate(lines[position.lastKeyOrHeader]);
        lines.insert(lines.begin() + std::ptrdiff_t(position.lastKeyOrHeader + 1), make.key(change.key, change.value));
    } else {
        if (!lines.empty()) {
            terminate(lines.back());
            if (!lines.back().blank)
                lines.push_back(make.blank());
        }
        lines.push_back(make.section(change.section));
        lines.push_back(make.key(change.key, change.value));
    }
}

} // namespace

IniFile::IniFile(QString fileName) : m_fileName(std::move(fileName)) {}

QString IniFile::readString(const QString& section, const QString& key, const QString& defaultValue) const
{
    const auto value = lookup(m_fileName, section, key);
    return value ? stripQuotes(*value) : defaultValue;
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

void IniFile::write(const IniChanges& changes)
{
    if (changes.changes().empty())
        return;
    for (const IniChanges::Change& change : changes.changes())
        check(change, m_fileName);

    const QString path = files::resolveForWrite(m_fileName);
    QByteArray content;
    if (QFileInfo::exists(path)) {
        // Writing without the old content would lose every other setting.
        const auto existing = readContent(path);
        if (!existing)
            throw IniError(u"Die Einstellungsdatei %1 kann nicht gelesen werden."_qs.arg(quoted(path)));
        content = *existing;
    }

    Document document = parse(content);
    LineMaker make(document, path);
    for (const IniChanges::Change& change : changes.changes())
        apply(document, make, change);
    const QByteArray result = document.bytes();
    // Removing keys that are not there is no reason to make or touch a file.
    if (result == content && std::all_of(changes.changes().begin(), changes.changes().end(),
                                         [](const IniChanges::Change& change) { return change.remove; }))
        return;

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(result) != result.size() || !file.commit())
        throw IniError(u"Die Einstellungsdatei %1 kann nicht geschrieben werden: %2"_qs
                           .arg(quoted(path), file.errorString()));
}

void IniFile::writeString(const QString& section, const QString& key, const QString& value)
{
    write(IniChanges().setString(section, key, value));
}

void IniFile::writeInteger(const QString& section, const QString& key, int value)
{
    write(IniChanges().setInteger(section, key, value));
}

void IniFile::writeBool(const QString& section, const QString& key, bool value)
{
    write(IniChanges().setBool(section, key, value));
}

IniChanges& IniChanges::setString(const QString& section, const QString& key, const QString& value)
{
    m_changes.push_back({section, key, value});
    return *this;
}

IniChanges& IniChanges::removeKey(const QString& section, const QString& key)
{
    m_changes.push_back({section, key, {}, true});
    return *this;
}

IniChanges& IniChanges::setInteger(const QString& section, const QString& key, int value)
{
    return setString(section, key, QString::number(value));
}

IniChanges& IniChanges::setBool(const QString& section, const QString& key, bool value)
{
    return setString(section, key, value ? u"1"_qs : u"0"_qs);
}

} // namespace ini
