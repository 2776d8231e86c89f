// Time from start to the main window being shown, without the splash window's fixed four
// seconds: the QApplication is up, then each iteration builds the main window (its whole load
// step: settings file, folders, pictures, tooltips, clip) and waits until it is on screen.
// Reports the process's peak memory.
//
//   QT_QPA_PLATFORM=offscreen bench_startup [google benchmark options]

#include "app/form2.h"
#include "platform/services.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

#include <benchmark/benchmark.h>
#include <sys/resource.h>

namespace {

double peakMemoryMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void BM_StartToMainWindow(benchmark::State& state) {
    QTemporaryDir folder;
    const qv::ScopedServices services([&](qv::Services& s) { s.programFolder = folder.path(); });
    for (auto _ : state) {
        Form2 window;
        window.show();
        if (!QTest::qWaitForWindowExposed(&window)) {
            state.SkipWithError("the main window was not shown");
            break;
        }
        QCoreApplication::processEvents();
    }
    state.counters["peak_MiB"] = peakMemoryMiB();
}
BENCHMARK(BM_StartToMainWindow)->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
