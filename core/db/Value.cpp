#include "core/db/Db.h"

#include "core/base/TextCheck.h"
#include "core/db/Raw.h"

#include <sqlite3.h>
#include <QByteArrayView>
#include <QStringEncoder>

#include <algorithm>
#include <charconv>
#include <cmath>

namespace qm::db {

Value ColumnValue(sqlite3_stmt* st, int i) {
    switch (sqlite3_column_type(st, i)) {
    case SQLITE_INTEGER: return Value(static_cast<long long>(sqlite3_column_int64(st, i)));
    case SQLITE_FLOAT: return Value(sqlite3_column_double(st, i));
    case SQLITE_NULL: return Value();
    default:
        return Value(
            QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, i)), sqlite3_column_bytes(st, i)));
    }
}

std::string_view AsRead(std::string_view stored, std::string& spare) {
    if (QByteArrayView(stored.data(), qsizetype(stored.size())).isValidUtf8() && !stored.starts_with("\xEF\xBB\xBF"))
        return stored;
    spare = QString::fromUtf8(stored.data(), qsizetype(stored.size())).toStdString();
    return spare;
}

std::string_view TrimBlankBytes(std::string_view s) {
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= 0x20) s.remove_prefix(1);
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= 0x20) s.remove_suffix(1);
    return s;
}

std::string EngineRealText(double v) {
    char* s = sqlite3_mprintf("%!.15g", v);
    std::string out = s ? s : "";
    sqlite3_free(s);
    return out;
}

bool CompiledWith(const char* option) { return sqlite3_compileoption_used(option) != 0; }

int BindValue(sqlite3_stmt* st, int index, const Value& v) {
    switch (v.kind()) {
    case Value::Kind::Null: return sqlite3_bind_null(st, index);
    case Value::Kind::Integer: return sqlite3_bind_int64(st, index, v.rawInteger());
    case Value::Kind::Real: return sqlite3_bind_double(st, index, v.rawReal());
    case Value::Kind::Text: {
        // A lone surrogate half has no UTF-8 form and would be stored as "?" without a word.
        if (HasLoneSurrogate(v.rawText())) throw LoneSurrogateError(VisibleText(v.rawText()));
        const QByteArray u = v.rawText().toUtf8();
        return sqlite3_bind_text(st, index, u.constData(), int(u.size()), SQLITE_TRANSIENT);
    }
    }
    return SQLITE_OK;
}

QString FormatReal(double v) {
    if (std::isnan(v) || std::isinf(v)) return QString::number(v);
    if (v == std::floor(v) && std::fabs(v) < 1e15) return QString::number(static_cast<long long>(v));
    char buf[64];
    const double a = std::fabs(v);
    // Fixed notation for everyday magnitudes, shortest form that reads back to the same double.
    auto fmt = (a >= 1e-5 && a < 1e15) ? std::chars_format::fixed : std::chars_format::general;
    auto r = std::to_chars(buf, buf + sizeof buf, v, fmt);
    return QString::fromLatin1(buf, int(r.ptr - buf));
}

QString Value::AsString() const {
    switch (kind_) {
    case Kind::Null: return {};
    case Kind::Integer: return QString::number(int_);
    case Kind::Real: return FormatReal(real_);
    case Kind::Text: return text_;
    }
    return {};
}

long long Value::AsInteger() const {
    switch (kind_) {
    case Kind::Null: return 0;
    case Kind::Integer: return int_;
    case Kind::Real: return std::llround(real_);
    case Kind::Text: {
        bool ok = false;
        const QString t = text_.trimmed();
        long long v = t.toLongLong(&ok);
        if (ok) return v;
        double d = t.toDouble(&ok);
        if (ok) return std::llround(d);
        throw Error(QStringLiteral("'%1' is not a valid integer value").arg(text_));
    }
    }
    return 0;
}

double Value::AsFloat() const {
    switch (kind_) {
    case Kind::Null: return 0;
    case Kind::Integer: return double(int_);
    case Kind::Real: return real_;
    case Kind::Text: {
        bool ok = false;
        double d = text_.trimmed().toDouble(&ok);
        if (ok) return d;
        throw Error(QStringLiteral("'%1' is not a valid floating point value").arg(text_));
    }
    }
    return 0;
}

bool Value::operator==(const Value& o) const {
    if (kind_ != o.kind_) return false;
    switch (kind_) {
    case Kind::Null: return true;
    case Kind::Integer: return int_ == o.int_;
    case Kind::Real: return real_ == o.real_;
    case Kind::Text: return text_ == o.text_;
    }
    return false;
}

void ToUtf8(QStringView text, std::string& out) {
    QStringEncoder utf8(QStringEncoder::Utf8, QStringConverter::Flag::Stateless);
    const std::size_t room = std::size_t(utf8.requiredSpace(text.size()));
    char stack[64];
    if (room <= sizeof stack) {
        out.assign(stack, std::size_t(utf8.appendToBuffer(stack, text) - stack));
    } else {
        out.resize(room);
        out.resize(std::size_t(utf8.appendToBuffer(out.data(), text) - out.data()));
    }
}

Utf8Text::Utf8Text(QStringView text) {
    // Staff numbers are ASCII, whose UTF-8 is the characters themselves: no encoder for them.
    if (std::all_of(text.begin(), text.end(), [](QChar ch) { return ch.unicode() < 0x80; })) {
        bytes_.resize(std::size_t(text.size()));
        std::transform(text.begin(), text.end(), bytes_.begin(), [](QChar ch) { return char(ch.unicode()); });
        return;
    }
    if (HasLoneSurrogate(text)) {
        valid_ = false;
        bytes_ = VisibleText(text).toStdString();
    } else {
        ToUtf8(text, bytes_);
    }
}

}  // namespace qm::db
