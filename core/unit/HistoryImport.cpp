#include "core/unit/HistoryImport.h"

#include "core/base/AppContext.h"
#include "core/base/Money.h"
#include "core/base/Progress.h"
#include "core/base/TextCheck.h"
#include "core/base/UiService.h"
#include "core/db/DatabaseCopy.h"
#include "core/db/Db.h"
#include "core/db/SchemaVersion.h"
#include "core/db/StaffTable.h"
#include "core/db/WageTable.h"

#include <sqlite3.h>
#include <QDir>
#include <QFileInfo>

#include <array>
#include <cmath>
#include <string>
#include <unordered_map>
#include <unordered_set>
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

// ---------------------------------------------------------------- values as stored

namespace {

// Bytes up to the blank (code 32) removed at both ends. In UTF-8 these are exactly the
// characters up to U+0020: every byte of a longer character is 0x80 or above.
std::string_view TrimBytes(std::string_view s) {
    size_t b = 0, e = s.size();
    while (b < e && static_cast<unsigned char>(s[b]) <= 32) ++b;
    while (e > b && static_cast<unsigned char>(s[e - 1]) <= 32) --e;
    return s.substr(b, e - b);
}

// Trimmed, then every blank removed.
void StripBytes(std::string_view s, std::string& out) {
    out.clear();
    for (const char ch : TrimBytes(s))
        if (ch != ' ') out.push_back(ch);
}

QString Utf8Text(std::string_view s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }

QString MonthLabel(Month m) { return m.IsStart() ? QStringLiteral("期初") : QStringLiteral("%1月").arg(m.Number()); }

// A stored text as a message shows it: between quotes, so that an empty or blank one shows as
// such, with control characters as escapes ("\t", "\x01").
QString Quoted(std::string_view s) { return QStringLiteral("“%1”").arg(VisibleText(Utf8Text(s))); }

// A value the import cannot take over, named by the row's person (and month, when known).
// `what` is "人员" or "工资".
QString BadValueText(const QString& what, std::optional<Month> m, std::string_view number, const char* column,
                     std::string_view value) {
    const QString where = m ? MonthLabel(*m) + QStringLiteral("，") : QString();
    return QStringLiteral("原系统%1记录（%2姓名编号%3）的%4不是有效的数字：%5")
        .arg(what, where, Quoted(number), QLatin1String(column), Quoted(value));
}

// The old program spelled two columns in its own case. Column names match whatever the case,
// but a refusal names a missing column as the old program's table would show it.
const char* OldSpelling(const char* name) {
    if (qstricmp(name, "sTGrade") == 0) return "STGrade";
    if (qstricmp(name, "sTJGrade") == 0) return "sTJgrade";
    if (qstricmp(name, "Smon") == 0) return "sMon";
    return name;
}

QString MissingColumnText(const char* table, const char* column) {
    return QStringLiteral("原系统数据库的%1表缺少列%2。").arg(QLatin1String(table), QLatin1String(OldSpelling(column)));
}

// A prepared statement of its own, finalized when it goes: a pass steps it across many
// statements of the connection, whose cache may finalize what it holds.
class Statement {
public:
    Statement(db::Connection& c, const QString& sql) : c_(c) {
        const QByteArray text = sql.toUtf8();
        if (sqlite3_prepare_v2(c.Handle(), text.constData(), int(text.size()), &st_, nullptr) != SQLITE_OK) c.Fail(sql);
    }
    ~Statement() { sqlite3_finalize(st_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    sqlite3_stmt* get() const { return st_; }
    // True on a row, false when done; a failure raises, told as the person reads it.
    bool Step() {
        const int rc = sqlite3_step(st_);
        if (rc == SQLITE_ROW) return true;
        if (rc == SQLITE_DONE) return false;
        const QString text = QString::fromUtf8(sqlite3_errmsg(c_.Handle()));
        const int code = sqlite3_extended_errcode(c_.Handle());
        sqlite3_reset(st_);
        throw db::Error::FromEngine(code ? code : rc, text);
    }
    void Reset() { sqlite3_reset(st_); }

    void BindNull(int p) { sqlite3_bind_null(st_, p); }
    void BindInt(int p, long long v) { sqlite3_bind_int64(st_, p, v); }
    void BindReal(int p, double v) { sqlite3_bind_double(st_, p, v); }
    // The bytes stay where they are until the statement has stepped.
    void BindText(int p, std::string_view s) {
        sqlite3_bind_text(st_, p, s.empty() ? "" : s.data(), int(s.size()), SQLITE_STATIC);
    }

private:
    db::Connection& c_;
    sqlite3_stmt* st_ = nullptr;
};

}  // namespace

int HistoryRow::Column(const char* name) const {
    const int n = sqlite3_column_count(st_);
    for (int i = 0; i < n; ++i)
        if (qstricmp(sqlite3_column_name(st_, i), name) == 0) return i;
    return -1;
}

HistoryCell HistoryRow::At(int column) const {
    HistoryCell c;
    switch (sqlite3_column_type(st_, column)) {
    case SQLITE_NULL: break;
    case SQLITE_INTEGER:
        c.type = HistoryCell::Type::Integer;
        c.integer = sqlite3_column_int64(st_, column);
        break;
    case SQLITE_FLOAT:
        c.type = HistoryCell::Type::Real;
        c.real = sqlite3_column_double(st_, column);
        break;
    default:
        c.type = HistoryCell::Type::Text;
        c.text = Utf8(column);
        break;
    }
    return c;
}

std::string_view HistoryRow::Utf8(int column) const {
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(st_, column));
    if (!p) return {};
    return std::string_view(p, size_t(sqlite3_column_bytes(st_, column)));
}

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

StoredMonth ReadMonth(const HistoryCell& c) {
    using Is = StoredMonth::Is;
    switch (c.type) {
    case HistoryCell::Type::Null: return {};
    case HistoryCell::Type::Integer:
        if (c.integer >= Month::kFirst && c.integer <= Month::kLast) return {Is::Month, int(c.integer), 0};
        return {Is::Bad, 0, double(c.integer)};
    case HistoryCell::Type::Real:
        if (c.real == std::floor(c.real) && c.real >= Month::kFirst && c.real <= Month::kLast)
            return {Is::Month, int(c.real), 0};
        return {Is::Bad, 0, c.real};
    case HistoryCell::Type::Text: {
        const QString t = Utf8Text(TrimBytes(c.text));
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
    {
        const Statement all(*c_, QStringLiteral("select *") + from);
        if (HistoryRow(all.get()).Column("sMon") < 0) throw HistoryError(MissingColumnText(table, "sMon"));
    }
    auto plan = std::make_unique<Plan>();
    plan->pass = pass;
    Statement st(*c_, QStringLiteral("select rowid, sMon") + from + QStringLiteral(" order by rowid"));
    int open = -1;  // the month of the run being extended
    long long lo = 0, hi = 0;
    auto close = [&] {
        if (open >= 0) plan->runs[size_t(open)].emplace_back(lo, hi);
        open = -1;
    };
    while (st.Step()) {
        const long long id = sqlite3_column_int64(st.get(), 0);
        const HistoryRow row(st.get());
        const StoredMonth m = ReadMonth(row.At(1));
        // A number that is no month stops the import where the pass would have read it (any
        // wage row: every one was read); elsewhere it is left behind like no month at all.
        if (m.is == StoredMonth::Is::Bad && (pass == kWagePass || Takes(pass, std::trunc(m.number)))) {
            const std::string value(row.Utf8(1));
            Statement who(*c_, QStringLiteral("select sNumber") + from + QStringLiteral(" where rowid=?"));
            who.BindInt(1, id);
            const std::string number =
                who.Step() ? std::string(TrimBytes(HistoryRow(who.get()).Utf8(0))) : std::string();
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
    Statement st(*c_, QStringLiteral("select * from ") + QLatin1String(TableOf(pass)) +
                          QStringLiteral(" where rowid between ?1 and ?2"));
    for (int m = Month::kLast; m >= Month::kFirst; --m)
        for (const auto& [lo, hi] : plan.runs[size_t(m)]) {
            st.BindInt(1, lo);
            st.BindInt(2, hi);
            const HistoryRow row(st.get());
            while (st.Step()) fn(row, Month(m));
            st.Reset();
        }
    plan_.reset();  // a plan serves one pass
}

HistorySource::Pass SqliteHistorySource::PlanStaff(StaffFilter filter) { return PlanOf(int(filter)).counts; }
void SqliteHistorySource::ForEachStaff(StaffFilter filter, const RowFn& fn) { Read(int(filter), fn); }
HistorySource::Pass SqliteHistorySource::PlanWages() { return PlanOf(kWagePass).counts; }
void SqliteHistorySource::ForEachWage(const RowFn& fn) { Read(kWagePass, fn); }

// ---------------------------------------------------------------- building the rows

namespace {

// How a target column's value is built from the old column of the same name.
enum class Kind {
    Name,    // StripSpaces
    Number,  // the staff or wage number, trimmed
    Text,    // as stored; empty after trimming: null (staff) or '' (year end, flags)
    Code,    // a whole-number code; empty: null
    Amount,  // a number; empty: null
    Wage,    // a wage amount: a finite number; empty, or no such number: null
    Month,   // the month the row is read in
};

struct Target {
    QByteArray name;
    Kind kind;
};

// The target columns in the order of the gateway's insert, and where the ones the import
// looks at sit among them: the number, the flag a failing row gets "0" in (staff sIsok,
// wages sFlag) and the wage limits' flag.
struct Targets {
    const char* table;
    QString insertSql;
    std::vector<Target> cols;
    int number = -1, failed = -1, wFlag = -1;

    int IndexOf(const char* name) const {
        for (size_t i = 0; i < cols.size(); ++i)
            if (qstricmp(cols[i].name.constData(), name) == 0) return int(i);
        return -1;
    }
};

Kind KindOf(StaffPlain f) {
    switch (f) {
    case StaffPlain::Mon: return Kind::Month;
    case StaffPlain::Name: return Kind::Name;
    case StaffPlain::Number: return Kind::Number;
    case StaffPlain::Works:
    case StaffPlain::Work: return Kind::Amount;
    default: return Kind::Text;  // birth, duty, audit flag
    }
}

// Every column of the staff table, whatever the unit's class.
const Targets& StaffTargets() {
    static const Targets t = [] {
        Targets out{"Staff_moninfo", StaffTable::InsertSql(StaffColumns::All), {}};
        for (const QString& col : StaffTable::InsertColumns(StaffColumns::All)) {
            Kind kind = Kind::Text;
            for (const StaffPlainRow& p : kStaffPlain)
                if (col == QLatin1String(p.column)) kind = KindOf(p.field);
            for (const StaffAttrRow& a : kStaffAttrs)
                if (col == QLatin1String(a.code)) kind = Kind::Code;
            out.cols.push_back({col.toLatin1(), kind});
        }
        out.number = out.IndexOf(PlainRow(StaffPlain::Number).column);
        out.failed = out.IndexOf(PlainRow(StaffPlain::Isok).column);
        return out;
    }();
    return t;
}

const Targets& WageTargets() {
    static const Targets t = [] {
        Targets out{"Wage_Info", WageTable::InsertSql(), {}};
        for (const QString& col : WageTable::InsertColumns()) {
            const QByteArray name = col.toLatin1();
            const Kind kind = name == "Smon"          ? Kind::Month
                              : name == "sNumber"     ? Kind::Number
                              : name == "sName"       ? Kind::Name
                              : name.endsWith("Flag") ? Kind::Text
                                                      : Kind::Wage;
            out.cols.push_back({name, kind});
        }
        out.number = out.IndexOf("sNumber");
        out.failed = out.IndexOf("sFlag");
        out.wFlag = out.IndexOf("wFlag");
        return out;
    }();
    return t;
}

// The old column of each target column, resolved at a pass's first row. The month is read
// by the source, not here.
std::vector<int> Resolve(const HistoryRow& row, const Targets& t) {
    std::vector<int> idx(t.cols.size(), -1);
    for (size_t i = 0; i < t.cols.size(); ++i) {
        if (t.cols[i].kind == Kind::Month) continue;
        idx[i] = row.Column(t.cols[i].name.constData());
        if (idx[i] < 0) throw HistoryError(MissingColumnText(t.table, t.cols[i].name.constData()));
    }
    return idx;
}

// An old number column's value.
struct Number {
    enum class Is { Null, Blank, Integer, Real, Bad } is = Is::Null;
    long long integer = 0;
    double real = 0;
};

// Whole numbers as integers, others as reals (refused where only whole numbers belong).
Number FromDouble(double d, bool wholeOnly) {
    if (!std::isfinite(d)) return {Number::Is::Bad};
    if (d == std::floor(d) && std::fabs(d) < 9e15) return {Number::Is::Integer, static_cast<long long>(d)};
    if (wholeOnly) return {Number::Is::Bad};
    return {Number::Is::Real, 0, d};
}

// A number stored as one is taken as it is; a text is read as a number (a loosely typed old
// table may keep numbers as text).
Number ReadNumber(const HistoryCell& c, bool wholeOnly) {
    switch (c.type) {
    case HistoryCell::Type::Null: return {};
    case HistoryCell::Type::Integer: return {Number::Is::Integer, c.integer};
    case HistoryCell::Type::Real: return FromDouble(c.real, wholeOnly);
    case HistoryCell::Type::Text: {
        const std::string_view t = TrimBytes(c.text);
        if (t.empty()) return {Number::Is::Blank};
        const QString s = Utf8Text(t);
        bool ok = false;
        const long long i = s.toLongLong(&ok);
        if (ok) return {Number::Is::Integer, i};
        const double d = s.toDouble(&ok);
        return ok ? FromDouble(d, wholeOnly) : Number{Number::Is::Bad};
    }
    }
    return {};
}

// Wage amounts stay below this magnitude: a double holds every whole yuan below it exactly,
// and no report figure or upload field holds more.
constexpr double kHeldAmountLimit = 1e15;

// The persons of the month being written: the numbers the program held in it before the
// import (their rows are left behind), and the rows this import wrote, by number. Rows come
// month by month, so one month is kept at a time.
class MonthPersons {
public:
    using Reader = std::function<std::vector<QString>(Month)>;
    explicit MonthPersons(Reader held) : read_(std::move(held)) {}

    void Enter(Month m) {
        if (month_ == m) return;
        month_ = m;
        written_.clear();
        held_.clear();
        for (const QString& n : read_(m)) held_.insert(std::string(TrimBytes(n.toUtf8().toStdString())));
    }
    bool Held(std::string_view number) const { return !held_.empty() && held_.count(std::string(number)) > 0; }
    // The entry of a number this import writes (its first row's id, 0 once that row is
    // marked), and whether the number is new in the month.
    std::pair<long long&, bool> Write(std::string_view number) {
        auto [it, first] = written_.try_emplace(std::string(number), 0);
        return {it->second, first};
    }

private:
    Reader read_;
    std::optional<Month> month_;
    std::unordered_set<std::string> held_;
    std::unordered_map<std::string, long long> written_;
};

constexpr int kPersonsNamed = 10;

// Writes old rows into one table: builds each column's value from the old column of the same
// name and binds it as stored, leaves behind the rows of persons the month already holds,
// and marks as failing (with `mark` for a row already written) a person twice in one month
// and a row whose value the import had to change.
class RowCopier {
public:
    RowCopier(db::Connection& c, const Targets& t, MonthPersons::Reader held, std::function<void(long long)> mark,
              const char* emptyText, HistoryImporter::Tally& tally)
        : c_(c),
          t_(t),
          ins_(c, t.insertSql),
          persons_(std::move(held)),
          mark_(std::move(mark)),
          emptyText_(emptyText),
          tally_(tally) {}

    // Copies one row into month m (`read` is the month it was read in); answers whether it
    // was written.
    bool Copy(const HistoryRow& row, Month m, Month read) {
        if (idx_.empty()) idx_ = Resolve(row, t_);
        persons_.Enter(m);
        const std::string_view number = TrimBytes(row.Utf8(idx_[size_t(t_.number)]));
        if (persons_.Held(number)) {
            ++tally_.alreadyStored;
            return false;
        }
        bool blankCode = false, badAmount = false;
        for (size_t i = 0; i < t_.cols.size(); ++i) {
            const int p = int(i) + 1, at = idx_[i];
            const Kind kind = t_.cols[i].kind;
            switch (kind) {
            case Kind::Month: ins_.BindInt(p, m.Number()); break;
            case Kind::Name:
                StripBytes(row.Utf8(at), name_);
                ins_.BindText(p, name_);
                break;
            case Kind::Number: ins_.BindText(p, number); break;
            case Kind::Text: BindText(p, row, at); break;
            case Kind::Code:
            case Kind::Amount: {
                const Number v = ReadNumber(row.At(at), kind == Kind::Code);
                if (v.is == Number::Is::Bad)
                    throw HistoryError(BadValueText(QStringLiteral("人员"), read, number,
                                                    OldSpelling(t_.cols[i].name.constData()), row.Utf8(at)));
                // A code stored as blank text is taken as none: the row is no longer what passed its audit.
                blankCode = blankCode || (v.is == Number::Is::Blank && kind == Kind::Code);
                Bind(p, v);
                break;
            }
            case Kind::Wage: {
                // An amount that is no number the program can hold is kept empty and flags the
                // row (wFlag "0"). A total outside the wage limits keeps its old flag: the
                // person may have accepted it in the old program.
                Number v = ReadNumber(row.At(at), false);
                const double held = v.is == Number::Is::Integer ? double(v.integer) : v.real;
                if (v.is == Number::Is::Bad || !(std::fabs(held) < kHeldAmountLimit)) badAmount = true;
                if (v.is == Number::Is::Bad) v.is = Number::Is::Null;
                // Stored as every sum reads it: to the ten-thousandth (Money.h).
                if (v.is == Number::Is::Real)
                    if (const std::optional<Money> m = Money::FromDouble(v.real)) v.real = m->ToDouble();
                Bind(p, v);
                break;
            }
            }
        }
        auto [first, isFirst] = persons_.Write(number);
        if (!isFirst && first > 0) {
            mark_(first);
            first = 0;
            ++tally_.doubled;
            if (tally_.doubledPersons.size() < kPersonsNamed)
                tally_.doubledPersons << MonthLabel(m) + QStringLiteral("的") + Quoted(number);
        }
        tally_.doubled += isFirst ? 0 : 1;
        tally_.blankCodes += blankCode ? 1 : 0;
        tally_.badAmounts += badAmount ? 1 : 0;
        if (badAmount) ins_.BindText(t_.wFlag + 1, "0");
        if (blankCode || !isFirst) ins_.BindText(t_.failed + 1, "0");
        ins_.Step();
        ins_.Reset();
        if (isFirst) first = sqlite3_last_insert_rowid(c_.Handle());
        return true;
    }

private:
    void Bind(int p, const Number& n) {
        if (n.is == Number::Is::Integer)
            ins_.BindInt(p, n.integer);
        else if (n.is == Number::Is::Real)
            ins_.BindReal(p, n.real);
        else
            ins_.BindNull(p);
    }
    // A text column: as stored, or the empty text (null when there is none) when it is blank.
    void BindText(int p, const HistoryRow& row, int at) {
        const std::string_view s = row.Utf8(at);
        if (!TrimBytes(s).empty())
            ins_.BindText(p, s);
        else if (emptyText_)
            ins_.BindText(p, emptyText_);
        else
            ins_.BindNull(p);
    }

    db::Connection& c_;
    const Targets& t_;
    Statement ins_;
    MonthPersons persons_;
    std::function<void(long long)> mark_;
    const char* emptyText_;
    HistoryImporter::Tally& tally_;
    std::vector<int> idx_;
    std::string name_;
};

}  // namespace

QString HistoryImporter::Trim(const QString& text) { return Utf8Text(TrimBytes(text.toUtf8().toStdString())); }

QString HistoryImporter::StripSpaces(const QString& text) {
    std::string out;
    StripBytes(text.toUtf8().toStdString(), out);
    return Utf8Text(out);
}

void HistoryImporter::Step(int k, int n) {
    const int v = n > 0 ? int(static_cast<long long>(k) * 100 / n) : 0;
    // The bar moves only when its whole percentage changes.
    if (v == lastShown_) return;
    lastShown_ = v;
    pb_.SetPosition(v);
}

int HistoryImporter::CopyStaff(HistorySource& src, HistorySource::StaffFilter filter, Mode mode, int firstK) {
    tally_ = {};
    const HistorySource::Pass pass = src.PlanStaff(filter);
    tally_.withoutMonth = pass.withoutMonth;
    StaffTable table(c_);
    const bool yearEnd = mode == Mode::YearEnd;
    // The start-of-period list made from the year end keeps the empty text in text columns,
    // as it always did; number columns get null, never the empty text.
    RowCopier copier(
        c_, StaffTargets(),
        [&table](Month m) {
            std::vector<QString> numbers;
            for (const auto& person : table.ReadPeople(m)) numbers.push_back(person.first);
            return numbers;
        },
        [&table](long long id) { table.MarkFailed(id); }, yearEnd ? "" : nullptr, tally_);
    int k = 0, taken = 0;
    lastShown_ = -1;
    src.ForEachStaff(filter, [&](const HistoryRow& row, Month read) {
        Step(k + firstK, pass.rows);
        ++k;
        taken += copier.Copy(row, yearEnd ? Month::Start() : read, read) ? 1 : 0;
    });
    pb_.SetPosition(0);
    lastShown_ = -1;
    return taken;
}

int HistoryImporter::ImportYearEndAsInitial(HistorySource& src) {
    return CopyStaff(src, HistorySource::StaffFilter::YearEnd, Mode::YearEnd, 0);
}

int HistoryImporter::ImportStaff(HistorySource& src, const QString& filter) {
    const auto f = filter == QLatin1String("0")   ? HistorySource::StaffFilter::Initial
                   : filter == QLatin1String("1") ? HistorySource::StaffFilter::All
                                                  : HistorySource::StaffFilter::Monthly;
    return CopyStaff(src, f, Mode::Staff, 1);
}

int HistoryImporter::ImportWages(HistorySource& src) {
    tally_ = {};
    const HistorySource::Pass pass = src.PlanWages();
    tally_.withoutMonth = pass.withoutMonth;
    WageTable table(c_);
    // Flags keep their old text; an empty flag stays the empty text.
    RowCopier copier(
        c_, WageTargets(),
        [&table](Month m) {
            std::vector<QString> numbers;
            for (const WageRecord& r : table.ReadMonth(m)) numbers.push_back(r.sNumber);
            return numbers;
        },
        [&table](long long id) { table.MarkUnlisted(id); }, "", tally_);
    int k = 0, taken = 0;
    lastShown_ = -1;
    src.ForEachWage([&](const HistoryRow& row, Month read) {
        Step(k, pass.rows);
        ++k;
        taken += copier.Copy(row, read, read) ? 1 : 0;
    });
    pb_.SetPosition(0);
    lastShown_ = -1;
    return taken;
}

// ---------------------------------------------------------------- the wizard's start

HistoryImport::HistoryImport(db::Connection& target, UiService& ui, Progress& pb, IMainWindow* main)
    : c_(target), ui_(ui), pb_(pb), main_(main) {
    factory_ = [](const QString& file) -> std::unique_ptr<HistorySource> {
        return std::make_unique<SqliteHistorySource>(file);
    };
}

namespace {

// The completion message: how many rows were taken, then what was left behind or marked.
QString DoneText(const QString& head, const HistoryImporter::Tally& t, bool wages) {
    const QString what = wages ? QStringLiteral("工资") : QStringLiteral("人员");
    QString s = head;
    if (t.withoutMonth > 0)
        s += wages ? QStringLiteral("\n另有%1条工资记录没有1至12月的月份，未导入。").arg(t.withoutMonth)
                   : QStringLiteral("\n另有%1条人员记录没有有效的月份，未导入。").arg(t.withoutMonth);
    if (t.alreadyStored > 0)
        s += QStringLiteral("\n另有%1条%2记录的姓名编号在本系统同一月份中已有%2记录，未重复导入。")
                 .arg(t.alreadyStored)
                 .arg(what);
    if (t.doubled > 0) {
        QString persons = t.doubledPersons.join(QStringLiteral("、"));
        if (t.doubledPersons.size() >= kPersonsNamed) persons += QStringLiteral("等");
        s += QStringLiteral(
                 "\n其中%1条%2记录是同一姓名编号在同一月份的重复记录（%3），已全部导入并标为错误，"
                 "改正前不能汇总，请在%2错误信息中核实。")
                 .arg(t.doubled)
                 .arg(what, persons);
    }
    if (t.blankCodes > 0)
        s += QStringLiteral("\n其中%1条人员记录的代码是空白文字，已存为空并标为错误，请在人员错误信息中核实。")
                 .arg(t.blankCodes);
    if (t.badAmounts > 0)
        s += QStringLiteral(
                 "\n其中%1条工资记录的金额不是有效的数字或超出可以处理的范围，已标为错误，"
                 "请在工资错误信息中核实。")
                 .arg(t.badAmounts);
    return s;
}

QString StaffDoneText(HistoryImporter& imp, HistorySource& src, const QString& filter) {
    const int taken = imp.ImportStaff(src, filter);
    return DoneText(QStringLiteral("导入完成，共%1条月度人员记录。").arg(taken), imp.Last(), false);
}

QString WagesDoneText(HistoryImporter& imp, HistorySource& src) {
    const int taken = imp.ImportWages(src);
    return DoneText(QStringLiteral("导入完成，共%1条工资记录。").arg(taken), imp.Last(), true);
}

}  // namespace

bool HistoryImport::Start(const QString& folder, int choice) {
    const bool noFolder = folder.trimmed().isEmpty();
    if (noFolder || choice < 0 || choice > 4) {
        if (noFolder && choice < 0)
            ui_.Info(QStringLiteral("请依次 Step1:选择原始系统安装路径;\r\r       Step2:导入数据选项。"));
        else if (noFolder)
            ui_.Info(QStringLiteral("请Step1:选择原始系统安装路径。"));
        else
            ui_.Info(QStringLiteral("请Step2:选择导入数据选项。"));
        return false;
    }
    const auto file = FindPredecessorDatabase(folder.trimmed());
    if (!file) {
        ui_.Info(QStringLiteral("路径选择错误，请核对。"));
        return false;
    }
    // Reading this program's own database would only append every row to itself again.
    if (SameFile(*file, c_.Path())) {
        ui_.Info(OwnDatabaseText());
        return false;
    }
    // Going on adds the persons the list lacks; a careless Enter adds nothing.
    if (choice == 0 && StaffTable(c_).HasRows(Month::Start()) &&
        ui_.MessageDlg(QStringLiteral("已有期初数据，是否继续导入？"), DlgKind::Confirmation,
                       DlgButtons::YesNoDefaultNo) != DlgAnswer::Yes)
        return false;
    if (choice == 3 && !StaffTable(c_).HasMonthlyRows()) {
        ui_.ConfirmYesOnly(QStringLiteral("没有月度人员数据，请先导入月度人员数据。"));
        return false;
    }

    std::unique_ptr<HistorySource> src;
    try {
        src = factory_(*file);
    } catch (const HistoryError& e) {
        ui_.Info(e.Text());
        return false;
    }

    QStringList done;
    try {
        HistoryImporter imp(c_, pb_);
        db::Transaction t(c_);
        switch (choice) {
        case 0: {
            const int taken = imp.ImportYearEndAsInitial(*src);
            done << DoneText(QStringLiteral("导入完成，共%1条记录。").arg(taken), imp.Last(), false);
            break;
        }
        case 1: done << StaffDoneText(imp, *src, QStringLiteral("0")); break;
        case 2: done << StaffDoneText(imp, *src, QStringLiteral("2")); break;
        case 3: done << WagesDoneText(imp, *src); break;
        case 4:
            done << StaffDoneText(imp, *src, QStringLiteral("2"));
            done << WagesDoneText(imp, *src);
            break;
        }
        t.Commit();
    } catch (const std::exception& e) {
        pb_.SetPosition(0);
        ui_.Plain(QStringLiteral("导入失败，已撤销本次导入，数据未做改动：\n") + QString::fromUtf8(e.what()));
        return false;
    }
    for (const QString& m : done) ui_.Info(m);
    // Both refreshers after every import, so the menus follow the rows just taken over.
    if (main_) {
        main_->RefreshMonthMenus();
        main_->RefreshInitialDataMenus();
    }
    return true;
}

}  // namespace qm
