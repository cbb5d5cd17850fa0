#include "core/files/DbfWriter.h"

#include "core/base/SystemError.h"
#include "core/base/TextCheck.h"

#include "core/files/ReplacingFile.h"

#include <QDir>

#include <unistd.h>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <string_view>

namespace qm::dbf {
namespace {

void PutU16(std::string& s, std::size_t at, unsigned v) {
    s[at] = char(v & 0xFF);
    s[at + 1] = char((v >> 8) & 0xFF);
}

void PutU32(std::string& s, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) s[at + std::size_t(i)] = char((v >> (8 * i)) & 0xFF);
}

QString Shown(const db::Value& v) { return v.AsString(); }

}  // namespace

QString VisibleText(const QString& text) { return qm::VisibleText(text); }

namespace {

// The shortest decimal text of a number with exactly `decimals` places, or empty when the
// number holds more places than that (it would be changed by writing it).
std::string Fixed(double x, int decimals) {
    if (x == 0) x = 0;  // no negative zero in a file
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::fixed, decimals);
    if (r.ec != std::errc()) return {};
    std::string s(buf, r.ptr);
    double back = 0;
    auto p = std::from_chars(s.data(), s.data() + s.size(), back);
    if (p.ec != std::errc() || back != x) return {};
    return s;
}

}  // namespace

Writer::Writer(std::vector<FieldDef> fields, QDate date) : fields_(std::move(fields)), date_(date) {
    if (fields_.empty() || fields_.size() > 255) throw Error(QStringLiteral("dBase 文件的字段数必须在 1 到 255 之间"));
    for (const FieldDef& f : fields_) {
        bool ascii = !f.name.isEmpty() && f.name.size() <= 10;
        for (QChar c : f.name) ascii = ascii && c.unicode() > 32 && c.unicode() < 127;
        if (!ascii) throw Error(QStringLiteral("字段名“%1”不能用于 dBase 文件（至多 10 个 ASCII 字符）").arg(f.name));
        if ((f.type != 'C' && f.type != 'N') || f.width < 1 || f.width > 254 || f.decimals < 0 ||
            (f.type == 'N' && f.decimals > 0 && f.decimals > f.width - 2) || (f.type == 'C' && f.decimals != 0))
            throw Error(QStringLiteral("字段 %1 的类型或宽度不能用于 dBase 文件").arg(f.name));
        offsets_.push_back(recordLength_);
        recordLength_ += f.width;
    }
    if (recordLength_ > 32767) throw Error(QStringLiteral("dBase 记录长度超过 32767 字节"));
    if (!date_.isValid()) date_ = QDate::currentDate();
}

void Writer::FormatNumber(const db::Value& v, const FieldDef& f, char* dst) const {
    std::memset(dst, ' ', std::size_t(f.width));
    std::string text;
    switch (v.kind()) {
    case db::Value::Kind::Null: return;
    case db::Value::Kind::Integer: {
        char buf[32];
        auto r = std::to_chars(buf, buf + sizeof buf, v.rawInteger());
        text.assign(buf, r.ptr);
        if (f.decimals > 0) text += '.' + std::string(std::size_t(f.decimals), '0');
        break;
    }
    case db::Value::Kind::Real:
    case db::Value::Kind::Text: {
        double x = 0;
        if (v.kind() == db::Value::Kind::Real) {
            x = v.rawReal();
        } else {
            const QByteArray t = v.rawText().trimmed().toLatin1();
            if (t.isEmpty()) return;  // a blank text is a missing number
            auto r = std::from_chars(t.constData(), t.constData() + t.size(), x);
            if (r.ec != std::errc() || r.ptr != t.constData() + t.size())
                throw Error(QStringLiteral("“%1”不是数字，不能写入数字字段 %2").arg(Shown(v), f.name));
        }
        if (!std::isfinite(x)) throw Error(QStringLiteral("“%1”不是数字，不能写入数字字段 %2").arg(Shown(v), f.name));
        text = Fixed(x, f.decimals);
        if (text.empty())
            throw Error(QStringLiteral("数值“%1”的小数位多于字段 %2 的 %3 位").arg(Shown(v), f.name).arg(f.decimals));
        break;
    }
    }
    if (int(text.size()) > f.width)
        throw Error(QStringLiteral("数值“%1”超出字段 %2 的宽度（%3 位）").arg(Shown(v), f.name).arg(f.width));
    std::memcpy(dst + (std::size_t(f.width) - text.size()), text.data(), text.size());
}

void Writer::FormatText(const db::Value& v, const FieldDef& f, char* dst) {
    std::memset(dst, ' ', std::size_t(f.width));
    if (v.IsNull()) return;
    const QString text = v.kind() == db::Value::Kind::Text ? v.rawText() : v.AsString();
    // A control byte would break the record for every reader of the file; a lone surrogate
    // half would come out as "?".
    if (HasUnsafeChars(text))
        throw Error(QStringLiteral("“%1”含有控制字符（制表符、换行等）或无效的字符，不能写入字段 %2")
                        .arg(VisibleText(text), f.name));
    // Plain ASCII (numbers, dates) is its own GBK: copied as it stands, without a conversion
    // or a look-up.
    bool ascii = true;
    for (QChar ch : text)
        if (ch.unicode() >= 0x80) {
            ascii = false;
            break;
        }
    if (ascii) {
        if (text.size() > f.width)
            throw Error(QStringLiteral("“%1”超出字段 %2 的宽度（%3 字节，一个汉字占两个字节），不能截断")
                            .arg(text, f.name)
                            .arg(f.width));
        for (QChar ch : text) *dst++ = char(ch.unicode());
        return;
    }
    // Code texts repeat on every row ("男", "大学本科"): convert each once.
    const std::string* bytes = nullptr;
    auto hit = cache_.constFind(text);
    if (hit != cache_.constEnd()) {
        bytes = &*hit;
    } else {
        scratch_.clear();
        if (!gbk_.Encode(text, scratch_))
            throw Error(QStringLiteral("“%1”含有 GBK 无法表示的字符，不能写入字段 %2").arg(text, f.name));
        if (cache_.size() < kGbkCacheEntries)
            bytes = &*cache_.insert(text, scratch_);
        else
            bytes = &scratch_;
    }
    // No text is cut: one longer than its field is an error naming it.
    if (bytes->size() > std::size_t(f.width))
        throw Error(QStringLiteral("“%1”超出字段 %2 的宽度（%3 字节，一个汉字占两个字节），不能截断")
                        .arg(text, f.name)
                        .arg(f.width));
    std::memcpy(dst, bytes->data(), bytes->size());
}

void Writer::AddRecord(const db::Params& values) {
    if (values.size() != fields_.size())
        throw Error(
            QStringLiteral("dBase 记录的值个数（%1）与字段数（%2）不符").arg(values.size()).arg(fields_.size()));
    const std::size_t at = body_.size();
    body_.resize(at + std::size_t(recordLength_));
    char* p = body_.data() + at;
    *p++ = ' ';  // not deleted
    try {
        for (std::size_t i = 0; i < fields_.size(); ++i) {
            const FieldDef& f = fields_[i];
            if (f.type == 'N')
                FormatNumber(values[i], f, p);
            else
                FormatText(values[i], f, p);
            p += f.width;
        }
    } catch (...) {
        body_.resize(at);
        throw;
    }
    ++records_;
}

void Writer::StartRecord() {
    body_.append(std::size_t(recordLength_), ' ');
    ++records_;
}

void Writer::Put(std::size_t field, const db::Value& v) {
    const FieldDef& f = fields_[field];
    char* dst = body_.data() + body_.size() - std::size_t(recordLength_) + std::size_t(offsets_[field]);
    try {
        if (f.type == 'N')
            FormatNumber(v, f, dst);
        else
            FormatText(v, f, dst);
    } catch (...) {
        body_.resize(body_.size() - std::size_t(recordLength_));
        --records_;
        throw;
    }
}

void Writer::PutEncoded(std::size_t field, std::string_view bytes) {
    char* dst = body_.data() + body_.size() - std::size_t(recordLength_) + std::size_t(offsets_[field]);
    // An empty text leaves the blanks; its view may carry no pointer at all.
    if (!bytes.empty()) std::memcpy(dst, bytes.data(), std::min(bytes.size(), std::size_t(fields_[field].width)));
}

std::string Writer::Bytes() const {
    std::string out = Header();
    out.reserve(out.size() + body_.size() + 1);
    out += body_;
    out += char(0x1A);
    return out;
}

std::string Writer::Header() const {
    const std::size_t headerLength = 32 + 32 * fields_.size() + 1;
    std::string out(headerLength, '\0');
    out[0] = char(kVersion);
    out[1] = char(std::max(0, date_.year() - 1900) & 0xFF);
    out[2] = char(date_.month());
    out[3] = char(date_.day());
    PutU32(out, 4, std::uint32_t(records_));
    PutU16(out, 8, unsigned(headerLength));
    PutU16(out, 10, unsigned(recordLength_));
    out[29] = char(kLanguageGbk);
    std::size_t at = 32;
    for (const FieldDef& f : fields_) {
        const QByteArray name = f.name.toLatin1();
        std::memcpy(out.data() + at, name.constData(), std::size_t(name.size()));
        out[at + 11] = f.type;
        out[at + 16] = char(f.width);
        out[at + 17] = char(f.decimals);
        at += 32;
    }
    out[at] = char(0x0D);
    return out;
}

namespace {
Error NotWritten(const QString& target, const QString& why) {
    return Error(QStringLiteral("无法写入文件“%1”：%2").arg(QDir::toNativeSeparators(target), why));
}
}  // namespace

void Writer::Save(const QString& target) const {
    try {
        files::ReplacingFile file(target);
        WriteTemp(file);
        file.Commit();
    } catch (const files::ReplaceError& e) {
        throw NotWritten(target, e.Text());
    }
}

void Writer::WriteTemp(const files::ReplacingFile& file) const {
    // The header, the records and the end mark, written from where they are: the records are
    // the bulk of the file and are not copied once more.
    const std::string header = Header();
    static const char kEnd = char(0x1A);
    const std::string_view parts[] = {header, body_, std::string_view(&kEnd, 1)};
    for (const std::string_view part : parts) {
        const char* p = part.data();
        std::size_t left = part.size();
        while (left > 0) {
            const ssize_t n = ::write(file.Descriptor(), p, left);
            if (n < 0) {
                if (errno == EINTR) continue;
                // The file's destructor removes the temporary file.
                throw NotWritten(file.Target(), SystemErrorText(errno));
            }
            p += n;
            left -= std::size_t(n);
        }
    }
}

}  // namespace qm::dbf
