// The dump text: golden lines, the text column's byte classes and the range
// loop over real streams.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "dump.h"
#include "temp_dir.h"

namespace {

const std::string HEADER =
    "  address \t+0 +1 +2 +3 +4 +5 +6 +7 +8 +9 +A +B +C +D +E +F\t0123456789ABCDEF\r\n";

std::string Line(const std::string& bytes, uint32_t address)
{
    char buffer[DUMP_LINE_MAX];
    size_t length = WriteDumpLine(buffer, reinterpret_cast<const unsigned char*>(bytes.data()),
                                  bytes.size(), address);
    return std::string(buffer, length);
}

// The text column of a line holding just these bytes.
std::string TextOf(const std::string& bytes)
{
    std::string line = Line(bytes, 0);
    return line.substr(59, line.size() - 61);
}

// Dumps input through real files, the way the job does.
std::string Dump(const std::string& input, uint32_t start, uint32_t end)
{
    TempDir dir;
    WriteFile(dir.File("in"), input);
    FILE* in = fopen(dir.File("in").c_str(), "rb");
    FILE* out = fopen(dir.File("out").c_str(), "wb");
    EXPECT_TRUE(in && out);
    DumpResult result = WriteDump(out, in, start, end);
    EXPECT_EQ(result.error, DUMP_OK);
    fclose(out);
    fclose(in);
    return ReadFile(dir.File("out"));
}

const std::string EXAMPLE("Hello\x00\x0A\x93\xFA\x96\x7B\xB1\x81\x7F\x20\x88" "ABC\x00", 20);

// The worked example: 20 bytes from start 5 give three lines, 219 bytes.
TEST(WriteDumpTest, WorkedExample)
{
    const std::string expected =
        HEADER +
        "0x00000000\t48 65 6C 6C 6F 00 0A 93 FA 96 7B B1 81 7F 20 88\tHello..\x93\xFA\x96\x7B\xB1.. .\r\n"
        "0x00000010\t41 42 43 00" + std::string(36, ' ') + "\tABC.\r\n";
    std::string dump = Dump(EXAMPLE, 5, 0x7FFF);
    EXPECT_EQ(dump, expected);
    EXPECT_EQ(dump.size(), 219u);
}

// Which lines the range loop writes for a 20-byte input.
TEST(WriteDumpTest, WritesTheLinesBelowEnd)
{
    const std::string line0 = Line(EXAMPLE.substr(0, 16), 0);
    const std::string line1 = Line(EXAMPLE.substr(16), 0x10);
    struct Case {
        uint32_t start;
        uint32_t end;
        std::string lines;
    } cases[] = {
        {0, 0x7FFF, line0 + line1},
        {0, 0, ""},
        {0, 1, line0},
        {0, 0x10, line0},
        {0, 0x11, line0 + line1},
        {0x10, 0x10, ""},
        {0x13, 0x11, line1},  // the rounded-down start is below end
        {20, 0x7FFF, line1},  // past the end, but in the last block
        {31, 0x7FFF, line1},
        {32, 0x7FFF, ""},
        {0x7FFFFFFF, 0xFFFFFFFF, ""},
        {0xFFFFFFFF, 0xFFFFFFFF, ""},
        {0, 0xFFFFFFFF, line0 + line1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "start " << c.start << " end " << c.end);
        EXPECT_EQ(Dump(EXAMPLE, c.start, c.end), HEADER + c.lines);
    }
}

TEST(WriteDumpTest, EmptyInputGivesTheHeaderOnly)
{
    EXPECT_EQ(Dump("", 0, 0x7FFF), HEADER);
}

// Lines of every length: 61 + n bytes, TABs at the 11th and 59th character,
// CR LF only at the end; addresses run on across read blocks.
TEST(WriteDumpTest, LinesHaveTheirFixedShape)
{
    std::string input;
    for (int i = 0; i < 100000; ++i)
        input += static_cast<char>(i * 7 + i / 256);
    std::string dump = Dump(input, 0x25, 0xFFFFFFFF);

    size_t pos = 0;
    uint32_t expectedAddress = 0x20;
    bool header = true;
    while (pos < dump.size()) {
        size_t crlf = dump.find("\r\n", pos);
        ASSERT_NE(crlf, std::string::npos);
        std::string line = dump.substr(pos, crlf - pos);
        ASSERT_EQ(line[10], '\t');
        ASSERT_EQ(line[58], '\t');
        ASSERT_EQ(line.find_first_of("\t\r\n", 59), std::string::npos);
        if (!header) {
            size_t count = input.size() - expectedAddress < 16 ? input.size() - expectedAddress : 16;
            ASSERT_EQ(line.size() + 2, 61 + count);
            char address[16];
            snprintf(address, sizeof address, "0x%08X", expectedAddress);
            ASSERT_EQ(line.substr(0, 10), address);
            expectedAddress += 16;
        }
        header = false;
        pos = crlf + 2;
    }
    EXPECT_GE(expectedAddress, input.size());
}

// Hex column: upper case, one space apart, padded to 47 before the TAB.
TEST(WriteDumpLineTest, PadsShortLines)
{
    EXPECT_EQ(Line(std::string(16, '\xAB'), 0x12345670),
              "0x12345670\tAB AB AB AB AB AB AB AB AB AB AB AB AB AB AB AB\t" + std::string(16, '\xAB') + "\r\n");
    EXPECT_EQ(Line("\x0F", 0xFFFFFFF0),
              "0xFFFFFFF0\t0F" + std::string(45, ' ') + "\t.\r\n");
    for (size_t n = 1; n <= 16; ++n) {
        SCOPED_TRACE(n);
        std::string line = Line(std::string(n, 'a'), 0);
        EXPECT_EQ(line.size(), 61 + n);
        EXPECT_EQ(line.find('\t', 11), 58u);
    }
}

// Every byte alone: printable ASCII and half-width katakana as themselves,
// a lead byte cut by the line end and everything else as a dot.
TEST(WriteTextColumnTest, ShowsSingleBytesByClass)
{
    for (int b = 0; b < 256; ++b) {
        SCOPED_TRACE(b);
        bool shown = (b >= 0x20 && b <= 0x7E) || (b >= 0xA1 && b <= 0xDF);
        EXPECT_EQ(TextOf(std::string(1, static_cast<char>(b))), shown ? std::string(1, static_cast<char>(b)) : ".");
    }
}

// Every lead byte with every second byte: the pair as it is when the second
// byte is 40-FC but not 7F, otherwise two dots.
TEST(WriteTextColumnTest, ShowsValidPairsWhole)
{
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        if (lead > 0x9F && lead < 0xE0)
            continue;
        for (int second = 0; second < 256; ++second) {
            std::string pair{static_cast<char>(lead), static_cast<char>(second)};
            bool valid = second >= 0x40 && second <= 0xFC && second != 0x7F;
            ASSERT_EQ(TextOf(pair), valid ? pair : "..") << std::hex << lead << " " << second;
        }
    }
}

// The two-state walk over mixed text, including pairs cut by the line end.
TEST(WriteTextColumnTest, WalksPairsFromTheLineStart)
{
    struct Case {
        std::string bytes;
        std::string text;
    } cases[] = {
        {"\x81\x20" "1", "..1"},                  // a space after a lead byte is not shown
        {"\x81\x81\x81", "\x81\x81."},           // a lead byte pairs with a lead byte
        {"\x81\xB1", "\x81\xB1"},                // and with half-width katakana
        {"\x81\x80\x80", "\x81\x80."},           // 80 is shown only as a second byte
        {"\x81\xA0\xA0", "\x81\xA0."},
        {"\x88\x40\x88\xFC\x88\x3F\x88\xFD", "\x88\x40\x88\xFC...."},
        {"\x7F\x81\x7F", "..."},
        {std::string("a\x00\x81", 3), "a.."},  // a lead byte at the end
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        EXPECT_EQ(TextOf(c.bytes), c.text);
    }
}

// A pair split by the line boundary: '.' at the end of one line, the second
// byte judged alone at the start of the next.
TEST(WriteDumpTest, PairCutByTheLineEnd)
{
    std::string input = std::string(15, 'a') + "\x93\x41";
    std::string dump = Dump(input, 0, 0x7FFF);
    EXPECT_NE(dump.find("\taaaaaaaaaaaaaaa.\r\n"), std::string::npos);
    EXPECT_NE(dump.find("\tA\r\n"), std::string::npos);
}

} // namespace
