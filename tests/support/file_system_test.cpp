#include "support/file_system.h"

#ifndef _WIN32
#include <pthread.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "test_support/temp_folder.h"

namespace tamsel {
namespace {

using Lines = std::vector<std::string>;

class RealFiles : public testing::Test {
  protected:
    Lines ReadAllLines(const std::string& relative, bool* ok = nullptr) {
        Lines lines;
        const bool result = fs.ReadLines(temp.path(relative),
                                         [&](std::string_view line) { lines.emplace_back(line); });
        if (ok != nullptr) {
            *ok = result;
        }
        return lines;
    }

    test::TempFolder temp;
    FileSystem& fs = RealFileSystem();
};

TEST_F(RealFiles, ReadWholeKeepsEveryByte) {
    const std::string bytes("a\r\nb\0\xFF\rc\n", 9);
    temp.write("f.bin", bytes);
    temp.write("empty.txt", "");
    EXPECT_EQ(fs.ReadWhole(temp.path("f.bin")), bytes);
    EXPECT_EQ(fs.ReadWhole(temp.path("empty.txt")), "");
}

TEST_F(RealFiles, ReadWholeReadsFilesLongerThanOneChunk) {
    std::string bytes(200001, 'x');
    bytes[100000] = '\n';
    temp.write("long.txt", bytes);
    EXPECT_EQ(fs.ReadWhole(temp.path("long.txt")), bytes);
}

TEST_F(RealFiles, ReadingGivesNothingForMissingFilesFoldersAndFifos) {
    std::vector<const char*> unreadable{"missing.txt", "sub"};
#ifndef _WIN32
    ASSERT_EQ(mkfifo(temp.path("pipe").c_str(), 0600), 0);
    unreadable.push_back("pipe");
#endif
    temp.write("sub/x.txt", "x");
    for (const char* relative : unreadable) {
        EXPECT_EQ(fs.ReadWhole(temp.path(relative)), std::nullopt) << relative;
        bool ok = true;
        EXPECT_TRUE(ReadAllLines(relative, &ok).empty()) << relative;
        EXPECT_FALSE(ok) << relative;
    }
}

TEST_F(RealFiles, ReadLinesJoinsCrLfSplitAcrossReadChunks) {
    // The CR is the last byte of the first 1 MiB read and the LF the first of the next.
    std::string first((1 << 20) - 1, 'a');
    temp.write("list.txt", first + "\r\nsecond\rthird\nlast");
    bool ok = false;
    EXPECT_EQ(ReadAllLines("list.txt", &ok), (Lines{first, "second", "third", "last"}));
    EXPECT_TRUE(ok);
}

TEST_F(RealFiles, ReadLinesGivesEveryLineOfAFileManyChunksLong) {
    // Lines of every length up to a few thousand bytes, with all three breaks, over more
    // chunks than are read ahead at once.
    Lines expected;
    std::string bytes;
    const char* const breaks[] = {"\r\n", "\n", "\r"};
    for (std::size_t n = 0; bytes.size() < (3 << 20); ++n) {
        expected.push_back(std::string(n * 7919 % 4099, static_cast<char>('a' + n % 26)));
        bytes += expected.back() + breaks[n % 3];
    }
    temp.write("long.txt", bytes);
    bool ok = false;
    EXPECT_EQ(ReadAllLines("long.txt", &ok), expected);
    EXPECT_TRUE(ok);
}

TEST_F(RealFiles, ReadLinesLetsALineHandlerStopItByThrowing) {
    temp.write("long.txt", std::string(3 << 20, 'x') + "\nlast");
    EXPECT_THROW(fs.ReadLines(temp.path("long.txt"),
                              [](std::string_view) { throw std::runtime_error("stop"); }),
                 std::runtime_error);
}

#ifndef _WIN32
// A list cut short by someone else while it is read is read to its new end, wherever the cut
// falls against the chunks it is read in: whole lines, never more than the file held.
TEST_F(RealFiles, ReadLinesReadsAListThatShrinksWhileReadToItsNewEnd) {
    std::string bytes;
    while (bytes.size() < (3 << 20)) {
        bytes += std::string(999, 'x') + "\n";
    }
    for (const std::size_t cutTo : {std::size_t{0}, std::size_t{100}, std::size_t{5000},
                                    std::size_t{(1 << 20) + 4096}, std::size_t{(5 << 20) / 2}}) {
        temp.write("list.txt", bytes);
        const std::string path = temp.path("list.txt");
        std::size_t lines = 0;
        const bool ok = fs.ReadLines(path, [&](std::string_view line) {
            if (lines++ == 0) {
                ASSERT_EQ(truncate(path.c_str(), static_cast<off_t>(cutTo)), 0);
            }
            EXPECT_LE(line.size(), 999U);
        });
        EXPECT_TRUE(ok) << cutTo;
        // The first chunk was read whole before the cut.
        EXPECT_EQ(lines, std::max(cutTo, std::size_t{1} << 20) / 1000 + 1) << cutTo;
    }
}
#endif

TEST_F(RealFiles, ReadLinesDeliversNothingForAnEmptyFile) {
    temp.write("empty.txt", "");
    bool ok = false;
    EXPECT_TRUE(ReadAllLines("empty.txt", &ok).empty());
    EXPECT_TRUE(ok);
}

// The held folder, whose entries every write goes through, refuses names that are more
// than one entry of it.
TEST_F(RealFiles, HeldFolderWritesRemovesAndRenamesItsOwnEntriesOnly) {
    temp.write("a.txt", "a");
    temp.write("sub/x.txt", "x");
    const std::unique_ptr<HeldFolder> held = fs.HoldFolder(temp.folder());
    ASSERT_TRUE(held);
    const std::string_view piece = "new";
    for (const char* name : {"sub/y.txt", "..", ".", "", "missing/y.txt"}) {
        EXPECT_FALSE(held->WriteNew(name, std::span(&piece, 1))) << name;
    }
    EXPECT_FALSE(temp.exists("sub/y.txt"));
    EXPECT_FALSE(held->Remove("sub/x.txt"));
    EXPECT_FALSE(held->Remove("sub"));
    EXPECT_TRUE(temp.exists("sub/x.txt"));
    EXPECT_FALSE(held->Rename("a.txt", "sub/a.txt"));
    EXPECT_TRUE(held->Remove("a.txt"));
    EXPECT_FALSE(held->Remove("a.txt"));
    EXPECT_FALSE(temp.exists("a.txt"));
    EXPECT_TRUE(held->Sync());
    for (const char* notAFolder : {"sub/x.txt", "missing/"}) {
        EXPECT_EQ(fs.HoldFolder(temp.path(notAFolder)), nullptr) << notAFolder;
    }
}

#ifndef _WIN32
// A new file is only ever made new: whatever stands at the name makes the write fail, is not
// written through, and a FIFO does not hold it up. It gets the source's permissions.
TEST_F(RealFiles, WriteNewRefusesWhateverStandsAtTheName) {
    temp.write("victim.txt", "someone's file");
    temp.write("taken.xml", "old");
    temp.write("sub/x.txt", "x");
    symlink(temp.path("victim.txt").c_str(), temp.path("link.xml").c_str());
    symlink(temp.path("nowhere.txt").c_str(), temp.path("dangling.xml").c_str());
    ASSERT_EQ(mkfifo(temp.path("fifo.xml").c_str(), 0666), 0);
    temp.write("like.xml", "like");
    chmod(temp.path("like.xml").c_str(), 0640);
    const std::unique_ptr<HeldFolder> held = fs.HoldFolder(temp.folder());
    ASSERT_TRUE(held->ReadSource("like.xml"));
    const std::string_view piece = "new";
    // Opening the FIFO would wait for a reader for ever: the alarm ends this program in
    // seconds instead.
    alarm(10);
    for (const char* name : {"taken.xml", "link.xml", "dangling.xml", "fifo.xml", "sub"}) {
        EXPECT_FALSE(held->WriteNew(name, std::span(&piece, 1))) << name;
    }
    alarm(0);
    EXPECT_EQ(temp.read("victim.txt"), "someone's file");
    EXPECT_EQ(temp.read("taken.xml"), "old");
    EXPECT_FALSE(temp.exists("nowhere.txt"));
    ASSERT_TRUE(held->WriteNew("fresh.xml", std::span(&piece, 1)));
    EXPECT_EQ(temp.read("fresh.xml"), "new");
    struct stat status {};
    ASSERT_EQ(stat(temp.path("fresh.xml").c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0640u);
}

// One holder at a time, in this process as between processes; the lock goes with its holder,
// and whatever stands at the lock name and is no regular file gives no lock and is never
// followed.
TEST_F(RealFiles, LockHasOneHolderAtATime) {
    const std::unique_ptr<HeldFolder> held = fs.HoldFolder(temp.folder());
    LockAttempt first = held->TryLock("Links.xml.lock", "Links.xml");
    ASSERT_EQ(first.state, LockState::Held);
    EXPECT_EQ(held->TryLock("Links.xml.lock", "Links.xml").state, LockState::Busy);
    first.lock.reset();
    EXPECT_EQ(held->TryLock("Links.xml.lock", "Links.xml").state, LockState::Held);
    ASSERT_EQ(mkfifo(temp.path("fifo.lock").c_str(), 0666), 0);
    symlink(temp.path("Links.xml.lock").c_str(), temp.path("link.lock").c_str());
    symlink(temp.path("made-by-following.lock").c_str(), temp.path("dangling.lock").c_str());
    temp.write("folder.lock/x", "x");
    for (const char* name : {"fifo.lock", "link.lock", "dangling.lock", "folder.lock"}) {
        EXPECT_EQ(held->TryLock(name, "Links.xml").state, LockState::NotAFile) << name;
    }
    EXPECT_FALSE(temp.exists("made-by-following.lock"));
    EXPECT_EQ(held->TryLock("missing/x.lock", "Links.xml").state, LockState::Failed);
}

#endif

TEST_F(RealFiles, RenameReplacesTheTarget) {
    temp.write("Links.xml", "new");
    temp.write("Links.xml.bak", "old");
    const std::unique_ptr<HeldFolder> held = fs.HoldFolder(temp.folder());
    EXPECT_TRUE(held->Rename("Links.xml", "Links.xml.bak"));
    EXPECT_FALSE(temp.exists("Links.xml"));
    EXPECT_EQ(temp.read("Links.xml.bak"), "new");
    EXPECT_FALSE(held->Rename("Links.xml", "other.xml"));
}

// A held folder swaps two names in one step where the system can (Windows cannot, and says
// so), renames only onto a name nothing stands at, and sees every entry, links included.
TEST_F(RealFiles, HeldFolderSwapsNamesAndRenamesOntoFreeNamesOnly) {
    temp.write("Links.xml", "menu");
    temp.write("Links.xml.bak", "backup");
    temp.write("new.tmp", "new");
    const std::unique_ptr<HeldFolder> held = fs.HoldFolder(temp.folder());
    ASSERT_TRUE(held->ReadSource("Links.xml"));
#ifdef _WIN32
    EXPECT_EQ(held->Exchange("Links.xml", "Links.xml.bak"), ExchangeResult::Unsupported);
#else
    ASSERT_EQ(held->Exchange("Links.xml", "Links.xml.bak"), ExchangeResult::Exchanged)
        << "the temporary folder's file system cannot swap two names";
    EXPECT_EQ(temp.read("Links.xml"), "backup");
    EXPECT_EQ(temp.read("Links.xml.bak"), "menu");
    EXPECT_TRUE(held->IsSource("Links.xml.bak"));
    EXPECT_FALSE(held->IsSource("Links.xml"));
    EXPECT_EQ(held->Exchange("Links.xml", "missing.xml"), ExchangeResult::Failed);
    ASSERT_EQ(symlink(temp.path("nowhere").c_str(), temp.path("dangling").c_str()), 0);
    EXPECT_TRUE(held->HasEntry("dangling"));
    EXPECT_FALSE(held->RenameNew("new.tmp", "dangling"));
#endif
    EXPECT_FALSE(held->RenameNew("new.tmp", "Links.xml"));
    EXPECT_EQ(temp.read("new.tmp"), "new");
    EXPECT_TRUE(held->RenameNew("new.tmp", "free.xml"));
    EXPECT_EQ(temp.read("free.xml"), "new");
    EXPECT_TRUE(held->HasEntry("free.xml"));
    EXPECT_FALSE(held->HasEntry("new.tmp"));
}

TEST_F(RealFiles, PathWithNulByteNamesNoFile) {
    // Cut at the NUL, the name would be Links.xml itself.
    temp.write("Links.xml", "menu");
    temp.write("new.xml", "new");
    const std::string cut = std::string("Links.xml") + std::string(1, '\0') + ".bak";
    const std::unique_ptr<HeldFolder> held = fs.HoldFolder(temp.folder());
    const std::string_view piece = "x";
    EXPECT_FALSE(held->WriteNew(cut, std::span(&piece, 1)));
    EXPECT_EQ(held->Read(cut), std::nullopt);
    EXPECT_EQ(fs.ReadWhole(temp.path(cut)), std::nullopt);
    EXPECT_FALSE(fs.ReadLines(temp.path(cut), [](std::string_view) {}));
    EXPECT_FALSE(held->Rename(cut, "other.xml"));
    EXPECT_FALSE(held->Rename("new.xml", cut));
    EXPECT_FALSE(held->Remove(cut));
    EXPECT_EQ(fs.HoldFolder(temp.folder() + std::string(1, '\0')), nullptr);
    EXPECT_EQ(temp.read("Links.xml"), "menu");
}

// Longer than MAX_PATH on Windows, and named with characters outside every ANSI code page.
TEST_F(RealFiles, LongPathsNamedOutsideTheAnsiCodePageWork) {
    const std::string name = std::string(230, 'n') + "-\xCE\xA9\xE6\x97\xA5\xE6\x9C\xAC.xml";
    const std::string menu = temp.path(name);
    ASSERT_GT(menu.size(), 260u);
    EXPECT_FALSE(fs.FileExists(menu));
    const std::unique_ptr<HeldFolder> held = fs.HoldFolder(temp.folder());
    const std::string_view piece = "menu\r\n";
    ASSERT_TRUE(held->WriteNew(name, std::span(&piece, 1)));
    EXPECT_EQ(fs.ProbeFileSize(menu), 6u);
    EXPECT_EQ(fs.ReadWhole(menu), "menu\r\n");
    EXPECT_EQ(ReadAllLines(name), Lines{"menu"});
    ASSERT_TRUE(held->Rename(name, name + ".bak"));
    EXPECT_FALSE(fs.FileExists(menu));
    EXPECT_EQ(held->Read(name + ".bak"), "menu\r\n");
    Lines listed = fs.ListExactNames(temp.folder()).value_or(Lines{name + ".bak"});
    // Windows lists the short 8.3 name beside the long one.
    std::erase_if(listed, [](const std::string& entry) { return entry.find('~') != entry.npos; });
    EXPECT_EQ(listed, Lines{name + ".bak"});
    EXPECT_TRUE(held->Remove(name + ".bak"));
    EXPECT_FALSE(fs.FileExists(menu + ".bak"));
}

TEST_F(RealFiles, ProbeMatchesTheFreeFunction) {
    temp.write("a.txt", "abc");
    temp.write("empty.txt", "");
    EXPECT_EQ(fs.ProbeFileSize(temp.path("a.txt")), 3u);
    EXPECT_TRUE(fs.FileExists(temp.path("a.txt")));
    EXPECT_FALSE(fs.FileExists(temp.path("empty.txt")));
}

}  // namespace
}  // namespace tamsel
