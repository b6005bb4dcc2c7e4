// The line formatters against a byte-at-a-time model of a dump line: every
// byte pair at every place in a line, runs of lead bytes of every length
// from every place, and random lines of every length, with each formatter
// this machine can run. The formatters work on whole lines at once, so
// these look for a byte judged in the wrong context.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>

#include "dump.h"

namespace {

bool IsLead(unsigned char b)
{
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// The text column as the two-state walk over the bytes writes it.
std::string ModelText(const std::string& bytes)
{
    std::string text;
    bool inLead = false;
    unsigned char lead = 0;
    for (char c : bytes) {
        unsigned char b = static_cast<unsigned char>(c);
        if (inLead) {
            bool valid = b >= 0x40 && b <= 0xFC && b != 0x7F;
            text += valid ? std::string{static_cast<char>(lead), c} : "..";
            inLead = false;
        } else if (IsLead(b)) {
            lead = b;
            inLead = true;
        } else {
            bool shown = (b >= 0x20 && b <= 0x7E) || (b >= 0xA1 && b <= 0xDF);
            text += shown ? c : '.';
        }
    }
    if (inLead)
        text += '.';
    return text;
}

std::string ModelLine(const std::string& bytes, uint32_t address)
{
    char column[16];
    snprintf(column, sizeof column, "0x%08X\t", static_cast<unsigned>(address));
    std::string line = column;
    std::string hex;
    for (size_t i = 0; i < bytes.size(); ++i) {
        snprintf(column, sizeof column, "%s%02X", i ? " " : "", static_cast<unsigned char>(bytes[i]));
        hex += column;
    }
    return line + hex + std::string(47 - hex.size(), ' ') + "\t" + ModelText(bytes) + "\r\n";
}

// A full line with formatter; a short one as WriteDumpLine makes it, from
// the full line of the fastest formatter.
std::string Line(const std::string& bytes, uint32_t address, DumpLineFormatter formatter)
{
    char buffer[DUMP_LINE_MAX];
    const unsigned char* data = reinterpret_cast<const unsigned char*>(bytes.data());
    if (bytes.size() != DUMP_LINE_BYTES)
        return std::string(buffer, WriteDumpLine(buffer, data, bytes.size(), address));
    WriteFullDumpLines(buffer, data, 1, address, formatter);
    return std::string(buffer, DUMP_LINE_MAX);
}

class DumpLineModelTest : public testing::TestWithParam<DumpLineFormatter> {
protected:
    void SetUp() override
    {
        if (!IsDumpLineFormatterAvailable(GetParam()))
            GTEST_SKIP() << "this processor cannot run the formatter";
    }
};

INSTANTIATE_TEST_SUITE_P(Formatters, DumpLineModelTest,
                         testing::Values(DUMP_FORMATTER_PORTABLE, DUMP_FORMATTER_SSSE3),
                         [](const testing::TestParamInfo<DumpLineFormatter>& info) {
                             return info.param == DUMP_FORMATTER_PORTABLE ? "Portable" : "Ssse3";
                         });

// Every pair of bytes at every place of a full line, among plain letters:
// the text column.
TEST_P(DumpLineModelTest, EveryPairAtEveryPlace)
{
    for (size_t place = 0; place + 1 < DUMP_LINE_BYTES; ++place) {
        for (int first = 0; first < 256; ++first) {
            for (int second = 0; second < 256; ++second) {
                std::string bytes(DUMP_LINE_BYTES, 'a');
                bytes[place] = static_cast<char>(first);
                bytes[place + 1] = static_cast<char>(second);
                ASSERT_EQ(Line(bytes, 0, GetParam()).substr(59, 16), ModelText(bytes))
                    << "place " << place << std::hex << " bytes " << first << " " << second;
            }
        }
    }
}

// A run of lead bytes pairs them off from its first byte, whatever its
// length and place; an odd run takes the byte after it as a second byte.
TEST_P(DumpLineModelTest, RunsOfLeadBytes)
{
    const char after[] = {'A', ' ', '\x7F', '\x40', '\xB1', '\xFD'};
    for (size_t from = 0; from < DUMP_LINE_BYTES; ++from) {
        for (size_t length = 1; from + length <= DUMP_LINE_BYTES; ++length) {
            for (char next : after) {
                for (size_t count = from + length; count <= DUMP_LINE_BYTES; ++count) {
                    std::string bytes(count, next);
                    for (size_t i = 0; i < from; ++i)
                        bytes[i] = static_cast<char>('0' + i % 10);
                    for (size_t i = from; i < from + length; ++i)
                        bytes[i] = i % 2 ? '\x81' : '\xE0';
                    ASSERT_EQ(Line(bytes, 0, GetParam()), ModelLine(bytes, 0))
                        << "run of " << length << " from " << from << ", " << count << " bytes";
                }
            }
        }
    }
}

// Random lines, from bytes that stand for each class so that lead bytes
// meet every kind of neighbour often: blocks of full lines formatted at
// once, and short lines of every length.
TEST_P(DumpLineModelTest, RandomLines)
{
    const unsigned char kinds[] = {0x00, 0x09, 0x0A, 0x0D, 0x1F, 0x20, 0x3F, 0x40, 0x41, 0x7E, 0x7F,
                                   0x80, 0x81, 0x9F, 0xA0, 0xA1, 0xDF, 0xE0, 0xFC, 0xFD, 0xFF};
    const size_t LINES = 64;
    std::mt19937 random(20240611);
    for (int round = 0; round < 1500; ++round) {
        std::string bytes(LINES * DUMP_LINE_BYTES, '\0');
        for (char& b : bytes)
            b = static_cast<char>(round % 3 ? kinds[random() % sizeof kinds] : random() & 0xFF);
        uint32_t address = static_cast<uint32_t>(random()) & ~uint32_t(15);
        std::string block(LINES * DUMP_LINE_MAX, '\0');
        WriteFullDumpLines(&block[0], reinterpret_cast<const unsigned char*>(bytes.data()), LINES, address,
                           GetParam());
        std::string expected;
        for (size_t i = 0; i < LINES; ++i)
            expected += ModelLine(bytes.substr(i * DUMP_LINE_BYTES, DUMP_LINE_BYTES),
                                  address + static_cast<uint32_t>(i * DUMP_LINE_BYTES));
        ASSERT_EQ(block, expected) << "round " << round;

        size_t count = round % DUMP_LINE_BYTES;
        ASSERT_EQ(Line(bytes.substr(0, count), address, GetParam()), ModelLine(bytes.substr(0, count), address))
            << "round " << round;
    }
}

// A dump long enough to take several read blocks and several writes, with
// lines split across the writes: the header and exactly the model's lines.
TEST(WriteDumpTest, LongDumpIsTheHeaderAndTheLines)
{
    std::mt19937 random(7);
    std::string input(700 * 1024 + 37, '\0');
    for (char& b : input)
        b = static_cast<char>(random() % 5 ? random() & 0xFF : 0x81);
    FILE* in = tmpfile();
    FILE* out = tmpfile();
    ASSERT_TRUE(in && out);
    fwrite(input.data(), 1, input.size(), in);
    rewind(in);
    DumpResult result = WriteDump(out, in, 0x25, 0xFFFFFFFF);
    EXPECT_EQ(result.error, DUMP_OK);

    std::string expected = "  address \t+0 +1 +2 +3 +4 +5 +6 +7 +8 +9 +A +B +C +D +E +F\t0123456789ABCDEF\r\n";
    for (size_t at = 0x20; at < input.size(); at += DUMP_LINE_BYTES)
        expected += ModelLine(input.substr(at, DUMP_LINE_BYTES), static_cast<uint32_t>(at));
    std::string dump(expected.size() + 1, '\0');
    rewind(out);
    dump.resize(fread(&dump[0], 1, dump.size(), out));
    EXPECT_TRUE(dump == expected) << "dump of " << dump.size() << " bytes, expected " << expected.size();
    fclose(out);
    fclose(in);
}

// A line of more than 16 bytes is cut to its first 16.
TEST(WriteDumpLineTest, LongerCountIsOneFullLine)
{
    std::string bytes = "0123456789ABCDEF\x81\x40";
    char buffer[DUMP_LINE_MAX + 8];
    size_t length = WriteDumpLine(buffer, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), 0);
    EXPECT_EQ(std::string(buffer, length), ModelLine(bytes.substr(0, 16), 0));
}

} // namespace
