#include "orvane/VersionCompare.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using Components = std::vector<std::string>;

namespace {

Components Split(const std::string& text, char sep = '.')
{
    Components out = {"stale"};
    _SplitString(text, sep, out);
    return out;
}

}  // namespace

TEST(SplitString, SplitsAtEverySeparator)
{
    EXPECT_EQ(Split(""), Components{});
    EXPECT_EQ(Split("1"), (Components{"1"}));
    EXPECT_EQ(Split("1.2"), (Components{"1", "2"}));
    EXPECT_EQ(Split("1.2.30"), (Components{"1", "2", "30"}));
    EXPECT_EQ(Split("1."), (Components{"1", ""}));
    EXPECT_EQ(Split(".1"), (Components{"", "1"}));
    EXPECT_EQ(Split("1..2"), (Components{"1", "", "2"}));
    EXPECT_EQ(Split("."), (Components{"", ""}));
    EXPECT_EQ(Split("1-2.3", '-'), (Components{"1", "2.3"}));
}

TEST(IsServerVersionNewer, ComparesComponentsAsEqualWidthDigitStrings)
{
    const struct {
        const char* local;
        const char* server;
        bool newer;
    } cases[] = {
        {"1.9", "1.10", true},     // "9" padded to "09"
        {"1.10", "1.9", false},    // local component longer
        {"2.0", "1.5", false},     // first component decides
        {"1.5", "2.0", true},
        {"1.0", "1.0.1", false},   // server components past the local ones are not read
        {"01", "2", false},        // local component longer
        {"1", "01", false},        // "1" padded to "01": equal
        {"1.0", "1.0", false},
        {"", "1.0", false},        // no local components
        {"1.a", "1.b", true},      // bytes compared
        {"1.b", "1.a", false},
        {"1.9", "1.\xE4", true},   // bytes compared as unsigned
    };
    for (const auto& c : cases)
        EXPECT_EQ(orvane::IsServerVersionNewer(c.local, c.server), c.newer) << c.local << " vs " << c.server;
}

TEST(IsServerVersionNewer, ServerWithFewerComponentsIsNewerOnlyByAnEarlierComponent)
{
    EXPECT_FALSE(orvane::IsServerVersionNewer("1.0.1", "1.0"));
    EXPECT_FALSE(orvane::IsServerVersionNewer("1.0", "1"));
    EXPECT_FALSE(orvane::IsServerVersionNewer("1.0", ""));
    EXPECT_TRUE(orvane::IsServerVersionNewer("1.5", "2"));
    EXPECT_TRUE(orvane::IsServerVersionNewer("1.5.9.9", "1.6"));
    EXPECT_FALSE(orvane::IsServerVersionNewer("1.5.0", "1.4"));
}

TEST(IsServerVersionNewer, EmptyComponentsCompareAsEmptyDigitStrings)
{
    EXPECT_FALSE(orvane::IsServerVersionNewer("1.0.1", "1.0."));  // "1" is longer than ""
    EXPECT_FALSE(orvane::IsServerVersionNewer("1.", "1.0"));      // "" padded to "0"
    EXPECT_TRUE(orvane::IsServerVersionNewer("1.", "1.1"));
}
