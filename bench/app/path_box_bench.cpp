// How long a path box takes from the release of a key to its list shown, for folders of
// 1,000 to 100,000 entries, and how much of that is the folder listing itself. Runs on
// Qt's offscreen platform unless QT_QPA_PLATFORM says otherwise.
//
//   path_box_bench [--benchmark_filter=...]

#include <memory>
#include <string>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QVBoxLayout>
#include <QWidget>

#include <benchmark/benchmark.h>

#include "app/key_codes.h"
#include "app/path_box.h"
#include "entry_folders.h"
#include "quiet_form.h"
#include "support/folder_listing.h"

namespace {

tamsel::bench::EntryFolders& folders() {
    static tamsel::bench::EntryFolders instance("tamsel-bench");
    return instance;
}

void ListFolder(benchmark::State& state) {
    const std::string pattern = folders().withEntries(int(state.range(0))) + "e*.*";
    for (auto _ : state) {
        benchmark::DoNotOptimize(tamsel::ListFolder(pattern, tamsel::kListEverything));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(ListFolder)->Arg(1'000)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);

// The whole road of one keystroke: the release reaches the box, the folder is listed, the
// list is refilled and opened, the text completed, and the window and list are painted.
void CompleteOnKeyRelease(benchmark::State& state) {
    const QString typed = QString::fromStdString(folders().withEntries(int(state.range(0)))) + "e";
    tamsel::bench::QuietForm form;
    QWidget window;
    auto* box = new PathBox(tamsel::RunInput::List, form.commands, &window);
    (new QVBoxLayout(&window))->addWidget(box);
    window.resize(540, 120);
    window.show();
    box->setFocus();
    QApplication::processEvents();
    for (auto _ : state) {
        box->hidePopup();
        box->setEditText(typed);
        box->lineEdit()->setCursorPosition(typed.size());
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_E, Qt::NoModifier, "e");
        // The release of a key counts only after its press; the press itself typed the "e".
        form.commands.KeyPressed(KeyIdentity(release));
        QApplication::sendEvent(box, &release);
        QApplication::processEvents();
    }
    if (box->count() != state.range(0) || !box->completionList()->isVisible()) {
        state.SkipWithError("the list was not filled and shown");
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(CompleteOnKeyRelease)
    ->Arg(1'000)
    ->Arg(10'000)
    ->Arg(100'000)
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
