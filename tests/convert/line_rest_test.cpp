// A line with stretches cut out, read through its views, against the same cuts made in a
// copy of the line: every question asked of the views is answered as the copy answers it.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <string_view>

#include "convert/line_rest.h"
#include "support/text.h"

namespace tamsel {
namespace {

TEST(LineRest, AnswersAsTheLineWithItsCutsMadeInACopy) {
    std::mt19937 random(5);  // fixed seed: the same cases on every run
    const std::string alphabet = " \"<>;hHtTpPsS:";
    const auto below = [&random](std::size_t bound) { return random() % bound; };
    for (int round = 0; round < 2000; ++round) {
        std::string line;
        for (std::size_t i = below(30); i > 0; --i) {
            line += alphabet[below(alphabet.size())];
        }
        LineRest rest(line);
        std::string copy = line;
        for (std::size_t cuts = below(4); cuts > 0; --cuts) {
            const std::size_t from = below(copy.size() + 1);
            const std::size_t to = from + below(copy.size() - from + 1);
            rest.Erase(from, to);
            copy.erase(from, to - from);
        }
        ASSERT_EQ(rest.Joined(), copy) << line;
        for (std::size_t from = 0; from <= copy.size() + 1; ++from) {
            const std::string_view tail =
                std::string_view(copy).substr(std::min(from, copy.size()));
            SCOPED_TRACE(line + " -> " + copy + " from " + std::to_string(from));
            EXPECT_EQ(rest.Find('"', from), copy.find('"', from));
            EXPECT_EQ(rest.FindPair("\">", from), copy.find("\">", from));
            EXPECT_EQ(rest.FindPair(">>", from), copy.find(">>", from));
            for (const std::string_view prefix : {"http:", "HTTPS:", "", "\"", " >"}) {
                EXPECT_EQ(rest.StartsWithIgnoringCase(from, prefix),
                          StartsWithIgnoringCase(tail, prefix))
                    << prefix;
            }
            const std::size_t to = from + below(copy.size() + 2);
            const std::string_view stretch = tail.substr(0, to - from);
            EXPECT_EQ(rest.Trimmed(from, to).Joined(), TrimBlanks(stretch));
            std::string appended = "x";
            rest.AppendTo(appended, from, to);
            EXPECT_EQ(appended, "x" + std::string(stretch));
        }
    }
}

}  // namespace
}  // namespace tamsel
