// The progress line of vellumet-dump: its text, the bytes of a range, and
// when it is drawn, with the times given rather than read from a clock.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "progress.h"

namespace {

const uint64_t MIB = 1024 * 1024;

// The line's text for bytes done, the range's size and the seconds since
// the start; sizes in B, KiB, MiB or GiB, the rate as an average.
TEST(FormatProgressTest, SaysDoneTotalPercentAndRate)
{
    struct Case {
        uint64_t done;
        uint64_t total;
        double seconds;
        const char* text;
    } cases[] = {
        {0, 0, 0.0, "vellumet-dump: 0 B, 0 B/s"},
        {512, 1024, 1.0, "vellumet-dump: 512 B of 1.0 KiB (50%), 512 B/s"},
        {12 * MIB, 256 * MIB, 2.0, "vellumet-dump: 12.0 MiB of 256.0 MiB (4%), 6.0 MiB/s"},
        {256 * MIB - 1, 256 * MIB, 1.0, "vellumet-dump: 256.0 MiB of 256.0 MiB (99%), 256.0 MiB/s"},
        {256 * MIB, 256 * MIB, 0.5, "vellumet-dump: 256.0 MiB of 256.0 MiB (100%), 512.0 MiB/s"},
        {300 * MIB, 256 * MIB, 1.0, "vellumet-dump: 300.0 MiB of 256.0 MiB (100%), 300.0 MiB/s"},  // the file grew
        {3072 * MIB, 0, 2.0, "vellumet-dump: 3.00 GiB, 1.50 GiB/s"},  // total not known: a pipe
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        char text[128];
        size_t length = FormatProgress(text, sizeof text, c.done, c.total, c.seconds);
        EXPECT_EQ(std::string(text, length), c.text);
    }
}

// A buffer too small gets the start of the text, terminated.
TEST(FormatProgressTest, CutsToTheBuffer)
{
    char text[10];
    size_t length = FormatProgress(text, sizeof text, MIB, 2 * MIB, 1.0);
    EXPECT_EQ(length, 9u);
    EXPECT_STREQ(text, "vellumet-");
}

// The bytes a dump reads: from the start rounded down to 16 to the end of
// the last line below end, or to the end of the input.
TEST(DumpRangeBytesTest, CountsTheLinesOfTheRange)
{
    struct Case {
        uint64_t size;
        uint32_t start;
        uint32_t end;
        uint64_t bytes;
    } cases[] = {
        {20, 5, 0x7FFF, 20},
        {20, 20, 0x7FFF, 4},  // the block that holds the last byte
        {20, 32, 0x7FFF, 0},
        {20, 0, 0, 0},
        {20, 0, 0x11, 20},
        {0x10000, 0, 0x11, 0x20},
        {100000, 0x25, 0xFFFFFFFF, 100000 - 0x20},
        {0, 0, 0xFFFFFFFF, 0},
        {uint64_t(1) << 40, 0, 0xFFFFFFFF, uint64_t(1) << 32},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "size " << c.size << " start " << c.start << " end " << c.end);
        EXPECT_EQ(DumpRangeBytes(c.size, c.start, c.end), c.bytes);
    }
}

// What the terminal receives from a series of updates at given times.
std::string Drawn(const std::vector<std::pair<uint64_t, double>>& updates, double endAt)
{
    FILE* terminal = tmpfile();
    EXPECT_TRUE(terminal);
    ProgressLine line;
    BeginProgressLine(&line, terminal, 100 * MIB, 10.0);
    for (const auto& update : updates)
        UpdateProgressLine(&line, update.first, update.second);
    EndProgressLine(&line, endAt);
    std::string text(4096, '\0');
    rewind(terminal);
    text.resize(fread(&text[0], 1, text.size(), terminal));
    fclose(terminal);
    return text;
}

// Nothing during the first second, so a short dump shows nothing at all.
TEST(ProgressLineTest, ShortDumpShowsNothing)
{
    EXPECT_EQ(Drawn({{10 * MIB, 10.2}, {50 * MIB, 10.6}, {100 * MIB, 10.9}}, 10.95), "");
}

// After a second the line is drawn, then at most every quarter second, each
// time over the last with a carriage return; the end draws it once more and
// ends it with a line feed.
TEST(ProgressLineTest, LongDumpRedrawsOneLine)
{
    std::string drawn = Drawn({{10 * MIB, 10.5}, {20 * MIB, 11.0}, {25 * MIB, 11.1}, {40 * MIB, 11.25}}, 12.0);
    EXPECT_EQ(drawn,
              "\rvellumet-dump: 20.0 MiB of 100.0 MiB (20%), 20.0 MiB/s"
              "\rvellumet-dump: 40.0 MiB of 100.0 MiB (40%), 32.0 MiB/s"
              "\rvellumet-dump: 40.0 MiB of 100.0 MiB (40%), 20.0 MiB/s\n");
}

// A shorter text than the one before is padded with spaces over its tail.
TEST(ProgressLineTest, PadsOverALongerLine)
{
    std::string drawn = Drawn({{100 * MIB, 11.0}, {100 * MIB, 110.0}}, 110.0);
    EXPECT_EQ(drawn,
              "\rvellumet-dump: 100.0 MiB of 100.0 MiB (100%), 100.0 MiB/s"
              "\rvellumet-dump: 100.0 MiB of 100.0 MiB (100%), 1.0 MiB/s  "
              "\rvellumet-dump: 100.0 MiB of 100.0 MiB (100%), 1.0 MiB/s\n");
}

} // namespace
