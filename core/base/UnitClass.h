#pragma once
// The class of the unit: whether it is a government organ (DepType) and which of the four
// classes of DepInfo it has. It is decoded once, where the unit row is read, and turned
// back into text only where the row is written or the class is shown; everything between
// asks this value. The optional staff columns and the report supplements follow the class.

#include "core/base/Month.h"

#include <QString>

#include <optional>

namespace qm {

class UnitClass {
public:
    // DepInfo: "否" other, "规上" industry above the size threshold, "是1" construction with
    // general and specialist contracting, "是2" construction with labour subcontracting;
    // Unknown is any other stored text (the unit form never writes one).
    enum class Kind { Other, AboveSize, GeneralContract, LabourSubcontract, Unknown };

    // An enterprise or institution of no known class (no unit read yet).
    constexpr UnitClass() = default;
    constexpr UnitClass(bool organ, Kind kind) : organ_(organ), kind_(kind) {}

    // The stored texts; blanks and control characters (up to U+0020) around them do not count.
    static UnitClass Decode(const QString& depType, const QString& depInfo);

    constexpr bool IsOrgan() const { return organ_; }
    constexpr bool IsEnterprise() const { return !organ_; }
    constexpr Kind kind() const { return kind_; }
    // "是1" or "是2": the four construction columns.
    constexpr bool IsConstruction() const { return kind_ == Kind::GeneralContract || kind_ == Kind::LabourSubcontract; }
    // "规上": the production column only.
    constexpr bool IsAboveSize() const { return kind_ == Kind::AboveSize; }
    // The production column (sTyg/syg) is kept: construction and above-size units.
    constexpr bool HasProductionColumn() const { return IsConstruction() || IsAboveSize(); }

    // The texts stored in Dep_Info ("机关单位"/"企业事业单位"; "否", "规上", "是1", "是2";
    // an unknown class has no text).
    QString DepTypeText() const;
    QString DepInfoText() const;
    // The class as the status bar shows it; empty for an enterprise of unknown class.
    QString StatusText() const;

    friend constexpr bool operator==(UnitClass a, UnitClass b) = default;

private:
    bool organ_ = false;
    Kind kind_ = Kind::Unknown;
};

// The unit's CreateMon: stored "99" for a unit not founded this year, else the month before
// its founding month, "0".."11". Any other stored text is kept as not valid: the month menus
// and the previous-month gate take it as "99", the wage tool button refuses it.
struct FoundingMonth {
    std::optional<Month> before;  // the month before the founding month; none: not founded this year
    bool valid = true;

    static FoundingMonth NotThisYear() { return {}; }
    static FoundingMonth Before(Month m) { return {m, true}; }
    // The stored text, blanks and control characters (up to U+0020) around it aside.
    static FoundingMonth Decode(const QString& stored);
    // The text stored: "99" or the month's number.
    QString Text() const;
    // Whether month m is the one before the founding month.
    bool IsBefore(Month m) const { return before == m; }

    friend bool operator==(const FoundingMonth&, const FoundingMonth&) = default;
};

}  // namespace qm
