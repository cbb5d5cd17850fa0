#pragma once
// Single-person entry without widgets: the fields of one person, their checks, the add,
// modify, delete and clear of one list of Staff_moninfo, and the statements behind the
// form's grid. The form reads its controls into a PersonInput, calls these and paints.

#include "core/base/Month.h"
#include "core/base/UiService.h"
#include "core/base/UnitClass.h"
#include "core/db/ListQuery.h"
#include "core/staff/CodeLists.h"
#include "core/staff/PerputOpener.h"

#include <QString>
#include <QStringList>

#include <array>
#include <optional>
#include <vector>

namespace qm {

namespace db {
class Connection;
}
class IMainWindow;

// The form's input fields.
enum class PerputField {
    Name,        // Edit1  姓名
    Number,      // Edit2  姓名编号
    Sex,         // D1
    Year,        // CByear
    Month,       // CBm
    Edu,         // D2
    Post,        // D3
    Grade,       // D4     professional title, may be empty
    JGrade,      // D5     skill grade, may be empty
    Nation,      // Mz
    Party,       // Dy
    Works,       // NX1    years of work
    Work,        // NX2    years in the present post
    Role,        // sf
    FullTime,    // qrz
    Engineer,    // gc
    Builder,     // jzs
    Site,        // sg
    Production,  // yg
    Gw,          // Edit4  (hidden) present duty
};
inline constexpr int kPerputFieldCount = int(PerputField::Gw) + 1;

struct PersonInput {
    std::array<QString, kPerputFieldCount> text;
    QString& operator[](PerputField f) { return text[size_t(f)]; }
    const QString& operator[](PerputField f) const { return text[size_t(f)]; }
};

// Messages of the form.
namespace perput {
inline const QString kFixRed = QStringLiteral("红色为错误项，请改正!");
inline const QString kAgeRange = QStringLiteral("年龄一般不小于15岁，不大于75岁，请核实。");
inline const QString kModified = QStringLiteral("修改成功！");
inline const QString kModifyFailed = QStringLiteral("异常出错，请核实。");
inline const QString kAddFailed = QStringLiteral("增加失败，数据未保存：");
inline const QString kConfirmClear = QStringLiteral("确认清空？清空将无法恢复！");
inline const QString kRequiredBuilding = QStringLiteral(
    "姓名、姓名编号、出生年月、学历、性别、是否少数名族、是否党员、工作年限、岗位名称、\r\n"
    "用工身份、是否全日制、是否工程技术人员、是否一级建造师、现场施工人员以及本职工作与建筑施工有关为必填项，\r\n"
    "请核实！");
inline const QString kRequiredOther = QStringLiteral(
    "姓名、姓名编号、出生年月、学历、性别、是否少数名族、是否党员、\r\n"
    "工作年限、岗位名称、用工身份、是否全日制为必填项，请核实！");
// The year list offers 1932..2003 while the check accepts 1932..1993 only (a person of
// 19 to 80 in 2012); after an add the year goes back to 1942, after a modify to 1941.
inline constexpr int kFirstListYear = 1932, kLastListYear = 2003;
inline constexpr int kFirstValidYear = 1932, kLastValidYear = 1993;
inline constexpr int kYearIndexAfterAdd = 10, kYearIndexAfterModify = 9;
}  // namespace perput

// What a field check found: the fields to paint red, those to paint normal, and a message.
struct FieldCheck {
    std::vector<PerputField> failed;
    std::vector<PerputField> passed;
    QString message;  // empty: none
    DlgKind kind = DlgKind::Information;
    DlgButtons buttons = DlgButtons::Ok;
    bool ok() const { return failed.empty(); }
};

struct SaveResult {
    enum Kind { Saved, Invalid, Missing, Failed };
    Kind kind = Saved;
    std::vector<PerputField> invalid;  // Invalid: every field that fails its check
    QString message;                   // to show (empty when Saved)
    DlgKind dlgKind = DlgKind::Information;
    DlgButtons buttons = DlgButtons::Ok;
    bool saved() const { return kind == Saved; }
};

class PerputLogic {
public:
    // `month` is the list edited. `main` (may be null) has its menus refreshed after rows are
    // added or deleted.
    PerputLogic(db::Connection& db, const CodeLists& codes, UnitClass cls, Month month, IMainWindow* main = nullptr);

    Month ListMonth() const { return month_; }

    // Which of the unit-class fields (gc, jzs, sg, yg) the unit has: a construction unit all
    // four, an above-size unit yg only, any other class none. Hidden fields are neither
    // checked nor stored.
    bool FieldShown(PerputField f) const;
    // Grid columns 16..19 follow the same rule (yg is column 19).
    bool GridColumnShown(int col) const;

    // The items of a combo field; empty for the edit fields.
    QStringList Items(PerputField f) const;
    static QStringList YearItems();   // "1932".."2003"
    static QStringList MonthItems();  // "01".."12"

    // The check that runs as a field loses the focus. Works and Work are checked together.
    FieldCheck CheckField(PerputField f, const PersonInput& in) const;

    // Every shown field's check, then the required fields; what add and modify run first.
    SaveResult Validate(const PersonInput& in) const;

    // Adds the person to the list, sIsok '1'.
    SaveResult Add(const PersonInput& in);
    // Rewrites the row `id` of the list (sGw is kept), sIsok '1'.
    SaveResult Modify(const PersonInput& in, long long id);
    // The fields of row `id` of the list, as the form shows them; nothing when it is gone.
    std::optional<PersonInput> Load(long long id) const;
    // Deletes one row of the list; answers the rows deleted.
    int Delete(long long id);
    // Deletes the whole list; answers the rows deleted.
    int Clear();

    // The grid's statements.
    ListQuery AllRows() const;
    ListQuery Search(const QString& text) const;  // name or number contains the trimmed text
    ListQuery SameName() const;
    ListQuery SameNumber() const;
    ListQuery ErrorRows() const;
    static QString CountText(int n);  // "共<n>条"

    // Which opener a close refreshes: the monthly staff list when the list is a month's,
    // the start-of-period sheet when it opened the form.
    struct CloseTargets {
        bool monthList = false;
        bool batchSheet = false;
    };
    static CloseTargets CloseRefreshes(Month monthNo, PerputOpener opener);

    // 1 for "是" (trimmed), else 2.
    static int YesToCode(const QString& text);

private:
    bool Building() const;
    bool AboveSize() const;
    std::optional<int> CodeOf(PerputField f, const QString& text) const;
    bool InItems(PerputField f, const QString& text) const;
    SaveResult Write(const PersonInput& in, std::optional<long long> id);

    db::Connection& db_;
    const CodeLists& codes_;
    IMainWindow* main_;
    UnitClass class_;
    Month month_;
};

}  // namespace qm
