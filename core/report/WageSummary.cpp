#include "core/report/WageSummary.h"

#include "core/base/UiService.h"
#include "core/db/Db.h"
#include "core/db/Schema.h"
#include "core/report/Fmt.h"
#include "core/report/Refusal.h"
#include "core/sheet/SheetBook.h"

#include <QDate>
#include <QRegularExpression>
#include <QStringList>

#include <stdexcept>

namespace qm::report {

namespace {

std::vector<int> Span(int first, int last) {
    std::vector<int> v;
    for (int g = first; g <= last; ++g) v.push_back(g);
    return v;
}

}  // namespace

const WageSummaryShape& ShapeOf(GidSummary s) {
    // Remainders: the shown wage of the last part of a group is what the group leaves over
    // after its other parts; of the last group, what the total leaves over after the others.
    static const WageSummaryShape i704{GidSummary::I704,
                                       true,
                                       false,
                                       {{11, 2, {3, 7}},
                                        {19, 15, Span(16, 18)},
                                        {25, 20, {21}},
                                        {35, 29, Span(30, 34)},
                                        {36, 1, {2, 15, 20, 29}},
                                        {40, 36, Span(37, 39)}},
                                       {{2, {3, 7, 11}},
                                        {15, Span(16, 19)},
                                        {20, {21, 25}},
                                        {29, Span(30, 35)},
                                        {36, Span(37, 40)},
                                        {1, {2, 15, 20, 29, 36}}}};
    static const WageSummaryShape i705{
        GidSummary::I705,
        false,
        true,
        {{7, 2, Span(3, 6)}, {12, 8, Span(9, 11)}, {19, 13, Span(14, 18)}, {21, 1, {2, 8, 13, 20}}},
        {{2, Span(3, 7)}, {8, Span(9, 12)}, {13, Span(14, 19)}, {1, {2, 8, 13, 20, 21}}}};
    if (s == GidSummary::I704) return i704;
    if (s == GidSummary::I705) return i705;
    throw std::invalid_argument("not a wage summary");
}

SummaryUnit FirstUnitRow(db::Connection& c) {
    db::Query q(c);
    q.Open(QStringLiteral("select DepNo, DepName from Dep_Info limit 1"));
    if (q.Eof()) return {};
    return {q.Fields(0).AsString(), q.Fields(1).AsString()};
}

bool HasStaffErrors(db::Connection& c, bool startOfPeriodOnly) {
    db::Query q(c);
    q.Open(QStringLiteral("select count(*) as num from Staff_moninfo where ") + StaffErrorRows() +
           (startOfPeriodOnly ? QStringLiteral(" and sMon=0") : QStringLiteral(" and sMon>0 ")));
    return q.Fields(0).AsInteger() >= 1;
}

WageSummaryFigures ComputeWageSummary(db::Connection& c, const WageSummaryShape& shape, const MonthRange& range,
                                      const std::function<QString(int gid)>& lineName) {
    const GidMatrixLayout& layout = shape.Layout();
    const int n = layout.LineCount();
    WageSummaryFigures f;
    // The average headcount: person-months with a wage row over the range (the organ form
    // reaches back one month, the start-of-period list standing in for month 0). All the
    // figures are read together.
    MatrixRequest request;
    request.countMonth = range.to;
    request.heads = shape.averageFromMonthBefore ? range.from - 1 : range.from;
    request.wages = range.from;
    request.last = range.to;
    request.start = shape.averageFromMonthBefore && range.from == 1;
    MatrixFigures m = ReadMatrix(c, layout, request);
    f.counts = std::move(m.counts);
    const PeriodTotals& heads = m.heads;
    const PeriodTotals& wages = m.wages;
    std::vector<long long> start = request.start ? m.start : std::vector<long long>(size_t(n), 0);
    const int divisor = shape.averageFromMonthBefore ? range.MonthCount() + 1 : range.MonthCount();

    f.average.resize(size_t(n));
    f.wage.resize(size_t(n));
    for (int i = 0; i < n; ++i) {
        // Format "0" of the quotients, taken exactly: a half goes away from zero.
        f.average[size_t(i)] = static_cast<long long>(
            DivideRounded(heads.personMonths[size_t(i)] + start[size_t(i)], divisor, Half::AwayFromZero));
        const MoneySum& w = wages.sums[size_t(i)];
        const QString name = lineName ? lineName(i + 1) : QStringLiteral("第%1行").arg(i + 1);
        if (!w.IsNull()) CheckWageSum(w, name);  // before anything is rounded
        // The raw total over 1000 (thousand yuan), with no whole-yuan step before it.
        f.wage[size_t(i)] = w.IsNull() ? 0
                                       : static_cast<long long>(DivideRounded(
                                             w.Total().TenThousandths(), Money::kScale * 1000, Half::AwayFromZero));
    }
    f.wageShown = f.wage;
    for (const Remainder& r : shape.remainders) {
        long long v = f.wageShown[size_t(r.minuend - 1)];
        for (int s : r.subtrahends) v -= f.wageShown[size_t(s - 1)];
        f.wageShown[size_t(r.gid - 1)] = v;
    }
    for (const GroupAverage& g : shape.groups) {
        long long v = 0;
        for (int m : g.members) v += f.average[size_t(m - 1)];
        f.average[size_t(g.gid - 1)] = v;
    }
    return f;
}

void SaveRangeCopy(db::Connection& c, const QString& name, int lines) {
    // The name is made of two checked months; anything else never reaches the statement.
    static const QRegularExpression valid(QStringLiteral("^Total_(1[0-2]|[1-9])_(1[0-2]|[1-9])$"));
    if (!valid.match(name).hasMatch()) throw std::invalid_argument("not a range copy name");
    const QString quoted = QLatin1Char('"') + name + QLatin1Char('"');
    if (!c.HasTable(name)) {
        // Same declared types as Total_Info, so the copy reads back as the table does.
        c.Exec(QStringLiteral("create table ") + quoted +
               QStringLiteral(" (Gid integer, Dep_id text, Tdate text, frmc text, G11 numeric, G12 numeric, "
                              "G13 numeric, G14 numeric, G15 numeric, G16 numeric, G17 numeric, G18 numeric, "
                              "G19 numeric, G20 numeric, G21 numeric)"));
        c.Exec(QStringLiteral("insert into ") + quoted +
                   QStringLiteral(" select Gid, Dep_id, Tdate, frmc, G11, G12, G13, G14, G15, G16, G17, G18, G19, "
                                  "G20, G21 from Total_Info where Gid<=? order by Gid"),
               {lines});
        return;
    }
    db::DeleteEveryRow(c, quoted);
    c.Exec(QStringLiteral("insert into ") + quoted +
               QStringLiteral(" (Dep_id,Tdate,Gid,G11,G12,G13,G14,G15,G16,G17,G18,G19,G20,G21) select "
                              "Dep_id,Tdate,Gid,G11,G12,G13,G14,G15,G16,G17,G18,G19,G20,G21 from Total_Info "
                              "where Gid<=? order by Gid"),
           {lines});
}

void StoreWageSummary(db::Connection& c, const WageSummaryShape& shape, const MonthRange& range,
                      const WageSummaryFigures& f, const SummaryUnit& unit, const QString& dateText) {
    const GidMatrixLayout& layout = shape.Layout();
    // The lines and the range's copy are written together or not at all.
    db::Transaction t(c);
    for (int gid = 1; gid <= layout.LineCount(); ++gid) {
        GidRowValues v{
            unit.depNo,
            dateText,
            std::nullopt,
            {{QStringLiteral("G21"), f.wage[size_t(gid - 1)]}, {QStringLiteral("G20"), f.average[size_t(gid - 1)]}}};
        if (shape.writesUnitName) v.depName = unit.depName;
        UpdateResultRow(c, layout, gid, f.counts, v);
    }
    SaveRangeCopy(c, SummaryCopyName(range), layout.LineCount());
    t.Commit();
}

void WriteWageSummary(TSheetBook& sheet, const WageSummaryFigures& f) {
    for (size_t i = 0; i < f.counts.size(); ++i) {
        const int row = int(i) + 4;
        for (size_t col = 0; col < f.counts[i].size(); ++col)
            if (f.counts[i][col] >= 0) sheet.SetCellText(row, int(col) + 3, QString::number(f.counts[i][col]));
        sheet.SetCellText(row, 12, QString::number(f.average[i]));
        sheet.SetCellText(row, 13, QString::number(f.wageShown[i]));
    }
}

void WriteSavedCopy(TSheetBook& sheet, db::Connection& c, const QString& name) {
    db::Query q(c);
    q.Open(QStringLiteral("select G11, G12, G13, G14, G15, G16, G17, G18, G19, G20, G21 from \"") + name +
           QStringLiteral("\" order by Gid"));
    for (int row = 4; !q.Eof(); q.Next(), ++row)
        for (int i = 0; i < 11; ++i) {
            QString text = q.Fields(i).AsString();
            if (i == 3 && text.trimmed().isEmpty()) text = QStringLiteral("--");
            sheet.SetCellText(row, i + 3, text);
        }
}

QString TodayText() { return DateText(QDate::currentDate()); }

bool RunWageSummary(db::Connection& c, UiService& ui, TSheetBook& sheet, GidSummary id, const MonthRange& r,
                    const QString& dateText, SummaryUnit& unit) {
    unit = FirstUnitRow(c);
    if (HasStaffErrors(c, false)) {
        ui.Info(kRefusalText);
        return false;
    }
    const WageSummaryShape& shape = ShapeOf(id);
    const WageSummaryFigures f =
        ComputeWageSummary(c, shape, r, [&](int gid) { return IndicatorName(sheet, gid + 3, 1, 2); });
    WriteWageSummary(sheet, f);
    StoreWageSummary(c, shape, r, f, unit, dateText);
    return true;
}

QString PeriodLabel(GidSummary id, const MonthRange& r, bool saved) {
    const bool blank = (id == GidSummary::I704) == saved;
    return QStringLiteral("统计月份：") + r.From() + QStringLiteral("月 至 ") + r.To() +
           (blank ? QStringLiteral(" 月") : QStringLiteral("月"));
}

bool UploadableRange(const MonthRange& r) {
    return (r.from == 1 && r.to == 6) || (r.from == 1 && r.to == 12) || (r.from == 6 && r.to == 12);
}

}  // namespace qm::report
