// The launch sequence: order of platform calls, the arguments that matter, the failure
// paths and the exit code.
#include <gtest/gtest.h>

#include "launcher/launch.h"
#include "support.h"

using namespace support;
using fake::Step;

namespace {

const char kClassText[] = "{12345678-9ABC-DEF0-0123-456789ABCDEF}";
const std::string kIidBaseFilter = "56A86895-0AD4-11CE-B03A-0020AF0BA770";
const std::string kIidPages = "B196B28B-BAB4-101A-B69C-00AA00341D07";
const std::string kClass = "12345678-9ABC-DEF0-0123-456789ABCDEF";
const std::string kNullClass = "00000000-0000-0000-0000-000000000000";

const std::vector<std::string> kOpeningLines = {
    "CoInitialize",
    "AllocWide 39",
    "CLSIDFromString clsid=" + kNullClass,
    "FreeWide",
    "CoCreateInstance clsid=" + kClass + " outer=null context=3 iid=" + kIidBaseFilter,
    "QueryFilterInfo filter",
    "QueryInterface filter iid=" + kIidPages,
    "GetPages proppage",
};

std::vector<std::string> Lines(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(NormalRun, CallsThePlatformInOrderAndEndsWithZero) {
    fake::Script(Join(OpeningSteps(), FrameSteps()));

    EXPECT_EQ(RunLauncher(kClassText), 0);

    EXPECT_TRUE(fake::ScriptDone());
    EXPECT_EQ(fake::CallLines(),
              Lines(kOpeningLines,
                    {"RunGuarded", "GetFocus",
                     "OleCreatePropertyFrame owner=focus-frame at=0,0 objects=1:filter pages=2:" +
                         PointerText(pageIds) + " locale=0 reserved=0,null",
                     "Release proppage", "Release filter", "CoTaskMemFree " + PointerText(pageIds),
                     "CoUninitialize"}));
}

TEST(NormalRun, CaptionIsTheFilterName) {
    fake::Script(Join(OpeningSteps(u"Filtre D\u00e9sentrelac\u00e9 \u03a9"), FrameSteps()));

    RunLauncher(kClassText);

    ASSERT_EQ(fake::Calls()[10].call, "OleCreatePropertyFrame");
    EXPECT_EQ(fake::Calls()[10].text, u"Filtre D\u00e9sentrelac\u00e9 \u03a9");
}

TEST(NormalRun, NameFillingTheWholeRecordIsCutTo127Units) {
    const std::u16string full(platform::kFilterNameUnits, u'N');
    fake::Script(Join(OpeningSteps(full), FrameSteps()));

    RunLauncher(kClassText);

    EXPECT_EQ(fake::Calls()[10].text, std::u16string(platform::kFilterNameUnits - 1, u'N'));
}

TEST(NormalRun, EmptyPageListStillOpensTheFrame) {
    std::vector<Step> steps = Join(OpeningSteps(), FrameSteps());
    steps[7].pages = {0, nullptr};
    fake::Script(steps);

    EXPECT_EQ(RunLauncher(kClassText), 0);

    EXPECT_EQ(fake::CallLines()[10], "OleCreatePropertyFrame owner=focus-frame at=0,0 "
                                     "objects=1:filter pages=0:null locale=0 reserved=0,null");
    EXPECT_EQ(fake::CallLines()[13], "CoTaskMemFree null");
}

TEST(NormalRun, GraphHandedBackWithTheNameIsReleasedAtOnce) {
    std::vector<Step> steps = OpeningSteps();
    steps[5].info.pGraph = &graph;
    steps.insert(steps.begin() + 6, Call("Release"));
    fake::Script(Join(steps, FrameSteps()));

    EXPECT_EQ(RunLauncher(kClassText), 0);

    EXPECT_TRUE(fake::ScriptDone());
    EXPECT_EQ(fake::CallLines()[5], "QueryFilterInfo filter");
    EXPECT_EQ(fake::CallLines()[6], "Release graph");
    EXPECT_EQ(fake::CallLines()[7], "QueryInterface filter iid=" + kIidPages);
}

TEST(NormalRun, FocusIsFetchedAnewRightBeforeTheFrame) {
    fake::Script(Join(OpeningSteps(), FrameSteps()));

    RunLauncher(kClassText);

    EXPECT_EQ(fake::CallLines()[9], "GetFocus");
    EXPECT_EQ(fake::CallLines()[10].rfind("OleCreatePropertyFrame owner=focus-frame ", 0), 0u);
}

struct FailureCase {
    const char* name;
    std::size_t failingStep; // index in OpeningSteps
    platform::HRESULT result;
    std::vector<Step> after;        // the script from the failure on
    std::vector<std::string> lines; // what is recorded from the failure on
    std::vector<std::string> boxes; // the message of each box, in order
};

void PrintTo(const FailureCase& c, std::ostream* os) {
    *os << c.name;
}

class FailurePath : public testing::TestWithParam<FailureCase> {};

TEST_P(FailurePath, ShowsItsBoxesReleasesInOrderAndEndsWithTheResult) {
    const FailureCase& c = GetParam();
    std::vector<Step> steps = OpeningSteps();
    steps.resize(c.failingStep + 1);
    steps.back().result = c.result;
    steps.insert(steps.end(), c.after.begin(), c.after.end());
    fake::Script(steps);

    EXPECT_EQ(RunLauncher(kClassText), c.result);

    EXPECT_TRUE(fake::ScriptDone());
    std::vector<std::string> expected(kOpeningLines.begin(),
                                      kOpeningLines.begin() + c.failingStep + 1);
    EXPECT_EQ(fake::CallLines(), Lines(expected, c.lines));
    std::vector<std::string> boxes;
    for (const fake::Call& call : fake::Calls()) {
        if (call.call == "MessageBoxA") {
            boxes.push_back(call.message);
        }
    }
    EXPECT_EQ(boxes, c.boxes);
}

// Path D: both references go before the plain box, then the report follows.
const std::vector<Step> kGetPagesFailureSteps = {
    Call("Release"),        Call("Release"),     Focus(&focusFirstBox), Call("MessageBoxA"),
    Focus(&focusSecondBox), Call("MessageBoxA"), Call("CoUninitialize")};
const std::vector<std::string> kGetPagesFailureLines = {
    "Release proppage", "Release filter",
    "GetFocus",         "MessageBoxA owner=focus-box1 caption=\"Quorvell Deinterlace\" style=0x0",
    "GetFocus",         "MessageBoxA owner=focus-box2 caption=\"Show Property Page\" style=0x10",
    "CoUninitialize"};

const std::string kReportBox =
    "MessageBoxA owner=focus-box1 caption=\"Show Property Page\" style=0x10";

INSTANTIATE_TEST_SUITE_P(
    LaunchSequence, FailurePath,
    testing::Values(
        FailureCase{"A_CoCreateInstance",
                    4,
                    static_cast<platform::HRESULT>(0x80040154),
                    {Focus(&focusFirstBox), Call("MessageBoxA"), Call("CoUninitialize")},
                    {"GetFocus", kReportBox, "CoUninitialize"},
                    {"error 0x80040154\nCoCreateInstance"}},
        FailureCase{
            "B_QueryFilterInfo",
            5,
            static_cast<platform::HRESULT>(0x80004005),
            {Focus(&focusFirstBox), Call("MessageBoxA"), Call("Release"), Call("CoUninitialize")},
            {"GetFocus", kReportBox, "Release filter", "CoUninitialize"},
            {"error 0x80004005\nfilter->QueryFilterInfo"}},
        FailureCase{
            "C_QueryInterface_BoxWhileFilterIsHeld",
            6,
            static_cast<platform::HRESULT>(0x80004002),
            {Focus(&focusFirstBox), Call("MessageBoxA"), Call("Release"), Call("CoUninitialize")},
            {"GetFocus", kReportBox, "Release filter", "CoUninitialize"},
            {"error 0x80004002\nfilter->QueryInterface(IID_ISpecifyPropertyPages,...)"}},
        FailureCase{
            "D_GetPagesFails_BothReleasedBeforeTheBoxes",
            7,
            static_cast<platform::HRESULT>(0x8000FFFF),
            kGetPagesFailureSteps,
            kGetPagesFailureLines,
            {"Can not get filter's property page", "error 0x8000FFFF\nproppage->GetPages(...)"}},
        FailureCase{
            "D_PositiveResultIsAFailureToo",
            7,
            1,
            kGetPagesFailureSteps,
            kGetPagesFailureLines,
            {"Can not get filter's property page", "error 0x00000001\nproppage->GetPages(...)"}}),
    [](const testing::TestParamInfo<FailureCase>& info) { return info.param.name; });

TEST(FailurePath, PageListHandedBackWithAFailureIsNotFreed) {
    std::vector<Step> steps = OpeningSteps();
    steps[7].result = 1;
    steps[7].pages = {2, pageIds};
    fake::Script(Join(steps, kGetPagesFailureSteps));

    EXPECT_EQ(RunLauncher(kClassText), 1);

    for (const fake::Call& call : fake::Calls()) {
        EXPECT_NE(call.call, "CoTaskMemFree");
    }
}

TEST(FailurePath, NoMemoryForTheWideCopyIsReportedOnceWithoutReadingTheText) {
    Step alloc = Call("AllocWide");
    alloc.fails = true;
    fake::Script({Call("CoInitialize"), alloc, Focus(&focusFirstBox), Call("MessageBoxA"),
                  Call("CoUninitialize")});

    EXPECT_EQ(RunLauncher(kClassText), platform::kEOutOfMemory);

    EXPECT_TRUE(fake::ScriptDone());
    EXPECT_EQ(fake::CallLines(),
              (std::vector<std::string>{"CoInitialize", "AllocWide 39", "GetFocus", kReportBox,
                                        "CoUninitialize"}));
    EXPECT_EQ(fake::Calls()[3].message, "error 0x8007000E\nHeapAlloc");
}

struct TextCase {
    const char* name;
    std::string commandLine;
    std::u16string expected;
};

void PrintTo(const TextCase& c, std::ostream* os) {
    *os << c.name;
}

class CommandText : public testing::TestWithParam<TextCase> {};

TEST_P(CommandText, ReachesCLSIDFromStringWidenedByteForUnit) {
    const TextCase& c = GetParam();
    std::vector<Step> steps = OpeningSteps();
    steps[4].result = static_cast<platform::HRESULT>(0x800401F3);
    steps.resize(5);
    for (const Step& s : {Focus(&focusFirstBox), Call("MessageBoxA"), Call("CoUninitialize")}) {
        steps.push_back(s);
    }
    fake::Script(steps);

    RunLauncher(c.commandLine.c_str());

    EXPECT_EQ(fake::CallLines()[1], "AllocWide " + std::to_string(c.commandLine.size() + 1));
    ASSERT_EQ(fake::Calls()[2].call, "CLSIDFromString");
    EXPECT_EQ(fake::Calls()[2].text, c.expected);
}

std::string HighBytes() {
    std::string text;
    for (int b = 128; b <= 255; ++b) {
        text += static_cast<char>(b);
    }
    return text;
}

std::u16string HighUnits() {
    std::u16string text;
    for (char16_t u = 128; u <= 255; ++u) {
        text += u;
    }
    return text;
}

INSTANTIATE_TEST_SUITE_P(
    LaunchSequence, CommandText,
    testing::Values(TextCase{"Empty", "", u""},
                    TextCase{"TrailingBlanksKept", "{x}  \t", u"{x}  \t"},
                    TextCase{"QuotesKept", "\"{a b}\"", u"\"{a b}\""},
                    TextCase{"Bytes128To255WidenToTheSameValue", HighBytes(), HighUnits()}),
    [](const testing::TestParamInfo<TextCase>& info) { return info.param.name; });

} // namespace
