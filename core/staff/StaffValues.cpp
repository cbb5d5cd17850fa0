#include "core/staff/StaffValues.h"

#include "core/base/RtlText.h"
#include "core/base/TextCheck.h"
#include "core/db/StaffTable.h"

#include <QHash>

namespace qm::staffvalue {

namespace {
bool IsDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }
}  // namespace

bool HasControlChars(const QString& text) { return HasUnsafeChars(text); }

int GbkLength(const QString& text) {
    int n = 0;
    for (QChar c : text) n += c.unicode() < 0x80 ? 1 : 2;
    return n;
}

QString NumberProblem(const QString& text) {
    const QString t = RtlTrim(text);
    if (t.isEmpty()) return QStringLiteral("姓名编号为空");
    if (HasControlChars(t)) return QStringLiteral("姓名编号含有控制字符");
    if (GbkLength(t) > kNumberBytes)
        return QStringLiteral("姓名编号超过%1个字节（一个汉字占两个字节）").arg(kNumberBytes);
    return {};
}

QString ColumnName(int sheetCol) {
    if (const auto a = AttrAtSheetCol(sheetCol)) return QString::fromUtf8(AttrRow(*a).caption);
    static const std::pair<StaffPlain, const char*> kPlain[] = {
        {StaffPlain::Name, "姓名"},          {StaffPlain::Number, "姓名编号"},     {StaffPlain::Birth, "出生年月"},
        {StaffPlain::Works, "参加工作年限"}, {StaffPlain::Work, "其中本岗位年限"},
    };
    for (const auto& [field, caption] : kPlain)
        if (SheetColOf(field) == sheetCol) return QString::fromUtf8(caption);
    return QStringLiteral("第%1列").arg(sheetCol);
}

QString ListName(Month month) {
    return month.IsStart() ? QStringLiteral("期初名单") : month.Text() + QStringLiteral("月名单");
}

QString NumberTwiceText(const QString& name, const QString& number, const QString& holder, Month month) {
    return QStringLiteral(
               "“%1”的姓名编号“%2”在%3中已由“%4”使用，同一名单中的姓名编号不能重复，请核实！\n"
               "本次未保存，已保存的数据没有改变。")
        .arg(RtlTrim(name), RtlTrim(number), ListName(month), RtlTrim(holder));
}

bool NameOk(const QString& text) { return !HasControlChars(RtlTrim(text)); }

std::optional<db::Value> WorkYears(const QString& text, bool allowNegative) {
    const QString t = RtlTrim(text);
    if (t.isEmpty()) return db::Value();
    qsizetype i = 0;
    const bool negative = t[0] == QLatin1Char('-');
    if (negative) {
        if (!allowNegative) return std::nullopt;
        ++i;
    }
    qsizetype whole = 0, decimals = 0;
    bool point = false;
    for (; i < t.size(); ++i) {
        if (IsDigit(t[i])) {
            (point ? decimals : whole) += 1;
        } else if (t[i] == QLatin1Char('.') && !point) {
            point = true;
        } else {
            return std::nullopt;
        }
    }
    if (whole == 0 || (point && decimals == 0) || decimals > kYearsDecimals) return std::nullopt;
    // The field holds the value written with its two decimals: sign, whole digits, point, two.
    QString digits = t.mid(negative ? 1 : 0, whole);
    while (digits.size() > 1 && digits[0] == QLatin1Char('0')) digits.remove(0, 1);
    if ((negative ? 1 : 0) + digits.size() + 1 + kYearsDecimals > kYearsWidth) return std::nullopt;
    if (!point) return db::Value(t.toLongLong());
    return db::Value(t.toDouble());
}

}  // namespace qm::staffvalue
