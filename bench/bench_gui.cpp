// Start-up benchmark of the desktop program: from starting `kestrel --quit-when-shown`
// (no splash; the main window built, shown, painted, then the program ends) to its exit,
// against the same for a program that shows one empty Qt window (this program run with
// --minimal). Both run on the same Qt platform (offscreen unless QT_QPA_PLATFORM says
// otherwise) with a throw-away data folder, alternately; medians count.
// Goal: the main window within twice the time of the minimal window.
#include "BenchSupport.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace kestrel::bench;

namespace {

int RunMinimalWindow(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Minimal"));
    window.resize(640, 480);
    window.show();
    QTimer::singleShot(0, &app, [&] {
        window.repaint();
        QCoreApplication::exit(window.isVisible() ? 0 : 1);
    });
    return app.exec();
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--minimal") == 0) return RunMinimalWindow(argc, argv);

    const fs::path self = fs::absolute(fs::path(argv[0]));
    const fs::path kestrel = self.parent_path() / "kestrel";
    if (!fs::exists(kestrel)) Fail("bench_gui", kestrel.string() + " is not built");
    ::setenv("QT_QPA_PLATFORM",
             std::getenv("QT_QPA_PLATFORM") ? std::getenv("QT_QPA_PLATFORM") : "offscreen", 1);
    // The file type is registered in a data folder of the benchmark's own; the first start
    // (not timed) writes it, as on a user's machine after installation.
    const fs::path data =
        fs::temp_directory_path() / ("kestrel-bench-gui-" + std::to_string(::getpid()));
    fs::create_directories(data);
    ::setenv("XDG_DATA_HOME", data.c_str(), 1);

    const int runs = 15;
    if (TimeProgram({kestrel.string(), "--quit-when-shown"}, true) < 0)
        Fail("bench_gui", "kestrel --quit-when-shown failed");
    if (TimeProgram({self.string(), "--minimal"}, true) < 0)
        Fail("bench_gui", "the minimal window failed");
    std::vector<double> mainTimes, minimalTimes;
    for (int i = 0; i < runs; ++i) {
        mainTimes.push_back(TimeProgram({kestrel.string(), "--quit-when-shown"}, true) * 1000);
        minimalTimes.push_back(TimeProgram({self.string(), "--minimal"}, true) * 1000);
        if (mainTimes.back() < 0 || minimalTimes.back() < 0) Fail("bench_gui", "a start failed");
    }
    std::error_code ec;
    fs::remove_all(data, ec);

    const double m = Median(mainTimes), w = Median(minimalTimes);
    const bool ok = m <= 2 * w;
    std::printf("desktop start-up on the %s platform, median of %d\n",
                std::getenv("QT_QPA_PLATFORM"), runs);
    std::printf("  main window shown    %7.1f ms (best %.1f ms)\n", m, Best(mainTimes));
    std::printf("  minimal Qt window    %7.1f ms (best %.1f ms)\n", w, Best(minimalTimes));
    std::printf("  ratio                %7.2f x   (goal <= 2 x)  %s\n", m / w,
                ok ? "ok" : "MISSED");
    NoteLoad();
    return ok ? 0 : 1;
}
