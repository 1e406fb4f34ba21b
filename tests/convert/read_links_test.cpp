#include "convert/read_links.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <new>
#include <optional>
#include <random>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "test_support/plain_file_system.h"

namespace tamsel {
namespace {

const ItemTemplates kTemplates{"Q[#LINKID#]",
                               "I[#LINKID#|#LINKTITLE#|#LINKIMG#|#LINKINFO#|#LINKURL#]",
                               "N[#LINKID#|#LINKTITLE#|#LINKINFO#|#LINKURL#]"};
const std::string kImages = "/m/IMAGES/";

// A list held in memory: ReadLines gives its lines, with `pauseEvery` a pause of a tenth of
// a second before each such number of them, then fails or throws where told to. Each line
// is lent from one of two buffers in turn, most of them kept for the next; a line is
// scribbled over once it is no longer lent, so a reader that views it longer reads that.
class ListInMemory final : public test::PlainFileSystem {
  public:
    enum class End { Read, Failed, Throws };
    ListInMemory(std::vector<std::string> lines, End end, std::size_t pauseEvery = 0)
        : lines_(std::move(lines)), end_(end), pauseEvery_(pauseEvery) {}

    bool ReadLines(const std::string&, const LineHandler& onLine) override {
        std::array<std::string, 2> lent;
        for (std::size_t n = 0; n < lines_.size(); ++n) {
            if (pauseEvery_ > 0 && n % pauseEvery_ == 0) {
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            }
            std::string& buffer = lent[n % 2];
            std::fill(buffer.begin(), buffer.end(), '#');
            buffer = lines_[n];
            const bool kept = n + 1 < lines_.size() && n % 3 != 2;
            onLine(buffer, kept);
            if (!kept) {
                std::fill(buffer.begin(), buffer.end(), '#');
            }
        }
        if (end_ == End::Throws) {
            throw std::bad_alloc();
        }
        return end_ == End::Read;
    }

  private:
    std::vector<std::string> lines_;
    End end_;
    std::size_t pauseEvery_;
};

// Hand-written links, bookmarks (one with an icon of its own), lines that are no link,
// duplicates and, with `longLines`, now and then a line of megabytes, in a random order. For
// an odd seed the last link is still pending at the end of the list.
std::vector<std::string> RandomList(std::size_t lines, unsigned seed, bool longLines = true) {
    std::mt19937 random(seed);
    std::vector<std::string> list;
    for (std::size_t n = 0; n < lines; ++n) {
        const std::string id = std::to_string(random() % (lines / 2 + 1));
        switch (random() % 9) {
            case 0:
                list.push_back("Title " + id + ";info");
                break;
            case 1:
                list.push_back("https://t.org/" + id);
                break;
            case 2:
                list.push_back("<DT><A HREF=\"http://b.org/" + id + "\">Mark " + id + "</A>");
                break;
            case 3:
                list.push_back("<DL><p><DT><A HREF=\"http://b.org/1\">Own\tIcon</A>");
                break;
            case 4:
                list.push_back(std::string(longLines && random() % 100 == 0 ? 2 << 20 : 30, 'x'));
                break;
            case 5:  // the rest after the title, read as "title;info", is dropped by the next
                     // bookmark
                list.push_back("<DT><A HREF=\"http://i.org/" + id + "\" ICON=\"data:i;" + id +
                               "\">Icon " + id + "</A>");
                break;
            case 6:  // no title: the rest's "title;info" goes with the next address
                list.push_back("<DT><A HREF=\"http://e.org/" + id + "\" ICON=\"i;" + id +
                               "\"></A>");
                break;
            case 7:  // changes nothing
                list.push_back("</DL><p>");
                break;
            default:
                list.push_back("Title " + id);
                break;
        }
    }
    if (seed % 2 == 1) {
        list.insert(list.end(), {"Last", "https://t.org/last"});  // pending until the end
    }
    return list;
}

struct Read {
    std::string query;
    std::string items;
    std::size_t found = 0;
    std::size_t skipped = 0;
    bool read = false;
    std::uint64_t bytes = 0;  // every report added up
};

// Through ReadLinks, or with `direct` line by line on this thread as a reference.
Read ReadAll(const std::vector<std::string>& lines, ListInMemory::End end, bool direct) {
    LinkCollector links(kTemplates, kImages,
                        [](const std::string& path) { return path == kImages + "OwnIcon.png"; });
    Read result;
    if (direct) {
        for (const std::string& line : lines) {
            links.Feed(line);
            result.bytes += line.size() + 1;
        }
        result.read = end == ListInMemory::End::Read;
        if (result.read) {
            links.Finish();
        }
    } else {
        ListInMemory files(lines, end);
        result.read = ReadLinks(files, "list", links,
                                [&result](std::uint64_t bytes) { result.bytes += bytes; });
    }
    return {links.QueryText(),    links.ItemText(), links.FoundCount(),
            links.SkippedCount(), result.read,      result.bytes};
}

// Read ahead on another thread, in batches, the list gives the collector what reading it line
// by line gives, whatever the batches' edges fall on, and reports every byte once.
TEST(ReadLinks, GivesWhatReadingLineByLineGives) {
    for (const std::size_t lines : {0, 1, 2, 700, 5000}) {
        for (const ListInMemory::End end : {ListInMemory::End::Read, ListInMemory::End::Failed}) {
            for (unsigned seed = 1; seed <= 3; ++seed) {
                SCOPED_TRACE(testing::Message() << lines << " lines, seed " << seed << ", end "
                                                << static_cast<int>(end));
                const std::vector<std::string> list = RandomList(lines, seed);
                const Read ahead = ReadAll(list, end, false);
                const Read direct = ReadAll(list, end, true);
                EXPECT_EQ(ahead.read, direct.read);
                EXPECT_EQ(ahead.found, direct.found);
                EXPECT_EQ(ahead.skipped, direct.skipped);
                EXPECT_EQ(ahead.bytes, direct.bytes);
                EXPECT_TRUE(ahead.query == direct.query && ahead.items == direct.items);
            }
        }
    }
}

// What the reading throws, and what the caller's report throws while the reading thread waits
// for room, reach the caller; the reading thread is stopped and waited for.
TEST(ReadLinks, PassesOnWhatEitherThreadThrows) {
    const std::vector<std::string> list = RandomList(40000, 7, false);
    LinkCollector links(kTemplates, kImages, {});
    ListInMemory throws(list, ListInMemory::End::Throws);
    EXPECT_THROW(ReadLinks(throws, "list", links, [](std::uint64_t) {}), std::bad_alloc);
    ListInMemory reads(list, ListInMemory::End::Read);
    int reports = 0;
    EXPECT_THROW(ReadLinks(reads, "list", links,
                           [&reports](std::uint64_t) {
                               // Time for the reading thread to fill every batch and wait.
                               std::this_thread::sleep_for(std::chrono::milliseconds(100));
                               if (++reports == 2) {
                                   throw std::runtime_error("stop");
                               }
                           }),
                 std::runtime_error);
    EXPECT_EQ(reports, 2);
}

// A list that comes slowly is reported on as it comes, about every 256 KB, not once per
// batch of megabytes.
TEST(ReadLinks, ReportsOnASlowListAsItComes) {
    const std::vector<std::string> list(1500, std::string(1000, 'x'));  // 1.5 MB, no link
    LinkCollector links(kTemplates, kImages, {});
    ListInMemory slow(list, ListInMemory::End::Read, 300);
    std::vector<std::uint64_t> reports;
    ASSERT_TRUE(ReadLinks(slow, "list", links,
                          [&reports](std::uint64_t bytes) { reports.push_back(bytes); }));
    EXPECT_GE(reports.size(), 4u);
    EXPECT_LE(*std::max_element(reports.begin(), reports.end()), 600'000u);
}

}  // namespace
}  // namespace tamsel
