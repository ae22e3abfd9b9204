#include "dbase/KeyExpression.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <vector>

#include "dbase/CodePage.h"
#include "dbase/DbaseError.h"
#include "dbase/Scanner.h"

namespace dbase {

namespace {

// What a dBASE IV production index can hold: the tag header keeps 220 bytes
// of expression text, and keys are at most 100 bytes long.
constexpr int maxExpressionLength = 220;
constexpr int maxKeyLength = 100;
constexpr int maxDepth = 32;
constexpr int numericKeyLength = 12;
constexpr int dateKeyLength = 8;

enum class Function { None, Upper, Dtos, Str, Substr, Left, Right, Rtrim, Ltrim };

struct Node {
    enum class Kind { Field, Text, Number, Plus, Call };
    Kind kind = Kind::Field;
    char type = 'C'; // result type: 'C', 'N' or 'D'
    int width = 0;   // the widest 'C' result
    int field = -1;
    QString text;    // Text literal
    double number = 0;
    Function function = Function::None;
    std::vector<int> ints; // constant arguments of STR, SUBSTR, LEFT, RIGHT
    std::vector<std::shared_ptr<const Node>> children;
};

using NodePtr = std::shared_ptr<const Node>;

// A compile failure before the tag name and expression are put around it.
struct CompileError {
    QString reason;
    int position;
};

struct Token {
    enum class Kind { End, Identifier, Text, Number, LeftParen, RightParen, Comma, Plus };
    Kind kind = Kind::End;
    QString text;
    int position = 1;
};

class Lexer {
public:
    explicit Lexer(const QString& text) : m_in(text) {}

    Token next()
    {
        Token token;
        token.position = m_in.skipSpaces();
        if (m_in.atEnd())
            return token;
        const QChar c = m_in.peek();
        if (Scanner::isLetter(c)) {
            token.kind = Token::Kind::Identifier;
            token.text = m_in.name();
            return token;
        }
        if (Scanner::isDigit(c)) {
            token.kind = Token::Kind::Number;
            token.text = m_in.takeWhile([](QChar x) { return Scanner::isDigit(x) || x == u'.'; });
            return token;
        }
        m_in.get();
        if (c == u'\'' || c == u'"') {
            token.kind = Token::Kind::Text;
            token.text = m_in.takeWhile([c](QChar x) { return x != c; });
            if (!m_in.accept(c.unicode()))
                throw CompileError{QStringLiteral("Zeichenkette ohne Abschluss"), token.position};
            return token;
        }
        switch (c.unicode()) {
        case u'(': token.kind = Token::Kind::LeftParen; return token;
        case u')': token.kind = Token::Kind::RightParen; return token;
        case u',': token.kind = Token::Kind::Comma; return token;
        case u'+': token.kind = Token::Kind::Plus; return token;
        default:
            throw CompileError{QStringLiteral("„%1“ wird in Indexausdrücken nicht unterstützt").arg(c),
                               token.position};
        }
    }

private:
    Scanner m_in;
};

struct FunctionInfo {
    const char* name;
    Function function;
    char argumentType; // of the first argument
    int minInts, maxInts;
};

constexpr std::array functions{
    FunctionInfo{"UPPER", Function::Upper, 'C', 0, 0},  FunctionInfo{"DTOS", Function::Dtos, 'D', 0, 0},
    FunctionInfo{"STR", Function::Str, 'N', 0, 2},      FunctionInfo{"SUBSTR", Function::Substr, 'C', 1, 2},
    FunctionInfo{"LEFT", Function::Left, 'C', 1, 1},    FunctionInfo{"RIGHT", Function::Right, 'C', 1, 1},
    FunctionInfo{"TRIM", Function::Rtrim, 'C', 0, 0},   FunctionInfo{"RTRIM", Function::Rtrim, 'C', 0, 0},
    FunctionInfo{"LTRIM", Function::Ltrim, 'C', 0, 0},
};

const char* typeName(char type)
{
    switch (type) {
    case 'N': return "numerisch";
    case 'D': return "Datum";
    default: return "Zeichen";
    }
}

class Compiler {
public:
    Compiler(const QString& text, const TableLayout& layout) : m_lexer(text), m_layout(layout) { advance(); }

    NodePtr compileAll()
    {
        NodePtr root = sum(0);
        if (m_token.kind != Token::Kind::End)
            throw CompileError{QStringLiteral("„+“ oder Ende erwartet"), m_token.position};
        return root;
    }

private:
    void advance() { m_token = m_lexer.next(); }

    void expect(Token::Kind kind, const char* what)
    {
        if (m_token.kind != kind)
            throw CompileError{QStringLiteral("%1 erwartet").arg(QString::fromUtf8(what)), m_token.position};
        advance();
    }

    NodePtr sum(int depth)
    {
        if (depth > maxDepth)
            throw CompileError{QStringLiteral("zu tief verschachtelt"), m_token.position};
        const int position = m_token.position;
        NodePtr first = term(depth);
        if (m_token.kind != Token::Kind::Plus)
            return first;
        auto plus = std::make_shared<Node>();
        plus->kind = Node::Kind::Plus;
        plus->type = first->type;
        plus->width = first->width;
        plus->children.push_back(first);
        while (m_token.kind == Token::Kind::Plus) {
            advance();
            NodePtr next = term(depth);
            plus->type = plusType(plus->type, next->type, position);
            plus->width += next->width;
            plus->children.push_back(std::move(next));
        }
        return plus;
    }

    // Strings join; numbers add; a date plus days is a date, as in dBASE.
    static char plusType(char a, char b, int position)
    {
        if (a == b && a != 'D')
            return a;
        if ((a == 'D' && b == 'N') || (a == 'N' && b == 'D'))
            return 'D';
        throw CompileError{QStringLiteral("„+“ verbindet %1 und %2, das geht nicht")
                               .arg(QString::fromUtf8(typeName(a)), QString::fromUtf8(typeName(b))),
                           position};
    }

    NodePtr term(int depth)
    {
        auto node = std::make_shared<Node>();
        const Token token = m_token;
        switch (token.kind) {
        case Token::Kind::Text:
            advance();
            node->kind = Node::Kind::Text;
            node->text = token.text;
            node->width = static_cast<int>(token.text.size());
            return node;
        case Token::Kind::Number:
            advance();
            node->kind = Node::Kind::Number;
            node->type = 'N';
            node->number = number(token);
            return node;
        case Token::Kind::LeftParen: {
            advance();
            NodePtr inner = sum(depth + 1);
            expect(Token::Kind::RightParen, "„)“");
            return inner;
        }
        case Token::Kind::Identifier:
            advance();
            if (m_token.kind == Token::Kind::LeftParen)
                return call(token, depth);
            return field(token);
        default:
            throw CompileError{token.kind == Token::Kind::End ? QStringLiteral("Ausdruck endet unerwartet")
                                                              : QStringLiteral("Feldname oder Funktion erwartet"),
                               token.position};
        }
    }

    static double number(const Token& token)
    {
        bool ok = false;
        const double value = token.text.toDouble(&ok);
        if (!ok)
            throw CompileError{QStringLiteral("„%1“ ist keine Zahl").arg(token.text), token.position};
        return value;
    }

    NodePtr field(const Token& token) const
    {
        auto node = std::make_shared<Node>();
        node->field = m_layout.indexOf(token.text.toStdString());
        if (node->field < 0)
            throw CompileError{QStringLiteral("Feld „%1“ gibt es in der Tabelle nicht").arg(token.text),
                               token.position};
        const FieldDef& def = m_layout.field(node->field);
        switch (def.type) {
        case FieldType::Character: node->type = 'C'; break;
        case FieldType::Numeric:
        case FieldType::Float: node->type = 'N'; break;
        case FieldType::Date: node->type = 'D'; break;
        default:
            throw CompileError{QStringLiteral("nach dem Feld „%1“ vom Typ %2 kann nicht indiziert werden")
                                   .arg(token.text, QChar::fromLatin1(static_cast<char>(def.type))),
                               token.position};
        }
        node->width = node->type == 'C' ? def.length : 0;
        return node;
    }

    NodePtr call(const Token& name, int depth)
    {
        const auto info = std::find_if(functions.begin(), functions.end(), [&](const FunctionInfo& f) {
            return name.text.compare(QLatin1String(f.name), Qt::CaseInsensitive) == 0;
        });
        if (info == functions.end())
            throw CompileError{QStringLiteral("die Funktion „%1“ wird nicht unterstützt").arg(name.text),
                               name.position};
        advance(); // "("
        auto node = std::make_shared<Node>();
        node->kind = Node::Kind::Call;
        node->function = info->function;
        const int argumentPosition = m_token.position;
        NodePtr argument = sum(depth + 1);
        if (argument->type != info->argumentType)
            throw CompileError{QStringLiteral("%1 erwartet einen Wert vom Typ %2")
                                   .arg(QLatin1String(info->name), QString::fromUtf8(typeName(info->argumentType))),
                               argumentPosition};
        while (m_token.kind == Token::Kind::Comma) {
            advance();
            if (static_cast<int>(node->ints.size()) == info->maxInts)
                throw CompileError{QStringLiteral("zu viele Argumente für %1").arg(QLatin1String(info->name)),
                                   m_token.position};
            const Token value = m_token;
            if (value.kind != Token::Kind::Number)
                throw CompileError{QStringLiteral("ganze Zahl erwartet"), value.position};
            const double n = number(value);
            if (n != std::floor(n) || n < 0 || n > 255)
                throw CompileError{QStringLiteral("ganze Zahl von 0 bis 255 erwartet"), value.position};
            node->ints.push_back(static_cast<int>(n));
            advance();
        }
        if (static_cast<int>(node->ints.size()) < info->minInts)
            throw CompileError{QStringLiteral("zu wenige Argumente für %1").arg(QLatin1String(info->name)),
                               m_token.position};
        expect(Token::Kind::RightParen, "„)“");
        node->width = resultWidth(*node, argument->width, name.position);
        node->type = 'C';
        node->children.push_back(std::move(argument));
        return node;
    }

    static int resultWidth(const Node& node, int argumentWidth, int position)
    {
        const auto argument = [&](size_t i, int fallback) {
            return i < node.ints.size() ? node.ints[i] : fallback;
        };
        switch (node.function) {
        case Function::Dtos: return 8;
        case Function::Str: {
            const int length = argument(0, 10), decimals = argument(1, 0);
            if (length < 1 || (decimals > 0 && decimals >= length - 1))
                throw CompileError{QStringLiteral("STR: Länge und Nachkommastellen passen nicht zusammen"),
                                   position};
            return length;
        }
        case Function::Substr: {
            const int start = argument(0, 1);
            if (start < 1)
                throw CompileError{QStringLiteral("SUBSTR beginnt bei Stelle 1"), position};
            const int rest = std::max(0, argumentWidth - start + 1);
            return std::min(rest, argument(1, rest));
        }
        case Function::Left:
        case Function::Right: return std::min(argumentWidth, argument(0, 0));
        default: return argumentWidth;
        }
    }

    Lexer m_lexer;
    const TableLayout& m_layout;
    Token m_token;
};

// ---------------------------------------------------------------- evaluation

struct Value {
    std::string bytes;               // 'C'
    double number = 0;               // 'N'
    std::optional<qint64> julianDay; // 'D'; empty for a blank date
};

std::string upper(std::string bytes, const CodePage& codePage)
{
    for (char& byte : bytes) {
        const auto b = static_cast<unsigned char>(byte);
        if (b < 0x80) {
            if (b >= 'a' && b <= 'z')
                byte = static_cast<char>(b - 32);
            continue;
        }
        const char16_t lower = codePage.toUnicode(b);
        const auto up = static_cast<char16_t>(QChar::toUpper(static_cast<char32_t>(lower)));
        if (up == lower)
            continue;
        // An upper case the code page lacks (such as 'ÿ' in code page 850)
        // leaves the character as it is.
        const std::string encoded = codePage.encode(QString(QChar(up)));
        if (encoded.size() == 1 && encoded[0] != '?')
            byte = encoded[0];
    }
    return bytes;
}

std::string_view trimRight(std::string_view s)
{
    while (!s.empty() && (s.back() == ' ' || s.back() == '\0'))
        s.remove_suffix(1);
    return s;
}

std::string_view trimLeft(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\0'))
        s.remove_prefix(1);
    return s;
}

// dBASE's STR(): rounded, right-aligned, and all '*' when it does not fit.
std::string str(double value, int length, int decimals)
{
    // Halves round away from zero, as dBASE does, not to the even neighbour.
    const double scale = std::pow(10.0, decimals);
    const double rounded = std::round(value * scale) / scale;
    const std::string digits = QString::number(rounded, 'f', decimals).toStdString();
    if (!std::isfinite(rounded) || static_cast<int>(digits.size()) > length)
        return std::string(static_cast<size_t>(length), '*');
    return std::string(static_cast<size_t>(length) - digits.size(), ' ') + digits;
}

Value evaluateNode(const Node& node, const RecordView& record)
{
    Value value;
    switch (node.kind) {
    case Node::Kind::Field:
        if (node.type == 'C')
            value.bytes = std::string(record.raw(node.field));
        else if (node.type == 'N')
            value.number = record.number(node.field).value_or(0.0); // blank counts as 0, as in dBASE
        else if (const auto date = record.date(node.field))
            value.julianDay = date->toJulianDay();
        return value;
    case Node::Kind::Text:
        value.bytes = record.codePage().encode(node.text);
        return value;
    case Node::Kind::Number:
        value.number = node.number;
        return value;
    case Node::Kind::Plus: {
        bool blankDate = false;
        qint64 days = 0;
        for (const NodePtr& child : node.children) {
            Value part = evaluateNode(*child, record);
            if (child->type == 'C') {
                value.bytes += part.bytes;
            } else if (child->type == 'N') {
                value.number += part.number;
            } else if (part.julianDay) {
                days += *part.julianDay;
            } else {
                blankDate = true;
            }
        }
        // Days beyond any calendar give a blank date rather than an overflow.
        constexpr double maxDays = 1e9;
        if (node.type == 'D' && !blankDate && std::fabs(value.number) < maxDays)
            value.julianDay = days + std::llround(value.number);
        return value;
    }
    case Node::Kind::Call:
        break;
    }

    const Node& argumentNode = *node.children.front();
    const Value argument = evaluateNode(argumentNode, record);
    const std::string_view s = argument.bytes;
    const auto constant = [&](size_t i, int fallback) { return i < node.ints.size() ? node.ints[i] : fallback; };
    switch (node.function) {
    case Function::Upper: value.bytes = upper(argument.bytes, record.codePage()); break;
    case Function::Dtos:
        value.bytes = argument.julianDay
            ? QDate::fromJulianDay(*argument.julianDay).toString(QStringLiteral("yyyyMMdd")).toStdString()
            : std::string(8, ' ');
        break;
    case Function::Str: value.bytes = str(argument.number, constant(0, 10), constant(1, 0)); break;
    case Function::Substr: {
        const size_t start = static_cast<size_t>(constant(0, 1)) - 1;
        if (start < s.size())
            value.bytes = std::string(s.substr(start, static_cast<size_t>(constant(1, node.width))));
        break;
    }
    case Function::Left: value.bytes = std::string(s.substr(0, static_cast<size_t>(node.width))); break;
    case Function::Right: {
        const size_t n = std::min(s.size(), static_cast<size_t>(constant(0, 0)));
        value.bytes = std::string(s.substr(s.size() - n));
        break;
    }
    case Function::Rtrim: value.bytes = std::string(trimRight(s)); break;
    case Function::Ltrim: value.bytes = std::string(trimLeft(s)); break;
    case Function::None: break;
    }
    return value;
}

bool isTextField(const NodePtr& node)
{
    return node->kind == Node::Kind::Field && node->type == 'C';
}

} // namespace

struct KeyExpression::Impl {
    std::string text;
    char keyType = 'C';
    int keyLength = 0;
    std::vector<int> keyFields;
    NodePtr root;
};

KeyExpression::KeyExpression() : d(std::make_unique<Impl>()) {}
KeyExpression::KeyExpression(KeyExpression&&) noexcept = default;
KeyExpression& KeyExpression::operator=(KeyExpression&&) noexcept = default;
KeyExpression::KeyExpression(const KeyExpression& other) : d(std::make_unique<Impl>(*other.d)) {}
KeyExpression& KeyExpression::operator=(const KeyExpression& other)
{
    if (this != &other)
        d = std::make_unique<Impl>(*other.d);
    return *this;
}
KeyExpression::~KeyExpression() = default;

KeyExpression KeyExpression::compile(const std::string& expression, const TableLayout& layout,
                                     const std::string& tagName)
{
    const QString text = QString::fromStdString(expression);
    KeyExpression result;
    Impl& d = *result.d;
    d.text = expression;
    try {
        if (text.size() > maxExpressionLength)
            throw CompileError{QStringLiteral("länger als %1 Zeichen").arg(maxExpressionLength), maxExpressionLength + 1};
        d.root = Compiler(text, layout).compileAll();
        d.keyType = d.root->type;
        d.keyLength = d.keyType == 'N' ? numericKeyLength : d.keyType == 'D' ? dateKeyLength : d.root->width;
        if (d.keyLength < 1 || d.keyLength > maxKeyLength)
            throw CompileError{QStringLiteral("der Schlüssel wäre %1 Bytes lang, erlaubt sind 1 bis %2")
                                   .arg(d.keyLength)
                                   .arg(maxKeyLength),
                               1};
    } catch (const CompileError& error) {
        const QString tag = tagName.empty() ? QString() : QStringLiteral(" des Index „%1“").arg(QString::fromStdString(tagName));
        throw DbaseError(QStringLiteral("Der Indexausdruck „%1“%2 ist nicht verwendbar: %3 an Position %4")
                             .arg(text, tag, error.reason)
                             .arg(error.position)
                             .toStdString());
    }

    // Keyed lookups can set the fields of a plain concatenation of text fields.
    if (isTextField(d.root)) {
        d.keyFields = {d.root->field};
    } else if (d.root->kind == Node::Kind::Plus
               && std::all_of(d.root->children.begin(), d.root->children.end(), isTextField)) {
        for (const NodePtr& child : d.root->children)
            d.keyFields.push_back(child->field);
    }
    return result;
}

int KeyExpression::leadingField() const
{
    // "+" of texts lays the parts end to end, each with its full width.
    const NodePtr& first = d->root->kind == Node::Kind::Plus && d->root->type == 'C' ? d->root->children.front()
                                                                                      : d->root;
    return isTextField(first) ? first->field : -1;
}

const std::string& KeyExpression::text() const
{
    return d->text;
}

char KeyExpression::keyType() const
{
    return d->keyType;
}

int KeyExpression::keyLength() const
{
    return d->keyLength;
}

const std::vector<int>& KeyExpression::keyFields() const
{
    return d->keyFields;
}

std::string KeyExpression::evaluate(const RecordView& record) const
{
    std::string key;
    appendKey(record, key);
    return key;
}

void KeyExpression::appendKey(const RecordView& record, std::string& keys) const
{
    const std::size_t start = keys.size();
    const auto length = static_cast<std::size_t>(d->keyLength);
    if (!d->keyFields.empty()) {
        for (int field : d->keyFields)
            keys += record.raw(field);
        keys.resize(start + length, ' '); // a short record buffer still gives a whole key
        return;
    }
    Value value = evaluateNode(*d->root, record);
    switch (d->keyType) {
    case 'N': keys += encodeNumericKey(value.number); break;
    case 'D': keys += encodeDateKey(value.julianDay ? QDate::fromJulianDay(*value.julianDay) : QDate()); break;
    default:
        keys += value.bytes;
        keys.resize(start + length, ' ');
    }
}

} // namespace dbase
