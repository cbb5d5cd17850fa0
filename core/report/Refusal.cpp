#include "core/report/Refusal.h"

#include "core/base/Progress.h"
#include "core/files/DbfWriter.h"
#include "core/report/Fmt.h"
#include "core/report/Upload.h"
#include "core/sheet/SheetBook.h"

#include <cmath>

namespace qm::report {

void CheckWageSum(double sum, const QString& indicator) {
    if (std::fabs(sum) < kFigureLimit) return;
    throw Refused(QStringLiteral("“%1”的工资合计为 %2，超出了报表和上报文件能容纳的范围（绝对值须小于 %3）。\n"
                                 "本表没有生成，原有的结果未改动。请核对各月的工资数据。")
                      .arg(indicator.isEmpty() ? QStringLiteral("工资") : indicator,
                           std::isfinite(sum) ? ShortFloat(sum) : QStringLiteral("非数字"),
                           QStringLiteral("1000000000000000")));
}

long long WholeSum(const db::Value& v, const QString& indicator) {
    switch (v.kind()) {
    case db::Value::Kind::Null: return 0;
    case db::Value::Kind::Integer: CheckWageSum(double(v.rawInteger()), indicator); return v.rawInteger();
    case db::Value::Kind::Real: CheckWageSum(v.rawReal(), indicator); return HalfEven(v.rawReal());
    case db::Value::Kind::Text: {
        bool ok = false;
        const double x = v.rawText().trimmed().toDouble(&ok);
        CheckWageSum(ok ? x : std::nan(""), indicator);
        return HalfEven(x);
    }
    }
    return 0;
}

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
        throw Refused(QStringLiteral("“%1”未能完成，结果表 %2 未改动：\n%3").arg(report, table, e.Explained()));
    } catch (...) {
        pb.SetPosition(0);
        throw;
    }
}

SheetUpdate::SheetUpdate(TSheetBook& sheet) : sheet_(sheet) { sheet_.BeginUpdate(); }
SheetUpdate::~SheetUpdate() { sheet_.EndUpdate(); }

}  // namespace qm::report
