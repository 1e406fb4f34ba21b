// The native window driven through window messages posted to its controls and run through
// its own message loop, as a user's keys are.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>
#include <initguid.h>
#include <objbase.h>
#include <oleacc.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "test_support/other_run_lock.h"
#include "test_support/temp_folder.h"
#include "win32/combo_box_view.h"
#include "win32/form_window.h"
#include "win32/wide_text.h"
#include "win32/win32_desktop.h"
#include "window/form_layout.h"

namespace tamsel::win32 {
namespace {

struct ShownMessage {
    std::string caption;
    std::string text;
    std::string icon;

    bool operator==(const ShownMessage&) const = default;
};

void PrintTo(const ShownMessage& message, std::ostream* out) {
    *out << message.caption << ", " << message.icon << ": " << message.text;
}

// Where a message box placed its parts, in its client area's pixels.
struct BoxLayout {
    int frameWidth;
    int clientWidth;
    RECT button;  // OK
    RECT text;
};

// Every message box or dialog the thread shows while this lives is read and closed as Esc
// closes it (OK for a message box) from a timer, which the box's own modal loop runs.
class ModalAnswerer {
  public:
    ModalAnswerer() {
        shown_.clear();
        layouts_.clear();
        timer_ = SetTimer(nullptr, 0, 50, Answer);
    }
    ~ModalAnswerer() { KillTimer(nullptr, timer_); }
    const std::vector<ShownMessage>& Shown() const { return shown_; }
    const std::vector<BoxLayout>& Layouts() const { return layouts_; }

  private:
    static std::string IconName(HWND box) {
        HWND child = nullptr;
        while ((child = FindWindowExW(box, child, L"Static", nullptr))) {
            if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
                const auto icon = reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0));
                return icon == LoadIconW(nullptr, IDI_INFORMATION)   ? "information"
                       : icon == LoadIconW(nullptr, IDI_EXCLAMATION) ? "exclamation"
                                                                     : "another icon";
            }
        }
        return "no icon";
    }
    static RECT PlaceOf(HWND box, HWND child) {
        RECT place{};
        GetWindowRect(child, &place);
        MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&place), 2);
        return place;
    }
    static BoxLayout LayoutOf(HWND box) {
        RECT frame;
        RECT client;
        GetWindowRect(box, &frame);
        GetClientRect(box, &client);
        return {frame.right - frame.left, client.right, PlaceOf(box, GetDlgItem(box, IDOK)),
                PlaceOf(box, GetDlgItem(box, 0xFFFF))};
    }
    static BOOL CALLBACK Read(HWND window, LPARAM) {
        wchar_t className[16] = {};
        GetClassNameW(window, className, 16);
        if (std::wstring_view(className) == L"#32770" && IsWindowVisible(window)) {
            shown_.push_back(
                {WindowText(window), WindowText(GetDlgItem(window, 0xFFFF)), IconName(window)});
            layouts_.push_back(LayoutOf(window));
            PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
        }
        return TRUE;
    }
    static void CALLBACK Answer(HWND, UINT, UINT_PTR, DWORD) {
        EnumThreadWindows(GetCurrentThreadId(), Read, 0);
    }

    static inline std::vector<ShownMessage> shown_;
    static inline std::vector<BoxLayout> layouts_;
    UINT_PTR timer_ = 0;
};

// A top-level window that takes the activation from the form, as another program's does.
HWND ActivateAnotherWindow() {
    const HWND other =
        CreateWindowExW(0, L"STATIC", L"Another program", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                        nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ShowWindow(other, SW_SHOW);
    SetActiveWindow(other);
    return other;
}

// The system's message boxes and dialogs; a folder to open is noted, and its window takes
// the activation as the file manager's does.
class TestDesktop final : public DesktopServices {
  public:
    ~TestDesktop() override { DestroyWindow(folderWindow_); }
    void SetOwner(HWND owner) { system_.SetOwner(owner); }
    const std::vector<std::string>& Opened() const { return opened_; }

    void ShowMessage(const std::string& text, MessageIcon icon) override {
        system_.ShowMessage(text, icon);
    }
    std::string ShowOpenDialog(const OpenDialogRequest& request) override {
        return system_.ShowOpenDialog(request);
    }
    void OpenFolder(const std::string& folder) override {
        opened_.push_back(folder);
        folderWindow_ = ActivateAnotherWindow();
    }
    void OpenAddress(const std::string& address) override { opened_.push_back(address); }

  private:
    Win32Desktop system_;
    std::vector<std::string> opened_;
    HWND folderWindow_ = nullptr;
};

// How much ink `text` takes in `font`, black on white: the sum of every pixel's darkness.
long long Ink(HFONT font, const wchar_t* text) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, 200, -40, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    const HDC dc = CreateCompatibleDC(nullptr);
    const HBITMAP canvas = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HGDIOBJ oldBitmap = SelectObject(dc, canvas);
    const HGDIOBJ oldFont = SelectObject(dc, font);
    RECT all{0, 0, 200, 40};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkMode(dc, TRANSPARENT);
    TextOutW(dc, 4, 4, text, static_cast<int>(wcslen(text)));
    GdiFlush();
    long long ink = 0;
    for (int i = 0; i < 200 * 40; ++i) {
        ink += 255 - (static_cast<const DWORD*>(bits)[i] & 0xFF);
    }
    SelectObject(dc, oldFont);
    SelectObject(dc, oldBitmap);
    DeleteObject(canvas);
    DeleteDC(dc);
    return ink;
}

class FormWindowTest : public testing::Test {
  protected:
    FormWindowTest() {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
        InitCommonControlsEx(&controls);
    }
    ~FormWindowTest() override { CoUninitialize(); }

    void Open(const std::string& programFolder, FormCommands::Conversion conversion = {}) {
        form_ = std::make_unique<FormWindow>(desktop_, programFolder, "", std::move(conversion));
        ASSERT_TRUE(form_->Create(GetModuleHandleW(nullptr)));
        desktop_.SetOwner(form_->Handle());
        Pump();
    }

    // Runs the thread's messages through the window as the program's loop does, until
    // none has come for a while and no run goes.
    void Pump() {
        MSG message;
        for (int idle = 0; idle < 3 || (form_ && form_->Handle() && form_->Running());) {
            if (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                idle = 0;
                if (!form_->TranslateForWindow(message)) {
                    TranslateMessage(&message);
                    DispatchMessageW(&message);
                }
            } else {
                ++idle;
                Sleep(20);
            }
        }
    }

    // Runs the thread's messages through the window for `ms` milliseconds, run or no run.
    void PumpFor(int ms) {
        const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(ms);
        MSG message;
        while (GetTickCount64() < end) {
            if (!PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                Sleep(10);
            } else if (!form_->TranslateForWindow(message)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
        }
    }

    // A key press as a keyboard posts it to `target`; a repeat has bit 30 set.
    static void PostKey(HWND target, int virtualKey, bool autoRepeat = false) {
        const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC)) << 16;
        PostMessageW(target, WM_KEYDOWN, virtualKey, 1 | scan | (autoRepeat ? 1 << 30 : 0));
    }

    // A key pressed and released in `target`; the press's character is typed before the
    // release comes, as with a real keyboard.
    void Key(HWND target, int virtualKey, bool autoRepeat = false) {
        PostKey(target, virtualKey, autoRepeat);
        Pump();
        const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC)) << 16;
        PostMessageW(target, WM_KEYUP, virtualKey, 1 | scan | (3u << 30));
        Pump();
    }

    // The entries the box's list holds, as many as its rows.
    std::vector<std::string> ListOf(RunInput box) const {
        const ComboBoxView& list = form_->BoxView(box);
        const auto rows = static_cast<std::size_t>(SendMessageW(list.Rows(), LB_GETCOUNT, 0, 0));
        std::vector<std::string> entries;
        for (std::size_t i = 0; i < rows && i < list.Entries().size(); ++i) {
            entries.push_back(list.Entries()[i]);
        }
        return entries;
    }

    // The rows the open list shows, from its height.
    int ListRows(RunInput box) const { return form_->BoxView(box).RowsShown(); }

    bool ListOpen(RunInput box) const { return form_->BoxView(box).ListOpen(); }

    test::TempFolder folder_;
    TestDesktop desktop_;
    std::unique_ptr<FormWindow> form_;
};

TEST_F(FormWindowTest, OpensCentredAtTheLayoutsSizeWithEveryControlInItsPlace) {
    Open(folder_.folder());
    const HWND window = form_->Handle();
    ASSERT_EQ(GetDpiForWindow(window), 96u) << "the sizes below are pixels at 96 dpi";
    // The manifest brings the common controls of version 6, whose buttons measure
    // themselves.
    SIZE ideal{};
    EXPECT_TRUE(SendMessageW(form_->Control("btnOpen0"), BCM_GETIDEALSIZE, 0,
                             reinterpret_cast<LPARAM>(&ideal)));

    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 537);
    EXPECT_EQ(client.bottom, 370);
    const LONG style = GetWindowLongW(window, GWL_STYLE);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & (WS_MAXIMIZEBOX | WS_THICKFRAME));

    RECT frame;
    GetWindowRect(window, &frame);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor);
    EXPECT_NEAR(frame.left + frame.right, monitor.rcWork.left + monitor.rcWork.right, 1);
    EXPECT_NEAR(frame.top + frame.bottom, monitor.rcWork.top + monitor.rcWork.bottom, 1);

    NONCLIENTMETRICSW systemFont{};
    systemFont.cbSize = sizeof systemFont;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof systemFont, &systemFont, 0);
    std::wstring firstFace;
    for (const ControlRow& row : FormControls()) {
        const HWND control = form_->Control(row.name);
        if (row.kind == ControlKind::Shape || row.kind == ControlKind::Picture) {
            continue;
        }
        SCOPED_TRACE(row.name);
        ASSERT_NE(control, nullptr);
        RECT place;
        GetWindowRect(control, &place);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&place), 2);
        EXPECT_EQ((Rect{place.left, place.top, place.right - place.left, place.bottom - place.top}),
                  TwipsToPixels(row.twips));
        LOGFONTW font{};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font,
                   &font);
        const FontStyle& wanted = row.font;
        // Every layout font is Tahoma's; without Tahoma a close face or the system's own
        // stands in, the same for every control.
        if (firstFace.empty()) {
            firstFace = font.lfFaceName;
        }
        EXPECT_EQ(font.lfFaceName, firstFace);
        EXPECT_TRUE(std::ranges::count(FontFallbacks(), Narrow(font.lfFaceName)) == 1 ||
                    firstFace == systemFont.lfMessageFont.lfFaceName)
            << Narrow(font.lfFaceName);
        EXPECT_EQ(-font.lfHeight, PointsToPixels(wanted.points > 0 ? wanted.points : 8.25));
        EXPECT_EQ(font.lfWeight, wanted.bold ? FW_BOLD : FW_NORMAL);
        EXPECT_EQ(font.lfUnderline != 0, wanted.underline);
    }
}

TEST_F(FormWindowTest, StartsCaptionIsDrawnBolderThanTheSameFontsRegularWeight) {
    Open(folder_.folder());
    const HWND start = form_->Control("btnStart");
    const auto bold = reinterpret_cast<HFONT>(SendMessageW(start, WM_GETFONT, 0, 0));
    LOGFONTW font{};
    GetObjectW(bold, sizeof font, &font);
    font.lfWeight = FW_NORMAL;
    const HFONT regular = CreateFontIndirectW(&font);
    const std::wstring caption = Widen(FindControl("btnStart")->caption);
    // Some faces draw their bold at this size with stems no wider than the regular's.
    EXPECT_GT(Ink(bold, caption.c_str()) * 10, Ink(regular, caption.c_str()) * 11)
        << Narrow(font.lfFaceName);
    DeleteObject(regular);
}

TEST_F(FormWindowTest, FillsBothBoxesFromTheProgramFolderAndSelectsABoxsTextOnFocus) {
    folder_.write("url.txt", "Title\r\nhttp://example.org\r\n");
    folder_.write("FEATURES/Links.xml", "<XMBML/>");
    Open(folder_.folder());
    const std::string list = folder_.folder() + "url.txt";
    EXPECT_EQ(form_->BoxText(RunInput::List), list);
    EXPECT_EQ(form_->BoxText(RunInput::Menu), folder_.folder() + "FEATURES\\Links.xml");

    // The focus starts in the list's box, and Tab goes on to the menu box and Start; each
    // box selects its whole text as the focus enters it, and only the focused box shows a
    // selection.
    const HWND listEdit = form_->BoxEdit(RunInput::List);
    const HWND menuEdit = form_->BoxEdit(RunInput::Menu);
    EXPECT_EQ(GetFocus(), listEdit);
    EXPECT_EQ(ReadEdit(listEdit), WholeTextSelected(list));
    ApplyEdit(menuEdit, CaretAtEnd(form_->BoxText(RunInput::Menu)));
    Key(listEdit, VK_TAB);
    EXPECT_EQ(GetFocus(), menuEdit);
    EXPECT_EQ(ReadEdit(menuEdit), WholeTextSelected(form_->BoxText(RunInput::Menu)));
    EXPECT_EQ(ReadEdit(listEdit).selLength, 0);
    Key(menuEdit, VK_TAB);
    EXPECT_EQ(GetFocus(), form_->Control("btnStart"));
    EXPECT_EQ(ReadEdit(menuEdit).selLength, 0);

    // A click into a box selects its whole text as well, not just placing the caret.
    PostMessageW(listEdit, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 5));
    PostMessageW(listEdit, WM_LBUTTONUP, 0, MAKELPARAM(20, 5));
    Pump();
    EXPECT_EQ(GetFocus(), listEdit);
    EXPECT_EQ(ReadEdit(listEdit), WholeTextSelected(list));
}

TEST_F(FormWindowTest, TypedKeysCompleteAPathAndEnterOnlyClosesTheOpenList) {
    folder_.write("Data/Links.xml", "x");
    folder_.write("Data/List.txt", "x");
    Open(folder_.path("Program"));
    const std::string data = folder_.path("Data") + "\\";
    const int typed = Utf16Length(data);
    const HWND edit = form_->BoxEdit(RunInput::List);
    ApplyEdit(edit, CaretAtEnd(data + "L"));

    struct Step {
        int key;
        std::string text;
        int selStart, selLength;
        std::vector<std::string> list;
    };
    const std::vector<Step> steps{
        {'I', "Links.xml", typed + 2, 7, {"Links.xml", "List.txt"}},
        {'S', "List.txt", typed + 3, 5, {"List.txt"}},
        {'T', "List.txt", typed + 4, 4, {"List.txt"}},
        // The separator over the completion's tail accepts it and lists nothing further.
        {VK_OEM_5, "List.txt\\", typed + 9, 0, {}},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.text);
        Key(edit, step.key);
        EXPECT_EQ(ReadEdit(edit), (EditState{data + step.text, step.selStart, step.selLength}));
        std::vector<std::string> list;
        for (const std::string& name : step.list) {
            list.push_back(data + name);
        }
        EXPECT_EQ(ListOf(RunInput::List), list);
        EXPECT_EQ(ListOpen(RunInput::List), !list.empty());
    }

    ApplyEdit(edit, CaretAtEnd(data + "L"));
    Key(edit, 'I');
    ASSERT_TRUE(ListOpen(RunInput::List));
    const ModalAnswerer answerer;
    Key(edit, VK_RETURN);
    EXPECT_FALSE(ListOpen(RunInput::List));
    EXPECT_EQ(form_->BoxText(RunInput::List), data + "Links.xml");
    EXPECT_TRUE(answerer.Shown().empty()) << "Enter on the open list started a run";
}

TEST_F(FormWindowTest, AnOpenListIsRefilledQuicklyAndSizedToItsEntries) {
    constexpr int kEntries = 5000;
    const std::string data = folder_.path("Data") + "\\";
    folder_.write("Data/Entry0000.txt", "x");  // and the folder with it
    for (int i = 1; i < kEntries; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "Entry%04d.txt", i);
        CloseHandle(CreateFileW(Widen(data + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    }
    Open(folder_.path("Program"));
    const HWND edit = form_->BoxEdit(RunInput::List);
    ApplyEdit(edit, CaretAtEnd(data + "E"));

    struct Step {
        std::string typed;  // the text before the key, the caret at its end; empty: as it is
        int key;
        std::size_t entries;
        int rows;  // as many as there are entries, up to the list's twelve
    };
    // From the second step on the list is open while it is refilled.
    const std::vector<Step> steps{
        {"", 'N', kEntries, 12}, {"", 'T', kEntries, 12}, {data + "Entry1", '2', 100, 12},
        {"", '3', 10, 10},       {"", '4', 1, 1},         {data + "Entry", '0', 1000, 12},
    };
    for (const Step& step : steps) {
        if (!step.typed.empty()) {
            ApplyEdit(edit, CaretAtEnd(step.typed));
        }
        SCOPED_TRACE(ReadEdit(edit).text + static_cast<char>(step.key));
        const ULONGLONG start = GetTickCount64();
        Key(edit, step.key);
        const ULONGLONG took = GetTickCount64() - start;
        // Generous: a list that redraws itself for every added entry took a minute here.
        EXPECT_LT(took, 5000u);
        ASSERT_TRUE(ListOpen(RunInput::List));
        EXPECT_EQ(ListOf(RunInput::List).size(), step.entries);
        EXPECT_EQ(ListRows(RunInput::List), step.rows);
    }
}

// A press and release of the left button at `x`, `y` of a window's client area.
void Click(HWND window, int x, int y) {
    PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    PostMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

TEST_F(FormWindowTest, TheArrowOpensTheBoxsOwnListAndAClickedRowGoesIntoTheBox) {
    folder_.write("Data/Links.xml", "x");
    folder_.write("Data/List.txt", "x");
    Open(folder_.path("Program"));
    const std::string data = folder_.path("Data") + "\\";
    const HWND edit = form_->BoxEdit(RunInput::List);
    const HWND combo = form_->Control("txtFile0");
    ApplyEdit(edit, CaretAtEnd(data + "L"));
    Key(edit, 'I');
    ASSERT_TRUE(ListOpen(RunInput::List));
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    GetComboBoxInfo(combo, &info);
    const int arrowX = (info.rcButton.left + info.rcButton.right) / 2;
    const int arrowY = (info.rcButton.top + info.rcButton.bottom) / 2;
    for (const bool open : {false, true, false, true}) {
        Click(combo, arrowX, arrowY);
        Pump();
        EXPECT_EQ(ListOpen(RunInput::List), open);
        EXPECT_FALSE(SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0)) << "the combo box's own list";
        EXPECT_EQ(GetFocus(), edit);
    }

    const HWND rows = form_->BoxView(RunInput::List).Rows();
    const auto rowHeight = static_cast<int>(SendMessageW(rows, LB_GETITEMHEIGHT, 0, 0));
    Click(rows, 5, rowHeight + rowHeight / 2);
    Pump();
    EXPECT_FALSE(ListOpen(RunInput::List));
    EXPECT_EQ(ReadEdit(edit), WholeTextSelected(data + "List.txt"));
    EXPECT_EQ(GetFocus(), edit);

    // Closed, the box steps through the entries as a combo box does, and stays closed.
    for (const auto& [key, entry] : {std::pair{VK_UP, "Links.xml"}, std::pair{VK_DOWN, "List.txt"},
                                     std::pair{VK_DOWN, "List.txt"}}) {
        Key(edit, key);
        EXPECT_EQ(ReadEdit(edit), WholeTextSelected(data + entry));
        EXPECT_FALSE(ListOpen(RunInput::List));
    }
}

TEST_F(FormWindowTest, AListOfAHundredThousandEntriesScrollsToItsLastAndClicksChooseIt) {
    Open(folder_.path("Program"));
    CompletionEntries entries{"C:\\Data\\", {}};
    for (int i = 0; i < 100'000; ++i) {
        entries.names.push_back("entry" + std::to_string(i) + ".txt");
    }
    ComboBoxView& list = form_->BoxView(RunInput::List);
    list.SetEntries(entries);
    list.ShowList();
    ASSERT_TRUE(list.ListOpen());
    ASSERT_EQ(SendMessageW(list.Rows(), LB_GETCOUNT, 0, 0), 100'000);
    EXPECT_EQ(list.ListRow(), -1);
    SendMessageW(list.Rows(), WM_VSCROLL, SB_BOTTOM, 0);
    EXPECT_EQ(SendMessageW(list.Rows(), LB_GETTOPINDEX, 0, 0), 100'000 - list.RowsShown());
    // Past row 65,535, where a row number of 16 bits would wrap.
    const auto rowHeight = static_cast<int>(SendMessageW(list.Rows(), LB_GETITEMHEIGHT, 0, 0));
    Click(list.Rows(), 5, (list.RowsShown() - 1) * rowHeight + rowHeight / 2);
    Pump();
    EXPECT_EQ(list.ListRow(), 99'999);
    EXPECT_EQ(list.Entries()[99'999], "C:\\Data\\entry99999.txt");
}

// The Folder row and box 0's stores, over a fake %LOCALAPPDATA%: a store chosen in box 0's
// list, or a list left in the box, fills the row; Tab reaches it after the boxes; its own
// list takes its Enter; the folder chosen goes to the run, and the row is locked meanwhile.
TEST_F(FormWindowTest, TheFolderRowListsTheFoldersOfBox0sListAndTheRunTakesTheOneChosen) {
    const std::string store = folder_.path("local/Google/Chrome/User Data/Default/Bookmarks");
    folder_.write("local/Google/Chrome/User Data/Default/Bookmarks",
                  R"({"roots": {"bookmark_bar": {"type": "folder", "name": "", "children": [)"
                  R"({"type": "url", "name": "A", "url": "https://a.example/"}]}}})");
    folder_.write("lists/export.html",
                  "<DL><p>\n<DT><H3>Bar</H3>\n<DL><p>\n<DT><A HREF=\"http://a.example/\">A</A>\n"
                  "<DT><H3>News</H3>\n<DL><p>\n<DT><A HREF=\"http://b.example/\">B</A>\n"
                  "</DL><p>\n</DL><p>\n</DL><p>\n");
    const wchar_t* before = _wgetenv(L"LOCALAPPDATA");
    const std::wstring kept = before ? before : L"";
    _wputenv_s(L"LOCALAPPDATA", Widen(folder_.path("local")).c_str());
    const std::shared_ptr<void> restore(nullptr,
                                        [&](void*) { _wputenv_s(L"LOCALAPPDATA", kept.c_str()); });
    std::vector<RunPaths> runs;
    HWND rows = nullptr;
    bool lockedDuringRun = false;
    Open(folder_.path("Program"), [&](const RunPaths& paths) {
        runs.push_back(paths);
        lockedDuringRun = !IsWindowEnabled(rows);
        return RunOutcome{RunStatus::NothingToAdd, "x", MessageIcon::Information, std::nullopt, ""};
    });
    rows = form_->Control("cboFolder");
    const auto shown = [rows] {
        std::vector<std::string> texts;
        const auto count = static_cast<int>(SendMessageW(rows, CB_GETCOUNT, 0, 0));
        for (int row = 0; row < count; ++row) {
            wchar_t text[256] = {};
            SendMessageW(rows, CB_GETLBTEXT, static_cast<WPARAM>(row),
                         reinterpret_cast<LPARAM>(text));
            texts.push_back(Narrow(text));
        }
        return texts;
    };
    EXPECT_EQ(shown(), std::vector<std::string>{"All bookmarks"});
    EXPECT_FALSE(IsWindowEnabled(rows));

    const HWND edit = form_->BoxEdit(RunInput::List);
    Key(edit, VK_F4);
    ASSERT_TRUE(ListOpen(RunInput::List));
    std::string offered = form_->BoxView(RunInput::List).Entries().Label(0);
    std::replace(offered.begin(), offered.end(), '\\', '/');
    EXPECT_EQ(offered, "Chrome, Default - " + store);
    Key(edit, VK_DOWN);
    Key(edit, VK_RETURN);
    std::string chosen = ReadEdit(edit).text;
    std::replace(chosen.begin(), chosen.end(), '\\', '/');
    EXPECT_EQ(chosen, store);
    EXPECT_EQ(shown(), (std::vector<std::string>{"All bookmarks", "Bookmarks bar (1)"}));
    EXPECT_TRUE(IsWindowEnabled(rows));

    ApplyEdit(edit, CaretAtEnd(folder_.path("lists/export.html")));
    Key(edit, VK_TAB);
    EXPECT_EQ(GetFocus(), form_->BoxEdit(RunInput::Menu));
    EXPECT_EQ(shown(), (std::vector<std::string>{"All bookmarks", "Bar (2)", "    News (1)"}));
    Key(GetFocus(), VK_TAB);
    ASSERT_EQ(GetFocus(), rows);
    Key(rows, VK_DOWN);
    Key(rows, VK_DOWN);
    EXPECT_EQ(SendMessageW(rows, CB_GETCURSEL, 0, 0), 2);
    Key(rows, VK_F4);
    EXPECT_TRUE(SendMessageW(rows, CB_GETDROPPEDSTATE, 0, 0));
    Key(rows, VK_RETURN);
    EXPECT_FALSE(SendMessageW(rows, CB_GETDROPPEDSTATE, 0, 0));
    EXPECT_TRUE(runs.empty()) << "Enter in the row's open list only closes it";

    const ModalAnswerer answerer;
    Key(rows, VK_RETURN);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].folder, "Bar/News");
    EXPECT_TRUE(lockedDuringRun);
    EXPECT_TRUE(IsWindowEnabled(rows));
    EXPECT_EQ(SendMessageW(rows, CB_GETCURSEL, 0, 0), 2);
}

TEST_F(FormWindowTest, EnterPressesStartOnceAndTheProblemsBoxGetsTheFocus) {
    ASSERT_NE(LoadIconW(nullptr, IDI_INFORMATION), LoadIconW(nullptr, IDI_EXCLAMATION))
        << "the icons must differ for the box's icon to be told";
    Open(folder_.path("Program"));
    form_->FocusBox(RunInput::Menu);
    Pump();
    const ModalAnswerer answerer;
    Key(form_->BoxEdit(RunInput::Menu), VK_RETURN);
    Key(form_->BoxEdit(RunInput::List), VK_RETURN, true);  // a held Enter's repeat
    EXPECT_EQ(
        answerer.Shown(),
        (std::vector<ShownMessage>{
            {"Tamsel", "Please enter a TXT file or a Firefox Bookmarks.html.", "information"}}));
    EXPECT_EQ(GetFocus(), form_->BoxEdit(RunInput::List));
}

// The focus comes back to the box it left. After another program the box is as it was;
// after a window of the program's own (the open-file dialog, a run's message) it is entered
// anew, its whole text selected, and stays so when the folder's window takes the
// activation in between.
TEST_F(FormWindowTest, TheFocusReturnsToItsBoxEnteredAnewOnlyAfterTheProgramsOwnWindows) {
    const auto done = [](const RunPaths&) {
        return RunOutcome{RunStatus::Done, "Done", MessageIcon::Information, std::nullopt, "C:\\"};
    };
    struct Away {
        const char* what;
        int key;  // pressed in the box; 0: another window takes the activation instead
        bool entered;
    };
    for (const Away away :
         {Away{"the file dialog, cancelled", VK_F2, true}, Away{"another window", 0, false},
          Away{"\"Done\", then the folder's window", VK_RETURN, true}}) {
        SCOPED_TRACE(away.what);
        Open(folder_.path("Program"), done);
        const HWND edit = form_->BoxEdit(RunInput::Menu);
        form_->FocusBox(RunInput::Menu);
        const EditState typed{"C:\\Menu\\Links.xml", 3, 0};
        ApplyEdit(edit, typed);
        Pump();
        HWND other = nullptr;
        {
            const ModalAnswerer answerer;
            if (away.key) {
                Key(edit, away.key);
                ASSERT_EQ(answerer.Shown().size(), 1u);
            } else {
                other = ActivateAnotherWindow();
                Pump();
            }
        }
        if (away.key != VK_F2) {
            ASSERT_NE(GetActiveWindow(), form_->Handle());
            EXPECT_NE(GetFocus(), edit);
            SetActiveWindow(form_->Handle());  // as a click on its title bar does
            Pump();
        }
        EXPECT_EQ(GetFocus(), edit);
        EXPECT_EQ(ReadEdit(edit), away.entered ? WholeTextSelected(typed.text) : typed);
        DestroyWindow(other);
    }
}

TEST_F(FormWindowTest, ASecondWindowOpensCascadedByACaptionsHeight) {
    Open(folder_.folder());
    std::vector<std::unique_ptr<FormWindow>> more;
    std::vector<RECT> frames(1);
    GetWindowRect(form_->Handle(), &frames[0]);
    POINT client{};
    ClientToScreen(form_->Handle(), &client);
    const LONG caption = client.y - frames[0].top;
    for (int i = 1; i < 3; ++i) {
        more.push_back(std::make_unique<FormWindow>(desktop_, folder_.folder()));
        ASSERT_TRUE(more.back()->Create(GetModuleHandleW(nullptr)));
        frames.push_back({});
        GetWindowRect(more.back()->Handle(), &frames.back());
        EXPECT_EQ(frames[i].left - frames[i - 1].left, caption);
        EXPECT_EQ(frames[i].top - frames[i - 1].top, caption);
        EXPECT_EQ(frames[i].right - frames[i].left, frames[0].right - frames[0].left);
        EXPECT_EQ(frames[i].bottom - frames[i].top, frames[0].bottom - frames[0].top);
    }
}

TEST(ShellFolderTarget, HandsTheShellAFolderWithoutTheSeparatorThatWouldEscapeItsQuote) {
    const std::vector<std::pair<std::string, std::string>> cases{
        {"C:\\sp ace\\", "C:\\sp ace"},
        {"C:\\a\\b/\\", "C:\\a\\b"},
        {"C:\\a/b/", "C:\\a/b"},
        {"C:\\Menu", "C:\\Menu"},
        {"\\\\server\\share\\", "\\\\server\\share"},
        // A drive's root keeps one: "C:" alone is the current folder of drive C.
        {"C:\\", "C:\\"},
        {"C:/\\", "C:/"},
        {"\\\\?\\C:\\", "\\\\?\\C:\\"},
        {"\\", "\\"},
        {"/", "/"},
        {"", ""},
    };
    for (const auto& [folder, target] : cases) {
        EXPECT_EQ(ShellFolderTarget(folder), target) << folder;
    }
}

TEST_F(FormWindowTest, AMessageBoxShowsItsWholeCaptionAndText) {
    Open(folder_.folder());
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    const HFONT captionFont = CreateFontIndirectW(&metrics.lfCaptionFont);
    const HDC screen = GetDC(nullptr);
    const HGDIOBJ old = SelectObject(screen, captionFont);
    SIZE caption{};
    GetTextExtentPoint32W(screen, L"Tamsel", 6, &caption);
    SelectObject(screen, old);
    ReleaseDC(nullptr, screen);
    DeleteObject(captionFont);
    // The caption beside the window's icon and the title bar's buttons.
    const int titleBar =
        caption.cx + GetSystemMetrics(SM_CXSMICON) + 3 * GetSystemMetrics(SM_CXSIZE);

    // A long path is broken at its separators, within about two thirds of the screen.
    std::string longPath = "Missing C:";
    for (int i = 0; i < 20; ++i) {
        longPath += "\\folder_number_" + std::to_string(i) + "_with_a_long_name";
    }
    longPath += "\\IMAGES\\network.png";
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    for (const std::string& text :
         {std::string("Done"), std::string("Please enter a TXT file or a Firefox Bookmarks.html."),
          longPath}) {
        SCOPED_TRACE(text);
        const ModalAnswerer answerer;
        desktop_.ShowMessage(text, MessageIcon::Information);
        ASSERT_EQ(answerer.Layouts().size(), 1u);
        const BoxLayout& box = answerer.Layouts()[0];
        std::string shown = answerer.Shown()[0].text;
        std::erase(shown, '\n');
        EXPECT_EQ(shown, text);
        EXPECT_LE(box.frameWidth, screenWidth * 2 / 3 + 40);
        EXPECT_GE(box.frameWidth, titleBar);
        // Centred as the system centres it, give or take a frame's border.
        EXPECT_NEAR((box.button.left + box.button.right) / 2, box.clientWidth / 2, 4);
        EXPECT_GE(box.text.left, 0);
        EXPECT_LE(box.text.right, box.clientWidth);
    }
}

TEST_F(FormWindowTest, F2BrowsesForItsOwnBoxAndCancellingKeepsTheText) {
    Open(folder_.path("Program"));
    form_->SetBoxText(RunInput::Menu, "kept as it was");
    form_->FocusBox(RunInput::Menu);
    Pump();
    const ModalAnswerer answerer;
    Key(form_->BoxEdit(RunInput::Menu), VK_F2);
    EXPECT_EQ(answerer.Shown(), (std::vector<ShownMessage>{{"Open Links.xml", "", "no icon"}}));
    EXPECT_EQ(form_->BoxText(RunInput::Menu), "kept as it was");
}

// A run that waits for another run's lock leaves the window's loop going: the controls are
// locked and the progress dialog comes and says what the run waits for; the window itself
// can still be closed. The repeat of an Enter held since Start does nothing there. Its
// Cancel, Esc or Enter ends the run with "Cancelled", the menu as it was and the controls
// back; closing the window stops the run the same way and then closes it, showing nothing.
TEST_F(FormWindowTest, ARunWaitingForTheLockKeepsTheWindowAnsweringAndStopsAsAsked) {
    enum class Stop { Click, Esc, Enter, CloseWindow };
    folder_.write("url.txt", "Title\r\nhttp://example.org\r\n");
    folder_.write("FEATURES/Links.xml", "<XMBML/>");
    const std::string menu = folder_.path("FEATURES/Links.xml");
    LockAttempt other = test::LockAsAnotherRun(menu);
    ASSERT_EQ(other.state, LockState::Held);
    for (const Stop stop : {Stop::Click, Stop::Esc, Stop::Enter, Stop::CloseWindow}) {
        SCOPED_TRACE(static_cast<int>(stop));
        Open(folder_.folder());
        const ModalAnswerer answerer;
        PostMessageW(form_->Control("btnStart"), BM_CLICK, 0, 0);
        HWND dialog = nullptr;
        for (int waited = 0; !dialog && waited < 5000; waited += 50) {
            PumpFor(50);
            dialog = FindWindowW(L"TamselRunProgress", nullptr);
        }
        ASSERT_NE(dialog, nullptr) << "the window's timer fired during the run";
        EXPECT_TRUE(form_->Running());
        EXPECT_FALSE(IsWindowEnabled(form_->Control("btnStart")));
        EXPECT_TRUE(IsWindowEnabled(form_->Handle())) << "the window still takes its close";
        EXPECT_EQ(WindowText(FindWindowExW(dialog, nullptr, L"Static", nullptr)),
                  "Waiting for another run to finish with the Links.xml...");
        const HWND cancel = FindWindowExW(dialog, nullptr, L"Button", L"Cancel");
        EXPECT_EQ(GetFocus(), cancel);
        PostKey(cancel, VK_RETURN, true);  // a held Enter's repeat
        PumpFor(300);
        ASSERT_TRUE(form_->Running());
        switch (stop) {
            case Stop::Click:
                SendMessageW(cancel, BM_CLICK, 0, 0);
                break;
            case Stop::Esc:
                Key(cancel, VK_ESCAPE);
                break;
            case Stop::Enter:
                Key(cancel, VK_RETURN);
                break;
            case Stop::CloseWindow:
                // The close button and Alt+F4 both come as this command.
                PostMessageW(form_->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
                break;
        }
        Pump();
        EXPECT_FALSE(IsWindow(dialog));
        EXPECT_EQ(folder_.read("FEATURES/Links.xml"), "<XMBML/>");
        EXPECT_FALSE(folder_.exists("FEATURES/Links.xml.bak"));
        EXPECT_FALSE(folder_.exists("FEATURES/Links.xml.tmp"));
        if (stop == Stop::CloseWindow) {
            EXPECT_EQ(form_->Handle(), nullptr);
            EXPECT_TRUE(answerer.Shown().empty());
            continue;
        }
        EXPECT_EQ(answerer.Shown(),
                  (std::vector<ShownMessage>{{"Tamsel", "Cancelled", "information"}}));
        EXPECT_TRUE(IsWindowEnabled(form_->Control("btnStart")));
    }
}

// A message box answers only keys pressed while it shows: the repeat of a key held from
// before (the Enter that pressed Start) leaves it open, a new press closes it.
TEST_F(FormWindowTest, AMessageBoxAnswersOnlyKeysPressedWhileItShows) {
    Open(folder_.folder());
    static int step;
    static bool openAfterRepeat;
    step = 0;
    openAfterRepeat = false;
    const UINT_PTR timer = SetTimer(nullptr, 0, 150, [](HWND, UINT, UINT_PTR, DWORD) {
        EnumThreadWindows(
            GetCurrentThreadId(),
            [](HWND box, LPARAM) {
                wchar_t name[16] = {};
                GetClassNameW(box, name, 16);
                if (std::wstring_view(name) != L"#32770" || !IsWindowVisible(box)) {
                    return TRUE;
                }
                const HWND ok = GetDlgItem(box, IDOK);
                const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(VK_RETURN, 0)) << 16;
                switch (step++) {
                    case 0:  // the repeat of a held Enter
                        PostMessageW(ok, WM_KEYDOWN, VK_RETURN, 1 | scan | (1 << 30));
                        break;
                    case 1:  // a new press
                        openAfterRepeat = true;
                        PostMessageW(ok, WM_KEYDOWN, VK_RETURN, 1 | scan);
                        PostMessageW(ok, WM_KEYUP, VK_RETURN, 1 | scan | (3u << 30));
                        break;
                    default:  // the new press was not taken either
                        PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
                        break;
                }
                return TRUE;
            },
            0);
    });
    desktop_.ShowMessage("Done", MessageIcon::Information);
    KillTimer(nullptr, timer);
    EXPECT_TRUE(openAfterRepeat);
    EXPECT_EQ(step, 2);
}

// A drop of files as the shell posts it: a DROPFILES block with the paths as UTF-16, each
// ended by a null and the list by another, at a point of the window's client area.
HGLOBAL DropOf(const std::vector<std::wstring>& paths, POINT at) {
    std::wstring names;
    for (const std::wstring& path : paths) {
        names += path;
        names += L'\0';
    }
    names += L'\0';
    const std::size_t bytes = sizeof(DROPFILES) + names.size() * sizeof(wchar_t);
    const HGLOBAL memory = GlobalAlloc(GHND, bytes);
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->pt = at;
    drop->fWide = TRUE;
    std::memcpy(drop + 1, names.data(), names.size() * sizeof(wchar_t));
    GlobalUnlock(memory);
    return memory;
}

TEST_F(FormWindowTest, DroppedFilesGoToTheBoxTheFormChoosesAndRefusedOnesChangeNothing) {
    folder_.write("Program/x", "");
    folder_.write("a.txt", "x");
    folder_.write("d/LINKS.XML", "x");
    Open(folder_.path("Program"));
    struct Case {
        std::vector<std::string> files;  // under the temp folder
        const char* over;                // the control under the drop; nullptr: the band
        const char* list;                // the boxes' texts afterwards
        const char* menu;
    };
    const std::vector<Case> cases{
        {{"a.txt"}, "txtFile1", "", "a.txt"},
        {{"d\\LINKS.XML"}, nullptr, "", "d\\LINKS.XML"},
        {{"a.txt"}, "btnStart", "a.txt", "d\\LINKS.XML"},
        {{"d"}, "txtFile0", "a.txt", "d\\LINKS.XML"},
        {{"a.txt", "a.txt"}, "txtFile0", "a.txt", "d\\LINKS.XML"},
    };
    form_->SetBoxText(RunInput::List, "");
    form_->SetBoxText(RunInput::Menu, "");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.files.front() + " over " + (c.over ? c.over : "the band"));
        std::vector<std::wstring> paths;
        for (const std::string& file : c.files) {
            paths.push_back(Widen(folder_.folder() + file));
        }
        POINT at{10, 10};
        if (c.over) {
            RECT place;
            GetWindowRect(form_->Control(c.over), &place);
            at = {(place.left + place.right) / 2, (place.top + place.bottom) / 2};
            ScreenToClient(form_->Handle(), &at);
        }
        PostMessageW(form_->Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(DropOf(paths, at)), 0);
        Pump();
        const auto expected = [this](const char* file) {
            return *file ? folder_.folder() + file : std::string();
        };
        EXPECT_EQ(form_->BoxText(RunInput::List), expected(c.list));
        EXPECT_EQ(form_->BoxText(RunInput::Menu), expected(c.menu));
    }
}

// What a screen reader asks of a control: its name and role through the system's
// accessibility objects.
struct Spoken {
    std::string name;
    long role = 0;
};

Spoken SpokenOf(HWND control) {
    Spoken spoken;
    IAccessible* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT),
                                          IID_IAccessible, reinterpret_cast<void**>(&object)))) {
        return spoken;
    }
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    if (object->get_accName(self, &name) == S_OK && name) {
        spoken.name = Narrow(name);
        SysFreeString(name);
    }
    VARIANT role{};
    if (object->get_accRole(self, &role) == S_OK && role.vt == VT_I4) {
        spoken.role = role.lVal;
    }
    object->Release();
    return spoken;
}

// Whether the system keeps names given through annotations (wine's service may not).
bool AnnotationsKeepNames(HWND control) {
    IAccPropServices* services = nullptr;
    if (FAILED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IAccPropServices, reinterpret_cast<void**>(&services)))) {
        return false;
    }
    const HRESULT set = services->SetHwndPropStr(control, static_cast<DWORD>(OBJID_CLIENT),
                                                 CHILDID_SELF, PROPID_ACC_NAME, L"probe");
    services->Release();
    return SUCCEEDED(set);
}

TEST_F(FormWindowTest, ScreenReadersFindEachLabelBeforeItsBoxAndTheButtonsByName) {
    Open(folder_.path("Program"));
    // Readers name a box by the label right before it among the window's children.
    for (const PathBoxRow& box : PathBoxes()) {
        EXPECT_EQ(GetWindow(form_->Control(box.box), GW_HWNDPREV), form_->Control(box.label))
            << box.box;
    }
    const Spoken start = SpokenOf(form_->Control("btnStart"));
    EXPECT_EQ(start.name, "Start >");

    const HWND probe = CreateWindowExW(0, L"BUTTON", L"", WS_CHILD, 0, 0, 1, 1, form_->Handle(),
                                       nullptr, GetModuleHandleW(nullptr), nullptr);
    const bool kept = AnnotationsKeepNames(probe);
    DestroyWindow(probe);
    if (!kept) {
        // Wine answers with plain client objects named by the window texts (the boxes
        // unnamed) and refuses every annotation.
        GTEST_SKIP() << "this system's annotation service keeps no names (wine's stores none)";
    }
    for (const PathBoxRow& box : PathBoxes()) {
        EXPECT_EQ(SpokenOf(form_->Control(box.button)).name, box.spokenButton);
        EXPECT_EQ(SpokenOf(form_->Control(box.box)).name, box.spokenBox);
    }
    EXPECT_EQ(SpokenOf(form_->Control("lblCredits")).role, ROLE_SYSTEM_LINK);
    // The owner-drawn start button is a push button to readers all the same.
    EXPECT_EQ(start.role, ROLE_SYSTEM_PUSHBUTTON);
}

}  // namespace
}  // namespace tamsel::win32
