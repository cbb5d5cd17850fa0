#include "core/files/Gbk.h"

#include "core/base/TextCheck.h"

#include <iconv.h>
#include <cerrno>
#include <stdexcept>

namespace qm::gbk {
namespace {

iconv_t Handle(void* p) { return static_cast<iconv_t>(p); }

bool IsAscii(QStringView s) {
    for (QChar c : s)
        if (c.unicode() >= 0x80) return false;
    return true;
}

}  // namespace

Encoder::Encoder() : cd_(iconv_open("GBK", "UTF-8")) {
    if (cd_ == reinterpret_cast<void*>(iconv_t(-1))) throw std::runtime_error("iconv: GBK is not available");
}

Encoder::~Encoder() { iconv_close(Handle(cd_)); }

bool Encoder::Encode(QStringView text, std::string& out) {
    if (IsAscii(text)) {  // most staff numbers and dates: no conversion needed
        for (QChar c : text) out.push_back(char(c.unicode()));
        return true;
    }
    // A lone surrogate half would become "?" on its way to UTF-8: it has no GBK form.
    for (qsizetype i = 0; i < text.size(); ++i)
        if (IsLoneSurrogateAt(text, i)) return false;
    const QByteArray utf8 = text.toUtf8();
    const std::size_t start = out.size();
    out.resize(start + std::size_t(utf8.size()) * 2 + 4);  // GBK never needs more than 2 bytes per UTF-8 byte
    char* in = const_cast<char*>(utf8.constData());
    std::size_t inLeft = std::size_t(utf8.size());
    char* dst = out.data() + start;
    std::size_t outLeft = out.size() - start;
    iconv(Handle(cd_), nullptr, nullptr, nullptr, nullptr);  // fresh state per value
    const std::size_t r = iconv(Handle(cd_), &in, &inLeft, &dst, &outLeft);
    if (r == std::size_t(-1) || inLeft != 0) {
        out.resize(start);
        return false;
    }
    out.resize(std::size_t(dst - out.data()));
    return true;
}

QString Decode(std::string_view gbk) {
    iconv_t cd = iconv_open("UTF-8", "GBK");
    if (cd == iconv_t(-1)) return {};
    std::string out;
    out.resize(gbk.size() * 2 + 4);
    char* in = const_cast<char*>(gbk.data());
    std::size_t inLeft = gbk.size();
    char* dst = out.data();
    std::size_t outLeft = out.size();
    while (inLeft > 0) {
        if (iconv(cd, &in, &inLeft, &dst, &outLeft) != std::size_t(-1)) break;
        if (errno != EILSEQ && errno != EINVAL) break;
        // Replace the undecodable byte and go on.
        const std::size_t used = std::size_t(dst - out.data());
        out.resize(out.size() + 3);
        dst = out.data() + used;
        outLeft += 3;
        *dst++ = char(0xEF), *dst++ = char(0xBF), *dst++ = char(0xBD);
        outLeft -= 3;
        ++in;
        --inLeft;
    }
    iconv_close(cd);
    out.resize(std::size_t(dst - out.data()));
    return QString::fromUtf8(out.data(), qsizetype(out.size()));
}

}  // namespace qm::gbk
