#include "core/report/PaymentList.h"

#include "core/base/Money.h"
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
#include <string_view>
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

std::string_view TextOf(sqlite3_stmt* st, int col) {
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(st, col));
    return {p, size_t(sqlite3_column_bytes(st, col))};
}

QByteArray ColumnBytes(sqlite3_stmt* st, int col) {
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(st, col));
    return QByteArray(p, sqlite3_column_bytes(st, col));
}

}  // namespace

namespace {

struct Taken {
    int line;
    double amount;
};

// What the rows of a range bring: per month the amounts, and the months whose total is no
// number.
struct Amounts {
    std::vector<Taken> byMonth[13];
    std::vector<PaymentProblem> problems;
};

// One wage row of month m (1..12) for line `line`: its cell, its amount or its problem; a
// later row of the same month takes the cell.
db::Value ValueOf(sqlite3_stmt* st, int col) {
    switch (sqlite3_column_type(st, col)) {
    case SQLITE_INTEGER: return db::Value(static_cast<long long>(sqlite3_column_int64(st, col)));
    case SQLITE_FLOAT: return db::Value(sqlite3_column_double(st, col));
    case SQLITE_NULL: return {};
    default: return db::Value(QString::fromUtf8(ColumnBytes(st, col)));
    }
}

void TakeRow(PaymentList& list, Amounts& a, int line, const db::Value& total, long long m) {
    PaymentLine& l = list.lines[size_t(line)];
    l.months[size_t(m)] = AmountText(total);
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
        const Amount parsed = ParseAmount(total.rawText());
        if (parsed.ok && parsed.value) amount = *parsed.value;
        break;
    }
    }
    if (amount)
        a.byMonth[m].push_back({line, *amount});
    else
        a.problems.push_back({line, int(m), total.AsString()});
}

// The rows of months from..to through the month's index, each to the person of its number
// and name.
void TakeRange(db::Connection& c, PaymentList& list, Amounts& a, const std::unordered_map<std::string, int>& byPerson,
               int from, int to, bool straight) {
    sqlite3_stmt* st =
        c.Prepare(QStringLiteral("select sNumber, sName, Smon, sTotal from Wage_Info") +
                  (straight ? QStringLiteral(" not indexed") : QString()) +
                  QStringLiteral(" where Smon>=? and Smon<=? and sNumber is not null and sName is not null"));
    c.Bind(st, {from, to});
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
        TakeRow(list, a, it->second, ValueOf(st, 3), m);
    }
    if (rc != SQLITE_DONE) c.Fail();
    sqlite3_reset(st);
}

// The persons as the distinct query lists them, sorted by SQLite.
std::unordered_map<std::string, int> PersonsBySql(db::Connection& c, PaymentList& list) {
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
    return byPerson;
}

// A person as the one pass over the table meets it.
struct Met {
    std::string number, name;
    bool numberNull = false, nameNull = false;
    long long asWhole = 0;  // the number read as a whole number, as a cast to integer reads it
};

// Orders as "order by cast(sNumber as integer), sNumber, sName" orders texts and NULLs.
bool Before(const Met& a, const Met& b) {
    if (a.numberNull != b.numberNull) return a.numberNull;
    if (!a.numberNull && a.asWhole != b.asWhole) return a.asWhole < b.asWhole;
    if (!a.numberNull) {
        if (const int n = a.number.compare(b.number)) return n < 0;
    }
    if (a.nameNull != b.nameNull) return a.nameNull;
    return a.name < b.name;
}

}  // namespace

PaymentList BuildPaymentList(db::Connection& c, int from, int to, Progress* pb) {
    if (from < 1 || to > 12 || from > to) throw std::invalid_argument("month range must lie within 1..12");
    PaymentList list;
    list.from = from;
    list.to = to;
    Amounts a;

    // The persons come from one pass over the table, not from sorting every row into groups.
    // Over a third of the year or more the same pass takes the amounts (the table read
    // straight through costs less than through the month's index); each person's total still
    // adds the amounts month by month, in the order the rows come, so that no sum changes in
    // its last digit. A number or name stored as no text, or as bytes that are no UTF-8,
    // sends the list to the distinct query, which orders and matches those as it always did.
    const bool wholeRange = (to - from + 1) * 3 >= 12;
    std::vector<Met> met;
    std::unordered_map<std::string, int> byPerson;
    // The rows of the range by the person first met, taken once the persons have their lines.
    struct Row {
        int person;
        int month;
        db::Value total;
    };
    std::vector<Row> rows;
    bool plain = true;
    {
        sqlite3_stmt* st = c.Prepare(
            QStringLiteral("select sNumber, sName, Smon, sTotal, cast(sNumber as integer) from Wage_Info not indexed"));
        std::string key;
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
            const int tn = sqlite3_column_type(st, 0), tm = sqlite3_column_type(st, 1);
            if ((tn != SQLITE_TEXT && tn != SQLITE_NULL) || (tm != SQLITE_TEXT && tm != SQLITE_NULL)) {
                plain = false;
                break;
            }
            key.clear();
            key.push_back(tn == SQLITE_NULL ? 'N' : 'T');
            if (tn != SQLITE_NULL) key.append(TextOf(st, 0));
            key.push_back('\0');
            key.push_back(tm == SQLITE_NULL ? 'N' : 'T');
            if (tm != SQLITE_NULL) key.append(TextOf(st, 1));
            auto it = byPerson.find(key);
            if (it == byPerson.end()) {
                Met p;
                p.numberNull = tn == SQLITE_NULL;
                p.nameNull = tm == SQLITE_NULL;
                if (!p.numberNull) {
                    p.number = std::string(TextOf(st, 0));
                    p.asWhole = sqlite3_column_int64(st, 4);
                }
                if (!p.nameNull) p.name = std::string(TextOf(st, 1));
                it = byPerson.emplace(key, int(met.size())).first;
                met.push_back(std::move(p));
            }
            if (!wholeRange || tn == SQLITE_NULL || tm == SQLITE_NULL) continue;
            const int tmon = sqlite3_column_type(st, 2);
            if (tmon == SQLITE_INTEGER) {
                const long long m = sqlite3_column_int64(st, 2);
                if (m < from || m > to) continue;
            } else if (tmon == SQLITE_FLOAT) {
                const double m = sqlite3_column_double(st, 2);
                if (!(m >= from && m <= to)) continue;
            } else {
                continue;  // a text or blob month lies above every number
            }
            const long long m = sqlite3_column_int64(st, 2);
            if (m < 1 || m > 12) continue;
            rows.push_back({it->second, int(m), ValueOf(st, 3)});
        }
        if (rc != SQLITE_DONE && rc != SQLITE_ROW) c.Fail();
        sqlite3_reset(st);
    }
    std::vector<PaymentLine> lines(plain ? met.size() : 0);
    for (size_t k = 0; plain && k < met.size(); ++k) {
        const Met& p = met[k];
        PaymentLine& line = lines[k];
        line.number = QString::fromUtf8(p.number.data(), qsizetype(p.number.size()));
        line.name = QString::fromUtf8(p.name.data(), qsizetype(p.name.size()));
        if (line.number.toUtf8().toStdString() != p.number || line.name.toUtf8().toStdString() != p.name) plain = false;
        line.number = line.number.trimmed();
        line.name = line.name.trimmed();
    }
    if (!plain) {
        byPerson = PersonsBySql(c, list);
        TakeRange(c, list, a, byPerson, from, to, wholeRange);
    } else {
        std::vector<int> order(met.size());
        for (size_t k = 0; k < order.size(); ++k) order[k] = int(k);
        std::sort(order.begin(), order.end(), [&](int x, int y) { return Before(met[size_t(x)], met[size_t(y)]); });
        std::vector<int> place(met.size());
        list.lines.reserve(met.size());
        for (size_t k = 0; k < order.size(); ++k) {
            place[size_t(order[k])] = int(k);
            list.lines.push_back(std::move(lines[size_t(order[k])]));
        }
        if (wholeRange) {
            for (const Row& r : rows) TakeRow(list, a, place[size_t(r.person)], r.total, r.month);
        } else {
            // The rows' keys are number and name alone, as the range query matches them.
            std::unordered_map<std::string, int> byKey;
            byKey.reserve(met.size());
            for (size_t k = 0; k < met.size(); ++k)
                if (!met[k].numberNull && !met[k].nameNull)
                    byKey.emplace(
                        PersonKey(QByteArray::fromStdString(met[k].number), QByteArray::fromStdString(met[k].name)),
                        place[k]);
            TakeRange(c, list, a, byKey, from, to, false);
        }
    }
    // Each person's total and the grand total are summed exactly, then shown once as a real.
    std::vector<MoneySum> totals(list.lines.size());
    for (const auto& month : a.byMonth)
        for (const Taken& t : month) totals[size_t(t.line)].Add(t.amount);
    MoneySum grand;
    for (size_t k = 0; k < totals.size(); ++k) {
        list.lines[k].total = totals[k].Approx();
        grand += totals[k];
    }
    list.grandTotal = grand.Approx();
    list.problems = std::move(a.problems);
    std::sort(list.problems.begin(), list.problems.end(), [](const PaymentProblem& x, const PaymentProblem& y) {
        return std::pair(x.line, x.month) < std::pair(y.line, y.month);
    });
    const int n = int(list.lines.size());
    for (int k = 0; pb && k < n; ++k) pb->SetPosition((k + 1) * 100 / n);
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
