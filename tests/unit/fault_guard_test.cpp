// The fault guard: the caption of the fault box, and the run after a caught fault.
#include <gtest/gtest.h>

#include <cstring>

#include "launcher/launch.h"
#include "support.h"

using namespace support;

namespace {

struct NarrowCase {
    const char* name;
    std::u16string filterName;
    std::string caption;
};

void PrintTo(const NarrowCase& c, std::ostream* os) {
    *os << c.name;
}

class FaultCaption : public testing::TestWithParam<NarrowCase> {};

TEST_P(FaultCaption, KeepsUnitsBelow256AndStopsAtTheFirstOther) {
    const NarrowCase& c = GetParam();
    platform::FilterInfo info = Named(c.filterName);
    char caption[kCaptionBytes];
    std::memset(caption, 'x', sizeof caption);

    NarrowName(info.achName, caption);

    EXPECT_EQ(std::string(caption), c.caption);
}

INSTANTIATE_TEST_SUITE_P(
    FaultGuard, FaultCaption,
    testing::Values(NarrowCase{"Ascii", u"Sample Deinterlace", "Sample Deinterlace"},
                    NarrowCase{"Latin1Kept", u"Filtre D\u00e9sentrelac\u00e9 \u00ff",
                               "Filtre D\xe9sentrelac\xe9 \xff"},
                    NarrowCase{"CutBeforeAUnitOf256", u"Deinterlace \u0100 Pro", "Deinterlace "},
                    NarrowCase{"GreekInTheMiddle", u"Deinterlace \u03a9 Pro", "Deinterlace "},
                    NarrowCase{"FirstUnitAbove255GivesEmpty", u"\u03a9mega", ""},
                    NarrowCase{"EmptyName", u"", ""},
                    NarrowCase{"LongestName", std::u16string(127, u'N'), std::string(127, 'N')}),
    [](const testing::TestParamInfo<NarrowCase>& info) { return info.param.name; });

TEST(CaughtFault, IsShownUnderTheFilterNameThenTheRunEndsAsAfterAClose) {
    fake::Script(Join(OpeningSteps(u"Ca\u00f1a \u03a9"), FrameSteps(/*fault=*/true)));

    EXPECT_EQ(RunLauncher("{12345678-9ABC-DEF0-0123-456789ABCDEF}"), 0);

    EXPECT_TRUE(fake::ScriptDone());
    const std::vector<std::string> lines = fake::CallLines();
    const std::vector<std::string> tail(lines.begin() + 8, lines.end());
    EXPECT_EQ(tail,
              (std::vector<std::string>{
                  "RunGuarded", "GetFocus",
                  "OleCreatePropertyFrame owner=focus-frame at=0,0 objects=1:filter pages=2:" +
                      PointerText(pageIds) + " locale=0 reserved=0,null",
                  "GetFocus",
                  "MessageBoxA owner=focus-box1 caption=\"Ca\xf1"
                  "a \" style=0x0",
                  "Release proppage", "Release filter", "CoTaskMemFree " + PointerText(pageIds),
                  "CoUninitialize"}));
    EXPECT_EQ(fake::Calls()[12].message, "Run-time error while display filter's property page");
}

} // namespace
