// The command-line splitter: quoting and backslash rules, the block layout,
// and the two lead-byte tests CopyChar can use.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "toolbase.h"

namespace {

bool NoLeadBytes(unsigned char)
{
    return false;
}

// Chooses the lead-byte test of CopyChar for one test.
class LeadByteTestScope {
public:
    explicit LeadByteTestScope(LeadByteTest test) : saved_(CopyCharLeadByteTest) { CopyCharLeadByteTest = test; }
    ~LeadByteTestScope() { CopyCharLeadByteTest = saved_; }

private:
    LeadByteTest saved_;
};

std::vector<std::string> Split(const char* cmdline)
{
    int argc = -1;
    char** argv = SplitCommandLine(cmdline, &argc);
    EXPECT_NE(argv, nullptr);
    std::vector<std::string> args;
    if (!argv)
        return args;
    for (int i = 0; i < argc; ++i)
        args.push_back(argv[i]);
    EXPECT_EQ(argv[argc], nullptr);
    FreeArgv(argv);
    return args;
}

using Args = std::vector<std::string>;

struct SplitCase {
    const char* cmdline;
    Args args;
};

void ExpectSplits(const SplitCase* cases, size_t count)
{
    for (size_t i = 0; i < count; ++i) {
        SCOPED_TRACE(cases[i].cmdline);
        EXPECT_EQ(Split(cases[i].cmdline), cases[i].args);
    }
}

// The quoting rules, one row per rule.
TEST(SplitCommandLineTest, FollowsTheQuotingRules)
{
    const SplitCase cases[] = {
        {"prog.exe", {"prog.exe"}},
        {"\"C:\\Program Files\\x.exe\" a b", {"C:\\Program Files\\x.exe", "a", "b"}},
        {"x \"a b\" c", {"x", "a b", "c"}},
        {"x a\\\\\"b c\"", {"x", "a\\b c"}},
        {"x a\\\"b", {"x", "a\"b"}},
        {"x a\\b", {"x", "a\\b"}},
        {"x \"a\"\"b\" c", {"x", "a\"b c"}},
        {"\"a\"b c", {"a", "b", "c"}},
        {"x \"\" y", {"x", "", "y"}},
        {"x a\\\\\\\"b", {"x", "a\\\"b"}},
        {"x \"a\"\" b\"", {"x", "a\"", "b"}},
        {"x \"\"\"", {"x", "\""}},
        {"x \"a\"b", {"x", "ab"}},
        {"\"abc", {"abc"}},
        {"x \t  ", {"x"}},
        {"", {""}},
        {"x\ta \t b", {"x", "a", "b"}},
        {"x a\\\\", {"x", "a\\\\"}},
        {"C:\\dir\\\"x\" y", {"C:\\dir\\\"x\"", "y"}},  // the program name is literal
        {"x a\x0B" "b", {"x", "a\x0B" "b"}},          // only space and TAB separate
    };
    ExpectSplits(cases, sizeof cases / sizeof cases[0]);
}

// With Shift_JIS as the process code page a lead byte always takes the next
// byte, even a blank, a quote or a backslash.
TEST(SplitCommandLineTest, CopiesDoubleByteCharactersWhole)
{
    LeadByteTestScope scope(IsShiftJisLeadByte);
    const SplitCase cases[] = {
        {"x \x83\x5C\"b c\"", {"x", "\x83\x5C" "b c"}},
        {"x a\x81 b", {"x", "a\x81 b"}},
        {"x a\x81\" b", {"x", "a\x81\"", "b"}},
        {"x a\x81", {"x", "a\x81"}},  // a lone lead byte before the end
    };
    ExpectSplits(cases, sizeof cases / sizeof cases[0]);
}

// Under a single-byte code page every byte is copied alone, so the 5C of
// 83 5C escapes a following quote.
TEST(SplitCommandLineTest, SingleByteCodePageCopiesBytesAlone)
{
    LeadByteTestScope scope(NoLeadBytes);
    const SplitCase cases[] = {
        {"x \x83\x5C\"b", {"x", "\x83\"b"}},
        {"x a\x81 b", {"x", "a\x81", "b"}},
    };
    ExpectSplits(cases, sizeof cases / sizeof cases[0]);
}

// The block is slots then strings, exactly as large as the measuring pass said.
TEST(ParseCommandLineTest, BothPassesAgreeOnTheLayout)
{
    const char* cmdline = "\"C:\\a b\\p.exe\" one \"two three\" \"\"";
    int argc = 0;
    size_t size = ParseCommandLine(nullptr, &argc, cmdline, nullptr);
    ASSERT_EQ(argc, 4);
    const size_t stringBytes = sizeof "C:\\a b\\p.exe" + sizeof "one" + sizeof "two three" + 1;
    EXPECT_EQ(size, stringBytes + 5 * sizeof(char*));

    std::vector<char> block(size + 16, '\x55');
    char** slots = reinterpret_cast<char**>(block.data());
    char* strings = reinterpret_cast<char*>(slots + argc + 1);
    int filledArgc = 0;
    EXPECT_EQ(ParseCommandLine(strings, &filledArgc, cmdline, slots), size);
    EXPECT_EQ(filledArgc, argc);
    EXPECT_EQ(slots[0], strings);
    EXPECT_STREQ(slots[2], "two three");
    EXPECT_STREQ(slots[3], "");
    EXPECT_EQ(slots[4], nullptr);
    EXPECT_EQ(slots[3] + 1, block.data() + size);  // the last terminator ends the block
    EXPECT_EQ(block[size], '\x55');
}

} // namespace
