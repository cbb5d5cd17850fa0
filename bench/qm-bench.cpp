// qm-bench: builds a synthetic unit in a temporary base folder (or in DIR with --keep DIR)
// and prints the timings of the sections registered in bench/.
#include "bench/Bench.h"
#include "bench/RawBaseline.h"

#include <malloc.h>
#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <map>

namespace qm::bench {

namespace {
struct Entry {
    int rank;
    const char* name;
    Section fn;
};
std::vector<Entry>& Sections() {
    static std::vector<Entry> s;
    return s;
}
}  // namespace

Registrar::Registrar(int rank, const char* name, Section fn) { Sections().push_back({rank, name, std::move(fn)}); }

double TimeMs(const std::function<void()>& fn) {
    auto t0 = std::chrono::steady_clock::now();
    fn();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

double BestOfMs(const std::function<void()>& fn, const std::function<void()>& setup, int runs) {
    double best = 0;
    for (int i = 0; i < runs; ++i) {
        if (setup) setup();
        const double ms = TimeMs(fn);
        if (i == 0 || ms < best) best = ms;
    }
    return best;
}

double HeapMb() {
    // Large blocks are mapped apart from the heap proper; they count as much.
    const struct mallinfo2 m = mallinfo2();
    return double(m.uordblks + m.hblkhd) / (1024.0 * 1024.0);
}

void Print(const QString& figure, double ms) { std::printf("%-58s %10.1f ms\n", figure.toUtf8().constData(), ms); }

void Note(const QString& text) { std::printf("%s\n", text.toUtf8().constData()); }

void PrintRatio(const QString& figure, double ms, const QString& baseline, double baselineMs) {
    std::printf("%-58s %10.1f ms   (%s %.1f ms, ratio %.2f)\n", figure.toUtf8().constData(), ms,
                baseline.toUtf8().constData(), baselineMs, baselineMs > 0 ? ms / baselineMs : 0.0);
}

}  // namespace qm::bench

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // --keep DIR: build the unit in DIR and leave it there; --only TEXT: run only the sections
    // whose name contains TEXT (the unit is built in any case); --persons N: a unit of N persons.
    // Anything else runs nothing: a mistyped option must not cost the whole run.
    const char* const usage = "usage: qm-bench [--keep DIR] [--only TEXT] [--persons N]\n";
    QString keep, only;
    int persons = qm::bench::kDefaultPersons;
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        const bool valued = i + 1 < argc;
        bool known = valued;
        if (arg == QStringLiteral("-h") || arg == QStringLiteral("--help")) {
            std::fputs(usage, stdout);
            return 0;
        }
        if (arg == QStringLiteral("--keep") && valued)
            keep = QString::fromLocal8Bit(argv[++i]);
        else if (arg == QStringLiteral("--only") && valued)
            only = QString::fromLocal8Bit(argv[++i]);
        else if (arg == QStringLiteral("--persons") && valued)
            persons = QString::fromLocal8Bit(argv[++i]).toInt(&known);
        else
            known = false;
        if (!known || persons < 1) {
            std::fprintf(stderr, "qm-bench: %s: not understood\n%s", argv[i], usage);
            return 2;
        }
    }

    QTemporaryDir tmp;
    QString base = keep.isEmpty() ? tmp.path() : keep;
    QDir().mkpath(base);
    qm::bench::Context ctx{qm::AppPaths(base), persons};
    std::printf("qm-bench: %d persons, base folder %s\n", ctx.persons, ctx.paths.Base().toUtf8().constData());

    auto& sections = qm::bench::Sections();
    std::stable_sort(sections.begin(), sections.end(), [](auto& a, auto& b) { return a.rank < b.rank; });
    for (auto& s : sections) {
        if (!only.isEmpty() && !QString::fromUtf8(s.name).contains(only)) continue;
        std::printf("-- %s\n", s.name);
        try {
            s.fn(ctx);
        } catch (const qm::bench::RawFailure&) {
            return 1;  // a failed baseline prints no figure: the message is on stderr already
        }
    }
    return 0;
}
