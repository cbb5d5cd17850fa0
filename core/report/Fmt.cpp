#include "core/report/Fmt.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <stdexcept>

namespace qm::report {

QString FmtQuotient(Money::Units n, Money::Units d, int decimals) {
    if (d == 0) throw std::invalid_argument("a quotient over zero");
    if (d < 0) {
        n = -n;
        d = -d;
    }
    static const int kPow[] = {1, 10, 100, 1000, 10000};
    decimals = std::clamp(decimals, 0, 4);
    const Money::Units q = DivideRounded(n * kPow[decimals], d, Half::AwayFromZero);
    if (decimals == 0) return UnitsText(q);
    const Money::Units a = q < 0 ? -q : q;
    const QString digits = UnitsText(a % kPow[decimals]).rightJustified(decimals, QLatin1Char('0'));
    return (q < 0 ? QStringLiteral("-") : QString()) + UnitsText(a / kPow[decimals]) + QLatin1Char('.') + digits;
}

QString ShortFloat(double v) {
    if (std::isnan(v) || std::isinf(v)) return QString::number(v);
    if (v == 0) return QStringLiteral("0");
    // Built in fixed buffers: a list writes this for every cell it shows.
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, std::fabs(v), std::chars_format::scientific, 14);
    // d.dddddddddddddde+XX: 15 significant digits, correctly rounded from the binary value.
    char digits[32];
    int n = 0;
    const char* p = buf;
    digits[n++] = *p++;
    if (*p == '.') ++p;
    while (p < r.ptr && *p != 'e') digits[n++] = *p++;
    int exp10 = 0;
    bool below = false;
    if (p < r.ptr) ++p;  // 'e'
    if (p < r.ptr && (*p == '+' || *p == '-')) below = *p++ == '-';
    while (p < r.ptr) exp10 = exp10 * 10 + (*p++ - '0');
    exp10 = (below ? -exp10 : exp10) + 1;
    while (n > 1 && digits[n - 1] == '0') --n;
    char out[96];
    int o = 0;
    if (v < 0) out[o++] = '-';
    if (exp10 > 15 || exp10 < -4) {
        // Scientific, as the float-to-text conversion writes very large or small values.
        out[o++] = digits[0];
        if (n > 1) {
            out[o++] = '.';
            for (int k = 1; k < n; ++k) out[o++] = digits[k];
        }
        const int e = exp10 - 1;
        out[o++] = 'E';
        out[o++] = e < 0 ? '-' : '+';
        o = int(std::to_chars(out + o, out + sizeof out, std::abs(e)).ptr - out);
    } else if (exp10 <= 0) {
        out[o++] = '0';
        out[o++] = '.';
        for (int k = 0; k < -exp10; ++k) out[o++] = '0';
        for (int k = 0; k < n; ++k) out[o++] = digits[k];
    } else if (n <= exp10) {
        for (int k = 0; k < n; ++k) out[o++] = digits[k];
        for (int k = n; k < exp10; ++k) out[o++] = '0';
    } else {
        for (int k = 0; k < exp10; ++k) out[o++] = digits[k];
        out[o++] = '.';
        for (int k = exp10; k < n; ++k) out[o++] = digits[k];
    }
    return QString::fromLatin1(out, o);
}

QString DateText(const QDate& d) { return d.toString(QStringLiteral("yyyy-MM-dd")); }

long long CellInt(const QString& text) {
    const QString t = text.trimmed();
    if (t.isEmpty()) return 0;
    bool ok = false;
    const long long v = t.toLongLong(&ok);
    if (!ok) throw FormatError(QStringLiteral("“%1”不是整数").arg(text));
    return v;
}

double CellNumber(const QString& text) {
    const QString t = text.trimmed();
    if (t.isEmpty()) return 0;
    bool ok = false;
    const double v = t.toDouble(&ok);
    if (!ok || !std::isfinite(v)) throw FormatError(QStringLiteral("“%1”不是数字").arg(text));
    return v;
}

long long HalfEven(double v) {
    // nearbyint follows the current rounding mode, which the program never changes from
    // round-to-nearest-even.
    const double r = std::nearbyint(v);
    // Only a value a whole number can hold is cast; the reports refuse larger sums before this.
    if (!(r >= -9223372036854775808.0 && r < 9223372036854775808.0))
        throw FormatError(QStringLiteral("数值 %1 超出整数的范围").arg(ShortFloat(v)));
    return static_cast<long long>(r);
}

}  // namespace qm::report
