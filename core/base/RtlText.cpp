#include "core/base/RtlText.h"

namespace qm {

QString RtlTrim(const QString& s) {
    qsizetype b = 0, e = s.size();
    while (b < e && s[b].unicode() <= 0x20) ++b;
    while (e > b && s[e - 1].unicode() <= 0x20) --e;
    return (b == 0 && e == s.size()) ? s : s.mid(b, e - b);  // nothing to cut: the text shared, not copied
}

QString RtlRemoveBlanks(const QString& s) {
    if (!s.contains(QLatin1Char(' '))) return s;  // most names: the text shared, not copied
    QString out = s;
    out.remove(QLatin1Char(' '));
    return out;
}

std::optional<int> RtlStrToInt(const QString& s) {
    qsizetype i = 0;
    const qsizetype n = s.size();
    while (i < n && s[i] == QLatin1Char(' ')) ++i;
    bool neg = false;
    if (i < n && (s[i] == QLatin1Char('+') || s[i] == QLatin1Char('-'))) {
        neg = s[i] == QLatin1Char('-');
        ++i;
    }
    if (i == n) return std::nullopt;
    long long v = 0;
    for (; i < n; ++i) {
        const char16_t c = s[i].unicode();
        if (c < u'0' || c > u'9') return std::nullopt;
        v = v * 10 + (c - u'0');
        if (v > 2147483648LL) return std::nullopt;
    }
    if (neg) v = -v;
    if (v > 2147483647LL || v < -2147483648LL) return std::nullopt;
    return int(v);
}

}  // namespace qm
