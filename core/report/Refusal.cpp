#include "core/report/Refusal.h"

#include "core/base/Progress.h"
#include "core/files/DbfWriter.h"
#include "core/report/Fmt.h"
#include "core/report/Upload.h"
#include "core/sheet/SheetBook.h"

#include <cmath>

namespace qm::report {

namespace {

[[noreturn]] void RefuseWageSum(const QString& figure, const QString& indicator) {
    throw Refused(
        QStringLiteral("“%1”的工资合计为 %2，超出了报表和上报文件能容纳的范围（绝对值须小于 %3）。\n"
                       "本表没有生成，原有的结果未改动。请核对各月的工资数据。")
            .arg(indicator.isEmpty() ? QStringLiteral("工资") : indicator, figure, QStringLiteral("1000000000000000")));
}

QString FigureText(double v) { return std::isfinite(v) ? ShortFloat(v) : QStringLiteral("非数字"); }

// An amount no sum holds: named itself, since a sum of such amounts (1e300 and -1e300 giving 0)
// says nothing of what is wrong.
[[noreturn]] void RefuseAmount(double amount, const QString& indicator) {
    throw Refused(QStringLiteral("“%1”计入的一项工资为 %2，超出了报表和上报文件能容纳的范围（绝对值须小于 %3）。\n"
                                 "本表没有生成，原有的结果未改动。请核对各月的工资数据。")
                      .arg(indicator.isEmpty() ? QStringLiteral("工资") : indicator, FigureText(amount),
                           QStringLiteral("1000000000000000")));
}

// Of the amounts no sum holds, the one to name whatever order they came in: no number first,
// then the largest in magnitude, the positive of two alike.
double Named(const std::vector<double>& amounts) {
    double named = amounts.front();
    for (double v : amounts) {
        if (std::isnan(named)) break;
        if (std::isnan(v) || std::fabs(v) > std::fabs(named) || (std::fabs(v) == std::fabs(named) && v > named))
            named = v;
    }
    return named;
}

}  // namespace

void CheckWageSum(const MoneySum& sum, const QString& indicator) {
    const Money::Units limit = Money::Units(static_cast<long long>(kFigureLimit)) * Money::kScale;
    const Money::Units u = sum.Total().TenThousandths();
    if (!sum.Exact()) RefuseAmount(Named(sum.Unheld()), indicator);
    if (u < limit && u > -limit) return;
    RefuseWageSum(FigureText(sum.Approx()), indicator);
}

long long WholeSum(const MoneySum& sum, const QString& indicator) {
    CheckWageSum(sum, indicator);
    return static_cast<long long>(DivideRounded(sum.Total().TenThousandths(), Money::kScale, Half::ToEven));
}

MoneySum SumOf(const db::Value& v) {
    MoneySum s;
    switch (v.kind()) {
    case db::Value::Kind::Null: break;
    case db::Value::Kind::Integer: s.Add(Money::Whole(v.rawInteger())); break;
    case db::Value::Kind::Real: s.Add(v.rawReal()); break;
    case db::Value::Kind::Text: {
        bool ok = false;
        const double x = v.rawText().trimmed().toDouble(&ok);
        s.Add(ok ? x : std::nan(""));
        break;
    }
    }
    return s;
}

long long WholeSum(const db::Value& v, const QString& indicator) { return WholeSum(SumOf(v), indicator); }

void CheckUploadable(const QStringList& columns, const db::Params& row) {
    if (columns.size() != int(row.size())) return;  // the store says what does not match
    std::vector<dbf::FieldDef> fields;
    db::Params figures;
    for (int i = 0; i < columns.size(); ++i) {
        const dbf::FieldDef f = upload::FieldFor(columns[i], QStringLiteral("NUMERIC"));
        if (f.type != 'N') continue;
        fields.push_back(f);
        figures.push_back(row[size_t(i)]);
    }
    if (fields.empty()) return;
    try {
        dbf::Writer w(std::move(fields));
        w.AddRecord(figures);
    } catch (const dbf::Error& e) {
        throw Refused(QStringLiteral("本表的结果超出了上报文件能容纳的范围：%1。\n本表没有生成，原有的结果未改动。"
                                     "请核对各月的工资数据。")
                          .arg(e.Text()));
    }
}

QString IndicatorName(const TSheetBook& sheet, int row, int labelCol, int codeCol) {
    const QString label = sheet.GetCellText(row, labelCol).trimmed();
    const QString code = sheet.GetCellText(row, codeCol).trimmed();
    return code.isEmpty() ? label : label + QLatin1Char('(') + code + QLatin1Char(')');
}

void RunReport(const QString& report, const QString& table, Progress& pb, const std::function<void()>& work) {
    try {
        work();
    } catch (const db::Error& e) {
        pb.SetPosition(0);
        throw Refused(QStringLiteral("“%1”未能完成，结果表 %2 未改动：\n%3").arg(report, table, e.Text()));
    } catch (...) {
        pb.SetPosition(0);
        throw;
    }
}

SheetUpdate::SheetUpdate(TSheetBook& sheet) : sheet_(sheet) { sheet_.BeginUpdate(); }
SheetUpdate::~SheetUpdate() { sheet_.EndUpdate(); }

}  // namespace qm::report
