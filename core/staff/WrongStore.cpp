#include "core/staff/WrongStore.h"

namespace qm {

std::vector<WrongRow> LoadErrorRows(db::Connection& c, Month month, int mode) {
    std::vector<WrongRow> rows;
    for (const StaffRecord& r : StaffTable(c).ReadMonth(month)) {
        // Mode 0 the failed rows, 1 the passed ones, any other every row.
        if ((mode == 0 || mode == 1) && r.sIsok != (mode == 0 ? QStringLiteral("0") : QStringLiteral("1"))) continue;
        WrongRow w;
        w.id = r.id;
        w.texts = StaffTextsOf(r);
        for (size_t i = 0; i < w.codes.size(); ++i)
            if (r.code[i]) w.codes[i] = QString::number(*r.code[i]);
        rows.push_back(std::move(w));
    }
    return rows;
}

UnitLabels ReadUnitLabels(db::Connection& c) {
    db::Query q(c);
    q.Open(QStringLiteral("select DepName, DepNo from Dep_Info limit 1"));
    if (q.Eof()) return {};
    return {q.Fields(0).AsString(), q.Fields(1).AsString()};
}

}  // namespace qm
