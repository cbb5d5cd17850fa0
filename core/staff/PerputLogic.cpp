#include "core/staff/PerputLogic.h"

#include "core/staff/StaffValues.h"

#include "core/base/AppContext.h"
#include "core/db/Db.h"
#include "core/db/StaffTable.h"

#include <algorithm>
#include <stdexcept>

namespace qm {

using F = PerputField;

namespace {

const QString kYes = QStringLiteral("是");
const QString kNo = QStringLiteral("否");

void AddUnique(std::vector<F>& v, F f) {
    if (std::find(v.begin(), v.end(), f) == v.end()) v.push_back(f);
}

// A whole number of years as the 5-digit year fields hold it.
// Work years by the rule every form shares; this form has never taken negative years.
std::optional<db::Value> Years(const QString& text) {
    std::optional<db::Value> v = staffvalue::WorkYears(text, false);
    if (!v || v->IsNull()) return std::nullopt;
    return v;
}

// The fields that must not be empty, in the order of the required-field message.
constexpr F kRequired[] = {F::Name,   F::Number, F::Sex,   F::Year, F::Month, F::Edu,     F::Post,
                           F::Nation, F::Party,  F::Works, F::Work, F::Role,  F::FullTime};

// The field of each coded attribute, in attribute order.
constexpr F kAttrField[] = {F::Sex,  F::Nation,   F::Party,    F::Edu,     F::Post, F::Grade,     F::JGrade,
                            F::Role, F::FullTime, F::Engineer, F::Builder, F::Site, F::Production};
static_assert(std::size(kAttrField) == size_t(kStaffAttrCount));

bool IsRequired(F f) { return std::find(std::begin(kRequired), std::end(kRequired), f) != std::end(kRequired); }

}  // namespace

PerputLogic::PerputLogic(db::Connection& db, const CodeLists& codes, UnitClass cls, Month month, IMainWindow* main)
    : db_(db), codes_(codes), main_(main), class_(cls), month_(month) {}

bool PerputLogic::Building() const { return class_.IsConstruction(); }
bool PerputLogic::AboveSize() const { return class_.IsAboveSize(); }

bool PerputLogic::FieldShown(F f) const {
    switch (f) {
    case F::Engineer:
    case F::Builder:
    case F::Site: return Building();
    case F::Production: return Building() || AboveSize();
    default: return true;
    }
}

bool PerputLogic::GridColumnShown(int col) const {
    if (col >= 16 && col <= 18) return Building();
    if (col == 19) return Building() || AboveSize();
    return col != 0 && col != 10;
}

QStringList PerputLogic::Items(F f) const {
    switch (f) {
    case F::Sex: return CodeNames(codes_.CodeSexList);
    case F::Edu: return CodeNames(codes_.CodeEduList);
    case F::Post: return CodeNames(codes_.CodePostList);
    case F::Grade: return CodeNames(codes_.CodeGradeList0);
    case F::JGrade: return CodeNames(codes_.CodeGradeList1);
    case F::Role: return CodeNames(codes_.CodeRoleList);
    case F::Site: return CodeNames(codes_.CodeCertyList);
    case F::FullTime:
    case F::Engineer:
    case F::Builder:
    case F::Production: return CodeNames(codes_.CodeYesNoList);
    case F::Nation:
    case F::Party: return {kYes, kNo};
    case F::Year: return YearItems();
    case F::Month: return MonthItems();
    default: return {};
    }
}

QStringList PerputLogic::YearItems() {
    QStringList out;
    for (int y = perput::kFirstListYear; y <= perput::kLastListYear; ++y) out << QString::number(y);
    return out;
}

QStringList PerputLogic::MonthItems() {
    QStringList out;
    for (int m = 1; m <= 12; ++m) out << QStringLiteral("%1").arg(m, 2, 10, QLatin1Char('0'));
    return out;
}

bool PerputLogic::InItems(F f, const QString& text) const { return Items(f).contains(text); }

int PerputLogic::YesToCode(const QString& text) {
    return AttrCode({}, StaffAttr::Party, text.trimmed(), CodeBy::FixedTexts).value_or(2);
}

std::optional<int> PerputLogic::CodeOf(F f, const QString& text) const {
    const auto* field = std::find(std::begin(kAttrField), std::end(kAttrField), f);
    if (field == std::end(kAttrField)) return std::nullopt;
    const StaffAttr a = StaffAttr(field - std::begin(kAttrField));
    // The yes/no choices are the form's own two texts, whatever the lists hold.
    if (IsYesNo(a)) return YesToCode(text);
    return AttrCode(codes_, a, text.trimmed());
}

FieldCheck PerputLogic::CheckField(F f, const PersonInput& in) const {
    FieldCheck r;
    auto verdict = [&r](F field, bool ok) { (ok ? r.passed : r.failed).push_back(field); };
    switch (f) {
    case F::Sex:
    case F::Edu:
    case F::Post:
    case F::Nation:
    case F::Party:
    case F::Role:
    case F::FullTime:
    case F::Engineer:
    case F::Builder:
    case F::Site:
    case F::Production:
    case F::Month: verdict(f, InItems(f, in[f])); break;
    case F::Grade:
    case F::JGrade: {
        const QString t = in[f].trimmed();
        verdict(f, t.isEmpty() || CodeOf(f, t).has_value());
        break;
    }
    case F::Year: {
        const QString t = in[f].trimmed();
        bool isNumber = false;
        const int year = t.toInt(&isNumber);
        const bool inRange = isNumber && year >= perput::kFirstValidYear && year <= perput::kLastValidYear;
        verdict(f, t.size() >= 4 && inRange);
        // A number of four or more digits outside the range is an age that needs a word;
        // a text that is not a number is only painted.
        if (t.size() >= 4 && isNumber && !inRange) r.message = perput::kAgeRange;
        break;
    }
    case F::Works:
    case F::Work: {
        const QString works = in[F::Works].trimmed(), work = in[F::Work].trimmed();
        if (works.isEmpty() || work.isEmpty()) break;  // nothing while either is empty
        const std::optional<db::Value> nWorks = Years(works), nWork = Years(work);
        if (!nWorks || !nWork) {
            if (!nWorks) r.failed.push_back(F::Works);
            if (!nWork) r.failed.push_back(F::Work);
            r.message = perput::kFixRed;
            r.kind = DlgKind::Confirmation;
            r.buttons = DlgButtons::YesOnly;
            break;
        }
        const bool ok = nWork->AsFloat() <= nWorks->AsFloat();
        verdict(F::Works, ok);
        verdict(F::Work, ok);
        break;
    }
    // Name and number: what every staff sheet refuses is refused here too (an empty number
    // is left to the required-field message).
    case F::Name: verdict(f, staffvalue::NameOk(in[f])); break;
    case F::Number: verdict(f, in[f].trimmed().isEmpty() || staffvalue::NumberProblem(in[f]).isEmpty()); break;
    case F::Gw: break;
    }
    return r;
}

SaveResult PerputLogic::Validate(const PersonInput& in) const {
    SaveResult r;
    // Every shown field is checked, not only the one last left: a text no list holds never
    // reaches the database with sIsok '1'. An empty required field is left to the
    // required-field message below.
    for (int i = 0; i < kPerputFieldCount; ++i) {
        const F f = F(i);
        if (!FieldShown(f)) continue;
        if (IsRequired(f) && in[f].trimmed().isEmpty()) continue;
        if ((f == F::Works || f == F::Work) && (in[F::Works].trimmed().isEmpty() || in[F::Work].trimmed().isEmpty()))
            continue;
        for (F bad : CheckField(f, in).failed) AddUnique(r.invalid, bad);
    }
    if (!r.invalid.empty()) {
        r.kind = SaveResult::Invalid;
        r.message = perput::kFixRed;
        return r;
    }
    for (F f : kRequired) {
        if (in[f].trimmed().isEmpty()) {
            r.kind = SaveResult::Missing;
            r.message = Building() ? perput::kRequiredBuilding : perput::kRequiredOther;
            return r;
        }
    }
    return r;
}

SaveResult PerputLogic::Add(const PersonInput& in) { return Write(in, std::nullopt); }

SaveResult PerputLogic::Modify(const PersonInput& in, long long id) { return Write(in, id); }

SaveResult PerputLogic::Write(const PersonInput& in, std::optional<long long> id) {
    SaveResult r = Validate(in);
    if (!r.saved()) return r;
    // One number, one person in a list: a second row of the number would count every wage
    // row of it twice.
    if (const auto holder = StaffTable(db_).NumberHolder(month_, in[F::Number].trimmed(), id)) {
        r.kind = SaveResult::Invalid;
        r.invalid = {F::Number};
        r.message = staffvalue::NumberTwiceText(in[F::Name], in[F::Number], *holder, month_);
        r.dlgKind = kRefusedSaveKind;
        return r;
    }

    StaffRecord rec;
    rec.sMon = month_;
    rec.sName = in[F::Name].trimmed();
    rec.sNumber = in[F::Number].trimmed();
    rec.sBirth = in[F::Year].trimmed() + QLatin1Char('-') + in[F::Month].trimmed();
    // Validated whole numbers, so the numeric columns never hold text.
    rec.sWorks = *Years(in[F::Works]);
    rec.sWork = *Years(in[F::Work]);
    rec.sGw = in[F::Gw].trimmed().isEmpty() ? StoredText() : StoredText(in[F::Gw].trimmed());  // a modify keeps sGw
    // Every attribute's pair; the table stores only the columns of the unit's class, so the
    // hidden combos are not stored.
    for (int i = 0; i < kStaffAttrCount; ++i) {
        const F f = kAttrField[i];
        // Professional title and skill grade may be empty: then both columns are null.
        if (in[f].trimmed().isEmpty()) continue;
        rec.Text(StaffAttr(i)) = in[f].trimmed();
        rec.Code(StaffAttr(i)) = *CodeOf(f, in[f]);
    }
    rec.sIsok = QStringLiteral("1");

    try {
        StaffTable table(db_, StaffColumnsFor(class_));
        if (!id) {
            table.Insert(rec);
            if (main_) main_->RefreshInitialDataMenus();
        } else {
            // A row deleted meanwhile is not reported as modified.
            if (table.Update(*id, rec) != 1) throw db::Error(QStringLiteral("no such row"));
        }
    } catch (const std::exception& e) {
        r.kind = SaveResult::Failed;
        if (id) {
            r.message = perput::kModifyFailed;
        } else {
            r.message = perput::kAddFailed + QString::fromUtf8(e.what());
            r.dlgKind = DlgKind::Confirmation;
            r.buttons = DlgButtons::YesOnly;
        }
    }
    return r;
}

std::optional<PersonInput> PerputLogic::Load(long long id) const {
    const std::optional<StaffRecord> r = StaffTable(db_).Read(id);
    if (!r) return std::nullopt;
    PersonInput in;
    in[F::Name] = r->sName;
    in[F::Number] = r->sNumber;
    in[F::Gw] = r->sGw.value_or(QString());
    in[F::Works] = r->sWorks.AsString();
    in[F::Work] = r->sWork.AsString();
    for (int i = 0; i < kStaffAttrCount; ++i) in[kAttrField[i]] = r->Text(StaffAttr(i)).value_or(QString());
    const QString birth = r->sBirth.value_or(QString()).trimmed();
    if (!birth.isEmpty()) {
        in[F::Year] = birth.left(4);
        in[F::Month] = birth.mid(5, 2);
    } else {
        in[F::Year] = QStringLiteral("1960");
        in[F::Month] = QStringLiteral("01");
    }
    return in;
}

int PerputLogic::Delete(long long id) {
    const int n = StaffTable(db_).DeleteRow(id, month_);
    // The month menus follow the lists that exist.
    if (main_) {
        main_->RefreshInitialDataMenus();
        main_->RefreshMonthMenus();
    }
    return n;
}

int PerputLogic::Clear() {
    const int n = StaffTable(db_).DeleteMonth(month_);
    if (main_) {
        main_->RefreshInitialDataMenus();
        main_->RefreshMonthMenus();
    }
    return n;
}

ListQuery PerputLogic::AllRows() const { return StaffTable::ListAll(month_); }

ListQuery PerputLogic::Search(const QString& text) const {
    return StaffTable::ListSearch(month_, LikeAnywhere(text.trimmed()));
}

ListQuery PerputLogic::SameName() const { return StaffTable::ListSameName(month_); }

ListQuery PerputLogic::SameNumber() const { return StaffTable::ListSameNumber(month_); }

ListQuery PerputLogic::ErrorRows() const { return StaffTable::ListErrors(month_); }

QString PerputLogic::CountText(int n) { return QStringLiteral("共") + QString::number(n) + QStringLiteral("条"); }

PerputLogic::CloseTargets PerputLogic::CloseRefreshes(Month monthNo, PerputOpener opener) {
    return {!monthNo.IsStart(), opener == PerputOpener::BatchSheet};
}

}  // namespace qm
