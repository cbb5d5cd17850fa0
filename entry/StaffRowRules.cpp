#include "entry/StaffRowRules.h"

#include "sheet/SheetBook.h"

namespace qm {

int staffcol::CodeColumnOf(int) { return 0; }
StaffLayout StaffLayoutFor(const QString&) { return {}; }
void ApplyStaffLayout(TSheetBook&, const QString&, bool) {}

StaffRowRules::StaffRowRules(TSheetBook& book, const CodeLists& codes, StaffForm form,
                             const QString&, const QString&)
    : book_(book), codes_(codes), form_(form) {}
void StaffRowRules::BeginRun() {}
bool StaffRowRules::CheckRow(int, StaffPass) { return true; }
int StaffRowRules::CheckRows(StaffPass, int) { return 0; }
void StaffRowRules::ClearSpace(int) {}
void StaffRowRules::GetSexCode(int) {}
void StaffRowRules::GetNationCode(int) {}
void StaffRowRules::GetPartyCode(int) {}
void StaffRowRules::CheckBirthday(int) {}
void StaffRowRules::GetEduCode(int) {}
void StaffRowRules::GetPostCode(int) {}
void StaffRowRules::CheckGwy(int) {}
void StaffRowRules::GetPost3Code(int) {}
void StaffRowRules::GetPost2Code(int) {}
void StaffRowRules::GetRoleCode(int) {}
void StaffRowRules::GetYoNCode(int, int, int) {}
void StaffRowRules::GetCertyCode(int, int, int) {}
void StaffRowRules::CheckNumber(int, int) {}
void StaffRowRules::Mark(int, int, int, int) {}
void StaffRowRules::ClearMark(int, int) {}
StaffRowRules::Birth StaffRowRules::NormaliseBirth(const QString& t) { return {t, false}; }
void StaffRowRules::ListCheck(int, int, int, const CodeList&) {}

}  // namespace qm
