#include "core/report/PaymentList.h"

#include "core/base/Progress.h"
#include "core/db/Db.h"
#include "core/report/Fmt.h"
#include "core/sheet/SheetBook.h"

#include <QHash>
#include <QLocale>

#include <stdexcept>

namespace qm::report {

namespace {

// The month cell: a stored number in its shortest form, a stored text trimmed.
QString AmountText(const db::Value& v) {
    switch (v.kind()) {
    case db::Value::Kind::Null: return {};
    case db::Value::Kind::Integer: return QString::number(v.rawInteger());
    case db::Value::Kind::Real: return ShortFloat(v.rawReal());
    case db::Value::Kind::Text: return v.rawText().trimmed();
    }
    return {};
}

}  // namespace

PaymentList BuildPaymentList(db::Connection& c, int from, int to, Progress* pb) {
    if (from < 1 || to > 12 || from > to) throw std::invalid_argument("month range must lie within 1..12");
    PaymentList list;
    list.from = from;
    list.to = to;

    db::Query persons(c);
    persons.Open(QStringLiteral("select sNumber,sName from Wage_Info  group by sNumber,sName "
                                "order by cast(sNumber as integer), sNumber, sName"));
    QHash<QPair<QString, QString>, int> byPerson;
    list.lines.reserve(size_t(persons.RecordCount()));
    for (int r = 0; r < persons.RecordCount(); ++r) {
        const db::Value& number = persons.ValueAt(r, 0);
        const db::Value& name = persons.ValueAt(r, 1);
        PaymentLine line;
        line.number = number.AsString().trimmed();
        line.name = name.AsString().trimmed();
        // A person without a number or a name matches no wage row, as before.
        if (!number.IsNull() && !name.IsNull()) byPerson.insert({number.AsString(), name.AsString()}, r);
        list.lines.push_back(std::move(line));
    }

    // One pass over the range's rows instead of one query per person; each row goes to the
    // person of its number and name.
    db::Query rows(c);
    rows.Open(QStringLiteral("select sNumber, sName, Smon, sTotal from Wage_Info "
                             "where Smon>=? and Smon<=? and sNumber is not null and sName is not null order by Smon, id"),
              {from, to});
    for (int r = 0; r < rows.RecordCount(); ++r) {
        const auto it = byPerson.constFind({rows.ValueAt(r, 0).AsString(), rows.ValueAt(r, 1).AsString()});
        if (it == byPerson.constEnd()) continue;
        PaymentLine& line = list.lines[size_t(*it)];
        const long long m = rows.ValueAt(r, 2).AsInteger();
        const db::Value& total = rows.ValueAt(r, 3);
        line.months[size_t(m)] = AmountText(total);
        line.total += total.AsFloat();
    }
    const int n = int(list.lines.size());
    for (int k = 0; k < n; ++k) {
        list.grandTotal += list.lines[size_t(k)].total;
        if (pb) pb->SetPosition((k + 1) * 100 / n);
    }
    return list;
}

QString PaymentCaption(const QString& depName) {
    return QStringLiteral("[") + depName + QStringLiteral("] 工资发放汇总清单");
}

QString PaymentTitle(int from, int to) {
    return QString::number(from) + QStringLiteral("月 - ") + QString::number(to) + QStringLiteral("月 的工资发放汇总清单");
}

QString PaymentDateLine(const QDate& today) {
    return QStringLiteral("统计日期：") + QLocale::system().toString(today, QLocale::ShortFormat);
}

QString PaymentAmount(double v) { return ShortFloat(v); }

void FillPaymentSheet(TSheetBook& sheet, const PaymentList& list) {
    sheet.BeginUpdate();
    int row = 2;
    for (const PaymentLine& line : list.lines) {
        sheet.SetCellText(row, 1, line.name);
        sheet.SetCellText(row, 2, line.number);
        for (int m = list.from; m <= list.to; ++m)
            if (!line.months[size_t(m)].isEmpty()) sheet.SetCellText(row, m + 2, line.months[size_t(m)]);
        sheet.SetCellText(row, 15, PaymentAmount(line.total));
        ++row;
    }
    sheet.SetCellText(row, 14, QStringLiteral("总计："));
    sheet.SetCellText(row, 15, PaymentAmount(list.grandTotal));
    sheet.EndUpdate();
}

}  // namespace qm::report
