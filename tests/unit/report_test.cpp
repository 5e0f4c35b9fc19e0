// The failure report: its text, and the one box that shows it.
#include <gtest/gtest.h>

#include <cstring>

#include "report/report.h"
#include "support.h"

namespace {

struct FormatCase {
    const char* name;
    std::uint32_t result;
    const char* label;
    const char* expected;
};

void PrintTo(const FormatCase& c, std::ostream* os) {
    *os << c.name;
}

class FailureText : public testing::TestWithParam<FormatCase> {};

TEST_P(FailureText, IsTheCodeInEightUpperCaseDigitsThenTheLabel) {
    const FormatCase& c = GetParam();
    char message[kReportBytes];
    std::memset(message, 'x', sizeof message);

    FormatFailure(static_cast<platform::HRESULT>(c.result), c.label, message);

    EXPECT_STREQ(message, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Report, FailureText,
    testing::Values(FormatCase{"Negative", 0x80040154, "CoCreateInstance",
                               "error 0x80040154\nCoCreateInstance"},
                    FormatCase{"OnePaddedWithZeros", 1, "proppage->GetPages(...)",
                               "error 0x00000001\nproppage->GetPages(...)"},
                    FormatCase{"LettersUpperCase", 0xDEADBEEF, "filter->QueryFilterInfo",
                               "error 0xDEADBEEF\nfilter->QueryFilterInfo"},
                    FormatCase{"Zero", 0, "x", "error 0x00000000\nx"},
                    FormatCase{
                        "LongestLabel", 0x80004002,
                        "filter->QueryInterface(IID_ISpecifyPropertyPages,...)",
                        "error 0x80004002\nfilter->QueryInterface(IID_ISpecifyPropertyPages,...)"}),
    [](const testing::TestParamInfo<FormatCase>& info) { return info.param.name; });

TEST(FailureText, LineFeedIsOneByteAndTheLongestMessageIs70Characters) {
    char message[kReportBytes];

    FormatFailure(static_cast<platform::HRESULT>(0x80004002),
                  "filter->QueryInterface(IID_ISpecifyPropertyPages,...)", message);

    EXPECT_EQ(std::strlen(message), 70u);
    EXPECT_EQ(message[16], '\n');
    EXPECT_EQ(std::strchr(message, '\r'), nullptr);
}

TEST(FailureText, LabelTooLongForTheBufferIsCutAndTerminated) {
    const std::string label(400, 'L');
    char message[kReportBytes];

    FormatFailure(1, label.c_str(), message);

    EXPECT_EQ(std::strlen(message), kReportBytes - 1);
    EXPECT_EQ(message[kReportBytes - 2], 'L');
}

TEST(FailureBox, IsOneErrorBoxCaptionedShowPropertyPageOwnedByTheFocus) {
    fake::Script({support::Focus(&support::focusFirstBox), support::Call("MessageBoxA")});

    ReportFailure(static_cast<platform::HRESULT>(0x80040154), "CoCreateInstance");

    EXPECT_TRUE(fake::ScriptDone());
    EXPECT_EQ(
        fake::CallLines(),
        (std::vector<std::string>{
            "GetFocus", "MessageBoxA owner=focus-box1 caption=\"Show Property Page\" style=0x10"}));
    EXPECT_EQ(fake::Calls()[1].message, "error 0x80040154\nCoCreateInstance");
}

} // namespace
