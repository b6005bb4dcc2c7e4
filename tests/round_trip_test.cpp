// The round trip: dumps of random inputs and ranges, read back by a strict
// reader, give exactly the input's bytes from the rounded-down start to the
// last line below the end.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <string>

#include "dump.h"
#include "dump_reader.h"
#include "temp_dir.h"

namespace {

struct Range {
    uint32_t start;
    uint32_t end;
};

// The bytes a dump of input over range must hold, and where they begin.
std::string ExpectedBytes(const std::string& input, Range range, uint32_t* first)
{
    uint64_t from = range.start & ~uint32_t(15);
    uint64_t to = (uint64_t(range.end) + 15) & ~uint64_t(15);  // whole lines below end
    if (to > input.size())
        to = input.size();
    *first = static_cast<uint32_t>(from);
    return from < to ? input.substr(from, to - from) : std::string();
}

std::string RandomBytes(std::mt19937& random, size_t size)
{
    std::string bytes(size, '\0');
    for (char& b : bytes)
        b = static_cast<char>(random() & 0xFF);
    return bytes;
}

// Sizes around line boundaries, and ranges around the input's ends and the
// address space's ends.
size_t RandomSize(std::mt19937& random)
{
    switch (random() % 3) {
    case 0: return random() % 40;
    case 1: return 16 * (random() % 8) + 15 + random() % 3;
    default: return random() % 5000;
    }
}

uint32_t RandomAddress(std::mt19937& random, size_t size)
{
    const uint32_t special[] = {0, 1, 15, 16, 17, 0x7FFF, 0x7FFFFFFF, 0x80000000, 0xFFFFFFF0, 0xFFFFFFFF};
    if (random() % 4 == 0)
        return special[random() % (sizeof special / sizeof special[0])];
    return static_cast<uint32_t>(random() % (size + 40));
}

testing::AssertionResult RoundTrips(const std::string& text, const std::string& input, Range range)
{
    ParsedDump dump;
    std::string error;
    if (!ParseDumpText(text, &dump, &error))
        return testing::AssertionFailure() << error;
    uint32_t first;
    std::string expected = ExpectedBytes(input, range, &first);
    if (dump.bytes != expected)
        return testing::AssertionFailure() << "holds " << dump.bytes.size() << " bytes, expected "
                                           << expected.size();
    if (!expected.empty() && dump.firstAddress != first)
        return testing::AssertionFailure() << "begins at " << dump.firstAddress << ", expected " << first;
    return testing::AssertionSuccess();
}

// WriteDump on streams over random inputs and ranges.
TEST(RoundTripTest, StreamsGiveBackTheirBytes)
{
    TempDir dir;
    const std::string inPath = dir.File("in.bin");
    const std::string outPath = dir.File("out.txt");
    std::mt19937 random(20240605);
    for (int i = 0; i < 400; ++i) {
        std::string input = RandomBytes(random, RandomSize(random));
        Range range = {RandomAddress(random, input.size()), RandomAddress(random, input.size())};
        SCOPED_TRACE(testing::Message() << "case " << i << ": " << input.size() << " bytes, start "
                                        << range.start << ", end " << range.end);
        WriteFile(inPath, input);
        FILE* in = fopen(inPath.c_str(), "rb");
        FILE* out = fopen(outPath.c_str(), "wb");
        ASSERT_TRUE(in && out);
        DumpResult result = WriteDump(out, in, range.start, range.end);
        fclose(out);
        fclose(in);
        EXPECT_EQ(result.error, DUMP_OK);
        ASSERT_TRUE(RoundTrips(ReadFile(outPath), input, range));
    }
}

// The whole job, files opened by name, over larger inputs that take more
// than one read.
TEST(RoundTripTest, DumpJobGivesBackItsBytes)
{
    TempDir dir;
    std::mt19937 random(7);
    for (int i = 0; i < 12; ++i) {
        std::string input = RandomBytes(random, random() % 200000);
        Range range = {RandomAddress(random, input.size()),
                       i % 2 ? 0xFFFFFFFF : RandomAddress(random, input.size())};
        SCOPED_TRACE(testing::Message() << "case " << i << ": " << input.size() << " bytes, start "
                                        << range.start << ", end " << range.end);
        DIALOGPARAM param;
        InitDialogParam(&param);
        param.startAddress = static_cast<int32_t>(range.start);
        param.endAddress = range.end;
        snprintf(param.inputPath, sizeof param.inputPath, "%s", dir.File("in.bin").c_str());
        snprintf(param.outputPath, sizeof param.outputPath, "%s", dir.File("out.txt").c_str());
        WriteFile(param.inputPath, input);
        DumpResult result = RunDumpJob(param);
        EXPECT_EQ(result.error, DUMP_OK);
        ASSERT_TRUE(RoundTrips(ReadFile(param.outputPath), input, range));
    }
}

// The reader itself refuses dumps that are out of shape, so that a passing
// round trip means something.
TEST(DumpReaderTest, RefusesMalformedDumps)
{
    const std::string header =
        "  address \t+0 +1 +2 +3 +4 +5 +6 +7 +8 +9 +A +B +C +D +E +F\t0123456789ABCDEF\r\n";
    const std::string full = "0x00000000\t41 42 43 44 45 46 47 48 49 4A 4B 4C 4D 4E 4F 50\tABCDEFGHIJKLMNOP\r\n";
    const std::string shortLine = "0x00000010\t41 42" + std::string(42, ' ') + "\tAB\r\n";
    ParsedDump dump;
    std::string error;
    ASSERT_TRUE(ParseDumpText(header + full + shortLine, &dump, &error)) << error;
    EXPECT_EQ(dump.bytes, "ABCDEFGHIJKLMNOPAB");

    struct Case {
        const char* name;
        std::string text;
    } cases[] = {
        {"no header", full},
        {"LF only", header + full.substr(0, full.size() - 2) + "\n"},
        {"lower-case hex", header + "0x00000000\t41 42 43 44 45 46 47 48 49 4a 4B 4C 4D 4E 4F 50\tABCDEFGHIJKLMNOP\r\n"},
        {"gap in addresses", header + full + "0x00000020\t41 42" + std::string(42, ' ') + "\tAB\r\n"},
        {"line after a short line", header + shortLine + full},
        {"text longer than the bytes", header + "0x00000010\t41 42" + std::string(42, ' ') + "\tABC\r\n"},
        {"TAB in the text", header + "0x00000010\t41 09" + std::string(42, ' ') + "\tA\t\r\n"},
        {"padding short", header + "0x00000010\t41 42" + std::string(41, ' ') + "\tAB\r\n"},
        {"missing last CR LF", header + full.substr(0, full.size() - 2)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(ParseDumpText(c.text, &dump, &error));
    }
}

} // namespace
