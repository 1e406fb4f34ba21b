// What the Windows file layer promises where Windows differs from POSIX: sharing modes
// instead of leases, devices by name, LockFileEx locks per handle.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <span>
#include <string>

#include "support/file_system.h"
#include "support/utf16.h"
#include "test_support/temp_folder.h"

namespace tamsel {
namespace {

// Another handle on the file, as another program would hold it.
class OtherHandle {
  public:
    OtherHandle(const std::string& path, DWORD access, DWORD share)
        : handle_(CreateFileW(WidenPath(path).c_str(), access, share, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr)) {}
    ~OtherHandle() { close(); }
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    void close() {
        if (valid()) {
            CloseHandle(handle_);
            handle_ = INVALID_HANDLE_VALUE;
        }
    }

  private:
    HANDLE handle_;
};

class Win32Files : public testing::Test {
  protected:
    test::TempFolder temp;
    FileSystem& fs = RealFileSystem();
};

TEST_F(Win32Files, FileOpenForWritingElsewhereCountsAsMissingWhateverItShares) {
    temp.write("busy.txt", "content");
    const std::string path = temp.path("busy.txt");
    struct Case {
        DWORD access;
        DWORD share;
        bool exists;
    };
    const DWORD all = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    for (const Case& c : {Case{GENERIC_WRITE, all, false}, Case{GENERIC_WRITE, 0, false},
                          Case{GENERIC_READ | GENERIC_WRITE, all, false},
                          Case{GENERIC_READ, FILE_SHARE_READ, true}, Case{GENERIC_READ, all, true},
                          Case{GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, true}}) {
        SCOPED_TRACE(testing::Message() << std::hex << c.access << " sharing " << c.share);
        OtherHandle other(path, c.access, c.share);
        ASSERT_TRUE(other.valid());
        EXPECT_EQ(FileExists(path), c.exists);
        EXPECT_EQ(fs.ReadWhole(path).has_value(), c.exists);
        other.close();
        EXPECT_TRUE(FileExists(path));
    }
}

TEST_F(Win32Files, DevicesCountAsMissingAndNothingIsRead) {
    for (const char* device : {"NUL", "\\\\.\\NUL", "CON", "\\\\.\\pipe\\tamsel-no-such-pipe"}) {
        EXPECT_FALSE(FileExists(device)) << device;
        EXPECT_EQ(fs.ReadWhole(device), std::nullopt) << device;
    }
}

TEST_F(Win32Files, ProbeLeavesTheLastErrorAsItWas) {
    SetLastError(ERROR_SUCCESS);
    EXPECT_FALSE(FileExists(temp.path("missing.txt")));
    EXPECT_FALSE(FileExists(temp.path("missing/deeper.txt")));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
}

TEST_F(Win32Files, LockExcludesOtherHandlesOfThisProcessToo) {
    const std::unique_ptr<HeldFolder> held = fs.HoldFolder(temp.folder());
    LockAttempt first = held->TryLock("Links.xml.lock", "Links.xml");
    ASSERT_EQ(first.state, LockState::Held);
    EXPECT_EQ(held->TryLock("Links.xml.lock", "Links.xml").state, LockState::Busy);
    first.lock.reset();
    EXPECT_EQ(held->TryLock("Links.xml.lock", "Links.xml").state, LockState::Held);
    temp.write("sub/x.txt", "x");
    EXPECT_EQ(held->TryLock("sub", "Links.xml").state, LockState::NotAFile);
}

TEST_F(Win32Files, WriteNewRefusesEveryExistingNameAndCopiesAttributes) {
    temp.write("Links.xml", "menu");
    temp.write("taken.tmp", "keep");
    temp.write("sub/x.txt", "x");
    ASSERT_TRUE(
        SetFileAttributesW(WidenPath(temp.path("Links.xml")).c_str(), FILE_ATTRIBUTE_HIDDEN));
    const std::unique_ptr<HeldFolder> held = fs.HoldFolder(temp.folder());
    ASSERT_TRUE(held->ReadSource("Links.xml"));
    const std::string_view pieces[] = {"new ", "menu"};
    EXPECT_FALSE(held->WriteNew("taken.tmp", pieces));
    EXPECT_EQ(temp.read("taken.tmp"), "keep");
    EXPECT_FALSE(held->WriteNew("sub", pieces));
    ASSERT_TRUE(held->WriteNew("Links.xml.tmp", pieces));
    EXPECT_EQ(temp.read("Links.xml.tmp"), "new menu");
    const DWORD attributes = GetFileAttributesW(WidenPath(temp.path("Links.xml.tmp")).c_str());
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_HIDDEN);
}

// As on POSIX, where only the folder's permissions decide.
TEST_F(Win32Files, ReadOnlyFilesAreReplacedAndRemovedAndStayReadOnly) {
    temp.write("Links.xml", "old");
    temp.write("Links.xml.tmp", "new");
    temp.write("Links.xml.bak", "older");
    for (const char* name : {"Links.xml", "Links.xml.bak"}) {
        ASSERT_TRUE(
            SetFileAttributesW(WidenPath(temp.path(name)).c_str(), FILE_ATTRIBUTE_READONLY));
    }
    const std::unique_ptr<HeldFolder> held = fs.HoldFolder(temp.folder());
    ASSERT_TRUE(held->ReadSource("Links.xml"));
    const std::string_view piece = "copy";
    ASSERT_TRUE(held->WriteNew("copy.xml", std::span(&piece, 1)));
    held->CloseSource();
    EXPECT_TRUE(GetFileAttributesW(WidenPath(temp.path("copy.xml")).c_str()) &
                FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(held->Rename("Links.xml.tmp", "Links.xml"));
    EXPECT_EQ(temp.read("Links.xml"), "new");
    EXPECT_TRUE(held->Remove("Links.xml.bak"));
    EXPECT_FALSE(temp.exists("Links.xml.bak"));
    EXPECT_FALSE(held->Rename("missing.xml", "copy.xml"));
    EXPECT_TRUE(GetFileAttributesW(WidenPath(temp.path("copy.xml")).c_str()) &
                FILE_ATTRIBUTE_READONLY);
    // Read-only files would outlive the temporary folder.
    SetFileAttributesW(WidenPath(temp.path("copy.xml")).c_str(), FILE_ATTRIBUTE_NORMAL);
    SetFileAttributesW(WidenPath(temp.path("Links.xml")).c_str(), FILE_ATTRIBUTE_NORMAL);
}

// Texts keep their NULs (the dialog's filter list is made of them); only the path form
// refuses them, since a NUL would make a call act on a shorter path.
TEST(Utf16, KeepsNulsReplacesWhatIsNotUnicodeAndLeavesNulsOutOfPaths) {
    using namespace std::string_literals;
    struct Case {
        std::string utf8;
        std::wstring wide;
    };
    for (const Case& c :
         {Case{""s, L""s}, Case{"a\0b\0"s, L"a\0b\0"s}, Case{"\xC3\xA9"s, L"\u00E9"s},
          Case{"\xF0\x9F\x98\x80"s, L"\xD83D\xDE00"s}}) {
        EXPECT_EQ(Widen(c.utf8), c.wide);
        EXPECT_EQ(Narrow(c.wide), c.utf8);
    }
    EXPECT_EQ(Widen("a\xFF"), L"a\uFFFD");
    EXPECT_EQ(Narrow(L"a\xD800"), "a\xEF\xBF\xBD");
    EXPECT_EQ(WidenPath("C:\\a\0b"s), L"");
    EXPECT_EQ(WidenPath("C:\\a\xFF"), L"C:\\a\uFFFD");
}

}  // namespace
}  // namespace tamsel
