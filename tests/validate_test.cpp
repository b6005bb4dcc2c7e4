// The validators: their results and the exact trace lines they write.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "toolbase.h"
#include "trace_capture.h"

namespace {

using Lines = std::vector<int>;

// IsValidLocalPathString writes exactly one of its trace sequences.
TEST(IsValidLocalPathStringTest, WritesTheFirstFailingSequence)
{
    struct Case {
        const char* name;
        std::string path;
        bool valid;
        Lines lines;
    } cases[] = {
        {"plain path", "C:\\dir\\a.txt", true, {}},
        {"empty", "", true, {}},
        {"star", "C:\\*.txt", false, {1080}},
        {"question mark", "a?b", false, {1080}},
        {"bar", "a|b", false, {1060, 1079}},
        {"quote", "a\"b", false, {1060, 1079}},
        {"less than", "a<b", false, {1060, 1079}},
        {"star before bar", "*|", false, {1060, 1079}},
        {"tab", "a\tb", false, {988, 1078}},
        {"bar before tab", "|\t", false, {988, 1078}},
        {"lead byte and tab", "\x81\x09", true, {}},
        {"lead byte and star", "\x81\x2A", true, {}},
        {"pair then tab", "\x81\x81\x09", false, {988, 1078}},
        {"other control byte", "a\x01" "b", true, {}},
        {"second byte 5C and 7C", "\x83\x5C\x83\x7C", true, {}},
        {"260 bytes", std::string(260, 'a'), true, {}},
        {"261 bytes", std::string(261, 'a'), false, {1077}},
        {"261 bytes with a star", std::string(260, 'a') + "*", false, {1077}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TraceCapture capture;
        EXPECT_EQ(IsValidLocalPathString(c.path.c_str()), c.valid);
        EXPECT_EQ(capture.LineNumbers(), c.lines);
    }
}

// A null string fails every check, each level adding its own line.
TEST(ValidatorsTest, NullStringsFailAtEveryLevel)
{
    struct Case {
        const char* name;
        bool (*check)(const char*);
        Lines lines;
    } cases[] = {
        {"IsValidStringPtr", IsValidStringPtr, {1143}},
        {"IsValidCommandLineString", IsValidCommandLineString, {1143, 986}},
        {"IsValidLocalPathMaskString", IsValidLocalPathMaskString, {1143, 1057}},
        {"IsValidLocalPathString", IsValidLocalPathString, {1143, 1076}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TraceCapture capture;
        EXPECT_FALSE(c.check(nullptr));
        EXPECT_EQ(capture.LineNumbers(), c.lines);
    }
    TraceCapture capture;
    EXPECT_FALSE(IsValidLengthStringPtr(nullptr, 10));
    EXPECT_EQ(capture.LineNumbers(), Lines{1040});
}

// The line text is the file name, the line number and the condition.
TEST(ValidatorsTest, TraceLinesHaveTheirExactText)
{
    TraceCapture capture;
    EXPECT_FALSE(IsValidLocalPathString("a|b"));
    ASSERT_EQ(capture.Lines().size(), 2u);
    EXPECT_EQ(capture.Lines()[0],
              "..\\..\\TOOLS\\toolbase(1060) : ! jmspbrk( mask, INVALID_PATHMASKCHARS ) \r\n");
    EXPECT_EQ(capture.Lines()[1],
              "..\\..\\TOOLS\\toolbase(1079) : IsValidLocalPathMaskString( path ) \r\n");

    capture.Clear();
    EXPECT_FALSE(IsValidLocalPathString("C:\\*.txt"));
    EXPECT_EQ(capture.Lines(),
              std::vector<std::string>{"..\\..\\TOOLS\\toolbase(1080) : ! jmspbrk( path, INVALID_PATHCHARS ) \r\n"});

    capture.Clear();
    EXPECT_FALSE(IsValidLocalPathString(std::string(261, 'a').c_str()));
    EXPECT_EQ(capture.Lines(),
              std::vector<std::string>{"..\\..\\TOOLS\\toolbase(1077) : strlen( path ) <= MAX_PATH \r\n"});

    capture.Clear();
    EXPECT_FALSE(IsValidLocalPathString("a\tb"));
    ASSERT_EQ(capture.Lines().size(), 2u);
    EXPECT_EQ(capture.Lines()[0],
              "..\\..\\TOOLS\\toolbase(988) : ! jmspbrk( string, INVALID_COMMANDLINECHARS ) \r\n");
    EXPECT_EQ(capture.Lines()[1],
              "..\\..\\TOOLS\\toolbase(1078) : IsValidCommandLineString( path ) \r\n");

    capture.Clear();
    EXPECT_FALSE(IsValidLocalPathString(nullptr));
    ASSERT_EQ(capture.Lines().size(), 2u);
    EXPECT_EQ(capture.Lines()[0], "..\\..\\TOOLS\\toolbase(1143) : str \r\n");
    EXPECT_EQ(capture.Lines()[1], "..\\..\\TOOLS\\toolbase(1076) : IsValidStringPtr( path ) \r\n");
}

// A mask accepts the wildcards a path refuses, and has its own limits.
TEST(IsValidLocalPathMaskStringTest, AcceptsWildcards)
{
    struct Case {
        std::string mask;
        bool valid;
        Lines lines;
    } cases[] = {
        {"C:\\*.txt", true, {}},
        {"a?", true, {}},
        {"a>b", false, {1060}},
        {"a\rb", false, {988, 1059}},
        {std::string(261, '*'), false, {1058}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mask);
        TraceCapture capture;
        EXPECT_EQ(IsValidLocalPathMaskString(c.mask.c_str()), c.valid);
        EXPECT_EQ(capture.LineNumbers(), c.lines);
    }
}

} // namespace
