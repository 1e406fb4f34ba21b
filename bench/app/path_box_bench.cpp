// How long a path box takes from the release of a key to its list shown, for folders of
// 100 to 100,000 entries, and how much of that is the folder listing itself: matching a
// kept listing, reading a changed folder again, and the system's reading alone. Runs on
// Qt's offscreen platform unless QT_QPA_PLATFORM says otherwise.
//
//   path_box_bench [--benchmark_filter=...]

#include <dirent.h>

#include <memory>
#include <string>
#include <vector>

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
#include "window/folder_listings.h"

namespace {

tamsel::bench::EntryFolders& folders() {
    static tamsel::bench::EntryFolders instance("tamsel-bench");
    return instance;
}

// The folder sizes of the completion benchmarks, in both windows.
void Sizes(benchmark::internal::Benchmark* benchmark) {
    for (const int entries : {100, 2'500, 10'000, 100'000}) {
        benchmark->Arg(entries);
    }
}

// Typing on in a folder that has not changed: its kept listing is matched again.
void ListKeptFolder(benchmark::State& state) {
    const std::string pattern = folders().withEntries(int(state.range(0))) + "e*.*";
    tamsel::FolderListings listings;
    std::vector<std::string> names;
    listings.List(pattern, tamsel::kListEverything, names);
    for (auto _ : state) {
        listings.List(pattern, tamsel::kListEverything, names);
        benchmark::DoNotOptimize(names.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(ListKeptFolder)->Apply(Sizes)->Unit(benchmark::kMillisecond);

// A key in a folder that changed: the folder is read again, sorted and matched.
void ListChangedFolder(benchmark::State& state) {
    const std::string pattern = folders().withEntries(int(state.range(0))) + "e*.*";
    std::vector<std::string> names;
    for (auto _ : state) {
        tamsel::FolderListings listings;
        listings.List(pattern, tamsel::kListEverything, names);
        benchmark::DoNotOptimize(names.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(ListChangedFolder)->Apply(Sizes)->Unit(benchmark::kMillisecond);

// What the system takes to read the folder: its entries' names, and nothing done with them.
void ReadBySystemAlone(benchmark::State& state) {
    const std::string folder = folders().withEntries(int(state.range(0)));
    for (auto _ : state) {
        DIR* entries = opendir(folder.c_str());
        std::size_t count = 0;
        while (const dirent* entry = readdir(entries)) {
            benchmark::DoNotOptimize(entry->d_name);
            ++count;
        }
        closedir(entries);
        benchmark::DoNotOptimize(count);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(ReadBySystemAlone)->Apply(Sizes)->Unit(benchmark::kMillisecond);

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
        QKeyEvent press(QEvent::KeyPress, Qt::Key_E, Qt::NoModifier, "e");
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_E, Qt::NoModifier, "e");
        // The release of a key counts only after its press; the press itself typed the "e".
        form.commands.KeyDown(ToKeyEvent(press), nullptr);
        QApplication::sendEvent(box, &release);
        QApplication::processEvents();
    }
    if (box->count() != state.range(0) || !box->completionList()->isVisible()) {
        state.SkipWithError("the list was not filled and shown");
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(CompleteOnKeyRelease)->Apply(Sizes)->Unit(benchmark::kMillisecond);

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
