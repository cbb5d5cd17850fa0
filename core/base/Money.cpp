#include "core/base/Money.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <stdexcept>

namespace qm {

namespace {

using Units = Money::Units;

Units Pow10(int k) {
    Units p = 1;
    while (k-- > 0) p *= 10;
    return p;
}

// digits x 10^shift ten-thousandths, a dropped part of a half or more rounding away from zero.
Units Scaled(Units digits, int shift) {
    if (shift >= 0) return digits * Pow10(shift);
    if (shift < -30) return 0;  // far below a ten-thousandth
    const Units p = Pow10(-shift);
    const Units q = digits / p, r = digits % p;
    return 2 * r >= p ? q + 1 : q;
}

// Writes the decimal digits of `v` (not negative) just before `end`; gives the first.
template <typename U>
char* DigitsBefore(char* end, U v) {
    do {
        *--end = char('0' + int(v % 10));
        v /= 10;
    } while (v != 0);
    return end;
}

}  // namespace

std::optional<Money> Money::FromDouble(double v) {
    if (!std::isfinite(v) || !(std::fabs(v) < kHeldLimit)) return std::nullopt;
    // Below 2^33 a double's neighbours lie less than 1e-6 apart: when a count of
    // ten-thousandths reads back as v, its decimal is the one v was written with, to the
    // fourth decimal.
    if (std::fabs(v) < 8e9) {
        const double s = std::nearbyint(v * double(kScale));
        if (s / double(kScale) == v) return Money(Units(static_cast<long long>(s)));
    }
    // The shortest digits that read back as v: d.ddde[+-]x.
    char buf[40];
    const auto r = std::to_chars(buf, buf + sizeof buf, std::fabs(v), std::chars_format::scientific);
    Units digits = 0;
    int count = 0;
    const char* p = buf;
    for (; p < r.ptr && *p != 'e'; ++p)
        if (*p != '.') {
            digits = digits * 10 + (*p - '0');
            ++count;
        }
    int exponent = 0;
    if (p < r.ptr && *++p == '+') ++p;
    std::from_chars(p, r.ptr, exponent);
    const Units u = Scaled(digits, exponent - (count - 1) + 4);
    return Money(v < 0 ? -u : u);
}

std::optional<Money> Money::FromText(const QString& text) {
    qsizetype b = 0, e = text.size();
    while (b < e && text[b].unicode() <= 0x20) ++b;
    while (e > b && text[e - 1].unicode() <= 0x20) --e;
    const bool negative = b < e && text[b] == QLatin1Char('-');
    if (b < e && (text[b] == QLatin1Char('-') || text[b] == QLatin1Char('+'))) ++b;
    Units whole = 0, fraction = 0;
    int digits = 0, decimals = 0;
    bool point = false, roundUp = false;
    for (qsizetype i = b; i < e; ++i) {
        const char16_t c = text[i].unicode();
        if (c == u'.' && !point) {
            point = true;
            continue;
        }
        if (c < u'0' || c > u'9') return std::nullopt;
        ++digits;
        const int d = c - u'0';
        if (!point) {
            whole = whole * 10 + d;
            if (whole >= Units(100000000000000000LL) * 1000) return std::nullopt;  // 1e20: not held
        } else if (decimals < 4) {
            fraction = fraction * 10 + d;
            ++decimals;
        } else if (decimals++ == 4) {
            roundUp = d >= 5;  // the fifth decimal decides, a half going away from zero
        }
    }
    if (digits == 0) return std::nullopt;
    for (int k = std::min(decimals, 4); k < 4; ++k) fraction *= 10;
    const Units u = whole * kScale + fraction + (roundUp ? 1 : 0);
    return Money(negative ? -u : u);
}

std::pair<double, Money> Money::Stored(const Money& m) {
    const double d = m.ToDouble();
    return {d, FromDouble(d).value_or(m)};
}

double Money::ToDouble() const {
    const Units limit = Units(1) << 53;
    if (units_ > -limit && units_ < limit) return double(static_cast<long long>(units_)) / double(kScale);
    return std::strtod(Text().toLatin1().constData(), nullptr);  // correctly rounded from the decimal
}

QString Money::Text() const {
    // Written from the last digit backwards into one buffer: a save formats a total per row.
    // Amounts that fit in 64 bits (nearly all) are divided as such, far cheaper than in 128.
    const Units a = units_ < 0 ? -units_ : units_;
    const bool narrow = a <= Units(std::numeric_limits<std::uint64_t>::max());
    const std::uint64_t n = narrow ? std::uint64_t(a) : 0;
    char buf[64];
    char* const end = buf + sizeof buf;
    char* p = end;
    int f = narrow ? int(n % kScale) : int(a % kScale);
    if (f != 0) {
        int decimals = 4;
        for (; f % 10 == 0; f /= 10) --decimals;
        for (; decimals > 0; --decimals, f /= 10) *--p = char('0' + f % 10);
        *--p = '.';
    }
    p = narrow ? DigitsBefore(p, n / kScale) : DigitsBefore(p, a / kScale);
    if (units_ < 0) *--p = '-';
    return QString::fromLatin1(p, qsizetype(end - p));
}

Units DivideRounded(Units n, Units d, Half half) {
    if (d <= 0) throw std::invalid_argument("a divisor must be above zero");
    const bool negative = n < 0;
    const Units a = negative ? -n : n;
    Units q = a / d;
    const Units twice = 2 * (a % d);
    if (twice > d || (twice == d && (half == Half::AwayFromZero || q % 2 == 1))) ++q;
    return negative ? -q : q;
}

QString UnitsText(Units v) {
    char buf[48];
    int n = 0;
    const bool negative = v < 0;
    // Digit by digit from the lowest; a negative value's digits are taken without negating it,
    // so the smallest value too is written.
    do {
        const int d = int(v % 10);
        buf[n++] = char('0' + (d < 0 ? -d : d));
        v /= 10;
    } while (v != 0);
    if (negative) buf[n++] = '-';
    std::reverse(buf, buf + n);
    return QString::fromLatin1(buf, n);
}

void MoneySum::Add(const Money& m) {
    any_ = true;
    // Held amounts stay below 1e24 units: no count of rows a table can hold reaches 2^127.
    if (__builtin_add_overflow(units_, m.TenThousandths(), &units_))
        throw std::overflow_error("a sum of money beyond 128 bits");
}

void MoneySum::Add(double stored) {
    if (const std::optional<Money> m = Money::FromDouble(stored)) {
        Add(*m);
        return;
    }
    any_ = true;
    unheld_.push_back(stored);
}

MoneySum& MoneySum::operator+=(const MoneySum& other) {
    if (other.any_) Add(other.Total());
    unheld_.insert(unheld_.end(), other.unheld_.begin(), other.unheld_.end());
    return *this;
}

double MoneySum::Approx() const {
    std::vector<double> apart = unheld_;
    std::sort(apart.begin(), apart.end(),
              [](double a, double b) { return a < b || (std::isnan(b) && !std::isnan(a)); });
    double s = Total().ToDouble();
    for (double v : apart) s += v;
    return s;
}

}  // namespace qm
