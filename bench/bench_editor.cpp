// Opening a diagram at the reader's capacity (50 states, 48 transitions, 25 action blocks,
// a reset) in the diagram editor: from reading the file to a painted window, on the
// offscreen platform unless QT_QPA_PLATFORM says otherwise. Medians count.
// Goal: under 50 ms to a painted window.
#include "BenchSupport.h"

#include "QtUiServices.h"
#include "diagram/DiagramEditor.h"

#include <QApplication>

#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;
using namespace kestrel;
using namespace kestrel::bench;

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    const fs::path root =
        fs::temp_directory_path() / ("kestrel-bench-editor-" + std::to_string(::getpid()));
    fs::create_directories(root);
    const std::string path = (root / "Ring.asf").string();
    if (Status s = DrawCapacityDiagram(path); !s) Fail("bench_editor", s.message());

    QtUiServices ui;
    const int runs = 15;
    std::vector<double> open;
    for (int i = 0; i < runs; ++i) {
        const auto start = SteadyClock::now();
        DiagramEditor* editor = DiagramEditor::Open(ui, QString::fromStdString(path));
        if (!editor) Fail("bench_editor", "the editor did not open " + path);
        editor->repaint();
        QCoreApplication::processEvents();
        (void)editor->grab(); // the whole window painted into a picture
        open.push_back(Seconds(SteadyClock::now() - start) * 1000);
        editor->setAttribute(Qt::WA_DeleteOnClose, false);
        delete editor;
        QCoreApplication::processEvents();
    }
    const bool ok = Median(open) < 50;
    std::printf("diagram editor, %zu states\n", kMaxDiagramStates);
    std::printf(
        "  open to painted window: %7.2f ms median of %d, best %.2f ms (goal < 50 ms)  %s\n",
        Median(open), runs, Best(open), ok ? "ok" : "MISSED");
    NoteLoad();
    fs::remove_all(root);
    return ok ? 0 : 1;
}
