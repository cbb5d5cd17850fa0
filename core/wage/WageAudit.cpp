#include "core/wage/WageAudit.h"

#include "core/base/Money.h"
#include "core/db/Db.h"
#include "core/db/StaffTable.h"

#include <charconv>
#include <cmath>

namespace qm {

namespace {

// The value of an ASCII decimal text (a leading "+" allowed); false unless all of it is the
// number. A short text is read from a buffer on the stack: a save reads several per row.
bool AsciiToDouble(QStringView t, double& v) {
    char small[64] = {};
    QByteArray large;
    const char* b = small;
    if (t.size() <= qsizetype(sizeof small)) {
        for (qsizetype i = 0; i < t.size(); ++i) small[i] = char(t[i].unicode());
    } else {
        large = t.toLatin1();
        b = large.constData();
    }
    const char* const e = b + t.size();
    const char* first = b + (!t.isEmpty() && t[0] == u'+' ? 1 : 0);
    const auto r = std::from_chars(first, e, v);
    return r.ec == std::errc() && r.ptr == e;
}

}  // namespace

Amount ParseAmount(const QString& text) {
    const QString t = RtlTrim(text);
    if (t.isEmpty()) return {};
    // Plain decimal notation only: a sign, digits, one point. Thousands separators, exponents
    // and words are refused rather than guessed at.
    qsizetype i = 0;
    if (t[0] == QLatin1Char('+') || t[0] == QLatin1Char('-')) ++i;
    int digits = 0, points = 0;
    for (; i < t.size(); ++i) {
        const QChar ch = t[i];
        if (ch >= QLatin1Char('0') && ch <= QLatin1Char('9'))
            ++digits;
        else if (ch == QLatin1Char('.') && points == 0)
            ++points;
        else
            return {false, std::nullopt};
    }
    if (digits == 0) return {false, std::nullopt};
    // Only ASCII is left, so the Latin-1 bytes are the number; from_chars takes no sign "+".
    double v = 0;
    if (!AsciiToDouble(t, v) || !std::isfinite(v)) return {false, std::nullopt};
    return {true, v};
}

QString FormatTotal(double t) {
    // printf's "%.15g": up to 15 significant digits, no trailing zeros.
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, t, std::chars_format::general, 15);
    return QString::fromLatin1(buf, int(r.ptr - buf));
}

WageRoster WageRoster::Load(db::Connection& c, Month month, int expected) {
    WageRoster r;
    r.names_.Reserve(expected);
    std::string numberSpare, nameSpare;
    // Rows come in whatever order the month is found in; the lowest id of a number names it.
    StaffTable(c).StepPeople(month, [&](long long id, std::string_view number, std::string_view name) {
        r.names_.Put(db::AsRead(number, numberSpare), db::TrimBlankBytes(db::AsRead(name, nameSpare)), id);
    });
    return r;
}

void WageRoster::Add(const QString& number, const QString& name) {
    // Each row comes after every row added before it.
    const db::Utf8Text n(number);
    if (n.Valid()) names_.Put(n.View(), db::Utf8Text(RtlTrim(name)).View(), names_.LastOrder() + 1);
}

std::optional<QString> WageRoster::NameOf(const QString& number) const {
    const std::optional<std::string_view> name = NameOf(db::Utf8Text(number));
    if (!name) return std::nullopt;
    return QString::fromUtf8(name->data(), qsizetype(name->size()));
}

std::optional<std::string_view> WageRoster::NameOf(const db::Utf8Text& number) const {
    if (!number.Valid()) return std::nullopt;
    return names_.Find(number.View());
}

WageCheck WageAudit::Check(const WageLine& line, NameCleanup names) const {
    WageCheck c;
    // The amounts as typed, added exactly (Money.h): 0.1 + 0.2 is 0.3.
    MoneySum sum;
    for (int k = 0; k < 4; ++k) {
        const Amount a = ParseAmount(line.amounts[size_t(k)]);
        if (!a.ok) {
            c.badColumn = wagecol::N1 + k;
            return c;
        }
        c.n[size_t(k)] = a.value;
        if (!a.value) continue;
        if (const std::optional<Money> m = Money::FromText(line.amounts[size_t(k)])) {
            // Stored as it is summed: to the ten-thousandth (Money.h).
            const auto [stored, summed] = Money::Stored(*m);
            c.rounded[size_t(k)] = stored != *a.value;
            c.n[size_t(k)] = stored;
            sum.Add(summed);
        } else {
            sum.Add(*a.value);  // beyond what a sum holds: added as a real
        }
    }
    const double t = sum.Approx();
    // The total is what column 7 shows, so the stored figure, the limits and the sheet agree.
    c.totalText = t > 0 ? (sum.Exact() ? sum.Total().Text() : FormatTotal(t)) : QStringLiteral("0");
    if (t > 0) AsciiToDouble(c.totalText, c.total);
    c.wFlag = limits_.InRange(t > 0 ? c.total : t);

    c.number = RtlTrim(line.number);
    c.name = names == NameCleanup::RemoveBlanks ? CleanName(line.name) : RtlTrim(line.name);
    c.numberUtf8 = db::Utf8Text(c.number);
    c.nameUtf8 = db::Utf8Text(c.name);
    const std::optional<std::string_view> staffName = c.number.isEmpty() ? std::nullopt : roster_.NameOf(c.numberUtf8);
    c.listed = staffName.has_value();
    c.sFlag = c.listed && c.nameUtf8.Valid() && *staffName == c.nameUtf8.View();
    return c;
}

QString WageRosterMessage(const QStringList& failedNumbers) {
    QString list;
    for (const QString& n : failedNumbers) list += QLatin1Char('[') + n + QStringLiteral("] ");
    return QStringLiteral("以下：\n\r") + list +
           QStringLiteral(
               "\n\r姓名编号或姓名不在当月名单中或姓名编号有重复，\r请核实当月人员名册和工资输入表人员信息。");
}

QString WageLimitMessage(const WageLimits& limits) {
    return QStringLiteral("工资总额超出额定范围：\n\r上限不超过%1,下限不低于%2.\n\r请到[显示错误]中核实！")
        .arg(QString::number(qint64(limits.upper)), QString::number(qint64(limits.lower)));
}

QString WageSavedMessage(Month month, int persons) {
    return month.Text() + QStringLiteral("月保存成功！共") + QString::number(persons) + QStringLiteral("人输入。");
}

QString WageNotNumberMessage(int row, const QString& header, const QString& text) {
    return QStringLiteral("第%1行的“%2”不是数字：%3\r请改正红色单元格后再保存，本月已存的数据未改动。")
        .arg(WageShownRow(row))
        .arg(header, text);
}

QString WageRowFailedMessage(int row, const QString& error) {
    if (row <= 0) return QStringLiteral("保存失败，本月已存的数据未改动：\r%1").arg(error);
    return QStringLiteral("第%1行保存失败，本月已存的数据未改动：\r%2").arg(WageShownRow(row)).arg(error);
}

QString WageDbFailureText(const db::Error& e) {
    if (e.Locked())
        return QStringLiteral("数据库正被其他程序使用（已锁定），现在不能保存。请关闭使用它的程序后再保存。");
    return e.Text();
}

QString WageColumnHeader(int col) {
    switch (col) {
    case 1: return QStringLiteral("姓名编号");
    case 2: return QStringLiteral("姓名");
    case 3: return QStringLiteral("基本工资");
    case 4: return QStringLiteral("绩效工资");
    case 5: return QStringLiteral("工资性津贴和补贴");
    case 6: return QStringLiteral("其他工资");
    case 7: return QStringLiteral("合计");
    }
    return {};
}

}  // namespace qm
