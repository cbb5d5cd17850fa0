#include "core/report/Condition.h"

#include "core/db/Db.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace qm::report::cond {

Datum Datum::Int(long long v) {
    Datum d;
    d.kind = Kind::Integer;
    d.i = v;
    return d;
}

Datum Datum::RealOf(double v) {
    Datum d;
    d.kind = Kind::Real;
    d.r = v;
    return d;
}

Datum Datum::TextOf(std::string v) {
    Datum d;
    d.kind = Kind::Text;
    d.bytes = std::move(v);
    return d;
}

Datum Datum::BlobOf(std::string v) {
    Datum d;
    d.kind = Kind::Blob;
    d.bytes = std::move(v);
    return d;
}

namespace {

int Rank(Datum::Kind k) {
    switch (k) {
    case Datum::Kind::Null: return 0;
    case Datum::Kind::Integer:
    case Datum::Kind::Real: return 1;
    case Datum::Kind::Text: return 2;
    case Datum::Kind::Blob: return 3;
    }
    return 0;
}

template <class T>
int Sign(T a, T b) {
    return a < b ? -1 : (b < a ? 1 : 0);
}

// A whole number against a real, exactly: the long double holds every 64-bit whole number.
int IntReal(long long i, double r) {
    const long double x = static_cast<long double>(i);
    const long double y = static_cast<long double>(r);
    return x < y ? -1 : (x > y ? 1 : 0);
}

}  // namespace

int Compare(const Datum& a, const Datum& b) {
    const int ra = Rank(a.kind), rb = Rank(b.kind);
    if (ra != rb) return ra < rb ? -1 : 1;
    if (ra == 1) {
        if (a.kind == Datum::Kind::Integer && b.kind == Datum::Kind::Integer) return Sign(a.i, b.i);
        if (a.kind == Datum::Kind::Real && b.kind == Datum::Kind::Real) return Sign(a.r, b.r);
        if (a.kind == Datum::Kind::Integer) return IntReal(a.i, b.r);
        return -IntReal(b.i, a.r);
    }
    if (ra == 0) return 0;
    const size_t n = std::min(a.bytes.size(), b.bytes.size());
    const int c = n ? std::memcmp(a.bytes.data(), b.bytes.data(), n) : 0;
    if (c != 0) return c < 0 ? -1 : 1;
    return Sign(a.bytes.size(), b.bytes.size());
}

std::string TextOf(const Datum& v) {
    switch (v.kind) {
    case Datum::Kind::Null: return {};
    case Datum::Kind::Integer: return std::to_string(v.i);
    case Datum::Kind::Real: return db::EngineRealText(v.r);
    case Datum::Kind::Text:
    case Datum::Kind::Blob: return v.bytes;
    }
    return {};
}

namespace {

// One character of UTF-8 text; a stray byte stands for itself.
std::uint32_t ReadChar(const unsigned char*& p, const unsigned char* end) {
    std::uint32_t c = *p++;
    if (c < 0xC0) return c;
    int more = c >= 0xF0 ? 3 : (c >= 0xE0 ? 2 : 1);
    c &= 0x3F >> more;
    while (more-- > 0 && p < end && (*p & 0xC0) == 0x80) c = (c << 6) | (*p++ & 0x3F);
    return c;
}

bool SameChar(std::uint32_t a, std::uint32_t b) {
    if (a == b) return true;
    if (a >= 0x80 || b >= 0x80) return false;
    auto lower = [](std::uint32_t c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; };
    return lower(a) == lower(b);
}

bool Match(const unsigned char* p, const unsigned char* pe, const unsigned char* s, const unsigned char* se) {
    while (p < pe) {
        const std::uint32_t c = ReadChar(p, pe);
        if (c == '%') {
            // Runs of '%' and '_' after a '%': each '_' still takes one character.
            while (p < pe && (*p == '%' || *p == '_')) {
                if (*p++ == '_') {
                    if (s >= se) return false;
                    ReadChar(s, se);
                }
            }
            if (p == pe) return true;
            for (;;) {
                if (Match(p, pe, s, se)) return true;
                if (s >= se) return false;
                ReadChar(s, se);
            }
        }
        if (s >= se) return false;
        const std::uint32_t t = ReadChar(s, se);
        if (c != '_' && !SameChar(c, t)) return false;
    }
    return s == se;
}

// like reads both operands as texts, which end at a zero byte.
std::string_view UpToZero(const std::string& s) {
    const size_t z = s.find('\0');
    return std::string_view(s).substr(0, z);
}

}  // namespace

bool LikeSkipsBlobs() {
    static const bool skips = db::CompiledWith("LIKE_DOESNT_MATCH_BLOBS");
    return skips;
}

bool Like(const std::string& pattern, const std::string& text) {
    const std::string_view p = UpToZero(pattern), t = UpToZero(text);
    const auto* pb = reinterpret_cast<const unsigned char*>(p.data());
    const auto* tb = reinterpret_cast<const unsigned char*>(t.data());
    return Match(pb, pb + p.size(), tb, tb + t.size());
}

Affinity AffinityOf(const QString& declaredType) {
    const QString t = declaredType.toUpper();
    if (t.contains(QLatin1String("INT"))) return Affinity::Integer;
    if (t.contains(QLatin1String("CHAR")) || t.contains(QLatin1String("CLOB")) || t.contains(QLatin1String("TEXT")))
        return Affinity::Text;
    if (t.isEmpty() || t.contains(QLatin1String("BLOB"))) return Affinity::Blob;
    if (t.contains(QLatin1String("REAL")) || t.contains(QLatin1String("FLOA")) || t.contains(QLatin1String("DOUB")))
        return Affinity::Real;
    return Affinity::Numeric;
}

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }

// A text that reads whole as a number, as SQLite's numeric affinity converts it; none otherwise.
bool AsNumber(const std::string& text, Datum& out) {
    size_t b = 0, e = text.size();
    while (b < e && IsSpace(text[b])) ++b;
    while (e > b && IsSpace(text[e - 1])) --e;
    if (b == e) return false;
    const std::string t = text.substr(b, e - b);
    size_t k = (t[0] == '+' || t[0] == '-') ? 1 : 0;
    bool digitsOnly = k < t.size();
    for (size_t j = k; j < t.size(); ++j) digitsOnly = digitsOnly && t[j] >= '0' && t[j] <= '9';
    if (digitsOnly) {
        errno = 0;
        char* end = nullptr;
        const long long v = std::strtoll(t.c_str(), &end, 10);
        if (errno == 0 && end == t.c_str() + t.size()) {
            out = Datum::Int(v);
            return true;
        }
    }
    // A real: digits, at most one point, an optional exponent; no hexadecimal, no "inf".
    bool digit = false, point = false, exp = false;
    for (size_t j = k; j < t.size(); ++j) {
        const char c = t[j];
        if (c >= '0' && c <= '9') {
            digit = true;
        } else if (c == '.' && !point && !exp) {
            point = true;
        } else if ((c == 'e' || c == 'E') && digit && !exp && j + 1 < t.size()) {
            exp = true;
            if (t[j + 1] == '+' || t[j + 1] == '-') ++j;
            digit = false;
        } else {
            return false;
        }
    }
    if (!digit) return false;
    out = Datum::RealOf(std::strtod(t.c_str(), nullptr));
    return true;
}

}  // namespace

Datum WithAffinity(const Datum& literal, Affinity a) {
    switch (a) {
    case Affinity::Integer:
    case Affinity::Real:
    case Affinity::Numeric:
        if (literal.kind == Datum::Kind::Text) {
            Datum n;
            if (AsNumber(literal.bytes, n)) return n;
        }
        return literal;
    case Affinity::Text:
        if (literal.IsNumber()) return Datum::TextOf(TextOf(literal));
        return literal;
    case Affinity::Blob: return literal;
    }
    return literal;
}

bool Atom::Test(const Datum& v) const {
    if (!resolved) throw std::logic_error("a late in-list was tested before it was given");
    if (v.IsNull()) return false;
    switch (op) {
    case Op::Eq: return Compare(v, values[0]) == 0;
    case Op::Ne: return Compare(v, values[0]) != 0;
    case Op::Lt: return Compare(v, values[0]) < 0;
    case Op::Le: return Compare(v, values[0]) <= 0;
    case Op::Gt: return Compare(v, values[0]) > 0;
    case Op::Ge: return Compare(v, values[0]) >= 0;
    case Op::In:
        for (const Datum& d : values)
            if (Compare(v, d) == 0) return true;
        return false;
    case Op::Like:
        // A build of SQLite may match no blob with like at all; this one is asked.
        if (v.kind == Datum::Kind::Blob && LikeSkipsBlobs()) return false;
        return Like(pattern, TextOf(v));
    }
    return false;
}

namespace {

std::string KeyOf(const Atom& a) {
    std::string k = std::to_string(a.column) + '|' + std::to_string(int(a.op)) + '|' + a.late.toStdString() + '|' +
                    std::to_string(a.pattern.size()) + ':' + a.pattern;
    for (const Datum& d : a.values) {
        k += '|' + std::to_string(int(d.kind)) + ':';
        if (d.kind == Datum::Kind::Integer) k += std::to_string(d.i);
        if (d.kind == Datum::Kind::Real) k += TextOf(d);
        if (d.kind == Datum::Kind::Text || d.kind == Datum::Kind::Blob)
            k += std::to_string(d.bytes.size()) + ':' + d.bytes;
    }
    return k;
}

}  // namespace

int AtomSet::Add(Atom a) {
    const std::string key = KeyOf(a);
    const auto it = byKey_.find(key);
    if (it != byKey_.end()) return it->second;
    if (int(atoms_.size()) >= kMax) throw std::length_error("more distinct tests than a pass can keep");
    atoms_.push_back(std::move(a));
    byKey_.emplace(key, int(atoms_.size()) - 1);
    return int(atoms_.size()) - 1;
}

void AtomSet::Resolve(const QString& name, const std::vector<Datum>& values) {
    for (Atom& a : atoms_)
        if (a.late == name) {
            a.values = values;
            a.resolved = true;
        }
}

bool AtomSet::HasLate() const {
    return std::any_of(atoms_.begin(), atoms_.end(), [](const Atom& a) { return !a.late.isEmpty(); });
}

// ---------------------------------------------------------------- reading a condition

namespace {

struct Token {
    enum class Kind { Word, Number, Text, Open, Close, Comma, Op, Slot, End };
    Kind kind = Kind::End;
    QString text;
};

[[noreturn]] void FailIn(const QString& s, const QString& why) { throw SyntaxError(why + QStringLiteral("：") + s); }

// Each reader below takes the token that starts at `i` and leaves `i` past it.

Token WordAt(const QString& s, qsizetype& i) {
    const qsizetype b = i;
    while (i < s.size() && (s[i].isLetterOrNumber() || s[i] == u'_')) ++i;
    return {Token::Kind::Word, s.mid(b, i - b)};
}

Token NumberAt(const QString& s, qsizetype& i) {
    const qsizetype b = i++;
    while (i < s.size() && (s[i].isDigit() || s[i] == u'.')) ++i;
    return {Token::Kind::Number, s.mid(b, i - b)};
}

// A quoted text; a doubled quote inside stands for one.
Token QuotedAt(const QString& s, qsizetype& i) {
    QString v;
    for (++i;; ++i) {
        if (i >= s.size()) FailIn(s, QStringLiteral("引号未闭合"));
        if (s[i] != u'\'') {
            v += s[i];
        } else if (i + 1 < s.size() && s[i + 1] == u'\'') {
            v += u'\'';
            ++i;
        } else {
            ++i;
            return {Token::Kind::Text, v};
        }
    }
}

Token SlotAt(const QString& s, qsizetype& i) {
    const qsizetype close = s.indexOf(u'}', i);
    if (close < 0) FailIn(s, QStringLiteral("占位符未闭合"));
    Token t{Token::Kind::Slot, s.mid(i + 1, close - i - 1).trimmed()};
    i = close + 1;
    return t;
}

// A comparison: "==" is "=", and "!" stands only before "=".
Token OpAt(const QString& s, qsizetype& i) {
    const QChar c = s[i++];
    QString op(c);
    if (i < s.size() && (s[i] == u'=' || (c == u'<' && s[i] == u'>'))) op += s[i++];
    if (op == QLatin1String("!")) FailIn(s, QStringLiteral("不认识的运算符"));
    if (op == QLatin1String("==")) op = QStringLiteral("=");
    return {Token::Kind::Op, op};
}

Token TokenAt(const QString& s, qsizetype& i) {
    const QChar c = s[i];
    if (c.isLetter() || c == u'_') return WordAt(s, i);
    if (c.isDigit() || (c == u'-' && i + 1 < s.size() && s[i + 1].isDigit())) return NumberAt(s, i);
    if (c == u'\'') return QuotedAt(s, i);
    if (c == u'{') return SlotAt(s, i);
    if (c == u'=' || c == u'<' || c == u'>' || c == u'!') return OpAt(s, i);
    static const std::pair<QChar, Token::Kind> kSingles[] = {
        {u'(', Token::Kind::Open}, {u')', Token::Kind::Close}, {u',', Token::Kind::Comma}};
    for (const auto& [ch, kind] : kSingles)
        if (c == ch) {
            ++i;
            return {kind, QString(c)};
        }
    FailIn(s, QStringLiteral("不认识的字符“%1”").arg(c));
}

std::vector<Token> Tokens(const QString& s) {
    std::vector<Token> out;
    qsizetype i = 0;
    while (i < s.size()) {
        if (s[i].isSpace())
            ++i;
        else
            out.push_back(TokenAt(s, i));
    }
    return out;
}

bool IsWord(const Token& t, const char* w) {
    return t.kind == Token::Kind::Word && t.text.compare(QLatin1String(w), Qt::CaseInsensitive) == 0;
}

using Terms = std::vector<AtomSet::Bits>;

Terms Always() { return Terms{AtomSet::Bits{}}; }
Terms Never() { return Terms{}; }

class Reader {
public:
    Reader(std::vector<Token> tokens, const QString& text, const ColumnLookup& columns, AtomSet& atoms,
           const Values& values, const std::vector<QString>& late)
        : t_(std::move(tokens)), text_(text), columns_(columns), atoms_(atoms), values_(values), late_(late) {}

    Terms Whole() {
        Terms r = Or();
        if (Peek().kind != Token::Kind::End) Fail(QStringLiteral("多余的内容"));
        return r;
    }

private:
    // An operand: a column (its info), or a literal.
    struct Operand {
        bool isColumn = false;
        ColumnInfo column;
        Datum literal;
    };

    const Token& Peek() const {
        static const Token end;
        return pos_ < t_.size() ? t_[pos_] : end;
    }
    Token Next() { return pos_ < t_.size() ? t_[pos_++] : Token{}; }
    [[noreturn]] void Fail(const QString& why) const { throw SyntaxError(why + QStringLiteral("：") + text_); }
    void Expect(Token::Kind k, const char* what) {
        if (Next().kind != k) Fail(QStringLiteral("缺少") + QLatin1String(what));
    }

    Terms Or() {
        Terms r = And();
        while (IsWord(Peek(), "or")) {
            Next();
            const Terms more = And();
            r.insert(r.end(), more.begin(), more.end());
        }
        return r;
    }

    Terms And() {
        Terms r = Primary();
        while (IsWord(Peek(), "and")) {
            Next();
            const Terms more = Primary();
            Terms product;
            for (const auto& a : r)
                for (const auto& b : more) product.push_back({a[0] | b[0], a[1] | b[1]});
            if (product.size() > 256) Fail(QStringLiteral("条件过于复杂"));
            r = std::move(product);
        }
        return r;
    }

    Terms Primary() {
        if (Peek().kind == Token::Kind::Open) {
            // A parenthesis opens either a nested condition or, after an operand, nothing else.
            Next();
            Terms r = Or();
            Expect(Token::Kind::Close, ")");
            return r;
        }
        return Predicate();
    }

    std::vector<long long> SlotValues(const QString& name) const {
        const auto it = values_.find(name);
        if (it == values_.end()) Fail(QStringLiteral("没有给出 {%1}").arg(name));
        return it->second;
    }

    Operand ReadOperand() {
        const Token t = Next();
        Operand o;
        switch (t.kind) {
        case Token::Kind::Word: {
            o.isColumn = true;
            o.column = columns_(t.text);
            if (o.column.index < 0) Fail(QStringLiteral("没有列 %1").arg(t.text));
            return o;
        }
        case Token::Kind::Number: o.literal = NumberOf(t.text); return o;
        case Token::Kind::Text: o.literal = Datum::TextOf(t.text.toStdString()); return o;
        case Token::Kind::Slot: {
            const std::vector<long long> v = SlotValues(t.text);
            if (v.size() != 1) Fail(QStringLiteral("{%1} 不是一个数").arg(t.text));
            o.literal = Datum::Int(v[0]);
            return o;
        }
        default: Fail(QStringLiteral("缺少操作数"));
        }
    }

    Datum NumberOf(const QString& text) const {
        bool ok = false;
        const long long v = text.toLongLong(&ok);
        if (ok) return Datum::Int(v);
        const double d = text.toDouble(&ok);
        if (!ok) Fail(QStringLiteral("不是数字 %1").arg(text));
        return Datum::RealOf(d);
    }

    Terms AtomTerms(Atom a) {
        AtomSet::Bits b{};
        SetBit(b, atoms_.Add(std::move(a)));
        return Terms{b};
    }

    static Atom::Op OpOf(const QString& op, bool flipped) {
        if (op == QLatin1String("=")) return Atom::Op::Eq;
        if (op == QLatin1String("<>") || op == QLatin1String("!=")) return Atom::Op::Ne;
        if (op == QLatin1String("<")) return flipped ? Atom::Op::Gt : Atom::Op::Lt;
        if (op == QLatin1String("<=")) return flipped ? Atom::Op::Ge : Atom::Op::Le;
        if (op == QLatin1String(">")) return flipped ? Atom::Op::Lt : Atom::Op::Gt;
        return flipped ? Atom::Op::Le : Atom::Op::Ge;
    }

    Terms Predicate() {
        const Operand left = ReadOperand();
        const Token t = Next();
        if (IsWord(t, "in")) {
            if (!left.isColumn) Fail(QStringLiteral("in 的左边须是列"));
            Expect(Token::Kind::Open, "(");
            Atom a;
            a.column = left.column.index;
            a.op = Atom::Op::In;
            while (Peek().kind != Token::Kind::Close) {
                const Token item = Next();
                if (item.kind == Token::Kind::Slot && std::find(late_.begin(), late_.end(), item.text) != late_.end()) {
                    a.late = item.text;
                    a.resolved = false;
                } else if (item.kind == Token::Kind::Slot) {
                    for (long long v : SlotValues(item.text))
                        a.values.push_back(WithAffinity(Datum::Int(v), left.column.affinity));
                } else if (item.kind == Token::Kind::Number) {
                    a.values.push_back(WithAffinity(NumberOf(item.text), left.column.affinity));
                } else if (item.kind == Token::Kind::Text) {
                    a.values.push_back(WithAffinity(Datum::TextOf(item.text.toStdString()), left.column.affinity));
                } else {
                    Fail(QStringLiteral("in 列表中只能有数和文字"));
                }
                if (Peek().kind == Token::Kind::Comma) Next();
            }
            Next();
            if (!a.late.isEmpty() && !a.values.empty()) Fail(QStringLiteral("迟到的列表须单独成列表"));
            return AtomTerms(std::move(a));
        }
        if (IsWord(t, "like")) {
            const Token p = Next();
            if (p.kind != Token::Kind::Text) Fail(QStringLiteral("like 之后须是引号中的文字"));
            if (!left.isColumn) return Like(p.text.toStdString(), TextOf(left.literal)) ? Always() : Never();
            Atom a;
            a.column = left.column.index;
            a.op = Atom::Op::Like;
            a.pattern = p.text.toStdString();
            return AtomTerms(std::move(a));
        }
        if (t.kind != Token::Kind::Op) Fail(QStringLiteral("缺少比较"));
        const Operand right = ReadOperand();
        if (left.isColumn && right.isColumn) Fail(QStringLiteral("不比较两列"));
        if (!left.isColumn && !right.isColumn) {
            Atom constant;
            constant.op = OpOf(t.text, false);
            constant.values = {right.literal};
            return constant.Test(left.literal) ? Always() : Never();
        }
        const Operand& col = left.isColumn ? left : right;
        const Operand& lit = left.isColumn ? right : left;
        Atom a;
        a.column = col.column.index;
        a.op = OpOf(t.text, !left.isColumn);
        a.values = {WithAffinity(lit.literal, col.column.affinity)};
        return AtomTerms(std::move(a));
    }

    std::vector<Token> t_;
    size_t pos_ = 0;
    const QString& text_;
    const ColumnLookup& columns_;
    AtomSet& atoms_;
    const Values& values_;
    const std::vector<QString>& late_;
};

}  // namespace

Condition Parse(const QString& text, const ColumnLookup& columns, AtomSet& atoms, const Values& values,
                const std::vector<QString>& late) {
    std::vector<Token> tokens = Tokens(text);
    if (!tokens.empty() && IsWord(tokens.front(), "where")) tokens.erase(tokens.begin());
    if (!tokens.empty() && IsWord(tokens.back(), "and")) tokens.pop_back();
    if (tokens.empty()) return Condition{Always()};
    Reader r(std::move(tokens), text, columns, atoms, values, late);
    return Condition{r.Whole()};
}

}  // namespace qm::report::cond
