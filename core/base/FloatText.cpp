#include "core/base/FloatText.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace qm {

QString FloatToStrGeneral(double v) {
    // The shortest digits that read back as v. When they are 15 or fewer, they are also v
    // rounded to 15 significant digits (v lies within half a unit of their last place, which is
    // coarser than the double's own), so the general format writes them, with the point where
    // the exponent puts it while the exponent lies in -4..14; outside that it writes an exponent.
    char buf[32];
    const auto shortest = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific);
    if (v == 0 || !std::isfinite(v) || shortest.ec != std::errc()) return QString::number(v, 'g', 15);
    const char* p = buf;
    const char* const end = shortest.ptr;
    const bool negative = *p == '-';
    if (negative) ++p;
    char digits[24];
    int n = 0;
    for (; p < end && *p != 'e'; ++p)
        if (*p != '.') digits[n++] = *p;
    int exponent = 0;
    if (p < end) {
        const bool down = p + 1 < end && p[1] == '-';
        for (const char* q = p + 2; q < end; ++q) exponent = exponent * 10 + (*q - '0');
        if (down) exponent = -exponent;
    }
    if (n > 15 || exponent < -4 || exponent > 14) return QString::number(v, 'g', 15);
    const int point = exponent + 1;  // digits before the decimal point
    char16_t out[40];
    int k = 0;
    if (negative) out[k++] = u'-';
    if (point <= 0) {
        out[k++] = u'0';
        out[k++] = u'.';
        for (int i = point; i < 0; ++i) out[k++] = u'0';
        for (int i = 0; i < n; ++i) out[k++] = char16_t(digits[i]);
    } else {
        for (int i = 0; i < std::max(n, point); ++i) {
            if (i == point) out[k++] = u'.';
            out[k++] = i < n ? char16_t(digits[i]) : u'0';
        }
    }
    return QString(reinterpret_cast<const QChar*>(out), k);
}

}  // namespace qm
