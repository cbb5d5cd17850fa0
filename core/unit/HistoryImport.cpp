#include "core/unit/HistoryImport.h"

#include "core/base/AppContext.h"
#include "core/base/Progress.h"
#include "core/base/UiService.h"
#include "core/db/DatabaseCopy.h"
#include "core/db/Db.h"
#include "core/db/SchemaVersion.h"
#include "core/db/StaffTable.h"
#include "core/db/WageTable.h"

#include <sqlite3.h>
#include <QDir>
#include <QFileInfo>
#include <QHash>

#include <array>
#include <cmath>

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

// ---------------------------------------------------------------- SQLite source

namespace {

class StatementRow : public HistoryRow {
public:
    explicit StatementRow(sqlite3_stmt* st) : st_(st) {
        const int n = sqlite3_column_count(st);
        for (int i = 0; i < n; ++i) byName_.insert(QString::fromUtf8(sqlite3_column_name(st, i)).toLower(), i);
    }
    int Column(const QString& name) const override { return byName_.value(name.toLower(), -1); }
    std::optional<QString> Text(int column) const override {
        if (sqlite3_column_type(st_, column) == SQLITE_NULL) return std::nullopt;
        const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(st_, column));
        return QString::fromUtf8(p, sqlite3_column_bytes(st_, column));
    }
    std::optional<long long> Integer(int column) const override {
        if (sqlite3_column_type(st_, column) != SQLITE_INTEGER) return std::nullopt;
        return sqlite3_column_int64(st_, column);
    }

private:
    sqlite3_stmt* st_;
    QHash<QString, int> byName_;
};

// Months are compared as numbers whatever the old column stores (a loosely typed old table
// may hold them as text); rows without a month are not taken.
QString StaffWhere(HistorySource::StaffFilter f) {
    const char* op = "";
    switch (f) {
    case HistorySource::StaffFilter::YearEnd: op = "=12"; break;
    case HistorySource::StaffFilter::Initial: op = "=0"; break;
    case HistorySource::StaffFilter::All: op = ">=0"; break;
    case HistorySource::StaffFilter::Monthly: op = ">0"; break;
    }
    return QStringLiteral(" from Staff_moninfo where trim(sMon)<>'' and cast(sMon as integer)") + QLatin1String(op);
}

QString StaffOrder(HistorySource::StaffFilter f) {
    return f == HistorySource::StaffFilter::YearEnd ? QStringLiteral(" order by rowid")
                                                    : QStringLiteral(" order by cast(sMon as integer) desc, rowid");
}

// Every wage row: those without a month 1..12 are counted by the importer, not dropped here.
const QString kWageFrom = QStringLiteral(" from Wage_Info");

}  // namespace

SqliteHistorySource::SqliteHistorySource(const QString& file) : c_(std::make_unique<db::Connection>()) {
    if (HasJetHeader(file)) throw HistoryError(JetSourceText(file));
    if (!HasSqliteHeader(file)) throw HistoryError(UnreadableSourceText(file));
    if (const auto newer = NewerDatabaseRefusal(file)) throw HistoryError(*newer);
    try {
        c_->OpenReadOnly(file);
        if (!c_->HasTable(QStringLiteral("Staff_moninfo")) || !c_->HasTable(QStringLiteral("Wage_Info")))
            throw HistoryError(UnreadableSourceText(file));
    } catch (const db::Error&) {
        throw HistoryError(UnreadableSourceText(file));
    }
}

SqliteHistorySource::~SqliteHistorySource() = default;

namespace {

int Count(db::Connection& c, const QString& sql) {
    db::Query q(c);
    q.Open(sql);
    return int(q.Fields(0).AsInteger());
}

void Each(db::Connection& c, const QString& sql, const HistorySource::RowFn& fn) {
    sqlite3_stmt* st = c.Prepare(sql);
    StatementRow row(st);
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) fn(row);
    sqlite3_reset(st);
    if (rc != SQLITE_DONE) c.Fail();
}

}  // namespace

int SqliteHistorySource::CountStaff(StaffFilter filter) {
    return Count(*c_, QStringLiteral("select count(*)") + StaffWhere(filter));
}

void SqliteHistorySource::ForEachStaff(StaffFilter filter, const RowFn& fn) {
    Each(*c_, QStringLiteral("select *") + StaffWhere(filter) + StaffOrder(filter), fn);
}

int SqliteHistorySource::CountWages() { return Count(*c_, QStringLiteral("select count(*)") + kWageFrom); }

void SqliteHistorySource::ForEachWage(const RowFn& fn) {
    Each(*c_, QStringLiteral("select *") + kWageFrom + QStringLiteral(" order by cast(sMon as integer) desc, rowid"),
         fn);
}

// ---------------------------------------------------------------- building the rows

namespace {

// How a column's value is built from the old one.
enum class Kind {
    Name,    // StripSpaces
    Number,  // the staff or wage number, trimmed
    Text,    // as stored; empty after trimming: null (staff) or '' (year end, flags)
    Code,    // a whole-number code; empty: null
    Amount,  // a number; empty: null
    Wage,    // a wage amount: a finite number; empty, or no such number: null (see ImportWages)
    Month,   // a whole number 0..12, required
};

struct Col {
    const char* name;
    Kind kind;
};

// Where the value of an old staff column goes in the row. Found once per column, not once
// per row: an import walks every column of some two hundred thousand rows.
struct Slot {
    enum class What { Name, Number, Birth, Works, Work, Gw, Isok, Mon, Text, Code } what = What::Name;
    StaffAttr attr = StaffAttr(0);
};

struct StaffCol {
    Col col;
    Slot slot;
};

// The old table's staff columns, as the staff table's registry names them: the plain fields,
// every attribute's text and code, and the month last.
const std::vector<StaffCol>& StaffCols() {
    static const std::vector<StaffCol> cols = [] {
        using W = Slot::What;
        std::vector<StaffCol> out;
        auto plain = [&out](StaffPlain f, Kind kind, W what) { out.push_back({{PlainRow(f).column, kind}, {what}}); };
        plain(StaffPlain::Name, Kind::Name, W::Name);
        plain(StaffPlain::Number, Kind::Number, W::Number);
        plain(StaffPlain::Birth, Kind::Text, W::Birth);
        plain(StaffPlain::Works, Kind::Amount, W::Works);
        plain(StaffPlain::Work, Kind::Amount, W::Work);
        plain(StaffPlain::Gw, Kind::Text, W::Gw);
        plain(StaffPlain::Isok, Kind::Text, W::Isok);
        for (const StaffAttrRow& a : kStaffAttrs) {
            out.push_back({{a.text, Kind::Text}, {W::Text, a.attr}});
            out.push_back({{a.code, Kind::Code}, {W::Code, a.attr}});
        }
        plain(StaffPlain::Mon, Kind::Month, W::Mon);
        return out;
    }();
    return cols;
}

// Wage amounts stay below this magnitude: a double holds every whole yuan below it exactly,
// and no report figure or upload field holds more.
constexpr double kHeldAmountLimit = 1e15;

constexpr std::array<Col, 11> kWageCols{{
    {"sName", Kind::Name},
    {"sNumber", Kind::Number},
    {"sTotal", Kind::Wage},
    {"sN1", Kind::Wage},
    {"sN2", Kind::Wage},
    {"sN3", Kind::Wage},
    {"sN4", Kind::Wage},
    {"sN5", Kind::Wage},
    {"sFlag", Kind::Text},
    {"wFlag", Kind::Text},
    {"sMon", Kind::Month},
}};

constexpr size_t kWageMonth = kWageCols.size() - 1;
static_assert(kWageCols[kWageMonth].kind == Kind::Month);

// The old program spelled two columns in its own case. Column names match whatever the case,
// but a refusal names a missing column as the old program's table would show it.
const char* OldSpelling(const char* name) {
    if (qstricmp(name, "sTGrade") == 0) return "STGrade";
    if (qstricmp(name, "sTJGrade") == 0) return "sTJgrade";
    return name;
}

// The index in the old table of a column, resolved at its first row.
int Resolve(const HistoryRow& row, const Col& col, const char* table) {
    const int i = row.Column(QString::fromLatin1(col.name));
    if (i < 0)
        throw HistoryError(QStringLiteral("原系统数据库的%1表缺少列%2。")
                               .arg(QLatin1String(table), QLatin1String(OldSpelling(col.name))));
    return i;
}
template <size_t N>
std::array<int, N> Resolve(const HistoryRow& row, const std::array<Col, N>& cols, const char* table) {
    std::array<int, N> idx{};
    for (size_t i = 0; i < N; ++i) idx[i] = Resolve(row, cols[i], table);
    return idx;
}
std::vector<int> Resolve(const HistoryRow& row, const std::vector<StaffCol>& cols, const char* table) {
    std::vector<int> idx(cols.size());
    for (size_t i = 0; i < cols.size(); ++i) idx[i] = Resolve(row, cols[i].col, table);
    return idx;
}

struct RowContext {
    const char* what;  // "人员" or "工资"
    int k;             // 1-based position among the rows read
};

[[noreturn]] void BadValue(const RowContext& rc, const char* column, const QString& value) {
    throw HistoryError(QStringLiteral("原系统第%1条%2记录的%3不是有效的数字：%4")
                           .arg(rc.k)
                           .arg(QLatin1String(rc.what), QLatin1String(column), value));
}

// A number as its own type: whole numbers as integers, others as reals.
std::optional<db::Value> ParseNumber(const QString& t, bool wholeOnly) {
    bool ok = false;
    const long long i = t.toLongLong(&ok);
    if (ok) return db::Value(i);
    const double d = t.toDouble(&ok);
    if (!ok || !std::isfinite(d)) return std::nullopt;
    if (d == std::floor(d) && std::fabs(d) < 9e15) return db::Value(static_cast<long long>(d));
    if (wholeOnly) return std::nullopt;
    return db::Value(d);
}

}  // namespace

QString HistoryImporter::Trim(const QString& text) {
    int b = 0, e = int(text.size());
    while (b < e && text[b].unicode() <= 32) ++b;
    while (e > b && text[e - 1].unicode() <= 32) --e;
    return text.mid(b, e - b);
}

QString HistoryImporter::StripSpaces(const QString& text) {
    QString t = Trim(text);
    t.remove(QLatin1Char(' '));
    return t;
}

void HistoryImporter::Step(int k, int n) {
    const int v = n > 0 ? int(static_cast<long long>(k) * 100 / n) : 0;
    // The bar moves only when its whole percentage changes.
    if (v == lastShown_) return;
    lastShown_ = v;
    pb_.SetPosition(v);
}

namespace {

// The value of one target column. `emptyText` is what an empty text column gets.
db::Value BuildValue(const Col& col, const std::optional<QString>& old, const db::Value& emptyText,
                     const RowContext& rc);

// The value of the old column `at` of `row`. A number column stored as a whole number is
// that number, as its text would give it, without going through the text.
db::Value BuildValue(const Col& col, const HistoryRow& row, int at, const db::Value& emptyText, const RowContext& rc) {
    if (col.kind == Kind::Code || col.kind == Kind::Amount || col.kind == Kind::Wage || col.kind == Kind::Month)
        if (const std::optional<long long> i = row.Integer(at)) {
            if (col.kind == Kind::Month && (*i < 0 || *i > 12)) BadValue(rc, col.name, QString::number(*i));
            return db::Value(*i);
        }
    return BuildValue(col, row.Text(at), emptyText, rc);
}

db::Value BuildValue(const Col& col, const std::optional<QString>& old, const db::Value& emptyText,
                     const RowContext& rc) {
    const QString raw = old.value_or(QString());
    const QString trimmed = HistoryImporter::Trim(raw);
    switch (col.kind) {
    case Kind::Name: return db::Value(HistoryImporter::StripSpaces(raw));
    case Kind::Number: return db::Value(trimmed);
    case Kind::Text: return trimmed.isEmpty() ? emptyText : db::Value(raw);
    case Kind::Code:
    case Kind::Amount: {
        if (trimmed.isEmpty()) return db::Value();
        auto v = ParseNumber(trimmed, col.kind == Kind::Code);
        if (!v) BadValue(rc, col.name, raw);
        return *v;
    }
    case Kind::Wage: {
        if (trimmed.isEmpty()) return db::Value();
        return ParseNumber(trimmed, false).value_or(db::Value());
    }
    case Kind::Month: {
        const std::optional<qm::Month> m = qm::Month::Parse(raw, qm::Month::Written::Number);
        if (!m) BadValue(rc, col.name, raw);
        return db::Value(m->Number());
    }
    }
    return db::Value();
}

}  // namespace

namespace {

StoredText TextOf(const db::Value& v) { return v.IsNull() ? StoredText() : StoredText(v.AsString()); }
std::optional<long long> CodeOf(const db::Value& v) {
    return v.IsNull() ? std::optional<long long>() : std::optional<long long>(v.AsInteger());
}

// Puts the value built for an old column into its place in the row.
void Assign(StaffRecord& r, Slot slot, const db::Value& v) {
    using W = Slot::What;
    switch (slot.what) {
    case W::Name: r.sName = v.AsString(); break;
    case W::Number: r.sNumber = v.AsString(); break;
    case W::Birth: r.sBirth = TextOf(v); break;
    case W::Works: r.sWorks = v; break;
    case W::Work: r.sWork = v; break;
    case W::Gw: r.sGw = TextOf(v); break;
    case W::Isok: r.sIsok = TextOf(v); break;
    case W::Mon: r.sMon = Month(int(v.AsInteger())); break;
    case W::Text: r.Text(slot.attr) = TextOf(v); break;
    case W::Code: r.Code(slot.attr) = CodeOf(v); break;
    }
}

}  // namespace

int HistoryImporter::CopyStaff(HistorySource& src, HistorySource::StaffFilter filter, Mode mode, int firstK) {
    // The old table's every column, whatever the unit's class.
    StaffTable table(c_, StaffColumns::All);
    const int n = src.CountStaff(filter);
    // The start-of-period list made from the year end keeps the empty text in text columns,
    // as it always did; number columns get null, never the empty text.
    const db::Value emptyText = mode == Mode::YearEnd ? db::Value(QString()) : db::Value();
    const std::vector<StaffCol>& cols = StaffCols();
    std::optional<std::vector<int>> idx;
    StaffRecord rec;
    int k = 0;
    lastShown_ = -1;
    src.ForEachStaff(filter, [&](const HistoryRow& row) {
        Step(k + firstK, n);
        ++k;
        if (!idx) idx = Resolve(row, cols, "Staff_moninfo");
        const RowContext rc{"人员", k};
        for (size_t i = 0; i < cols.size(); ++i) {
            const db::Value v = cols[i].col.kind == Kind::Month && mode == Mode::YearEnd
                                    ? db::Value(0)
                                    : BuildValue(cols[i].col, row, (*idx)[i], emptyText, rc);
            Assign(rec, cols[i].slot, v);
        }
        table.Insert(rec);
    });
    pb_.SetPosition(0);
    lastShown_ = -1;
    return k;
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
    WageTable table(c_);
    const int n = src.CountWages();
    // Flags keep their old text; an empty flag stays the empty text.
    const db::Value emptyText{QString()};
    std::optional<std::array<int, kWageCols.size()>> idx;
    db::Params params(kWageCols.size());
    int k = 0, taken = 0;
    skippedWages_ = 0;
    flaggedWages_ = 0;
    lastShown_ = -1;
    src.ForEachWage([&](const HistoryRow& row) {
        Step(k, n);
        ++k;
        if (!idx) idx = Resolve(row, kWageCols, "Wage_Info");
        const RowContext rc{"工资", k};
        // Wage months are 1..12: a row without one, or of the start-of-period month 0,
        // belongs to no wage month and is left behind, counted.
        const std::optional<QString> month = row.Text((*idx)[kWageMonth]);
        if (Trim(month.value_or(QString())).isEmpty() ||
            BuildValue(kWageCols[kWageMonth], month, emptyText, rc).rawInteger() == 0) {
            ++skippedWages_;
            return;
        }
        // An amount that is no number the program can hold flags the row (wFlag "0"): it is
        // taken over, the gates stop the reports, and the wage error list shows it. A total
        // outside the wage limits keeps its old flag: the person may have accepted it there.
        bool suspect = false;
        for (size_t i = 0; i < kWageCols.size(); ++i) {
            params[i] = BuildValue(kWageCols[i], row, (*idx)[i], emptyText, rc);
            if (kWageCols[i].kind == Kind::Wage && params[i].IsNull() &&
                !Trim(row.Text((*idx)[i]).value_or(QString())).isEmpty())
                suspect = true;  // no finite number: kept empty
        }
        for (size_t i = 2; i <= 7; ++i)
            if (!params[i].IsNull() && !(std::fabs(params[i].AsFloat()) < kHeldAmountLimit)) suspect = true;
        // In the order of kWageCols.
        WageRecord rec;
        rec.sName = params[0].AsString();
        rec.sNumber = params[1].AsString();
        rec.sTotal = params[2];
        rec.sN1 = params[3];
        rec.sN2 = params[4];
        rec.sN3 = params[5];
        rec.sN4 = params[6];
        rec.sN5 = params[7];
        rec.sFlag = params[8].AsString();  // flags keep their text, the empty one too
        rec.wFlag = params[9].AsString();
        if (suspect) {
            rec.wFlag = QStringLiteral("0");
            ++flaggedWages_;
        }
        rec.sMon = Month(int(params[kWageMonth].AsInteger()));
        table.Insert(rec);
        ++taken;
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
// Imports the wage rows and says how many were taken and how many were left behind.
QString WagesDoneText(HistoryImporter& imp, HistorySource& src) {
    const int taken = imp.ImportWages(src);
    QString t = QStringLiteral("导入完成，共%1条工资记录。").arg(taken);
    if (imp.SkippedWages() > 0)
        t += QStringLiteral("\n另有%1条工资记录没有1至12月的月份，未导入。").arg(imp.SkippedWages());
    if (imp.FlaggedWages() > 0)
        t += QStringLiteral(
                 "\n其中%1条工资记录的金额不是有效的数字或超出可以处理的范围，已标为错误，"
                 "请在工资错误信息中核实。")
                 .arg(imp.FlaggedWages());
    return t;
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
    if (choice == 0 && StaffTable(c_).HasRows(Month::Start()) &&
        !ui_.AskYesNo(QStringLiteral("已有期初数据，是否继续导入？")))
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
        case 0: done << QStringLiteral("导入完成，共%1条记录。").arg(imp.ImportYearEndAsInitial(*src)); break;
        case 1:
        case 2:
            done << QStringLiteral("导入完成，共%1条月度人员记录。")
                        .arg(imp.ImportStaff(*src, choice == 1 ? QStringLiteral("0") : QStringLiteral("2")));
            break;
        case 3: done << WagesDoneText(imp, *src); break;
        case 4:
            done << QStringLiteral("导入完成，共%1条月度人员记录。").arg(imp.ImportStaff(*src, QStringLiteral("2")));
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
