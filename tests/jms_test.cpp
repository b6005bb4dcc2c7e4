// Shift_JIS scanning: character steps, byte types, the span functions and
// the path-buffer helpers.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "toolbase.h"

namespace {

// Byte type of every index of a string, and past its end.
TEST(JmsbtypeTest, ClassifiesByPositionFromTheStart)
{
    struct Case {
        const char* bytes;
        uint32_t index;
        int expected;
    } cases[] = {
        {"\x81\x40", 1, JMS_TRAIL},
        {"\x81\x7F", 1, JMS_SINGLE},  // 7F is no trail byte
        {"\x81\xFD", 1, JMS_SINGLE},
        {"\x81\x81\x81", 2, JMS_LEAD},  // the third byte starts a new character
        {"\x81\x20", 0, JMS_LEAD},      // lead by position, whatever follows
        {"\x81", 5, JMS_SINGLE},        // past the end
        {"\x81\x7F\x81", 2, JMS_LEAD},
        {"a\\", 1, JMS_SINGLE},
        {"\x95\x5C", 1, JMS_TRAIL},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "index " << c.index);
        EXPECT_EQ(jmsbtype(c.bytes, c.index), c.expected);
    }
}

// Character codes and steps, including a lead byte cut by the terminator.
TEST(JmsnextcTest, ReadsPairsAndStepsOverThem)
{
    EXPECT_EQ(jmsnextc("A"), 0x41u);
    EXPECT_EQ(jmsnextc(""), 0u);
    EXPECT_EQ(jmsnextc("\x83\x5C"), 0x835Cu);
    EXPECT_EQ(jmsnextc("\xFC\xFF"), 0xFCFFu);  // the second byte is not range-tested
    EXPECT_EQ(jmsnextc("\x81"), 0x81u);

    const char* lone = "\x81";
    EXPECT_EQ(jmsinc(lone), lone + 1);
    const char* pair = "\x83\x5C" "a";
    EXPECT_EQ(jmsinc(pair), pair + 2);
    const char* end = "";
    EXPECT_EQ(jmsinc(end), end);
    const char* katakana = "\xB1\x5C";  // B1 is no lead byte
    EXPECT_EQ(jmsinc(katakana), katakana + 1);
}

// The spans see a set member only where it starts a character.
TEST(JmsSpanTest, SkipsSecondBytes)
{
    struct Case {
        const char* str;
        const char* set;
        uint32_t cspn;
        uint32_t spn;
    } cases[] = {
        {"", "|", 0, 0},
        {"abc", "c", 2, 0},
        {"abc", "ab", 0, 2},
        {"\x83\x7C|", "|", 2, 0},
        {"\\\\\x83\x5C\\", "\\", 0, 2},  // a pair ends the run
        {" \t x", " \t", 0, 3},
        {"\x81", "\x81", 0, 1},  // a lone lead byte is looked up as itself
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.str);
        EXPECT_EQ(jmscspn(c.str, c.set), c.cspn);
        EXPECT_EQ(jmsspn(c.str, c.set), c.spn);
    }
}

TEST(JmspbrkTest, FindsOnlyCharacterStarts)
{
    EXPECT_EQ(jmspbrk("", "|"), nullptr);
    EXPECT_EQ(jmspbrk("\x83\x7C", "|"), nullptr);
    const char* s = "\x83\x7C" "a|b";
    EXPECT_EQ(jmspbrk(s, "|"), s + 3);
    EXPECT_EQ(jmspbrk("abc", ""), nullptr);
}

std::string CopyOf(const std::string& src, size_t* copied)
{
    char dst[PATH_BUFFER_SIZE];
    memset(dst, 'X', sizeof dst);
    CopyPathBuffer(dst, src.c_str());
    *copied = strlen(dst);
    return std::string(dst, *copied);
}

// The copy stops at 521 bytes and never ends in half a pair.
TEST(CopyPathBufferTest, KeepsDoubleByteCharactersWhole)
{
    struct Case {
        const char* name;
        size_t pairAt;  // index of a lead byte placed in a 600-byte ASCII source
        char after;     // byte placed after it
        size_t expectedLength;
    } cases[] = {
        {"pair at 520", 520, '\x40', 520},
        {"pair at 519", 519, '\x40', 521},
        {"lead at 520, space after", 520, ' ', 521},
        {"plain ASCII", 0, 'a', 521},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string src(600, 'a');
        if (c.pairAt) {
            src[c.pairAt] = '\x88';
            src[c.pairAt + 1] = c.after;
        }
        size_t copied;
        std::string got = CopyOf(src, &copied);
        EXPECT_EQ(copied, c.expectedLength);
        EXPECT_EQ(got, src.substr(0, c.expectedLength));
    }
}

TEST(CopyPathBufferTest, CopiesShortPathsWhole)
{
    size_t copied;
    EXPECT_EQ(CopyOf("C:\\work\\in.bin", &copied), "C:\\work\\in.bin");
    EXPECT_EQ(CopyOf("", &copied), "");
}

// SplitFileName cuts at the last backslash that is not a second byte.
TEST(SplitFileNameTest, CutsAtTheLastRealBackslash)
{
    struct Case {
        const char* path;
        const char* directory;
        const char* name;
    } cases[] = {
        {"C:\\dir\\file.txt", "C:\\dir", "file.txt"},
        {"C:\\file.txt", "C:", "file.txt"},
        {"C:\\dir\\", "C:\\dir", ""},
        {"\\", "", ""},
        {"C:\\\x95\x5C", "C:", "\x95\x5C"},
        {"C:/work/in.bin", "C:/work/in.bin", "C:/work/in.bin"},
        {"\x95\x5C\x83\x5C", "\x95\x5C\x83\x5C", "\x95\x5C\x83\x5C"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        char buffer[PATH_BUFFER_SIZE];
        strcpy(buffer, c.path);
        char* name = SplitFileName(buffer);
        EXPECT_STREQ(buffer, c.directory);
        EXPECT_STREQ(name, c.name);
    }
}

TEST(SplitFileNameTest, ReturnsThePathItselfWithoutBackslash)
{
    char buffer[] = "file.txt";
    EXPECT_EQ(SplitFileName(buffer), buffer);
    char empty[] = "";
    EXPECT_EQ(SplitFileName(empty), empty);
}

} // namespace
