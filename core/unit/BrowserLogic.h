#pragma once
// What the staff browser computes without widgets: the month captions, the months that hold
// a staff list, the statements behind its grid and the count it shows in its status bar.

#include "core/db/Db.h"
#include "core/db/ListQuery.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace qm {

namespace browser {

// The month a caption ("期初", "一月" .. "十二月") names: an exact match, no trimming.
std::optional<int> MonthOfCaption(const QString& caption);

// The captions of the months that have rows in Staff_moninfo, in ascending month order.
QStringList PresentMonthCaptions(db::Connection& db);

// The rows of the month a caption names (the caption is trimmed first); nothing when the
// caption names no month.
std::optional<ListQuery> MonthRows(const QString& caption);
// The rows of the month `monthText` names (taken as it stands) whose name contains `name`;
// nothing when the text names no month.
std::optional<ListQuery> NameSearch(const QString& monthText, const QString& name);

// "  <caption>, 共有<n>条记录。"
QString StatusText(const QString& caption, int count);
// With no month to show: "  共有0条记录。"
QString EmptyStatusText();

}  // namespace browser
}  // namespace qm
