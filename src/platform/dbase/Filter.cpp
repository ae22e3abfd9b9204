#include "dbase/Filter.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "dbase/CodePage.h"
#include "dbase/DbaseError.h"
#include "dbase/Scanner.h"

namespace dbase {

namespace {

// Deeper nesting than any person types; the limit keeps the recursive parser
// and evaluator far away from the end of the stack.
constexpr int maxDepth = 100;

enum class CompareOp { Equal, NotEqual, Less, Greater, LessEqual, GreaterEqual };

// How a string literal treats a trailing '*'.
enum class LiteralMode {
    Typed,  // prefix match unless the options say no partial compare
    Exact,  // values from the program: never a pattern
    Prefix, // the whole value is a prefix
};

struct Operand {
    enum class Kind { Field, String, Number, Boolean };
    Kind kind = Kind::String;
    QString text;   // field name or string value
    double number = 0;
    bool boolean = false;
    LiteralMode mode = LiteralMode::Typed;
    int position = 0; // 1-based in the filter text; 0 for built predicates
};

CompareOp mirrored(CompareOp op)
{
    switch (op) {
    case CompareOp::Less: return CompareOp::Greater;
    case CompareOp::Greater: return CompareOp::Less;
    case CompareOp::LessEqual: return CompareOp::GreaterEqual;
    case CompareOp::GreaterEqual: return CompareOp::LessEqual;
    default: return op;
    }
}

bool holds(CompareOp op, int order)
{
    switch (op) {
    case CompareOp::Equal: return order == 0;
    case CompareOp::NotEqual: return order != 0;
    case CompareOp::Less: return order < 0;
    case CompareOp::Greater: return order > 0;
    case CompareOp::LessEqual: return order <= 0;
    case CompareOp::GreaterEqual: return order >= 0;
    }
    return false;
}

template <typename T>
int threeWay(T a, T b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

std::optional<double> parseNumber(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\0'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\0'))
        s.remove_suffix(1);
    if (!s.empty() && s.front() == '+')
        s.remove_prefix(1);
    if (s.empty() || s.size() > 64)
        return std::nullopt;
    // Text fields typed by German users may carry a decimal comma.
    char buffer[64];
    std::copy(s.begin(), s.end(), buffer);
    std::replace(buffer, buffer + s.size(), ',', '.');
    double value = 0;
    const auto [end, error] = std::from_chars(buffer, buffer + s.size(), value);
    if (error != std::errc() || end != buffer + s.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<double> parseNumber(const QString& text)
{
    const QByteArray latin = text.toLatin1();
    return parseNumber(std::string_view(latin.constData(), static_cast<size_t>(latin.size())));
}

// Date literals are written the German way, "24.12.1999" (day and month may
// have one digit), as users of this program type dates everywhere else; the
// stored form "19991224" is taken too, so a date copied from a record works.
std::optional<QDate> parseDate(const QString& text)
{
    const QString trimmedText = text.trimmed();
    if (trimmedText.size() == 8 && !trimmedText.contains(QLatin1Char('.'))) {
        const QDate stored = QDate::fromString(trimmedText, QStringLiteral("yyyyMMdd"));
        return stored.isValid() ? std::optional<QDate>(stored) : std::nullopt;
    }
    const QStringList parts = trimmedText.split(QLatin1Char('.'));
    if (parts.size() != 3 || parts[2].size() != 4 || parts[0].size() > 2 || parts[1].size() > 2)
        return std::nullopt;
    bool okDay = false, okMonth = false, okYear = false;
    const QDate date(parts[2].toInt(&okYear), parts[1].toInt(&okMonth), parts[0].toInt(&okDay));
    if (!okDay || !okMonth || !okYear || !date.isValid())
        return std::nullopt;
    return date;
}

std::optional<bool> parseLogical(const QString& text)
{
    const QString t = text.trimmed().toUpper();
    if (t == u"T" || t == u"Y" || t == u"J" || t == u"TRUE")
        return true;
    if (t == u"F" || t == u"N" || t == u"FALSE")
        return false;
    return std::nullopt;
}

QString numberText(double value)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return QString::fromLatin1(buffer, static_cast<qsizetype>(result.ptr - buffer));
}

// Apostrophes as the engine's users write them; a value holding an
// apostrophe goes into double quotes, one holding both doubles its
// apostrophes, which the parser reads back as one.
QString quoted(const QString& value)
{
    if (!value.contains(QLatin1Char('\'')))
        return QLatin1Char('\'') + value + QLatin1Char('\'');
    if (!value.contains(QLatin1Char('"')))
        return QLatin1Char('"') + value + QLatin1Char('"');
    QString doubled = value;
    doubled.replace(QLatin1String("'"), QLatin1String("''"));
    return QLatin1Char('\'') + doubled + QLatin1Char('\'');
}

[[noreturn]] void syntaxError(const QString& reason, int position)
{
    throw DbaseError(QStringLiteral("Filterausdruck fehlerhaft: %1 an Position %2")
                         .arg(reason)
                         .arg(position)
                         .toStdString());
}

} // namespace

struct FilterNode {
    enum class Kind { And, Or, Not, Compare, Truth };
    Kind kind = Kind::Truth;
    std::vector<std::shared_ptr<const FilterNode>> children; // And, Or, Not
    CompareOp op = CompareOp::Equal;                         // Compare
    Operand left, right;                                     // Compare; Truth uses left
    int depth = 1;
};

namespace {

using NodePtr = std::shared_ptr<const FilterNode>;

int depthOf(const std::vector<NodePtr>& children)
{
    int depth = 0;
    for (const NodePtr& child : children)
        depth = std::max(depth, child->depth);
    return depth + 1;
}

NodePtr makeJunction(FilterNode::Kind kind, std::vector<NodePtr> children)
{
    if (children.size() == 1)
        return children.front();
    auto node = std::make_shared<FilterNode>();
    node->kind = kind;
    node->depth = depthOf(children);
    node->children = std::move(children);
    return node;
}

NodePtr makeNot(NodePtr child)
{
    auto node = std::make_shared<FilterNode>();
    node->kind = FilterNode::Kind::Not;
    node->depth = child->depth + 1;
    node->children.push_back(std::move(child));
    return node;
}

NodePtr makeCompare(Operand left, CompareOp op, Operand right)
{
    auto node = std::make_shared<FilterNode>();
    node->kind = FilterNode::Kind::Compare;
    node->left = std::move(left);
    node->op = op;
    node->right = std::move(right);
    return node;
}

NodePtr makeTruth(Operand operand)
{
    auto node = std::make_shared<FilterNode>();
    node->kind = FilterNode::Kind::Truth;
    node->left = std::move(operand);
    return node;
}

// ---------------------------------------------------------------- parsing

struct Token {
    enum class Kind { End, Identifier, String, Number, Op, LeftParen, RightParen, Minus };
    Kind kind = Kind::End;
    QString text;
    CompareOp op = CompareOp::Equal;
    int position = 0;
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
        if (c == u'\'' || c == u'"')
            return stringLiteral(token, c);
        if (Scanner::isDigit(c) || (c == u'.' && Scanner::isDigit(m_in.peek(1))))
            return number(token);
        if (Scanner::isLetter(c)) {
            token.kind = Token::Kind::Identifier;
            token.text = m_in.name();
            return token;
        }
        m_in.get();
        switch (c.unicode()) {
        case u'(': token.kind = Token::Kind::LeftParen; return token;
        case u')': token.kind = Token::Kind::RightParen; return token;
        case u'-': token.kind = Token::Kind::Minus; return token;
        case u'=': return op(token, CompareOp::Equal);
        case u'<':
            if (m_in.accept(u'>'))
                return op(token, CompareOp::NotEqual);
            return op(token, m_in.accept(u'=') ? CompareOp::LessEqual : CompareOp::Less);
        case u'>': return op(token, m_in.accept(u'=') ? CompareOp::GreaterEqual : CompareOp::Greater);
        default:
            syntaxError(QStringLiteral("unerwartetes Zeichen „%1“").arg(c), token.position);
        }
    }

private:
    static Token op(Token token, CompareOp op)
    {
        token.kind = Token::Kind::Op;
        token.op = op;
        return token;
    }

    // A doubled quote inside stands for one.
    Token stringLiteral(Token token, QChar quote)
    {
        m_in.get();
        QString value;
        for (;;) {
            if (m_in.atEnd())
                syntaxError(QStringLiteral("Zeichenkette ohne schließendes %1")
                                .arg(quote == u'\'' ? QStringLiteral("Apostroph")
                                                    : QStringLiteral("Anführungszeichen")),
                            token.position);
            const QChar c = m_in.get();
            if (c == quote && !m_in.accept(quote.unicode()))
                break;
            value += c;
        }
        token.kind = Token::Kind::String;
        token.text = value;
        return token;
    }

    Token number(Token token)
    {
        token.kind = Token::Kind::Number;
        token.text = m_in.takeWhile(Scanner::isDigit);
        if (m_in.accept(u'.'))
            token.text += u'.' + m_in.takeWhile(Scanner::isDigit);
        return token;
    }

    Scanner m_in;
};

class Parser {
public:
    explicit Parser(const QString& text) : m_lexer(text) { advance(); }

    NodePtr parseAll()
    {
        NodePtr root = orExpression(0);
        if (m_token.kind != Token::Kind::End)
            syntaxError(m_token.kind == Token::Kind::RightParen
                            ? QStringLiteral("„)“ ohne passende „(“")
                            : QStringLiteral("AND oder OR erwartet"),
                        m_token.position);
        return root;
    }

private:
    void advance() { m_token = m_lexer.next(); }

    bool isKeyword(const char* word) const
    {
        return m_token.kind == Token::Kind::Identifier
            && m_token.text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
    }

    void checkDepth(int depth) const
    {
        if (depth > maxDepth)
            syntaxError(QStringLiteral("zu tief verschachtelt (höchstens %1 Ebenen)").arg(maxDepth),
                        m_token.position);
    }

    NodePtr orExpression(int depth)
    {
        std::vector<NodePtr> terms{andExpression(depth)};
        while (isKeyword("OR")) {
            advance();
            terms.push_back(andExpression(depth));
        }
        return makeJunction(FilterNode::Kind::Or, std::move(terms));
    }

    NodePtr andExpression(int depth)
    {
        std::vector<NodePtr> factors{notExpression(depth)};
        while (isKeyword("AND")) {
            advance();
            factors.push_back(notExpression(depth));
        }
        return makeJunction(FilterNode::Kind::And, std::move(factors));
    }

    NodePtr notExpression(int depth)
    {
        checkDepth(depth);
        if (isKeyword("NOT")) {
            advance();
            return makeNot(notExpression(depth + 1));
        }
        if (m_token.kind == Token::Kind::LeftParen) {
            advance();
            NodePtr inner = orExpression(depth + 1);
            if (m_token.kind != Token::Kind::RightParen)
                syntaxError(QStringLiteral("„)“ erwartet"), m_token.position);
            advance();
            return inner;
        }
        Operand left = operand();
        if (m_token.kind != Token::Kind::Op) {
            if (left.kind == Operand::Kind::String || left.kind == Operand::Kind::Number)
                syntaxError(QStringLiteral("Vergleichsoperator erwartet"), m_token.position);
            return makeTruth(std::move(left)); // a logical field, TRUE or FALSE
        }
        const CompareOp op = m_token.op;
        advance();
        Operand right = operand();
        return makeCompare(std::move(left), op, std::move(right));
    }

    Operand operand()
    {
        Operand result;
        result.position = m_token.position;
        switch (m_token.kind) {
        case Token::Kind::String:
            result.kind = Operand::Kind::String;
            result.text = m_token.text;
            break;
        case Token::Kind::Number:
            result.kind = Operand::Kind::Number;
            result.text = m_token.text;
            result.number = m_token.text.toDouble();
            break;
        case Token::Kind::Minus:
            advance();
            if (m_token.kind != Token::Kind::Number)
                syntaxError(QStringLiteral("Zahl nach „-“ erwartet"), m_token.position);
            result.kind = Operand::Kind::Number;
            result.text = QLatin1Char('-') + m_token.text;
            result.number = -m_token.text.toDouble();
            break;
        case Token::Kind::Identifier:
            if (isKeyword("AND") || isKeyword("OR") || isKeyword("NOT"))
                syntaxError(QStringLiteral("Feldname oder Wert erwartet, „%1“ gefunden").arg(m_token.text),
                            m_token.position);
            if (isKeyword("TRUE") || isKeyword("FALSE")) {
                result.kind = Operand::Kind::Boolean;
                result.boolean = isKeyword("TRUE");
            } else {
                result.kind = Operand::Kind::Field;
            }
            result.text = m_token.text;
            break;
        case Token::Kind::End:
            syntaxError(QStringLiteral("Ausdruck endet unerwartet"), m_token.position);
        default:
            syntaxError(QStringLiteral("Feldname oder Wert erwartet"), m_token.position);
        }
        advance();
        return result;
    }

    Lexer m_lexer;
    Token m_token;
};

// ---------------------------------------------------------------- binding

std::u16string_view withoutTrailingBlanks(std::u16string_view s)
{
    while (!s.empty() && s.back() == u' ')
        s.remove_suffix(1);
    return s;
}

// FNV-1a over the values of several fields, each closed by its length so
// that ("ab", "c") and ("a", "bc") differ.
struct KeyHash {
    std::size_t value = 14695981039346656037ull;
    void mix(std::size_t unit)
    {
        value ^= unit;
        value *= 1099511628211ull;
    }
    void add(std::u16string_view text, bool caseInsensitive)
    {
        for (char16_t c : text)
            mix(caseInsensitive ? foldCase(c) : c);
        mix(0x10000 + text.size());
    }
};

enum class CompareKind { Text, Number, Date, Logical };

// One side of a bound comparison: a field (index >= 0) or a literal with
// every form it may be compared in prepared once.
struct BoundOperand {
    int field = -1;
    FieldType type = FieldType::Character;
    std::u16string text; // trailing blanks kept; a pattern's '*' included
    bool star = false;   // Typed literal ending in '*'
    bool forcePrefix = false;
    double number = 0;
    qint64 julianDay = 0;
    bool boolean = false;
};

// An OR of many terms that each pin the same text fields to values, such as
// the list filter's "(CARN='..' and SUBCARN='..') or ...": the terms are
// found by a hash of the record's values instead of being tried one by one.
struct KeyedTerms {
    std::vector<int> fields; // ascending
    std::unordered_multimap<std::size_t, int> caseSensitive, caseInsensitive; // hash -> term node
};

struct BoundNode {
    FilterNode::Kind kind = FilterNode::Kind::Truth;
    std::vector<int> children;
    CompareKind compareKind = CompareKind::Text;
    CompareOp op = CompareOp::Equal;
    BoundOperand left, right;
    std::unique_ptr<const KeyedTerms> keyedTerms; // Or only
};

[[noreturn]] void bindError(const Operand& operand, const QString& reason)
{
    QString message = QStringLiteral("Filterausdruck fehlerhaft: %1").arg(reason);
    if (operand.position > 0)
        message += QStringLiteral(" an Position %1").arg(operand.position);
    throw DbaseError(message.toStdString());
}

enum class Category { Text, Number, Date, Logical, Blob };

Category categoryOf(FieldType type)
{
    switch (type) {
    case FieldType::Character: return Category::Text;
    case FieldType::Numeric:
    case FieldType::Float: return Category::Number;
    case FieldType::Date: return Category::Date;
    case FieldType::Logical: return Category::Logical;
    default: return Category::Blob;
    }
}

class Binder {
public:
    explicit Binder(const TableLayout& layout) : m_layout(layout) {}

    int bind(const FilterNode& node, std::vector<BoundNode>& out)
    {
        BoundNode bound;
        bound.kind = node.kind;
        switch (node.kind) {
        case FilterNode::Kind::And:
        case FilterNode::Kind::Or:
        case FilterNode::Kind::Not:
            for (const NodePtr& child : node.children)
                bound.children.push_back(bind(*child, out));
            break;
        case FilterNode::Kind::Truth:
            bindTruth(node.left, bound);
            break;
        case FilterNode::Kind::Compare:
            bindCompare(node, bound);
            break;
        }
        if (bound.kind == FilterNode::Kind::Or)
            bound.keyedTerms = keyedTerms(bound.children, out);
        out.push_back(std::move(bound));
        return static_cast<int>(out.size()) - 1;
    }

private:
    // The plain equalities "text field = value" a term consists of, by
    // field; empty when the term is anything else.
    static std::vector<const BoundNode*> equalities(const BoundNode& term, const std::vector<BoundNode>& nodes)
    {
        std::vector<const BoundNode*> result;
        if (term.kind == FilterNode::Kind::Compare)
            result.push_back(&term);
        else if (term.kind == FilterNode::Kind::And)
            for (int child : term.children)
                result.push_back(&nodes[static_cast<size_t>(child)]);
        for (const BoundNode* node : result) {
            const bool plain = node->kind == FilterNode::Kind::Compare && node->compareKind == CompareKind::Text
                && node->op == CompareOp::Equal && node->left.field >= 0
                && node->left.type == FieldType::Character && node->right.field < 0 && !node->right.star
                && !node->right.forcePrefix;
            if (!plain)
                return {};
        }
        std::sort(result.begin(), result.end(),
                  [](const BoundNode* a, const BoundNode* b) { return a->left.field < b->left.field; });
        return result;
    }

    static std::unique_ptr<const KeyedTerms> keyedTerms(const std::vector<int>& terms,
                                                        const std::vector<BoundNode>& nodes)
    {
        constexpr size_t worthwhile = 8;
        if (terms.size() < worthwhile)
            return nullptr;
        auto keyed = std::make_unique<KeyedTerms>();
        for (int term : terms) {
            const std::vector<const BoundNode*> pins = equalities(nodes[static_cast<size_t>(term)], nodes);
            std::vector<int> fields;
            for (const BoundNode* pin : pins)
                fields.push_back(pin->left.field);
            if (fields.empty() || std::adjacent_find(fields.begin(), fields.end()) != fields.end())
                return nullptr;
            if (keyed->fields.empty())
                keyed->fields = fields;
            else if (keyed->fields != fields)
                return nullptr;
            KeyHash exact, folded;
            for (const BoundNode* pin : pins) {
                const std::u16string_view value = withoutTrailingBlanks(pin->right.text);
                exact.add(value, false);
                folded.add(value, true);
            }
            keyed->caseSensitive.emplace(exact.value, term);
            keyed->caseInsensitive.emplace(folded.value, term);
        }
        return keyed;
    }

    BoundOperand fieldOperand(const Operand& operand) const
    {
        BoundOperand result;
        result.field = m_layout.indexOf(operand.text.toStdString());
        if (result.field < 0)
            bindError(operand, QStringLiteral("Feld „%1“ gibt es in der Tabelle nicht").arg(operand.text));
        result.type = m_layout.field(result.field).type;
        if (categoryOf(result.type) == Category::Blob)
            bindError(operand, QStringLiteral("nach dem Memofeld „%1“ kann nicht gefiltert werden")
                                   .arg(operand.text));
        return result;
    }

    void bindTruth(const Operand& operand, BoundNode& bound) const
    {
        if (operand.kind == Operand::Kind::Boolean) {
            bound.compareKind = CompareKind::Logical;
            bound.left.boolean = operand.boolean;
            bound.right.boolean = true;
            return;
        }
        BoundOperand field = fieldOperand(operand);
        if (field.type != FieldType::Logical)
            bindError(operand, QStringLiteral("„%1“ ist kein logisches Feld; ein Vergleich fehlt")
                                   .arg(operand.text));
        bound.compareKind = CompareKind::Logical;
        bound.left = std::move(field);
        bound.right.boolean = true;
    }

    void bindCompare(const FilterNode& node, BoundNode& bound) const
    {
        const Operand* left = &node.left;
        const Operand* right = &node.right;
        CompareOp op = node.op;
        // The field goes left, so that only the right side can be a pattern.
        if (left->kind != Operand::Kind::Field && right->kind == Operand::Kind::Field) {
            std::swap(left, right);
            op = mirrored(op);
        }
        bound.op = op;

        if (left->kind == Operand::Kind::Field) {
            bound.left = fieldOperand(*left);
            const Category category = categoryOf(bound.left.type);
            if (right->kind == Operand::Kind::Field) {
                bound.right = fieldOperand(*right);
                if (categoryOf(bound.right.type) != category)
                    bindError(*right, QStringLiteral("die Felder „%1“ und „%2“ haben verschiedene Typen")
                                          .arg(left->text, right->text));
                bound.compareKind = kindOf(category);
                return;
            }
            bound.compareKind = literalAgainst(category, *left, *right, bound.right);
            return;
        }
        // Two literals: compare them as the right one asks.
        bound.left = literal(*left);
        bound.right = literal(*right);
        if (left->kind == Operand::Kind::Boolean || right->kind == Operand::Kind::Boolean) {
            if (left->kind != right->kind)
                bindError(*right, QStringLiteral("TRUE und FALSE lassen sich nur mit logischen Werten vergleichen"));
            bound.compareKind = CompareKind::Logical;
        } else if (left->kind == Operand::Kind::Number || right->kind == Operand::Kind::Number) {
            const auto l = numberOf(*left), r = numberOf(*right);
            if (!l || !r)
                bindError(left->kind == Operand::Kind::Number ? *right : *left,
                          QStringLiteral("Zahl erwartet"));
            bound.left.number = *l;
            bound.right.number = *r;
            bound.compareKind = CompareKind::Number;
        } else {
            bound.compareKind = CompareKind::Text;
        }
    }

    static CompareKind kindOf(Category category)
    {
        switch (category) {
        case Category::Number: return CompareKind::Number;
        case Category::Date: return CompareKind::Date;
        case Category::Logical: return CompareKind::Logical;
        default: return CompareKind::Text;
        }
    }

    static std::optional<double> numberOf(const Operand& operand)
    {
        return operand.kind == Operand::Kind::Number ? std::optional<double>(operand.number)
                                                     : parseNumber(operand.text);
    }

    static BoundOperand literal(const Operand& operand)
    {
        BoundOperand result;
        result.text = operand.text.toStdU16String();
        result.star = operand.mode == LiteralMode::Typed && operand.kind == Operand::Kind::String
            && result.text.size() > 0 && result.text.back() == u'*';
        result.forcePrefix = operand.mode == LiteralMode::Prefix;
        result.number = operand.number;
        result.boolean = operand.boolean;
        return result;
    }

    // How a literal compares with a field of the given category.
    static CompareKind literalAgainst(Category category, const Operand& field, const Operand& value,
                                      BoundOperand& out)
    {
        out = literal(value);
        const bool blankString = value.kind == Operand::Kind::String && value.text.trimmed().isEmpty();
        if (value.kind == Operand::Kind::Boolean && category != Category::Logical)
            bindError(value, QStringLiteral("„%1“ ist kein logisches Feld").arg(field.text));
        switch (category) {
        case Category::Text:
            // A number against a text field compares numerically with the
            // text's number, so that "MOLMASSE>100" means what it says.
            return value.kind == Operand::Kind::Number ? CompareKind::Number : CompareKind::Text;
        case Category::Number:
            if (value.kind == Operand::Kind::Number)
                return CompareKind::Number;
            if (const auto number = parseNumber(value.text)) {
                out.number = *number;
                return CompareKind::Number;
            }
            return CompareKind::Text; // blanks and patterns such as '12*'
        case Category::Date:
            if (value.kind == Operand::Kind::Number)
                bindError(value, QStringLiteral("das Datumsfeld „%1“ lässt sich nicht mit einer Zahl vergleichen; "
                                                "Datum als 'TT.MM.JJJJ' angeben")
                                     .arg(field.text));
            if (blankString)
                return CompareKind::Text;
            if (const auto date = parseDate(value.text)) {
                out.julianDay = date->toJulianDay();
                return CompareKind::Date;
            }
            bindError(value, QStringLiteral("„%1“ ist kein Datum der Form TT.MM.JJJJ").arg(value.text));
        case Category::Logical:
            if (value.kind == Operand::Kind::Boolean)
                return CompareKind::Logical;
            if (blankString)
                return CompareKind::Text;
            if (value.kind == Operand::Kind::String) {
                if (const auto truth = parseLogical(value.text)) {
                    out.boolean = *truth;
                    return CompareKind::Logical;
                }
            }
            bindError(value, QStringLiteral("das logische Feld „%1“ lässt sich nur mit TRUE, FALSE, 'T' oder 'F' "
                                            "vergleichen")
                                 .arg(field.text));
        case Category::Blob: break; // refused when the field was bound
        }
        return CompareKind::Text;
    }

    const TableLayout& m_layout;
};

// ---------------------------------------------------------------- matching

// Field text lives on the stack: a dBASE field is at most 255 bytes wide.
struct TextBuffer {
    char16_t data[256];
    size_t size = 0;
};

bool isPadding(char c) { return c == ' ' || c == '\0'; }

std::string_view trimmed(std::string_view raw, bool leading)
{
    while (!raw.empty() && isPadding(raw.back()))
        raw.remove_suffix(1);
    while (leading && !raw.empty() && isPadding(raw.front()))
        raw.remove_prefix(1);
    return raw;
}

// Numbers, dates and logicals lose their leading blanks too.
void decodeInto(const RecordView& record, int field, TextBuffer& buffer)
{
    const bool leading = record.layout().field(field).type != FieldType::Character;
    const std::string_view raw = trimmed(record.raw(field), leading);
    const CodePage& codePage = record.codePage();
    buffer.size = std::min(raw.size(), std::size(buffer.data));
    for (size_t i = 0; i < buffer.size; ++i)
        buffer.data[i] = codePage.toUnicode(static_cast<unsigned char>(raw[i]));
}

int compareUnits(std::u16string_view a, std::u16string_view b, bool caseInsensitive)
{
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const char16_t x = caseInsensitive ? foldCase(a[i]) : a[i];
        const char16_t y = caseInsensitive ? foldCase(b[i]) : b[i];
        if (x != y)
            return x < y ? -1 : 1;
    }
    return threeWay(a.size(), b.size());
}

bool matchText(const BoundNode& node, const RecordView& record, const FilterOptions& options)
{
    TextBuffer leftBuffer, rightBuffer;
    std::u16string_view left, right;
    if (node.left.field >= 0) {
        decodeInto(record, node.left.field, leftBuffer);
        left = {leftBuffer.data, leftBuffer.size};
    } else {
        left = withoutTrailingBlanks(node.left.text);
    }
    bool prefix = false;
    if (node.right.field >= 0) {
        decodeInto(record, node.right.field, rightBuffer);
        right = {rightBuffer.data, rightBuffer.size};
    } else {
        right = node.right.text;
        if (node.right.forcePrefix) {
            prefix = true;
        } else if (node.right.star && !options.noPartialCompare) {
            prefix = true;
            right.remove_suffix(1);
        } else {
            // Stored values lose their trailing blanks; a typed one does too.
            right = withoutTrailingBlanks(right);
        }
    }
    if (prefix)
        left = left.substr(0, right.size());
    return holds(node.op, compareUnits(left, right, options.caseInsensitive));
}

std::optional<double> numberOf(const BoundOperand& operand, const RecordView& record)
{
    if (operand.field < 0)
        return operand.number;
    if (operand.type == FieldType::Character)
        return parseNumber(record.raw(operand.field));
    return record.number(operand.field);
}

std::optional<qint64> dayOf(const BoundOperand& operand, const RecordView& record)
{
    if (operand.field < 0)
        return operand.julianDay;
    const auto date = record.date(operand.field);
    return date ? std::optional<qint64>(date->toJulianDay()) : std::nullopt;
}

bool truthOf(const BoundOperand& operand, const RecordView& record)
{
    return operand.field < 0 ? operand.boolean : record.logical(operand.field);
}

class Evaluator {
public:
    Evaluator(const std::vector<BoundNode>& nodes, const RecordView& record, const FilterOptions& options)
        : m_nodes(nodes), m_record(record), m_options(options)
    {
    }

    bool evaluate(int index) const
    {
        const BoundNode& node = m_nodes[static_cast<size_t>(index)];
        switch (node.kind) {
        case FilterNode::Kind::And:
            return std::all_of(node.children.begin(), node.children.end(),
                               [this](int child) { return evaluate(child); });
        case FilterNode::Kind::Or:
            if (node.keyedTerms)
                return anyKeyedTerm(*node.keyedTerms);
            return std::any_of(node.children.begin(), node.children.end(),
                               [this](int child) { return evaluate(child); });
        case FilterNode::Kind::Not:
            return !evaluate(node.children.front());
        case FilterNode::Kind::Truth:
            return truthOf(node.left, m_record);
        case FilterNode::Kind::Compare:
            return compare(node);
        }
        return false;
    }

private:
    bool anyKeyedTerm(const KeyedTerms& keyed) const
    {
        KeyHash hash;
        for (int field : keyed.fields) {
            TextBuffer buffer;
            decodeInto(m_record, field, buffer);
            hash.add({buffer.data, buffer.size}, m_options.caseInsensitive);
        }
        const auto& terms = m_options.caseInsensitive ? keyed.caseInsensitive : keyed.caseSensitive;
        const auto [first, last] = terms.equal_range(hash.value);
        return std::any_of(first, last, [this](const auto& entry) { return evaluate(entry.second); });
    }

    // A blank number or date has no value; every comparison with it fails
    // (and NOT of it passes), as with NULL in the database engine.
    bool compare(const BoundNode& node) const
    {
        switch (node.compareKind) {
        case CompareKind::Text:
            return matchText(node, m_record, m_options);
        case CompareKind::Number: {
            const auto a = numberOf(node.left, m_record), b = numberOf(node.right, m_record);
            return a && b && holds(node.op, threeWay(*a, *b));
        }
        case CompareKind::Date: {
            const auto a = dayOf(node.left, m_record), b = dayOf(node.right, m_record);
            return a && b && holds(node.op, threeWay(*a, *b));
        }
        case CompareKind::Logical: {
            const bool a = truthOf(node.left, m_record), b = truthOf(node.right, m_record);
            return holds(node.op, threeWay(int(a), int(b)));
        }
        }
        return false;
    }

    const std::vector<BoundNode>& m_nodes;
    const RecordView& m_record;
    const FilterOptions& m_options;
};

int precedence(const NodePtr& root)
{
    if (!root)
        return 3;
    switch (root->kind) {
    case FilterNode::Kind::Or: return 1;
    case FilterNode::Kind::And: return 2;
    default: return 3;
    }
}

QString rendered(const Filter& filter, const NodePtr& root, int minimum)
{
    return precedence(root) < minimum ? QLatin1Char('(') + filter.text() + QLatin1Char(')') : filter.text();
}

Operand fieldOperand(const std::string& field)
{
    Operand operand;
    operand.kind = Operand::Kind::Field;
    operand.text = QString::fromStdString(field);
    return operand;
}

Operand stringOperand(const QString& value, LiteralMode mode)
{
    Operand operand;
    operand.kind = Operand::Kind::String;
    operand.text = value;
    operand.mode = mode;
    return operand;
}

} // namespace

// ---------------------------------------------------------------- Filter

Filter::Filter() = default;

Filter Filter::parse(const QString& text)
{
    Filter filter;
    filter.m_text = text;
    if (!text.trimmed().isEmpty())
        filter.m_root = Parser(text).parseAll();
    return filter;
}

Filter Filter::equals(const std::string& field, const QString& value)
{
    Filter filter;
    filter.m_root = makeCompare(fieldOperand(field), CompareOp::Equal, stringOperand(value, LiteralMode::Exact));
    filter.m_text = QString::fromStdString(field) + QLatin1Char('=') + quoted(value);
    return filter;
}

Filter Filter::startsWith(const std::string& field, const QString& prefix)
{
    Filter filter;
    filter.m_root = makeCompare(fieldOperand(field), CompareOp::Equal, stringOperand(prefix, LiteralMode::Prefix));
    filter.m_text = QString::fromStdString(field) + QLatin1Char('=') + quoted(prefix + QLatin1Char('*'));
    return filter;
}

Filter Filter::greaterThan(const std::string& field, double value)
{
    Operand number;
    number.kind = Operand::Kind::Number;
    number.number = value;
    number.text = numberText(value);
    Filter filter;
    filter.m_text = QString::fromStdString(field) + QLatin1Char('>') + number.text;
    filter.m_root = makeCompare(fieldOperand(field), CompareOp::Greater, std::move(number));
    return filter;
}

namespace {

} // namespace

Filter Filter::combined(const std::vector<Filter>& parts, bool any)
{
    const FilterNode::Kind kind = any ? FilterNode::Kind::Or : FilterNode::Kind::And;
    std::vector<NodePtr> children;
    QStringList texts;
    const Filter* single = nullptr;
    for (const Filter& part : parts) {
        if (part.isEmpty()) {
            if (any)
                return Filter(); // every record passes either way
            continue;
        }
        if (part.m_root->kind == kind)
            children.insert(children.end(), part.m_root->children.begin(), part.m_root->children.end());
        else
            children.push_back(part.m_root);
        texts << rendered(part, part.m_root, any ? 1 : 2);
        single = &part;
    }
    if (texts.size() <= 1)
        return single ? *single : (any ? !Filter() : Filter());
    Filter filter;
    filter.m_root = makeJunction(kind, std::move(children));
    if (filter.m_root->depth > maxDepth)
        throw DbaseError("Filterausdruck zu tief verschachtelt");
    filter.m_text = texts.join(any ? QLatin1String(" OR ") : QLatin1String(" AND "));
    return filter;
}

Filter Filter::anyOf(const std::vector<Filter>& alternatives)
{
    return combined(alternatives, true);
}

Filter Filter::operator&&(const Filter& other) const
{
    return combined({*this, other}, false);
}

Filter Filter::operator||(const Filter& other) const
{
    return combined({*this, other}, true);
}

Filter Filter::operator!() const
{
    Filter filter;
    if (isEmpty()) {
        Operand never;
        never.kind = Operand::Kind::Boolean;
        never.boolean = false;
        filter.m_root = makeTruth(never);
        filter.m_text = QStringLiteral("FALSE");
        return filter;
    }
    if (m_root->depth + 1 > maxDepth)
        throw DbaseError("Filterausdruck zu tief verschachtelt");
    filter.m_root = makeNot(m_root);
    filter.m_text = QLatin1String("NOT ") + rendered(*this, m_root, 3);
    return filter;
}

bool Filter::isEmpty() const
{
    return !m_root;
}

QString Filter::text() const
{
    return m_text;
}

// ---------------------------------------------------------------- Bound

struct Filter::Bound::Impl {
    std::vector<BoundNode> nodes; // children before parents; the root is last
};

Filter::Bound::Bound() : d(std::make_unique<Impl>()) {}
Filter::Bound::~Bound() = default;
Filter::Bound::Bound(Bound&&) noexcept = default;
Filter::Bound& Filter::Bound::operator=(Bound&&) noexcept = default;

Filter::Bound Filter::bind(const TableLayout& layout) const
{
    Bound bound;
    if (m_root)
        Binder(layout).bind(*m_root, bound.d->nodes);
    return bound;
}

bool Filter::Bound::matches(const RecordView& record, const FilterOptions& options) const
{
    if (d->nodes.empty())
        return true;
    return Evaluator(d->nodes, record, options).evaluate(static_cast<int>(d->nodes.size()) - 1);
}

std::optional<QString> Filter::Bound::requiredPrefix(int field, const FilterOptions& options) const
{
    if (d->nodes.empty() || options.caseInsensitive)
        return std::nullopt;
    // The comparison as matchText() makes it: a stored text loses its
    // trailing blanks and is then equal to the value or starts with it.
    // Asked at every step of a walk, so it allocates nothing until it finds.
    const auto search = [&](const auto& self, const BoundNode& node) -> std::optional<QString> {
        if (node.kind == FilterNode::Kind::And) {
            for (int child : node.children)
                if (auto prefix = self(self, d->nodes[static_cast<size_t>(child)]))
                    return prefix;
            return std::nullopt;
        }
        if (node.kind != FilterNode::Kind::Compare || node.compareKind != CompareKind::Text
            || node.op != CompareOp::Equal || node.left.field != field || node.left.type != FieldType::Character
            || node.right.field >= 0)
            return std::nullopt;
        std::u16string_view value = node.right.text;
        if (node.right.star && !options.noPartialCompare && !node.right.forcePrefix)
            value.remove_suffix(1);
        else if (!node.right.forcePrefix)
            value = withoutTrailingBlanks(value);
        return QString::fromUtf16(value.data(), static_cast<qsizetype>(value.size()));
    };
    return search(search, d->nodes.back());
}

char16_t foldCase(char16_t c)
{
    if (c < 0x80)
        return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c;
    return static_cast<char16_t>(QChar::toCaseFolded(static_cast<char32_t>(c)));
}

} // namespace dbase
