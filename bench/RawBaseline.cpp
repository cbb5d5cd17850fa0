#include "bench/RawBaseline.h"

#include "bench/Bench.h"

#include <algorithm>
#include <cstdio>

namespace qm::bench {

void RawFail(sqlite3* h, int rc, const char* what) {
    std::fflush(stdout);  // the figures printed so far stand before the message, piped or not
    std::fprintf(stderr, "qm-bench: %s failed: %s (code %d)\n", what, sqlite3_errmsg(h), rc);
    throw RawFailure{};
}

sqlite3* RawOpen(const QString& path, int flags, const char* what) {
    sqlite3* h = nullptr;
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &h, flags, nullptr);
    RawOk(h, rc, what);
    return h;
}

double RawInsertStaffMs(const QString& path, const std::vector<synth::Person>& persons, int mon) {
    sqlite3* const h = RawOpen(path, SQLITE_OPEN_READWRITE, "open the raw staff database");
    const double ms = TimeMs([&] {
        RawOk(h, sqlite3_exec(h, "begin", nullptr, nullptr, nullptr), "begin the raw staff write");
        sqlite3_stmt* del = nullptr;
        RawOk(h, sqlite3_prepare_v2(h, "delete from Staff_moninfo where sMon=?", -1, &del, nullptr),
              "prepare the raw staff delete");
        RawOk(h, sqlite3_bind_int(del, 1, mon), "bind the raw staff delete's month");
        RawOk(h, sqlite3_step(del), "step the raw staff delete", SQLITE_DONE);
        RawOk(h, sqlite3_finalize(del), "finalize the raw staff delete");
        sqlite3_stmt* st = nullptr;
        const QByteArray sql = synth::StaffInsertSql().toUtf8();
        RawOk(h, sqlite3_prepare_v2(h, sql.constData(), -1, &st, nullptr), "prepare the raw staff insert");
        for (const auto& p : persons) {
            const db::Params row = synth::StaffRowParams(p, mon);
            for (int i = 0; i < int(row.size()); ++i) {
                const db::Value& v = row[size_t(i)];
                int rc = SQLITE_OK;
                switch (v.kind()) {
                case db::Value::Kind::Null: rc = sqlite3_bind_null(st, i + 1); break;
                case db::Value::Kind::Integer: rc = sqlite3_bind_int64(st, i + 1, v.rawInteger()); break;
                case db::Value::Kind::Real: rc = sqlite3_bind_double(st, i + 1, v.rawReal()); break;
                case db::Value::Kind::Text: {
                    const QByteArray u = v.rawText().toUtf8();
                    rc = sqlite3_bind_text(st, i + 1, u.constData(), int(u.size()), SQLITE_TRANSIENT);
                }
                }
                RawOk(h, rc, "bind a raw staff row's value");
            }
            RawOk(h, sqlite3_step(st), "step the raw staff insert", SQLITE_DONE);
            RawOk(h, sqlite3_reset(st), "reset the raw staff insert");
        }
        RawOk(h, sqlite3_finalize(st), "finalize the raw staff insert");
        RawOk(h, sqlite3_exec(h, "commit", nullptr, nullptr, nullptr), "commit the raw staff write");
    });
    RawOk(h, sqlite3_close(h), "close the raw staff database");
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
