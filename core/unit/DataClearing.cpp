#include "core/unit/DataClearing.h"

#include "core/db/Db.h"
#include "core/db/StaffTable.h"
#include "core/db/WageTable.h"

namespace qm {

std::optional<int> DataClearing::ParseMonth(const QString& text) {
    const QString t = text.trimmed();
    if (t.isEmpty() || t.size() > 2) return std::nullopt;
    for (QChar ch : t)
        if (ch < QLatin1Char('0') || ch > QLatin1Char('9')) return std::nullopt;
    const int m = t.toInt();
    if (m < 1 || m > 12) return std::nullopt;
    return m;
}

std::optional<int> DataClearing::LastStaffMonth() {
    const std::vector<Month> months = StaffTable(c_).Months();
    if (months.empty() || months.back().IsStart()) return std::nullopt;
    return months.back().Number();
}

std::optional<int> DataClearing::LastWageMonth() { return WageTable(c_).LastMonth(); }

void DataClearing::ClearAllMonthlyStaff() {
    db::Transaction t(c_);
    StaffTable(c_).DeleteMonthlyLists();
    WageTable(c_).DeleteAll();
    t.Commit();
}

void DataClearing::ClearStaffMonth(int m) {
    db::Transaction t(c_);
    if (const auto month = Month::Of(m)) {
        StaffTable(c_).DeleteMonth(*month);
        WageTable(c_).DeleteMonth(*month);
    }
    t.Commit();
}

void DataClearing::ClearAllWages() { WageTable(c_).DeleteAll(); }

void DataClearing::ClearWageMonth(int m) {
    if (const auto month = Month::Of(m)) WageTable(c_).DeleteMonth(*month);
}

int DataClearing::ClearInitialList() { return StaffTable(c_).DeleteMonth(Month::Start()); }

}  // namespace qm
