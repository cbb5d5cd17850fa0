#include "core/report/RangeChoice.h"

#include "core/base/Month.h"
#include "core/base/UiService.h"
#include "core/db/Db.h"
#include "core/db/Schema.h"
#include "core/unit/Gates.h"

namespace qm::report {

namespace {

// The months a one-column query returns, joined by commas.
QString MonthList(db::Connection& c, const QString& sql, const db::Params& params = {}) {
    db::Query q(c);
    q.Open(sql, params);
    QStringList out;
    for (; !q.Eof(); q.Next()) out << q.Fields(0).AsString().trimmed();
    return out.join(QLatin1Char(','));
}

}  // namespace

QString SummaryCopyName(const MonthRange& r) { return QStringLiteral("Total_") + r.From() + QLatin1Char('_') + r.To(); }

QString PeriodCopyName(const MonthRange& r) { return QStringLiteral("JLabor_") + r.From() + QLatin1Char('_') + r.To(); }

bool UsableCopy(db::Connection& c, const QString& name, int lines) {
    if (!c.HasTable(name)) return false;
    if (lines <= 0) return true;
    // The name is built from two checked months only; quoted all the same.
    db::Query q(c);
    q.Open(QStringLiteral("select count(*) from \"") + name + QStringLiteral("\""));
    return q.Fields(0).AsInteger() == lines;
}

bool RangeChoice::LoadMonths() {
    months_.clear();
    // Ascending: the combos list the months in calendar order, whatever order they were saved in.
    // Each month is found by one seek through the month's index, the next one above the last,
    // instead of reading every staff row. A month stored as a text or blob (never written by
    // the program) sends the list back to the plain distinct query, which orders those too.
    db::Query q(c_);
    q.Open(QStringLiteral("select sMon from Staff_moninfo where sMon is not null order by sMon limit 1"));
    for (; !q.Eof();) {
        const db::Value v = q.Fields(0).AsValue();
        if (v.kind() != db::Value::Kind::Integer && v.kind() != db::Value::Kind::Real) {
            months_.clear();
            q.Open(QStringLiteral("select DISTINCT sMon from Vmon where sMon<>0 order by sMon"));
            for (; !q.Eof(); q.Next()) months_ << q.Fields(0).AsString().trimmed();
            break;
        }
        if (v.AsFloat() != 0) months_ << q.Fields(0).AsString().trimmed();
        q.Open(QStringLiteral("select sMon from Staff_moninfo where sMon>? order by sMon limit 1"), {v});
    }
    if (months_.isEmpty()) {
        ui_.Stop(kNoMonthsText);
        return false;
    }
    return true;
}

bool RangeChoice::CheckMonthErrors() {
    struct Check {
        QString sql;
        const char16_t* tail;
    };
    // Each flag alone is a term of the wage error rows' index condition, so these find the
    // rows through it too.
    const Check checks[] = {
        {QStringLiteral("select sMon from Wage_Info where sFlag='0' group by sMon order by sMon"),
         u"]月工资数据还有错误，不能汇总，请核实！"},
        {QStringLiteral("select sMon from Wage_Info where wFlag='0' group by sMon order by sMon"),
         u"]月工资数据还有【审核性】错误，不能汇总，请核实！"},
        {QStringLiteral("select sMon from Staff_moninfo where sMon<>0 and ") + StaffErrorRows() +
             QStringLiteral(" group by sMon order by sMon"),
         u"]月度人员还有错误，不能汇总，请核实！"},
    };
    bool clean = true;
    // Every check runs, so the person sees all that is wrong at once.
    for (const Check& ch : checks) {
        const QString months = MonthList(c_, ch.sql);
        if (months.isEmpty()) continue;
        clean = false;
        ui_.ConfirmYesOnly(QStringLiteral("[") + months + QString::fromUtf16(ch.tail));
    }
    // A monthly list or a wage month that holds one number twice would count its wages twice.
    if (const QString twice = Gates::NumberTwiceRefusal(c_, Month(1), Month::YearEnd()); !twice.isEmpty()) {
        clean = false;
        ui_.ConfirmYesOnly(twice);
    }
    return clean;
}

std::optional<MonthRange> RangeChoice::CheckRange(const QString& fromText, const QString& toText) {
    // The start of the period is no month of a range.
    const std::optional<Month> from = Month::Parse(fromText, Month::Written::Field);
    const std::optional<Month> to = Month::Parse(toText, Month::Written::Field);
    if (!from || !to || from->IsStart() || *from > *to) {
        ui_.Stop(kBadRangeText);
        return std::nullopt;
    }
    if (twin_ == Twin::AB) {
        const QString months = MonthList(c_,
                                         QStringLiteral("select smon from Wage_Info where sMon>=? and sMon<=? and ") +
                                             WageErrorRows() + QStringLiteral(" group by smon order by smon"),
                                         {*from, *to});
        if (!months.isEmpty()) {
            ui_.Info(months + QStringLiteral("月有工资错误信息，请核查"));
            return std::nullopt;
        }
    }
    return MonthRange{from->Number(), to->Number()};
}

bool RangeChoice::RecomputeFlag(const QString& copyName, int lines) {
    if (!UsableCopy(c_, copyName, lines)) return true;
    return ui_.AskYesNo(kRecomputeQuestion);
}

}  // namespace qm::report
