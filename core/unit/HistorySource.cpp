#include "core/unit/HistorySource.h"

#include "core/base/TextCheck.h"
#include "core/db/DatabaseCopy.h"
#include "core/db/SchemaVersion.h"

#include <QDir>
#include <QFileInfo>

#include <array>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

namespace qm {

// ---------------------------------------------------------------- finding the file

namespace {

std::optional<QString> EntryBlind(const QString& folder, const QString& name, QDir::Filters kind) {
    const QDir d(folder);
    if (!d.exists()) return std::nullopt;
    for (const QString& e : d.entryList(kind | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot))
        if (e.compare(name, Qt::CaseInsensitive) == 0) return d.filePath(e);
    return std::nullopt;
}

}  // namespace

std::optional<QString> FindPredecessorDatabase(const QString& folder) {
    if (folder.trimmed().isEmpty()) return std::nullopt;
    const auto dbDir = EntryBlind(folder, QStringLiteral("Database"), QDir::Dirs);
    if (!dbDir) return std::nullopt;
    return EntryBlind(*dbDir, QStringLiteral("RCdatabase.mdb"), QDir::Files);
}

QString JetSourceText(const QString& file) {
    return QStringLiteral("原系统数据库是Access（Jet）格式，本系统不能读取这种格式，未导入任何数据。\n") +
           QDir::toNativeSeparators(file);
}

QString OwnDatabaseText() {
    return QStringLiteral("所选路径是本系统自己的数据库，不能从中导入，请选择原系统安装目录。");
}

QString UnreadableSourceText(const QString& file) {
    return QStringLiteral("无法读取原系统数据库，未导入任何数据：\n") + QDir::toNativeSeparators(file);
}

// ---------------------------------------------------------------- texts

namespace history {

QString TextOf(std::string_view bytes) { return QString::fromUtf8(bytes.data(), qsizetype(bytes.size())); }

QString MonthLabel(Month m) { return m.IsStart() ? QStringLiteral("期初") : QStringLiteral("%1月").arg(m.Number()); }

QString Quoted(std::string_view s) { return QuotedText(TextOf(s)); }

QString BadValueText(const QString& what, std::optional<Month> m, std::string_view number, const char* column,
                     std::string_view value) {
    const QString where = m ? MonthLabel(*m) + QStringLiteral("，") : QString();
    return QStringLiteral("原系统%1记录（%2姓名编号%3）的%4不是有效的数字：%5")
        .arg(what, where, Quoted(number), QLatin1String(column), Quoted(value));
}

const char* OldSpelling(const char* name) {
    if (qstricmp(name, "sTGrade") == 0) return "STGrade";
    if (qstricmp(name, "sTJGrade") == 0) return "sTJgrade";
    if (qstricmp(name, "Smon") == 0) return "sMon";
    return name;
}

QString MissingColumnText(const char* table, const char* column) {
    return QStringLiteral("原系统数据库的%1表缺少列%2。").arg(QLatin1String(table), QLatin1String(OldSpelling(column)));
}

}  // namespace history

using namespace history;

// ---------------------------------------------------------------- SQLite source

namespace {

// The pass over the wage rows, after the four staff filters.
constexpr int kWagePass = 4;

// How a stored month reads: a month, no month at all (null, blank, no number), or a number
// that is no month (13, -1, 5.5).
struct StoredMonth {
    enum class Is { Month, None, Bad } is = Is::None;
    int month = 0;
    double number = 0;
};

StoredMonth ReadMonth(const db::Cell& c) {
    using Is = StoredMonth::Is;
    switch (c.kind) {
    case db::Cell::Kind::Null: return {};
    case db::Cell::Kind::Integer:
        if (c.integer >= Month::kFirst && c.integer <= Month::kLast) return {Is::Month, int(c.integer), 0};
        return {Is::Bad, 0, double(c.integer)};
    case db::Cell::Kind::Real:
        if (c.real == std::floor(c.real) && c.real >= Month::kFirst && c.real <= Month::kLast)
            return {Is::Month, int(c.real), 0};
        return {Is::Bad, 0, c.real};
    case db::Cell::Kind::Text:
    case db::Cell::Kind::Blob: {
        const QString t = TextOf(db::TrimBlankBytes(c.bytes));
        if (t.isEmpty()) return {};
        if (const std::optional<Month> m = Month::Parse(t, Month::Written::Number)) return {Is::Month, m->Number(), 0};
        bool ok = false;
        const double d = t.toDouble(&ok);
        if (ok && std::isfinite(d)) return {Is::Bad, 0, d};
        return {};
    }
    }
    return {};
}

// Whether a pass takes a month; for a number that is no month, whether the pass would have
// read it (its whole part, as SQLite casts it, within the pass's months).
bool Takes(int pass, double month) {
    switch (pass) {
    case int(HistorySource::StaffFilter::YearEnd): return month == Month::kLast;
    case int(HistorySource::StaffFilter::Initial): return month == Month::kFirst;
    case int(HistorySource::StaffFilter::All): return month >= Month::kFirst;
    default: return month >= 1;  // the monthly lists; wages
    }
}

const char* TableOf(int pass) { return pass == kWagePass ? "Wage_Info" : "Staff_moninfo"; }

}  // namespace

// Where a pass's rows lie: for each month, the runs of consecutive rows (by rowid) that the
// pass takes from it. Reading the runs month by month gives the rows in month order without
// sorting them; a table stored month after month has one run per month.
struct SqliteHistorySource::Plan {
    int pass = -1;
    std::array<std::vector<std::pair<long long, long long>>, Month::kLast + 1> runs;
    Pass counts;
};

SqliteHistorySource::SqliteHistorySource(const QString& file) : c_(std::make_unique<db::Connection>()) {
    if (HasJetHeader(file)) throw HistoryError(JetSourceText(file));
    if (!HasSqliteHeader(file)) throw HistoryError(UnreadableSourceText(file));
    if (const auto newer = NewerDatabaseRefusal(file)) throw HistoryError(*newer);
    try {
        c_->OpenReadOnly(file);
        if (!c_->HasTable(QStringLiteral("Staff_moninfo")) || !c_->HasTable(QStringLiteral("Wage_Info")))
            throw HistoryError(UnreadableSourceText(file));
        // One read transaction for the whole import: every pass sees the rows its plan saw,
        // and a run read after another does not take the file's lock again.
        c_->BeginTrans();
    } catch (const db::Error&) {
        throw HistoryError(UnreadableSourceText(file));
    }
}

SqliteHistorySource::~SqliteHistorySource() = default;

const SqliteHistorySource::Plan& SqliteHistorySource::PlanOf(int pass) {
    if (plan_ && plan_->pass == pass) return *plan_;
    plan_.reset();
    const char* table = TableOf(pass);
    const QString from = QStringLiteral(" from ") + QLatin1String(table);
    if (db::Statement(*c_, QStringLiteral("select *") + from).Find("sMon") < 0)
        throw HistoryError(MissingColumnText(table, "sMon"));
    auto plan = std::make_unique<Plan>();
    plan->pass = pass;
    db::Statement st(*c_, QStringLiteral("select rowid, sMon") + from + QStringLiteral(" order by rowid"));
    int open = -1;  // the month of the run being extended
    long long lo = 0, hi = 0;
    auto close = [&] {
        if (open >= 0) plan->runs[size_t(open)].emplace_back(lo, hi);
        open = -1;
    };
    while (st.Step()) {
        const long long id = st.Integer(0);
        const StoredMonth m = ReadMonth(st.At(1));
        // A number that is no month stops the import where the pass would have read it (any
        // wage row: every one was read); elsewhere it is left behind like no month at all.
        if (m.is == StoredMonth::Is::Bad && (pass == kWagePass || Takes(pass, std::trunc(m.number)))) {
            const std::string value(st.Text(1));
            db::Statement who(*c_, QStringLiteral("select sNumber") + from + QStringLiteral(" where rowid=?"));
            who.Add(db::Value(id));
            const std::string number = who.Step() ? std::string(db::TrimBlankBytes(who.Text(0))) : std::string();
            throw HistoryError(BadValueText(pass == kWagePass ? QStringLiteral("工资") : QStringLiteral("人员"),
                                            std::nullopt, number, "sMon", value));
        }
        int take = -1;
        if (m.is == StoredMonth::Is::Month && Takes(pass, m.month))
            take = m.month;
        else if (m.is != StoredMonth::Is::Month || pass == kWagePass)
            ++plan->counts.withoutMonth;  // wages: month 0 has none
        if (take < 0) {
            close();
            continue;
        }
        ++plan->counts.rows;
        if (take == open) {
            hi = id;
        } else {
            close();
            open = take;
            lo = hi = id;
        }
    }
    close();
    plan_ = std::move(plan);
    return *plan_;
}

void SqliteHistorySource::Read(int pass, const RowFn& fn) {
    const Plan& plan = PlanOf(pass);
    db::Statement st(*c_, QStringLiteral("select * from ") + QLatin1String(TableOf(pass)) +
                              QStringLiteral(" where rowid between ?1 and ?2"));
    for (int m = Month::kLast; m >= Month::kFirst; --m)
        for (const auto& [lo, hi] : plan.runs[size_t(m)]) {
            st.Add(db::Value(lo)).Add(db::Value(hi));
            while (st.Step()) fn(st, Month(m));
        }
    plan_.reset();  // a plan serves one pass
}

HistorySource::Pass SqliteHistorySource::PlanStaff(StaffFilter filter) { return PlanOf(int(filter)).counts; }
void SqliteHistorySource::ForEachStaff(StaffFilter filter, const RowFn& fn) { Read(int(filter), fn); }
HistorySource::Pass SqliteHistorySource::PlanWages() { return PlanOf(kWagePass).counts; }
void SqliteHistorySource::ForEachWage(const RowFn& fn) { Read(kWagePass, fn); }

}  // namespace qm
