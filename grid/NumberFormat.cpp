#include "grid/NumberFormat.h"

#include "core/base/Money.h"

#include <QStringList>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace qm::grid {

namespace {

constexpr long long kPow10[] = {1, 10, 100, 1000, 10000};

// |v| rounded to `decimals` places (0..4), as an unsigned count of 10^-decimals.
unsigned long long Scaled(TCurrency v, int decimals) {
    const unsigned long long a = v < 0 ? 0ULL - (unsigned long long)v : (unsigned long long)v;
    const unsigned long long div = (unsigned long long)kPow10[4 - decimals];
    return (a + div / 2) / div;
}

QString Group(const QString& digits) {
    QString out;
    const int n = int(digits.size());
    for (int i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0) out += u',';
        out += digits[i];
    }
    return out;
}

struct Section {
    QString prefix, suffix;
    int minInt = 0;  // '0' placeholders before the point
    int minDec = 0;  // '0' placeholders after the point
    int maxDec = 0;  // all placeholders after the point
    bool grouping = false;
    bool any = false;  // the section holds a digit placeholder
};

Section Parse(const QString& s) {
    Section r;
    bool afterPoint = false, seenDigit = false;
    for (int i = 0; i < s.size(); ++i) {
        const QChar c = s[i];
        if (c == u'"' || c == u'\'') {
            const int end = s.indexOf(c, i + 1);
            const QString lit = s.mid(i + 1, end < 0 ? -1 : end - i - 1);
            (seenDigit ? r.suffix : r.prefix) += lit;
            if (end < 0) break;
            i = end;
        } else if (c == u'0' || c == u'#') {
            if (!r.suffix.isEmpty()) {  // a placeholder after literal text: the text stays in place
                r.prefix += r.suffix;
                r.suffix.clear();
            }
            seenDigit = r.any = true;
            if (afterPoint) {
                ++r.maxDec;
                if (c == u'0') r.minDec = r.maxDec;
            } else if (c == u'0') {
                ++r.minInt;
            }
        } else if (c == u'.' && !afterPoint) {
            afterPoint = true;
            seenDigit = true;
        } else if (c == u',') {
            r.grouping = true;
        } else {
            (seenDigit ? r.suffix : r.prefix) += c;
        }
    }
    r.maxDec = std::min(r.maxDec, 4);
    r.minDec = std::min(r.minDec, r.maxDec);
    return r;
}

QString Apply(const Section& sec, TCurrency v, bool withSign) {
    if (!sec.any) return sec.prefix + sec.suffix;
    const unsigned long long n = Scaled(v, sec.maxDec);
    const unsigned long long div = (unsigned long long)kPow10[sec.maxDec];
    QString intPart = n / div == 0 ? QString() : QString::number(n / div);
    while (intPart.size() < sec.minInt) intPart.prepend(u'0');
    if (sec.grouping) intPart = Group(intPart);
    QString dec = sec.maxDec > 0 ? QString::number(n % div).rightJustified(sec.maxDec, u'0') : QString();
    while (dec.size() > sec.minDec && dec.endsWith(u'0')) dec.chop(1);
    QString body = intPart;
    if (!dec.isEmpty()) body += u'.' + dec;
    const bool negative = withSign && v < 0 && n != 0;
    return (negative ? QStringLiteral("-") : QString()) + sec.prefix + body + sec.suffix;
}

}  // namespace

bool CurrencyFromDouble(double v, TCurrency& out) {
    const std::optional<Money> m = Money::FromDouble(v);
    if (!m || m->TenThousandths() > std::numeric_limits<TCurrency>::max() ||
        m->TenThousandths() < -std::numeric_limits<TCurrency>::max())
        return false;
    out = static_cast<TCurrency>(m->TenThousandths());
    return true;
}

static_assert(kCurrencyScale == Money::kScale, "the grid and the reports keep money on one scale");

bool AddCurrency(TCurrency& total, TCurrency v) {
    TCurrency sum;
    if (__builtin_add_overflow(total, v, &sum)) return false;
    total = sum;
    return true;
}

QString OutOfRangeText() { return QStringLiteral("超出范围"); }

TCurrency CurrencyFromDoubleOr0(double v) {
    TCurrency c = 0;
    return CurrencyFromDouble(v, c) ? c : 0;
}

bool StrToCurr(const QString& text, TCurrency& out) {
    QString t = text.trimmed();
    t.remove(u',');
    if (t.isEmpty()) return false;
    bool neg = false;
    int i = 0;
    if (t[0] == u'-' || t[0] == u'+') {
        neg = t[0] == u'-';
        i = 1;
    }
    unsigned long long whole = 0, frac = 0;
    int fracDigits = 0, digits = 0;
    bool point = false;
    int roundDigit = -1;
    for (; i < t.size(); ++i) {
        const QChar c = t[i];
        if (c == u'.' && !point) {
            point = true;
            continue;
        }
        if (!c.isDigit() || c.unicode() > 127) return false;
        const int d = c.unicode() - u'0';
        ++digits;
        if (!point) {
            if (whole > 92233720368547ULL) return false;
            whole = whole * 10 + unsigned(d);
        } else if (fracDigits < 4) {
            frac = frac * 10 + unsigned(d);
            ++fracDigits;
        } else if (roundDigit < 0) {
            roundDigit = d;
        }
    }
    if (digits == 0) return false;
    while (fracDigits < 4) {
        frac *= 10;
        ++fracDigits;
    }
    unsigned long long mag = whole * 10000ULL + frac + (roundDigit >= 5 ? 1 : 0);
    if (mag > (unsigned long long)std::numeric_limits<long long>::max()) return false;
    out = neg ? -(long long)mag : (long long)mag;
    return true;
}

QString FormatCurr(const QString& pattern, TCurrency v) {
    if (pattern.isEmpty()) return CurrToStrGeneral(v);
    // Split into sections, leaving quoted ';' alone.
    QStringList sections;
    QString cur;
    QChar quote;
    for (QChar c : pattern) {
        if (!quote.isNull()) {
            if (c == quote) quote = QChar();
        } else if (c == u'"' || c == u'\'') {
            quote = c;
        } else if (c == u';') {
            sections << cur;
            cur.clear();
            continue;
        }
        cur += c;
    }
    sections << cur;
    const Section pos = Parse(sections[0]);
    if (v == 0 && sections.size() >= 3 && !sections[2].isEmpty()) return Apply(Parse(sections[2]), 0, false);
    if (v < 0 && sections.size() >= 2 && !sections[1].isEmpty()) {
        const Section neg = Parse(sections[1]);
        return Apply(neg, v, false);
    }
    // A negative amount that rounds to zero in the positive section shows no sign.
    return Apply(pos, v, true);
}

QString CurrToStrGeneral(TCurrency v, int precision) {
    if (precision < 1) precision = 15;
    const unsigned long long a = v < 0 ? 0ULL - (unsigned long long)v : (unsigned long long)v;
    QString digits = QString::number(a);  // all digits of |v| × 10000
    while (digits.size() < 5) digits.prepend(u'0');
    int intLen = int(digits.size()) - 4;  // digits before the point
    // Significant digits start at the first non-zero one.
    int first = 0;
    while (first < digits.size() && digits[first] == u'0') ++first;
    if (first == digits.size()) return QStringLiteral("0");
    if (int(digits.size()) - first > precision) {
        // Round at `precision` significant digits, halves away from zero.
        const int keep = first + precision;
        const bool up = digits[keep].unicode() >= u'5';
        digits.truncate(keep);
        digits += QString(intLen + 4 - keep, u'0');
        if (up) {
            int i = keep - 1;
            while (i >= 0 && digits[i] == u'9') digits[i--] = u'0';
            if (i >= 0)
                digits[i] = QChar(digits[i].unicode() + 1);
            else {
                digits.prepend(u'1');
                ++intLen;
            }
        }
    }
    QString whole = digits.left(intLen);
    while (whole.size() > 1 && whole.startsWith(u'0')) whole.remove(0, 1);
    QString frac = digits.mid(intLen);
    while (frac.endsWith(u'0')) frac.chop(1);
    const QString sign = v < 0 ? QStringLiteral("-") : QString();
    if (whole.size() > precision) {
        // Too many integer digits for the precision: scientific, as the general format does.
        QString m = whole.left(1);
        QString rest = whole.mid(1, precision - 1);
        while (rest.endsWith(u'0')) rest.chop(1);
        if (!rest.isEmpty()) m += u'.' + rest;
        return sign + m + QStringLiteral("E") + QString::number(whole.size() - 1);
    }
    return sign + whole + (frac.isEmpty() ? QString() : u'.' + frac);
}

QString CurrToStrFixed(TCurrency v, int digits) {
    digits = std::clamp(digits, 0, 4);
    const unsigned long long n = Scaled(v, digits);
    const unsigned long long div = (unsigned long long)kPow10[digits];
    QString s = QString::number(n / div);
    if (digits > 0) s += u'.' + QString::number(n % div).rightJustified(digits, u'0');
    return (v < 0 && n != 0 ? QStringLiteral("-") : QString()) + s;
}

QString CurrToStrCurrency(TCurrency v, int digits) {
    digits = std::clamp(digits, 0, 4);
    const unsigned long long n = Scaled(v, digits);
    const unsigned long long div = (unsigned long long)kPow10[digits];
    QString s = Group(QString::number(n / div));
    if (digits > 0) s += u'.' + QString::number(n % div).rightJustified(digits, u'0');
    return QStringLiteral("￥") + (v < 0 && n != 0 ? QStringLiteral("-") : QString()) + s;
}

}  // namespace qm::grid
