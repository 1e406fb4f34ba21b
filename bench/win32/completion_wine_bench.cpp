// How long a user waits for a completion in the native window: from the key's release, as
// the window's message loop receives it, to the completed text in the box and the end of
// the list's last paint. The keys come from the X server (bench/win32/completion_wine sends
// them with xdotool), so they reach the window through the platform's keyboard handling as
// a user's do. Folders of 100 to 100,000 entries, in four cases: the first key of a name,
// with the list closed and the folder unchanged since it was listed; typing on, with the
// list open and filled from the same folder; the first key with an entry renamed since the
// folder was listed; and the separator that enters a folder, pressed a moment after the
// completion that named it, the folder changed before.
//
// Protocol, one line each on standard output:
//   "ready <key>"  asks for a key press (xdotool's name of the key);
//   "pressed"      asks for its release;
//   "result <entries> <case> <ms> <last ms> <queued ms> <handled ms>"
//                  one measurement: to the end of the first paint of the shown list after
//                  the release; to the end of the last paint of the list within 100 ms
//                  after it; how old the release's message was when the loop took it; to
//                  the release's message handled;
//   "listing <entries> <ms> <names>"
//                  the time a completion's listing of the folder, read anew, takes alone;
//   "kept <entries> <ms> <names>"
//                  the time the same listing takes again, the folder unchanged;
//   "system <entries> <ms> <names>"
//                  the time the system takes to list the folder's names, and nothing more;
//   "done"         ends.
//
//   completion_wine_bench RUNS FOLDER ENTRIES...
//
// FOLDER holds a folder per size, named by its number of entries and holding the files
// entry000000.txt and up (the script makes them: files made through wine take a few
// milliseconds each).

#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "support/utf16.h"
#include "win32/combo_box_view.h"
#include "win32/form_window.h"
#include "win32/win32_desktop.h"
#include "window/folder_listings.h"

namespace {

using tamsel::RunInput;
using tamsel::win32::FormWindow;

double Now() {
    static const double ticksPerMs = [] {
        LARGE_INTEGER frequency;
        QueryPerformanceFrequency(&frequency);
        return static_cast<double>(frequency.QuadPart) / 1000.0;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / ticksPerMs;
}

void Say(const std::string& line) {
    std::fputs((line + "\n").c_str(), stdout);
    std::fflush(stdout);
}

// Paints of the list windows, whichever kind of list the box drops. `shown` tells whether
// the list is shown, so that a paint's end counts.
struct Paints {
    std::function<bool()> shown;
    int count = 0;
    double firstEnd = 0;  // of the first paint that ended with the completion shown
    double lastEnd = 0;
};
Paints paints;

LRESULT CALLBACK CountPaint(HWND window, UINT message, WPARAM w, LPARAM l, UINT_PTR, DWORD_PTR) {
    const LRESULT result = DefSubclassProc(window, message, w, l);
    if (message == WM_PAINT) {
        ++paints.count;
        paints.lastEnd = Now();
        if (paints.firstEnd == 0 && paints.shown && paints.shown()) {
            paints.firstEnd = paints.lastEnd;
        }
    }
    return result;
}

BOOL CALLBACK HookChild(HWND window, LPARAM) {
    SetWindowSubclass(window, CountPaint, 1, 0);
    return TRUE;
}

struct ThreadWindows {
    HWND form;
    std::vector<HWND> others;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM data) {
    auto& windows = *reinterpret_cast<ThreadWindows*>(data);
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    if (window != windows.form && std::wstring_view(name) != TOOLTIPS_CLASSW) {
        windows.others.push_back(window);
    }
    return TRUE;
}

// The thread's windows besides the form: the boxes' lists, shown or not.
std::vector<HWND> ListWindows(HWND form) {
    ThreadWindows windows{form, {}};
    EnumThreadWindows(GetCurrentThreadId(), CollectWindow, reinterpret_cast<LPARAM>(&windows));
    return windows.others;
}

// The ways a key meets the folder it completes in.
enum Case : int {
    kFirstKey,  // the list closed, the folder unchanged since it was listed
    kTypingOn,  // the list open and filled from the same folder
    kChanged,   // the list closed, an entry of the folder renamed since it was listed
    kEntering,  // the separator after a folder's name, the folder changed before the name
};
constexpr const char* kCaseNames[] = {"first-key", "typing-on", "changed", "entering"};

// A user's pause between the completion that names a folder and the separator that enters
// it: a fast typist's gap between two keys.
constexpr double kPauseMs = 150;

class Bench {
  public:
    explicit Bench(FormWindow& form) : form_(form), edit_(form.BoxEdit(RunInput::List)) {
        for (HWND list : ListWindows(form.Handle())) {
            HookChild(list, 0);
            EnumChildWindows(list, HookChild, 0);
            lists_.push_back(list);
        }
    }

    // One message through the window as the program's loop runs it; false when none came.
    bool PumpOne(MSG& message) {
        if (!PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            return false;
        }
        if (!form_.TranslateForWindow(message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        return true;
    }

    void PumpFor(double ms) {
        MSG message;
        const double end = Now() + ms;
        while (Now() < end) {
            if (!PumpOne(message)) {
                MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
            }
        }
    }

    bool ListShown() const {
        for (HWND list : lists_) {
            if (IsWindowVisible(list)) {
                return true;
            }
        }
        return false;
    }

    // A key pressed and released in the box through the window's own loop.
    void PostKey(int virtualKey) {
        PostMessageW(edit_, WM_KEYDOWN, virtualKey, 1);
        PumpFor(30);
        PostMessageW(edit_, WM_KEYUP, virtualKey, 1 | (3u << 30));
        PumpFor(30);
    }

    // Waits for the key's press and release from the X server and measures the release.
    bool Measure(const std::string& folder, std::size_t entries, Case kind, bool report) {
        const bool entering = kind == kEntering;
        if (entering) {
            if (ListShown()) {
                PostKey(VK_ESCAPE);
            }
            // The folder's name but its last "0", completed by that key, and a pause.
            const std::string named = folder.substr(0, folder.size() - 1);
            tamsel::win32::ApplyEdit(edit_, tamsel::CaretAtEnd(named.substr(0, named.size() - 1)));
            PostKey('0');
            PumpFor(kPauseMs);
            if (tamsel::win32::ReadEdit(edit_).text != named) {
                return false;
            }
        } else if (kind == kTypingOn) {
            // The list open and filled from the same folder by the key before.
            tamsel::win32::ApplyEdit(edit_, tamsel::CaretAtEnd(folder));
            PostKey('E');
            if (!ListShown()) {
                return false;
            }
        } else if (ListShown()) {
            PostKey(VK_ESCAPE);
        }
        if (!entering) {
            tamsel::win32::ApplyEdit(edit_, tamsel::CaretAtEnd(folder));
            PumpFor(20);
        }
        Say(entering ? "ready backslash" : "ready e");
        MSG message;
        const std::string typed = entering ? folder : folder + "e";
        while (tamsel::win32::ReadEdit(edit_).text != typed) {
            if (!PumpOne(message)) {
                MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
            }
        }
        PumpFor(20);
        const std::string completed = entering ? folder : folder + "entry000000.txt";
        const int paintsBefore = paints.count;
        paints.firstEnd = 0;
        paints.shown = [&] { return ListShown(); };
        Say("pressed");
        double start = 0;
        DWORD queued = 0;
        while (start == 0) {
            if (!PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE)) {
                MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
                continue;
            }
            if (message.message == WM_KEYUP) {
                start = Now();
                queued = GetTickCount() - message.time;
            }
            PumpOne(message);
        }
        const double handled = Now();
        const double deadline = start + 10'000;
        while (Now() < deadline && paints.firstEnd == 0) {
            if (!PumpOne(message)) {
                MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
            }
        }
        // Paints that follow at once are part of showing the list.
        PumpFor(100);
        paints.shown = nullptr;
        if (!ListShown() || paints.firstEnd == 0 || paints.count == paintsBefore ||
            tamsel::win32::ReadEdit(edit_).text != completed) {
            return false;
        }
        if (!report) {
            return true;
        }
        char line[160];
        std::snprintf(line, sizeof line, "result %zu %s %.2f %.2f %lu %.2f", entries,
                      kCaseNames[kind], paints.firstEnd - start, paints.lastEnd - start,
                      static_cast<unsigned long>(queued), handled - start);
        Say(line);
        return true;
    }

  private:
    FormWindow& form_;
    HWND edit_;
    std::vector<HWND> lists_;
};

}  // namespace

int main(int argc, char** argv) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    if (argc < 4) {
        Say("error: usage: completion_wine_bench RUNS FOLDER ENTRIES...");
        return 1;
    }
    const int runs = std::atoi(argv[1]);
    const std::string root = argv[2];
    std::vector<int> sizes;
    for (int i = 3; i < argc; ++i) {
        sizes.push_back(std::atoi(argv[i]));
    }
    const auto folderOf = [&](int size) { return root + "\\" + std::to_string(size) + "\\"; };

    tamsel::win32::Win32Desktop desktop;
    FormWindow form(desktop, root);
    if (!form.Create(GetModuleHandleW(nullptr))) {
        Say("error: no window");
        return 1;
    }
    Bench bench(form);
    bench.PumpFor(500);
    Say("window");
    bench.PumpFor(1'000);
    // A listing distrusts a folder changed in the last 2 seconds: the folders made before
    // the program started are older than that now.
    bench.PumpFor(2'000);
    // As a user's other program might change a folder: its last entry is renamed, to a name
    // of the same kind or back. The names listed stay as many and in the same order.
    const auto change = [&](int size) {
        char name[32];
        std::snprintf(name, sizeof name, "entry%06d.", size - 1);
        const std::string entry = folderOf(size) + name;
        if (!MoveFileA((entry + "txt").c_str(), (entry + "was").c_str())) {
            MoveFileA((entry + "was").c_str(), (entry + "txt").c_str());
        }
    };
    const auto report = [](const char* what, int size, double ms, std::size_t names) {
        char line[96];
        std::snprintf(line, sizeof line, "%s %d %.2f %zu", what, size, ms, names);
        Say(line);
    };
    std::vector<std::string> names;
    for (int size : sizes) {
        // What listing the folder anew costs, as the completion of "e" reads it, what of that
        // is the system's reading, and what listing it again costs while it is unchanged.
        for (int run = 0; run < runs + 1; ++run) {
            tamsel::FolderListings listings;
            double start = Now();
            listings.List(folderOf(size) + "e*.*", 23, names);
            const double listed = Now() - start;
            start = Now();
            listings.List(folderOf(size) + "e*.*", 23, names);
            const double kept = Now() - start;
            start = Now();
            std::size_t count = 0;
            WIN32_FIND_DATAW data;
            const HANDLE find =
                FindFirstFileExW(tamsel::WidenPath(folderOf(size) + "*").c_str(), FindExInfoBasic,
                                 &data, FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
            for (bool more = find != INVALID_HANDLE_VALUE; more;
                 more = FindNextFileW(find, &data)) {
                ++count;
            }
            FindClose(find);
            if (run > 0) {
                report("listing", size, listed, names.size());
                report("kept", size, kept, names.size());
                report("system", size, Now() - start, count);
            }
        }
        // The first key meets the folder as the box last listed it, with the list closed;
        // typing on narrows what the key before listed, with the list open; a changed folder
        // is read again; entering meets the folder changed before its name was completed.
        for (const Case kind : {kFirstKey, kTypingOn, kChanged, kEntering}) {
            for (int run = 0; run < runs + 1; ++run) {  // the first run warms up
                if (kind == kChanged || kind == kEntering) {
                    change(size);
                }
                if (!bench.Measure(folderOf(size), static_cast<std::size_t>(size), kind, run > 0)) {
                    Say("error: the list was not filled and shown");
                    return 1;
                }
            }
        }
    }
    Say("done");
    return 0;
}
