#include "core/unit/HistoryImport.h"

#include "core/base/AppContext.h"
#include "core/base/ByteIndex.h"
#include "core/base/Money.h"
#include "core/base/Progress.h"
#include "core/base/UiService.h"
#include "core/db/DatabaseCopy.h"
#include "core/db/Db.h"
#include "core/db/StaffTable.h"
#include "core/db/WageTable.h"

#include <cmath>
#include <string>
#include <utility>
#include <vector>

namespace qm {

using namespace history;

// ---------------------------------------------------------------- building the rows

namespace {

// Trimmed, then every blank removed.
void StripBytes(std::string_view s, std::string& out) {
    out.clear();
    for (const char ch : db::TrimBlankBytes(s))
        if (ch != ' ') out.push_back(ch);
}

// How a target column's value is built from the old column of the same name.
enum class Kind {
    Name,    // trimmed, then every blank (code 32) removed; other blanks such as U+3000 stay
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
        idx[i] = row.Find(t.cols[i].name.constData());
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
Number ReadNumber(const db::Cell& c, bool wholeOnly) {
    switch (c.kind) {
    case db::Cell::Kind::Null: return {};
    case db::Cell::Kind::Integer: return {Number::Is::Integer, c.integer};
    case db::Cell::Kind::Real: return FromDouble(c.real, wholeOnly);
    case db::Cell::Kind::Text:
    case db::Cell::Kind::Blob: {
        const std::string_view t = db::TrimBlankBytes(c.bytes);
        if (t.empty()) return {Number::Is::Blank};
        const QString s = TextOf(t);
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
        written_.Clear();
        firstIds_.clear();
        held_.Clear();
        for (const QString& n : read_(m)) held_.Add(db::TrimBlankBytes(n.toUtf8().toStdString()));
    }
    bool Held(std::string_view number) const { return held_.Find(number) != ByteIndex::kNone; }
    // The entry of a number this import writes (its first row's id, 0 once that row is
    // marked), and whether the number is new in the month.
    std::pair<long long&, bool> Write(std::string_view number) {
        const auto [n, fresh] = written_.Add(number);
        if (fresh) firstIds_.push_back(0);
        return {firstIds_[n], fresh};
    }

private:
    Reader read_;
    std::optional<Month> month_;
    ByteIndex held_;
    ByteIndex written_;
    std::vector<long long> firstIds_;  // by the number's number in written_
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
        const std::string_view number = db::TrimBlankBytes(row.Text(idx_[size_t(t_.number)]));
        if (persons_.Held(number)) {
            ++tally_.alreadyStored;
            return false;
        }
        bool blankCode = false, badAmount = false;
        values_.resize(t_.cols.size());
        for (size_t i = 0; i < t_.cols.size(); ++i) {
            const int at = idx_[i];
            const Kind kind = t_.cols[i].kind;
            db::Cell& p = values_[i];
            switch (kind) {
            case Kind::Month: p = Whole(m.Number()); break;
            case Kind::Name:
                StripBytes(row.Text(at), name_);
                p = Text(name_);
                break;
            case Kind::Number: p = Text(number); break;
            case Kind::Text: p = TextOrEmpty(row.Text(at)); break;
            case Kind::Code:
            case Kind::Amount: {
                const Number v = ReadNumber(row.At(at), kind == Kind::Code);
                if (v.is == Number::Is::Bad)
                    throw HistoryError(BadValueText(QStringLiteral("人员"), read, number,
                                                    OldSpelling(t_.cols[i].name.constData()), row.Text(at)));
                // A code stored as blank text is taken as none: the row is no longer what passed its audit.
                blankCode = blankCode || (v.is == Number::Is::Blank && kind == Kind::Code);
                p = CellOf(v);
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
                p = CellOf(v);
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
        if (badAmount) values_[size_t(t_.wFlag)] = Text("0");
        if (blankCode || !isFirst) values_[size_t(t_.failed)] = Text("0");
        for (const db::Cell& v : values_) ins_.Add(v);
        ins_.Run();
        if (isFirst) first = c_.LastInsertId();
        return true;
    }

private:
    static db::Cell Whole(long long v) {
        db::Cell c;
        c.kind = db::Cell::Kind::Integer;
        c.integer = v;
        return c;
    }
    // Bytes that stay where they are until the row is written.
    static db::Cell Text(std::string_view bytes) {
        db::Cell c;
        c.kind = db::Cell::Kind::Text;
        c.bytes = bytes;
        return c;
    }
    static db::Cell CellOf(const Number& n) {
        db::Cell c;
        if (n.is == Number::Is::Integer) {
            c.kind = db::Cell::Kind::Integer;
            c.integer = n.integer;
        } else if (n.is == Number::Is::Real) {
            c.kind = db::Cell::Kind::Real;
            c.real = n.real;
        }
        return c;
    }
    // A text column: as stored, or the empty text (null when there is none) when it is blank.
    db::Cell TextOrEmpty(std::string_view s) const {
        if (!db::TrimBlankBytes(s).empty()) return Text(s);
        return emptyText_ ? Text(emptyText_) : db::Cell();
    }

    db::Connection& c_;
    const Targets& t_;
    db::Statement ins_;
    MonthPersons persons_;
    std::function<void(long long)> mark_;
    const char* emptyText_;
    HistoryImporter::Tally& tally_;
    std::vector<int> idx_;
    std::vector<db::Cell> values_;  // the row being written, by target column
    std::string name_;
};

}  // namespace

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
