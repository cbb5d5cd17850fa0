#include "core/base/Month.h"

#include <array>
#include <cmath>
#include <stdexcept>

namespace qm {

namespace {

const std::array<QString, 13>& Captions() {
    static const std::array<QString, 13> captions = {
        QStringLiteral("期初"),  QStringLiteral("一月"), QStringLiteral("二月"), QStringLiteral("三月"),
        QStringLiteral("四月"),  QStringLiteral("五月"), QStringLiteral("六月"), QStringLiteral("七月"),
        QStringLiteral("八月"),  QStringLiteral("九月"), QStringLiteral("十月"), QStringLiteral("十一月"),
        QStringLiteral("十二月")};
    return captions;
}

}  // namespace

Month::Month(int number) : n_(number) {
    if (number < kFirst || number > kLast) throw std::invalid_argument("month out of range: " + std::to_string(number));
}

std::optional<Month> Month::Of(int number) {
    if (number < kFirst || number > kLast) return std::nullopt;
    return Month(number);
}

namespace {

// The text without the blanks and control characters (up to U+0020) around it.
QStringView TrimControls(const QString& text) {
    qsizetype b = 0, e = text.size();
    while (b < e && text[b].unicode() <= 0x20) ++b;
    while (e > b && text[e - 1].unicode() <= 0x20) --e;
    return QStringView(text).mid(b, e - b);
}

// ASCII digits naming 0..12, any number of leading zeros.
std::optional<Month> Digits(QStringView t) {
    if (t.isEmpty()) return std::nullopt;
    int n = 0;
    for (const QChar ch : t) {
        const char16_t c = ch.unicode();
        if (c < u'0' || c > u'9') return std::nullopt;
        n = n * 10 + (c - u'0');
        if (n > Month::kLast) return std::nullopt;
    }
    return Month(n);
}

// A whole number as the old database's column may hold it: an integer, else a real with no
// fraction (as text, "3.0" or "3e0").
std::optional<Month> WholeNumber(QStringView t) {
    bool ok = false;
    const long long i = t.toLongLong(&ok);
    if (ok) return i < Month::kFirst || i > Month::kLast ? std::nullopt : Month::Of(int(i));
    const double d = t.toDouble(&ok);
    if (!ok || !std::isfinite(d) || d != std::floor(d)) return std::nullopt;
    return d < Month::kFirst || d > Month::kLast ? std::nullopt : Month::Of(int(d));
}

}  // namespace

std::optional<Month> Month::Parse(const QString& text, Written written) {
    switch (written) {
    case Written::Plain: return Digits(TrimControls(text));
    case Written::Field: {
        const QString t = text.trimmed();
        if (t.size() > 2) return std::nullopt;
        for (const QChar c : t)
            if (c < u'0' || c > u'9') return std::nullopt;
        return Digits(t);
    }
    case Written::Number: return WholeNumber(TrimControls(text));
    }
    return std::nullopt;
}

Month Month::FromText(const QString& text) {
    if (const auto m = Parse(text)) return *m;
    throw std::invalid_argument("月份无效：" + text.toStdString());
}

std::optional<Month> Month::OfCaption(const QString& caption) {
    const auto& c = Captions();
    for (size_t i = 0; i < c.size(); ++i)
        if (c[i] == caption) return Month(int(i));
    return std::nullopt;
}

QString Month::Caption() const { return Captions()[size_t(n_)]; }

std::optional<Month> Month::Previous() const { return Of(n_ - 1); }
std::optional<Month> Month::Next() const { return Of(n_ + 1); }

}  // namespace qm
