#include "convert/link_collector.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "convert/menu_index.h"
#include "convert/template_fill.h"

namespace tamsel {
namespace {

// The rule the collector follows, written out the long way: every candidate from the first,
// each entry searched for in the whole menu text and in the entries added so far.
class PlainIds {
  public:
    PlainIds(std::string menu, const PreparedTemplates& templates, const ItemTemplates& texts)
        : menu_(std::move(menu)), templates_(templates), texts_(texts) {}

    void Emit(LinkRecord record, bool image) {
        const std::string base = record.Id;
        const std::string& itemText = image ? texts_.Image : texts_.NoImage;
        for (std::size_t n = 1;; ++n) {
            record.Id = n == 1 ? base : base + "_" + std::to_string(n);
            const std::string item = FillTemplate(itemText, record, false);
            if (Known(Trimmed(item), items_)) {
                decisions += "skip " + base + "\n";
                return;
            }
            const std::string query = FillTemplate(texts_.Query, record, true);
            if (templates_.Query.HoldsId() && Known(Trimmed(query), queries_)) {
                continue;
            }
            if (templates_.Query.HoldsId() && !Trimmed(query).empty()) {
                queries_.insert(Trimmed(query));
            }
            if (!Trimmed(item).empty()) {
                items_.insert(Trimmed(item));
            }
            queryText += query;
            itemText_ += item + "\r\n";
            decisions += "add " + record.Id + "\n";
            return;
        }
    }

    std::string decisions;
    std::string queryText;
    std::string itemText_;

  private:
    static std::string Trimmed(const std::string& text) {
        const std::size_t first = text.find_first_not_of(" \t\r\n");
        return first == std::string::npos
                   ? std::string()
                   : text.substr(first, text.find_last_not_of(" \t\r\n") + 1 - first);
    }

    // Whether `entry` stands somewhere in the menu with only blanks and TABs beside it on
    // its first and last line.
    bool InMenu(const std::string& entry) const {
        const auto blank = [](char c) { return c == ' ' || c == '\t'; };
        for (std::size_t at = menu_.find(entry); at != std::string::npos;
             at = menu_.find(entry, at + 1)) {
            std::size_t before = at;
            while (before > 0 && blank(menu_[before - 1])) {
                --before;
            }
            std::size_t after = at + entry.size();
            while (after < menu_.size() && blank(menu_[after])) {
                ++after;
            }
            if ((before == 0 || menu_[before - 1] == '\r' || menu_[before - 1] == '\n') &&
                (after == menu_.size() || menu_[after] == '\r' || menu_[after] == '\n')) {
                return true;
            }
        }
        return false;
    }

    bool Known(const std::string& entry, const std::set<std::string>& added) const {
        return !entry.empty() && (added.contains(entry) || InMenu(entry));
    }

    std::string menu_;
    const PreparedTemplates& templates_;
    const ItemTemplates& texts_;
    std::set<std::string> queries_;
    std::set<std::string> items_;
};

template <typename T>
const T& Pick(std::mt19937& random, const std::vector<T>& from) {
    return from[random() % from.size()];
}

// Small lists of few titles, many of them alike, so that ids run to two-digit suffixes, over
// menus that hold entries of some candidates (X_3 without X_2, say), some inside longer lines;
// titles that are themselves suffixed ids, titles that escape alike, templates without the
// id in either entry, or with it twice or on a later line. Every link gets the id and decision the
// plain rule gives, and the blocks are the same.
TEST(LinkIds, AreThoseOfTryingEveryCandidateInTurn) {
    const std::vector<std::string> titles = {"a",    "a_2", "a_2_2",  "a_1", "a_10",
                                             "a_02", "b",   "a&amp;", "a&",  "a 2"};
    const std::vector<std::string> urls = {"u1", "u2", "u3"};
    const std::vector<std::string> queries = {"Q[#LINKID#]", "Q", "#LINKID#", " <q #LINKID#/>\r\n",
                                              "#LINKID#_#LINKID#"};
    const std::vector<std::string> items = {
        "I[#LINKID#|#LINKURL#]",      "I[#LINKURL#]",
        "#LINKID#\r\n#LINKTITLE#",    "#LINKID##LINKURL#",
        "#LINKINFO##LINKID#9",        "x#LINKID#_#LINKID#\n#LINKURL#",
        "<i>\r\n #LINKID#|#LINKURL#", "",
    };
    std::mt19937 random(1);
    for (int round = 0; round < 3000; ++round) {
        const ItemTemplates texts{Pick(random, queries), Pick(random, items), Pick(random, items)};
        const PreparedTemplates templates(texts);
        const auto record = [&](std::size_t suffix) {
            LinkRecord link;
            link.Title = Pick(random, titles);
            link.Id = link.Title;
            std::erase(link.Id, ' ');
            if (suffix > 1) {
                link.Id += "_" + std::to_string(suffix);
            }
            link.Url = Pick(random, urls);
            link.Info = random() % 2 == 0 ? "" : "i";
            return link;
        };
        std::string menu = "<XMBML>\r\n";
        for (int line = 0; line < static_cast<int>(random() % 6); ++line) {
            const LinkRecord link = record(random() % 13);
            const std::string& text = random() % 3 == 0 ? texts.Query : Pick(random, items);
            menu += (random() % 4 == 0 ? "in <" : std::string(random() % 3, '\t')) +
                    FillTemplate(text, link, &text == &texts.Query) +
                    (random() % 2 == 0 ? "\r\n" : "\n");
        }
        menu += "</XMBML>\r\n";
        const MenuIndex index(menu);
        std::string decisions;
        LinkCollector links(texts, "", {}, &index, [&decisions](const LinkDecision& decision) {
            decisions += (decision.added ? "add " : "skip ") + std::string(decision.id) + "\n";
        });
        PlainIds plain(menu, templates, texts);
        for (int n = 0; n < 30; ++n) {
            LinkRecord link = record(1);
            const bool image = random() % 2 == 0;
            plain.Emit(link, image);
            links.Emit(link, templates.Query, image ? templates.Image : templates.NoImage);
        }
        ASSERT_EQ(decisions, plain.decisions) << "round " << round << ", menu:\n" << menu;
        ASSERT_EQ(links.QueryText(), plain.queryText) << "round " << round;
        ASSERT_EQ(links.ItemText(), plain.itemText_) << "round " << round;
    }
}

}  // namespace
}  // namespace tamsel
