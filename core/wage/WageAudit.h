#pragma once
// The wage audit of one sheet row, without widgets or database: the row total of the four
// wage items, the check against the month's staff list (sFlag) and against the wage limits
// (wFlag), and the texts the wage sheet shows after a save.

#include "core/base/AppContext.h"
#include "core/base/ByteIndex.h"
#include "core/base/RtlText.h"
#include "core/db/Db.h"

#include <QString>
#include <QStringList>

#include <array>
#include <optional>
#include <string_view>

namespace qm {

// Sheet columns of the wage sheet and the wage error list.
namespace wagecol {
inline constexpr int Number = 1;  // 姓名编号
inline constexpr int Name = 2;    // 姓名
inline constexpr int N1 = 3;      // 基本工资 .. 其他工资: 3..6
inline constexpr int N4 = 6;
inline constexpr int Total = 7;  // 合计
inline constexpr int Id = 9;     // the error list's row id
}  // namespace wagecol

// The wage sheet and its error list: one header row, a person per row from row 2.
inline constexpr int kWageFirstRow = 2;
// A sheet row as the messages name it: the sheet shows no row numbers, so the first person is 第1行.
constexpr int WageShownRow(int sheetRow) { return sheetRow - kWageFirstRow + 1; }

// An amount cell: empty (after trimming) gives an empty optional with ok = true; a decimal
// number ("2500", "2500.5", " 2500 ", "-3", ".5") its value; anything else ok = false.
struct Amount {
    bool ok = true;
    std::optional<double> value;
};
Amount ParseAmount(const QString& text);

// A total as the sheet shows it: up to 15 significant digits, no trailing ".0".
QString FormatTotal(double t);

// The wage limits; both limits themselves are in range.
struct WageLimits {
    double lower = WageLowerLimit;
    double upper = WageUpperLimit;
    bool InRange(double t) const { return !(t > upper) && !(t < lower); }
};

// The month's staff list as the roster check reads it: each staff number with the name of
// its first row (in the order the rows were stored), both as UTF-8 bytes, so that a save looks
// up and compares the bytes it binds.
class WageRoster {
public:
    // `expected`: about how many persons the list holds (room is made for them at once).
    static WageRoster Load(db::Connection& c, Month month, int expected = 0);
    void Add(const QString& number, const QString& name);  // a later row of a number is ignored
    // The trimmed name of the number's first row; nothing when the number is not listed.
    std::optional<QString> NameOf(const QString& number) const;
    // The same as bytes; also nothing for a number that has no UTF-8 form.
    std::optional<std::string_view> NameOf(const db::Utf8Text& number) const;
    int size() const { return names_.size(); }

private:
    ByteMap names_;
};

// One sheet row as typed.
struct WageLine {
    QString number, name;
    std::array<QString, 4> amounts;  // 基本工资, 绩效工资, 津贴和补贴, 其他工资
};

// What the audit found for a row.
struct WageCheck {
    int badColumn = 0;                       // first amount column (3..6) that is not a number; 0 if none
    std::array<std::optional<double>, 4> n;  // the amounts as stored; empty cells stay empty
    std::array<bool, 4> rounded{};           // stored otherwise than typed (a fifth decimal)
    double total = 0;                        // rounded to what column 7 shows
    QString totalText;                       // column 7: the total when above 0, else "0"
    QString number;                          // trimmed number, as stored
    QString name;                            // name after the clean-up, as stored
    db::Utf8Text numberUtf8, nameUtf8;       // the two in UTF-8: looked up, compared and bound so
    bool listed = false;                     // the number is on the month's staff list
    bool sFlag = false;                      // listed and the first row's name equals the name
    bool wFlag = false;                      // the total lies within the limits

    QString SFlagText() const { return sFlag ? QStringLiteral("1") : QStringLiteral("0"); }
    QString WFlagText() const { return wFlag ? QStringLiteral("1") : QStringLiteral("0"); }
};

// How the audit cleans a name: the wage sheet removes every blank in it, the error list
// only trims it.
enum class NameCleanup { RemoveBlanks, TrimOnly };

class WageAudit {
public:
    explicit WageAudit(const WageRoster& roster, WageLimits limits = {}) : roster_(roster), limits_(limits) {}

    // Every amount counts in the total, added exactly to the fourth decimal (a fifth rounds it,
    // a half away from zero; see Money.h) and stored as it is added; an amount that is not a
    // number sets badColumn and leaves the rest unchecked.
    // A row without a number never passes the roster check, so it is stored flagged and shows in the error list.
    WageCheck Check(const WageLine& line, NameCleanup names = NameCleanup::RemoveBlanks) const;
    const WageLimits& limits() const { return limits_; }

private:
    const WageRoster& roster_;
    WageLimits limits_;
};

// The messages shown after a save.
QString WageRosterMessage(const QStringList& failedNumbers);  // each entry is a number
QString WageLimitMessage(const WageLimits& limits = {});
QString WageSavedMessage(Month month, int persons);
// The refusal of a save whose amount cell is not a number; `row` is the sheet row.
QString WageNotNumberMessage(int row, const QString& header, const QString& text);
// A save or update the database refused: names the sheet row (none when row is 0, e.g. the commit).
QString WageRowFailedMessage(int row, const QString& error);
// What went wrong, for the person: a database held by another program says so plainly, any
// other failure gives the engine's text.
QString WageDbFailureText(const db::Error& e);

// Headers of the wage sheet's columns 1..7 (for the messages that name a column).
QString WageColumnHeader(int col);

}  // namespace qm
