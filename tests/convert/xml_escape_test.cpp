#include "convert/markup_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tamsel {
namespace {

struct EscapeCase {
    std::string value;
    std::string escaped;
};

TEST(XmlEscaped, EscapesWhatBreaksTheMenuAndKeepsReferences) {
    const std::vector<EscapeCase> cases{
        {"", ""},
        {"plain > 'text'", "plain > 'text'"},  // legal where values go
        {"a<b\"c", "a&lt;b&quot;c"},
        {"Tom & Jerry", "Tom &amp; Jerry"},
        {"&amp;&lt;&gt;&quot;&apos;", "&amp;&lt;&gt;&quot;&apos;"},  // escaped once already
        {"&#38;&#x26;&#X2F;&#xaB;", "&#38;&#x26;&#X2F;&#xaB;"},
        {"&AMP; &nbsp; &copy;", "&amp;AMP; &amp;nbsp; &amp;copy;"},  // only the five names
        {"&#; &#x; &#12 &#xG; &#1a;", "&amp;#; &amp;#x; &amp;#12 &amp;#xG; &amp;#1a;"},
        {"&amp", "&amp;amp"},
        {"&", "&amp;"},
        {"&&amp;", "&amp;&amp;"},
        {"#LINKURL#", "#LINKURL#"},
    };
    for (const EscapeCase& c : cases) {
        EXPECT_EQ(XmlEscaped(c.value), c.escaped) << c.value;
    }
}

}  // namespace
}  // namespace tamsel
