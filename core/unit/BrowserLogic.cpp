#include "core/unit/BrowserLogic.h"

#include "core/db/StaffTable.h"

namespace qm {

namespace browser {

std::optional<int> MonthOfCaption(const QString& caption) {
    const std::optional<Month> m = Month::OfCaption(caption);
    if (!m) return std::nullopt;
    return m->Number();
}

QStringList PresentMonthCaptions(db::Connection& db) {
    QStringList out;
    // A month outside 0..12 has no caption and is not offered.
    for (Month m : StaffTable(db).Months()) out << m.Caption();
    return out;
}

// Rows in the order they were entered.
std::optional<ListQuery> MonthRows(const QString& caption) {
    const std::optional<int> month = MonthOfCaption(caption.trimmed());
    if (!month) return std::nullopt;
    return StaffTable::BrowseMonth(Month(*month));
}

std::optional<ListQuery> NameSearch(const QString& monthText, const QString& name) {
    const std::optional<int> month = MonthOfCaption(monthText);
    if (!month) return std::nullopt;
    return StaffTable::BrowseName(Month(*month), LikeAnywhere(name));
}

QString StatusText(const QString& caption, int count) {
    return QStringLiteral("  ") + caption + QStringLiteral(", 共有") + QString::number(count) +
           QStringLiteral("条记录。");
}

QString EmptyStatusText() { return QStringLiteral("  共有0条记录。"); }

}  // namespace browser
}  // namespace qm
