// The command-line tail after the program's own name.
#include <gtest/gtest.h>

#include <string>

#include "launcher/launch.h"

namespace {

bool NoLeadBytes(unsigned char) {
    return false;
}

// A double-byte code page in the manner of Shift JIS.
bool ShiftJisLeadBytes(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

struct TailCase {
    const char* name;
    std::string commandLine;
    std::string tail;
    bool (*isLeadByte)(unsigned char);
};

void PrintTo(const TailCase& c, std::ostream* os) {
    *os << c.name;
}

class CommandTail : public testing::TestWithParam<TailCase> {};

TEST_P(CommandTail, IsEverythingAfterTheNameAndItsBlanks) {
    const TailCase& c = GetParam();
    EXPECT_EQ(std::string(SkipProgramName(c.commandLine.c_str(), c.isLeadByte)), c.tail);
}

INSTANTIATE_TEST_SUITE_P(
    Launcher, CommandTail,
    testing::Values(
        TailCase{"PlainName", "filterprops.exe {A}", "{A}", NoLeadBytes},
        TailCase{"QuotedPathWithBlanks", "\"C:\\Program Files\\fp\\filterprops.exe\" {A}", "{A}",
                 NoLeadBytes},
        TailCase{"QuotedNameRightBeforeTheText", "\"fp.exe\"{A}", "{A}", NoLeadBytes},
        TailCase{"AllControlBytesAndBlanksSkipped", "fp.exe \t\x01\x1f {A}", "{A}", NoLeadBytes},
        TailCase{"TrailingBlanksKept", "fp.exe {A}  ", "{A}  ", NoLeadBytes},
        TailCase{"NotSplitIntoWords", "fp.exe {A} \"b c\" d", "{A} \"b c\" d", NoLeadBytes},
        TailCase{"NothingAfterTheName", "fp.exe", "", NoLeadBytes},
        TailCase{"OnlyBlanksAfterTheName", "fp.exe   ", "", NoLeadBytes},
        TailCase{"UnclosedQuoteIsAllName", "\"C:\\fp.exe {A}", "", NoLeadBytes},
        TailCase{"HighBytesInThePlainName", "f\xe9.exe \xe9", "\xe9", NoLeadBytes},
        TailCase{"SecondByteOfADoubleByteCharacterIsNoQuote", "\"\x81\"x.exe\" {A}", "{A}",
                 ShiftJisLeadBytes},
        TailCase{"LeadByteAtTheEndStopsAtTheTerminator", "\"ab\x81", "", ShiftJisLeadBytes}),
    [](const testing::TestParamInfo<TailCase>& info) { return info.param.name; });

} // namespace
