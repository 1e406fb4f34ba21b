// How long a user waits for a completion in a real X server: from the release of a key,
// sent through the server, to the completed text in the box and its list painted on the
// screen. Folders of 100 to 100,000 entries, in four cases: the first key of a name, with
// the list closed and the folder unchanged since it was listed; typing on, with the list
// open and the folder unchanged since the last key; the first key with an entry of the
// folder renamed since it was listed; and the separator that enters a folder, pressed a
// moment after the completion that named the folder, which changed before. Run it in a
// virtual X server:
//
//   xvfb-run -a build/release/bench/app/completion_x11_bench [--benchmark_filter=...]

#include <chrono>
#include <string>

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListView>
#include <QVBoxLayout>
#include <QWidget>
#include <QWindow>

#include <benchmark/benchmark.h>
#include <xcb/xcb.h>

#include "app/path_box.h"
#include "entry_folders.h"
#include "quiet_form.h"

namespace {

// Key events sent to a window through the X server, so that they reach the program the
// way a keyboard's do: read from the connection, translated by the toolkit's keymap.
class XKeys {
  public:
    XKeys() {
        auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
        connection_ = x11 ? x11->connection() : nullptr;
    }
    bool ready() const { return connection_ != nullptr; }

    // The key code that types `keysym` without modifiers, or 0.
    xcb_keycode_t keycodeOf(xcb_keysym_t keysym) const {
        const xcb_setup_t* setup = xcb_get_setup(connection_);
        const int count = setup->max_keycode - setup->min_keycode + 1;
        auto* reply = xcb_get_keyboard_mapping_reply(
            connection_, xcb_get_keyboard_mapping(connection_, setup->min_keycode, count), nullptr);
        if (reply == nullptr) {
            return 0;
        }
        const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(reply);
        xcb_keycode_t found = 0;
        for (int i = 0; i < count && found == 0; ++i) {
            if (syms[i * reply->keysyms_per_keycode] == keysym) {
                found = static_cast<xcb_keycode_t>(setup->min_keycode + i);
            }
        }
        std::free(reply);
        return found;
    }

    void send(QWidget& window, xcb_keycode_t key, bool press) const {
        xcb_key_press_event_t event{};
        event.response_type = press ? XCB_KEY_PRESS : XCB_KEY_RELEASE;
        event.detail = key;
        event.time = XCB_CURRENT_TIME;
        event.root = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
        event.event = static_cast<xcb_window_t>(window.winId());
        event.same_screen = 1;
        xcb_send_event(connection_, 0, event.event,
                       press ? XCB_EVENT_MASK_KEY_PRESS : XCB_EVENT_MASK_KEY_RELEASE,
                       reinterpret_cast<const char*>(&event));
        xcb_flush(connection_);
    }

    // Returns once the server has handled every request sent so far, drawing included.
    void roundTrip() const {
        std::free(
            xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
    }

  private:
    xcb_connection_t* connection_ = nullptr;
};

// Counts the paints of a widget.
class PaintCounter : public QObject {
  public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        paints += event->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
};

bool WaitFor(const std::function<bool()>& done) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > 10'000) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
    return true;
}

tamsel::bench::EntryFolders& folders() {
    static tamsel::bench::EntryFolders instance("tamsel-x11-bench");
    return instance;
}

// The ways a key meets the folder it completes in.
enum Case : int {
    kFirstKey = 0,  // the list closed, the folder unchanged since it was last listed
    kTypingOn = 1,  // the list open, the folder unchanged
    kChanged = 2,   // the list closed, an entry renamed since the folder was last listed
    kEntering = 3,  // the separator after a folder's name, the folder changed before the name
};

// A user's pause between the completion that names a folder and the separator that enters
// it: a fast typist's gap between two keys.
constexpr auto kPause = std::chrono::milliseconds(150);

// Range 0: entries in the folder; range 1: the case.
void CompleteInXServer(benchmark::State& state) {
    const std::string& path = folders().withEntries(int(state.range(0)));
    const QString folder = QString::fromStdString(path);
    const Case kind = static_cast<Case>(state.range(1));
    XKeys keys;
    const xcb_keycode_t keyE = keys.keycodeOf('e');
    const xcb_keycode_t keySlash = keys.keycodeOf('/');
    // The folders are named by their sizes, every one ending in "0".
    const xcb_keycode_t keyZero = keys.keycodeOf('0');
    if (!keys.ready() || keyE == 0 || keySlash == 0 || keyZero == 0) {
        state.SkipWithError("needs the xcb platform in an X server with keys for 'e', '/', '0'");
        return;
    }
    tamsel::bench::QuietForm form;
    QWidget window;
    auto* box = new PathBox(tamsel::RunInput::List, form.commands, &window);
    (new QVBoxLayout(&window))->addWidget(box);
    window.resize(540, 120);
    window.show();
    window.activateWindow();
    box->setFocus();
    WaitFor([&] { return window.windowHandle()->isExposed() && box->hasFocus(); });
    QListView* list = box->completionList();
    PaintCounter painted;
    list->viewport()->installEventFilter(&painted);

    const bool entering = kind == kEntering;
    const QString typed = entering ? folder : folder + "e";
    const QString completed = entering ? folder : folder + "entry000000.txt";
    const xcb_keycode_t key = entering ? keySlash : keyE;
    // The folder listed once before: the box has met it.
    box->setEditText(folder);
    box->lineEdit()->setCursorPosition(folder.size());
    keys.send(window, keyE, true);
    keys.send(window, keyE, false);
    WaitFor([&] { return box->count() == state.range(0); });
    for (auto _ : state) {
        if (entering) {
            box->hidePopup();
            tamsel::bench::EntryFolders::change(path, int(state.range(0)));
            // The folder's name but its last "0", completed by that key's release.
            const QString named = folder.chopped(1);
            box->setEditText(named.chopped(1));
            box->lineEdit()->setCursorPosition(named.size() - 1);
            keys.send(window, keyZero, true);
            keys.send(window, keyZero, false);
            if (!WaitFor([&] { return box->currentText() == named && box->count() > 0; })) {
                state.SkipWithError("the folder's name was not completed");
                return;
            }
            const auto pauseEnd = std::chrono::steady_clock::now() + kPause;
            WaitFor([&] { return std::chrono::steady_clock::now() >= pauseEnd; });
        } else if (kind == kTypingOn) {
            box->setEditText(folder + "x");
            box->lineEdit()->setCursorPosition(folder.size() + 1);
            box->showPopup();
            // A list from an earlier key, which the completion replaces.
            if (box->count() == 0) {
                static_cast<CompletionModel*>(box->model())
                    ->setEntries({"", {(folder + "x").toStdString()}});
                box->showPopup();
            }
            WaitFor([&] { return list->isVisible() && list->windowHandle()->isExposed(); });
            box->setEditText(folder);
        } else {
            box->hidePopup();
            box->setEditText(folder);
            if (kind == kChanged) {
                tamsel::bench::EntryFolders::change(path, int(state.range(0)));
            }
        }
        if (!entering) {
            box->lineEdit()->setCursorPosition(folder.size());
        }
        keys.send(window, key, true);
        if (!WaitFor([&] { return box->currentText() == typed; })) {
            state.SkipWithError("the key press did not reach the box");
            return;
        }
        keys.roundTrip();
        QCoreApplication::processEvents();
        const int paintsBefore = painted.paints;

        const auto start = std::chrono::steady_clock::now();
        keys.send(window, key, false);
        const bool shown = WaitFor([&] {
            return box->currentText() == completed && list->isVisible() &&
                   list->windowHandle()->isExposed() && painted.paints > paintsBefore;
        });
        keys.roundTrip();
        const auto end = std::chrono::steady_clock::now();
        if (!shown || box->count() != state.range(0)) {
            state.SkipWithError("the list was not filled and shown");
            return;
        }
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(CompleteInXServer)
    ->ArgNames({"entries", "case"})
    ->ArgsProduct({{100, 2'500, 10'000, 100'000}, {kFirstKey, kTypingOn, kChanged, kEntering}})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "xcb");
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        std::fprintf(stderr, "needs an X server: xvfb-run -a %s\n", argv[0]);
        return 1;
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
