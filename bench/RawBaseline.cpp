#include "bench/RawBaseline.h"

#include "bench/Bench.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>

namespace qm::bench {

double RawInsertStaffMs(const QString& path, const std::vector<synth::Person>& persons, int mon) {
    sqlite3* h = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &h, SQLITE_OPEN_READWRITE, nullptr);
    const double ms = TimeMs([&] {
        sqlite3_exec(h, "begin", nullptr, nullptr, nullptr);
        sqlite3_stmt* del = nullptr;
        sqlite3_prepare_v2(h, "delete from Staff_moninfo where sMon=?", -1, &del, nullptr);
        sqlite3_bind_int(del, 1, mon);
        sqlite3_step(del);
        sqlite3_finalize(del);
        sqlite3_stmt* st = nullptr;
        const QByteArray sql = synth::StaffInsertSql().toUtf8();
        sqlite3_prepare_v2(h, sql.constData(), -1, &st, nullptr);
        for (const auto& p : persons) {
            const db::Params row = synth::StaffRowParams(p, mon);
            for (int i = 0; i < int(row.size()); ++i) {
                const db::Value& v = row[size_t(i)];
                switch (v.kind()) {
                case db::Value::Kind::Null: sqlite3_bind_null(st, i + 1); break;
                case db::Value::Kind::Integer: sqlite3_bind_int64(st, i + 1, v.rawInteger()); break;
                case db::Value::Kind::Real: sqlite3_bind_double(st, i + 1, v.rawReal()); break;
                case db::Value::Kind::Text: {
                    const QByteArray u = v.rawText().toUtf8();
                    sqlite3_bind_text(st, i + 1, u.constData(), int(u.size()), SQLITE_TRANSIENT);
                }
                }
            }
            sqlite3_step(st);
            sqlite3_reset(st);
        }
        sqlite3_finalize(st);
        sqlite3_exec(h, "commit", nullptr, nullptr, nullptr);
    });
    sqlite3_close(h);
    return ms;
}

double RawReplaceStaffMs(const QString& path, const std::vector<synth::Person>& persons, int mon) {
    RawInsertStaffMs(path, persons, mon);
    double best = 0;
    for (int i = 0; i < kRuns; ++i) {
        const double ms = RawInsertStaffMs(path, persons, mon);
        best = i == 0 ? ms : std::min(best, ms);
    }
    return best;
}

void PrintHeldSince(const char* section, double startMb) {
    std::printf("  %s heap: %+.1f MB held at its end, from its own start\n", section, HeapMb() - startMb);
}

}  // namespace qm::bench
