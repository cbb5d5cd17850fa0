#include "core/staff/StaffRowRules.h"

#include "core/base/RtlText.h"
#include "core/sheet/SheetBook.h"
#include "core/staff/StaffValues.h"

namespace qm {

using namespace staffcol;

int staffcol::CodeColumnOf(int textCol) {
    const std::optional<StaffAttr> a = AttrAtSheetCol(textCol);
    return a ? CodeColOf(*a) : 0;
}

const char* StaffListObject(StaffAttr a) {
    switch (AttrRow(a).codes) {
    case StaffCodeTable::Sex: return "sexCom";
    case StaffCodeTable::Nation:
    case StaffCodeTable::Party:
    case StaffCodeTable::YesNo: return "YorN";
    case StaffCodeTable::Edu: return "XL";
    case StaffCodeTable::Post: return "GW";
    case StaffCodeTable::Grade: return "ZC";
    case StaffCodeTable::Skill: return "JN";
    case StaffCodeTable::Role: return "Role";
    case StaffCodeTable::Certy: return "Sg";
    }
    return "";
}

int StaffListRows(StaffAttr a, int partyRows) {
    switch (AttrRow(a).codes) {
    case StaffCodeTable::Sex:
    case StaffCodeTable::Nation: return 3;
    case StaffCodeTable::Party: return partyRows;
    case StaffCodeTable::Post: return 16;
    default: return 9;
    }
}

StaffLayout StaffLayoutFor(UnitClass cls) {
    StaffLayout l;
    if (cls.kind() == UnitClass::Kind::Other) {
        l.maxCol = 14;
    } else if (cls.IsAboveSize()) {
        l.hide15to17 = true;
        l.check18 = true;
    } else if (cls.IsConstruction()) {
        l.check15to17 = true;
        l.check18 = true;
    }
    return l;
}

void ApplyStaffLayout(TSheetBook& book, UnitClass cls, bool hideByWidth) {
    const StaffLayout l = StaffLayoutFor(cls);
    book.SetMaxCol(l.maxCol);
    if (l.hide15to17) {
        if (hideByWidth)
            book.SetColWidth(Engineer, Site, 0);
        else
            book.SetColHidden(Engineer, Site, true);
        // The numbering line then reads 13 in column 14 and 14 in column 18.
        book.SetCellText(2, Production, QStringLiteral("14"));
    } else {
        book.SetColHidden(Engineer, Site, false);
        for (int c = Engineer; c <= Site; ++c)
            if (book.ColWidth(c) == 0) book.SetColWidth(c, c, TSheetBook::kDefaultColWidth);
        book.SetCellText(2, Production, QStringLiteral("17"));
    }
}

void ApplyAboveSizePaste(TSheetBook& book, UnitClass cls, const std::optional<SheetRange>& pasted) {
    if (!cls.IsAboveSize() || !pasted) return;
    if (pasted->c1 > Engineer || pasted->c2 < Engineer) return;
    book.BeginUpdate();
    for (int r = std::max(pasted->r1, kStaffFirstRow); r <= pasted->r2; ++r) {
        const QString t = book.GetCellText(r, Engineer);
        if (RtlTrim(t).isEmpty()) continue;  // a block's own column 18 stays where 15 brought nothing
        book.SetCellText(r, Production, t == QStringLiteral("0") ? QStringLiteral("否") : t);
    }
    book.EndUpdate();
}

StaffRowRules::StaffRowRules(TSheetBook& book, const CodeLists& codes, StaffForm form, UnitClass cls)
    : book_(book), codes_(codes), form_(form), layout_(StaffLayoutFor(cls)), organ_(cls.IsOrgan()) {}

void StaffRowRules::BeginRun() {
    allRowsValid_ = true;
    sexOrPartyFailed_ = false;
    rowFlag_ = QStringLiteral("1");
}

bool StaffRowRules::CheckRow(int row, StaffPass pass) {
    rowFlag_ = QStringLiteral("1");
    const bool errorListActivation = form_ == StaffForm::ErrorList && pass == StaffPass::Activation;
    if (errorListActivation) CheckNumber(row, TSheetBook::kNumberMarkPattern);
    if (pass == StaffPass::Save && form_ != StaffForm::ErrorList) ClearSpace(row);
    GetSexCode(row);
    GetNationCode(row);
    GetPartyCode(row);
    CheckBirthday(row);
    GetEduCode(row);
    GetPostCode(row);
    if (form_ == StaffForm::BatchSheet && (pass == StaffPass::Save || pass == StaffPass::LoadRecheck)) CheckGwy(row);
    GetPost3Code(row);
    GetPost2Code(row);
    GetRoleCode(row);
    // The yes/no columns by their attribute: no search for it per cell.
    YesNoCheck(row, StaffAttr::FullTime, CodeFullTime);
    if (layout_.check15to17) {
        YesNoCheck(row, StaffAttr::Engineer, CodeEngineer);
        YesNoCheck(row, StaffAttr::Builder, CodeBuilder);
        GetCertyCode(row, Site, CodeSite);
    }
    // The monthly list's opening pass leaves column 18 of an above-size unit to its save; on
    // a construction unit it checks 15..18 like every other pass.
    const bool skip18 = form_ == StaffForm::MonthlyList && pass == StaffPass::Activation && !layout_.check15to17;
    if (layout_.check18 && !skip18) YesNoCheck(row, StaffAttr::Production, CodeProduction);
    // The batch load re-check and the error list's "显示错误" have no number test.
    if (!errorListActivation && pass != StaffPass::LoadRecheck && pass != StaffPass::ShowErrors)
        CheckNumber(row, TSheetBook::kMarkPattern);
    CheckName(row);
    return rowFlag_ == QStringLiteral("1");
}

int StaffRowRules::CheckRows(StaffPass pass, int firstRow) {
    BeginRun();
    book_.BeginUpdate();
    int n = 0;
    for (int r = firstRow; r <= book_.MaxRow(); ++r) {
        if (book_.GetCellText(r, Name).isEmpty()) break;
        CheckRow(r, pass);
        ++n;
    }
    book_.EndUpdate();
    return n;
}

// ---- primitives ----

void StaffRowRules::Mark(int row, int col, int codeCol, int pattern) {
    book_.SetSelection(row, col, row, col);
    book_.SetPattern(pattern, 200, 255);
    if (codeCol > 0) book_.SetCellText(row, codeCol, QString());
    rowFlag_ = QStringLiteral("0");
    allRowsValid_ = false;
}

void StaffRowRules::ClearMark(int row, int col) {
    if (book_.IsMarked(row, col)) book_.ClearRange(row, col, row, col, TSheetBook::ClearFormats);
}

std::optional<int> StaffRowRules::ListCode(StaffAttr a, const QString& text) {
    const auto slot = (quint64(quintptr(text.constData())) * 0x9E3779B97F4A7C15ull) >> 60;
    Memo& m = memo_[size_t(a)][size_t(slot) % kMemoSlots];
    if (m.held && m.text.constData() == text.constData() && m.text.size() == text.size()) return m.code;
    m = {text, AttrCode(codes_, a, text), true};
    return m.code;
}

void StaffRowRules::ListCheck(int row, StaffAttr a) {
    const int col = SheetColOf(a), codeCol = CodeColOf(a);
    if (auto code = ListCode(a, book_.GetCellText(row, col))) {
        ClearMark(row, col);
        book_.SetCellText(row, codeCol, CodeText(*code));
    } else {
        Mark(row, col, codeCol);
    }
}

void StaffRowRules::YesNoCheck(int row, StaffAttr a, int codeCol) {
    const int col = SheetColOf(a);
    const QString t = book_.GetCellText(row, col);
    const auto code = ListCode(a, t);
    if (code) {
        ClearMark(row, col);
        book_.SetCellText(row, codeCol, CodeText(*code));
        // A list that names "0" or "1" itself still gets the shorthand below, as typed
        // shorthands always mean yes and no.
    }
    if (t == QStringLiteral("0") || t == QStringLiteral("1")) {
        // The shorthand passes; its old mark goes too.
        const int fixed = t == QStringLiteral("1") ? 1 : 2;
        ClearMark(row, col);
        book_.SetCellText(row, col, FixedText(a, fixed));
        book_.SetCellText(row, codeCol, CodeText(fixed));
        return;
    }
    if (!code) Mark(row, col, codeCol);
}

// ---- checks ----

void StaffRowRules::ClearSpace(int row) {
    book_.SetCellText(row, Name, RtlRemoveBlanks(RtlTrim(book_.GetCellText(row, Name))));
}

void StaffRowRules::GetSexCode(int row) {
    // By its two fixed texts: the sheets do not consult the sex list.
    const QString t = book_.GetCellText(row, Sex);
    if (const auto code = AttrCode(codes_, StaffAttr::Sex, t, CodeBy::FixedTexts)) {
        ClearMark(row, Sex);
        book_.SetCellText(row, CodeSex, CodeText(*code));
    } else {
        Mark(row, Sex, CodeSex);
        sexOrPartyFailed_ = true;
    }
}

void StaffRowRules::GetPartyCode(int row) {
    const QString t = book_.GetCellText(row, Party);
    // The shorthands "1" and "0" are rewritten to the fixed texts.
    const QString text = t == QStringLiteral("1")   ? FixedText(StaffAttr::Party, 1)
                         : t == QStringLiteral("0") ? FixedText(StaffAttr::Party, 2)
                                                    : t;
    const auto code = AttrCode(codes_, StaffAttr::Party, text);
    if (!code) {
        Mark(row, Party, CodeParty);
        sexOrPartyFailed_ = true;
        return;
    }
    ClearMark(row, Party);
    book_.SetCellText(row, Party, text);
    book_.SetCellText(row, CodeParty, CodeText(*code));
}

void StaffRowRules::GetNationCode(int row) { YesNoCheck(row, StaffAttr::Nation, CodeNation); }

void StaffRowRules::GetCertyCode(int row, int col, int codeCol) {
    const QString t = book_.GetCellText(row, col);
    // The certificate list, whatever column holds it.
    if (auto code = ListCode(StaffAttr::Site, t)) {
        ClearMark(row, col);
        book_.SetCellText(row, codeCol, CodeText(*code));
        return;
    }
    // "0" means "否", whose certificate code is 1; the error list does not take the shorthand.
    if (t == QStringLiteral("0") && form_ != StaffForm::ErrorList) {
        ClearMark(row, col);
        book_.SetCellText(row, col, QStringLiteral("否"));
        book_.SetCellText(row, codeCol, QStringLiteral("1"));
        return;
    }
    Mark(row, col, codeCol);
}

void StaffRowRules::GetEduCode(int row) { ListCheck(row, StaffAttr::Edu); }
void StaffRowRules::GetPostCode(int row) { ListCheck(row, StaffAttr::Post); }
void StaffRowRules::GetPost3Code(int row) { ListCheck(row, StaffAttr::Grade); }
void StaffRowRules::GetPost2Code(int row) { ListCheck(row, StaffAttr::JGrade); }

namespace {
bool IsOneOf(const QString& s, std::initializer_list<const char*> codes) {
    for (const char* c : codes)
        if (s == QLatin1String(c)) return true;
    return false;
}
}  // namespace

void StaffRowRules::GetRoleCode(int row) {
    const QString t = book_.GetCellText(row, Role);
    auto code = ListCode(StaffAttr::Role, t);
    // An organ may not fill its civil-service posts with agency workers.
    const bool organRule = organ_ &&
                           IsOneOf(RtlTrim(book_.GetCellText(row, CodePost)), {"11", "12", "13", "14", "15", "18"}) &&
                           RtlTrim(t) == QStringLiteral("劳务派遣人员");
    if (code && !organRule) {
        ClearMark(row, Role);
        book_.SetCellText(row, CodeRole, CodeText(*code));
    } else {
        Mark(row, Role, CodeRole);
    }
}

void StaffRowRules::CheckGwy(int row) {
    if (IsOneOf(RtlTrim(book_.GetCellText(row, CodePost)), {"11", "12", "13", "14", "15"}))
        book_.SetCellText(row, FullTime, QStringLiteral("是"));
}

void StaffRowRules::CheckNumber(int row, int pattern) {
    // Judged as it is stored, trimmed: blanks only, control characters or more than the
    // upload field holds fail the cell.
    if (!staffvalue::NumberProblem(book_.GetCellText(row, Number)).isEmpty())
        Mark(row, Number, 0, pattern);
    else
        ClearMark(row, Number);
}

void StaffRowRules::CheckName(int row) {
    // A name has no check of its own but this one: no control characters.
    if (staffvalue::NameOk(book_.GetCellText(row, Name)))
        ClearMark(row, Name);
    else
        Mark(row, Name);
}

void StaffRowRules::CheckBirthday(int row) {
    const int col = staffcol::Birth;
    const QString before = book_.GetCellText(row, col);
    const StaffRowRules::Birth b = NormaliseBirth(before);
    if (b.text != before) book_.SetCellText(row, col, b.text);
    if (b.ok)
        ClearMark(row, col);
    else
        Mark(row, col);
}

namespace {
// Bytes of a character in the GBK text the original positions were counted in.
int GbkBytes(QChar c) { return c.unicode() < 0x80 ? 1 : 2; }
}  // namespace

namespace {
// Two ASCII digits at `at` as a number, -1 when they are not.
int TwoDigits(const QString& s, qsizetype at) {
    const char16_t a = s[at].unicode(), b = s[at + 1].unicode();
    if (a < u'0' || a > u'9' || b < u'0' || b > u'9') return -1;
    return (a - u'0') * 10 + (b - u'0');
}

// A passing date already written as "YYYY-MM" comes out unchanged: most cells are so, and
// they need none of the rewriting below.
bool AlreadyNormal(const QString& s) {
    if (s.size() != 7 || s[4] != QLatin1Char('-')) return false;
    const int hi = TwoDigits(s, 0), lo = TwoDigits(s, 2), month = TwoDigits(s, 5);
    if (hi < 0 || lo < 0) return false;
    const int year = hi * 100 + lo;
    return year >= 1934 && year <= 1995 && month >= 1 && month <= 12;
}
}  // namespace

StaffRowRules::Birth StaffRowRules::NormaliseBirth(const QString& cellText) {
    if (AlreadyNormal(cellText)) return {cellText, true};
    const QChar nian(0x5E74), yue(0x6708);  // 年, 月
    QString cell = cellText;
    QString s = RtlTrim(cell);

    if (cell.contains(nian)) {
        const qsizetype m = s.indexOf(yue);
        if (m >= 0) cell = s.left(m + 1);  // a day after 月 is dropped
        const qsizetype y0 = s.indexOf(nian);
        if (y0 == 2) cell = QStringLiteral("19") + cell;  // 67年 means 1967
        // Three characters before 年 cannot be a year: the cell fails, the run goes on.
        if (y0 == 3) return {cell, false};
        s = RtlTrim(cell);
        const qsizetype y = s.indexOf(nian), mm = s.indexOf(yue);
        if (y >= 0 && mm > y) {
            int between = 0;
            for (qsizetype i = y + 1; i < mm; ++i) between += GbkBytes(s[i]);
            if (between <= 1) cell = s.left(y + 1) + QLatin1Char('0') + s.mid(y + 1);
        }
        const qsizetype yi = cell.indexOf(nian);
        if (yi >= 0) cell.replace(yi, 1, QLatin1Char('-'));
        const qsizetype mi = cell.indexOf(yue);
        if (mi >= 0) cell.remove(mi, 1);
    }

    if (cell.contains(QLatin1Char('.'))) {
        s = RtlTrim(cell);
        const qsizetype dot = s.indexOf(QLatin1Char('.'));
        const QString a = s.left(dot);
        const QString b = s.mid(dot + 1);
        QString m = b.contains(QLatin1Char('.')) ? b.left(b.indexOf(QLatin1Char('.'))) : b;
        if (m.size() < 2) m.prepend(QLatin1Char('0'));
        cell = a + QLatin1Char('-') + m;
    }

    s = RtlTrim(cell);
    const qsizetype dash = s.indexOf(QLatin1Char('-'));
    if (dash < 0) return {cell, false};
    const QString yearText = s.left(dash);
    const QString monthText = s.mid(dash + 1);
    // A year or month that is not a whole number fails the cell instead of stopping the run;
    // the month must be 1..12, so "1990-00" fails too.
    const int year = yearText.size() == 4 ? RtlStrToInt(yearText).value_or(0) : 0;
    const int month = RtlStrToInt(monthText).value_or(0);
    if (year < 1934 || year > 1995 || month < 1 || month > 12) return {cell, false};
    // Reports compare birth dates as text against "YYYY-MM", so the month always has two digits.
    return {QStringLiteral("%1-%2").arg(year).arg(month, 2, 10, QLatin1Char('0')), true};
}

}  // namespace qm
