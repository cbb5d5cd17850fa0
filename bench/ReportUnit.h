#pragma once
// What the report forms' section and the windows' section share: the year unit the reports
// run on, and one run of a form as qm-report makes it.
#include "bench/Bench.h"
#include "core/db/Db.h"
#include "tools/report/ReportTool.h"

#include <QString>
#include <QStringList>

namespace qm::bench {

// A construction unit with general contracting in the program folder's own database: staff
// lists of months 0..12, wages of months 1..12, every row audited. A unit of this size that an
// earlier run left (--keep) with every row still audited is used again. Answers its path.
QString BuildReportUnit(const Context& ctx);

// One run of a form as qm-report makes it (the gates included); false when it was refused,
// with the box's text (or the exception's) in `message`.
bool RunReportForm(db::Connection& c, const AppPaths& paths, const reporttool::Runner& runner, const QStringList& args,
                   QString& message);

}  // namespace qm::bench
