#include "core/report/PaymentList.h"

#include "core/base/Progress.h"
#include "core/db/Db.h"
#include "core/report/Fmt.h"
#include "core/sheet/SheetBook.h"
#include "core/wage/WageAudit.h"

#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <stdexcept>
#include <string>
#include <unordered_map>

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

std::string PersonKey(const QByteArray& number, const QByteArray& name) {
    std::string k(number.constData(), size_t(number.size()));
    k.push_back('\0');
    k.append(name.constData(), size_t(name.size()));
    return k;
}

QByteArray ColumnBytes(sqlite3_stmt* st, int col) {
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(st, col));
    return QByteArray(p, sqlite3_column_bytes(st, col));
}

}  // namespace

PaymentList BuildPaymentList(db::Connection& c, int from, int to, Progress* pb) {
    if (from < 1 || to > 12 || from > to) throw std::invalid_argument("month range must lie within 1..12");
    PaymentList list;
    list.from = from;
    list.to = to;

    db::Query persons(c);
    persons.Open(
        QStringLiteral("select sNumber,sName from Wage_Info  group by sNumber,sName "
                       "order by cast(sNumber as integer), sNumber, sName"));
    // A person is found by the bytes of number and name; a person without a number or a
    // name matches no wage row, as before.
    std::unordered_map<std::string, int> byPerson;
    byPerson.reserve(size_t(persons.RecordCount()));
    list.lines.reserve(size_t(persons.RecordCount()));
    for (int r = 0; r < persons.RecordCount(); ++r) {
        const db::Value& number = persons.ValueAt(r, 0);
        const db::Value& name = persons.ValueAt(r, 1);
        PaymentLine line;
        line.number = number.AsString().trimmed();
        line.name = name.AsString().trimmed();
        if (!number.IsNull() && !name.IsNull())
            byPerson.emplace(PersonKey(number.AsString().toUtf8(), name.AsString().toUtf8()), r);
        list.lines.push_back(std::move(line));
    }

    // One pass over the rows, stepped without keeping them, instead of one query per person;
    // each row goes to the person of its number and name, a later row of the same month
    // taking the cell. The table is read straight through (a range of months through the
    // month's index costs more); each person's total still adds the amounts month by month,
    // in the order the index gives, so that no sum changes in its last digit.
    const bool wholeRange = (to - from + 1) * 3 >= 12;
    sqlite3_stmt* st =
        c.Prepare(QStringLiteral("select sNumber, sName, Smon, sTotal from Wage_Info") +
                  (wholeRange ? QStringLiteral(" not indexed") : QString()) +
                  QStringLiteral(" where Smon>=? and Smon<=? and sNumber is not null and sName is not null"));
    c.Bind(st, {from, to});
    struct Taken {
        int line;
        double amount;
    };
    std::vector<Taken> byMonth[13];
    // The key of each row is made in one buffer, without an allocation per row.
    std::string key;
    auto append = [&](int col) {
        const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(st, col));
        key.append(p, size_t(sqlite3_column_bytes(st, col)));
    };
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        key.clear();
        append(0);
        key.push_back('\0');
        append(1);
        const auto it = byPerson.find(key);
        if (it == byPerson.end()) continue;
        const long long m = sqlite3_column_int64(st, 2);
        if (m < 1 || m > 12) continue;
        PaymentLine& line = list.lines[size_t(it->second)];
        db::Value total;
        switch (sqlite3_column_type(st, 3)) {
        case SQLITE_INTEGER: total = db::Value(static_cast<long long>(sqlite3_column_int64(st, 3))); break;
        case SQLITE_FLOAT: total = db::Value(sqlite3_column_double(st, 3)); break;
        case SQLITE_NULL: break;
        default: total = db::Value(QString::fromUtf8(ColumnBytes(st, 3))); break;
        }
        line.months[size_t(m)] = AmountText(total);
        // A total that is no finite number is an error row, as in the wage error list.
        std::optional<double> amount;
        switch (total.kind()) {
        case db::Value::Kind::Null: amount = 0; break;
        case db::Value::Kind::Integer: amount = double(total.rawInteger()); break;
        case db::Value::Kind::Real:
            if (std::isfinite(total.rawReal())) amount = total.rawReal();
            break;
        case db::Value::Kind::Text: {
            // Stored text is never a number the sheet wrote; an empty one is none either.
            const Amount a = ParseAmount(total.rawText());
            if (a.ok && a.value) amount = *a.value;
            break;
        }
        }
        if (amount) {
            byMonth[m].push_back({it->second, *amount});
        } else {
            list.problems.push_back({it->second, int(m), total.AsString()});
        }
    }
    if (rc != SQLITE_DONE) c.Fail();
    sqlite3_reset(st);
    for (const auto& month : byMonth)
        for (const Taken& t : month) list.lines[size_t(t.line)].total += t.amount;
    std::sort(list.problems.begin(), list.problems.end(), [](const PaymentProblem& a, const PaymentProblem& b) {
        return std::pair(a.line, a.month) < std::pair(b.line, b.month);
    });
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
    return QString::number(from) + QStringLiteral("月 - ") + QString::number(to) +
           QStringLiteral("月 的工资发放汇总清单");
}

QString PaymentDateLine(const QDate& today) { return QStringLiteral("统计日期：") + DateText(today); }

QString PaymentAmount(double v) { return ShortFloat(v); }

QString PaymentProblemsText(const PaymentList& list) {
    if (list.problems.empty()) return {};
    QStringList rows;
    for (const PaymentProblem& p : list.problems) {
        const PaymentLine& l = list.lines[size_t(p.line)];
        rows << QStringLiteral("%1（姓名编号%2）%3月：“%4”").arg(l.name, l.number).arg(p.month).arg(p.text);
    }
    return QStringLiteral("以下工资合计不是数字，未计入合计，请在工资录入或工资错误信息中改正：\n") +
           rows.join(QLatin1Char('\n'));
}

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
    for (const PaymentProblem& p : list.problems) {
        sheet.SetSelection(p.line + 2, p.month + 2, p.line + 2, p.month + 2);
        sheet.SetPattern(TSheetBook::kMarkPattern, 200, 255);
    }
    sheet.SetSelection(1, 1, 1, 1);
    sheet.EndUpdate();
}

}  // namespace qm::report
