// vellumet-dump's option parsing: numbers, defaults and usage errors.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "options.h"

namespace {

OptionsOutcome Parse(const std::vector<std::string>& args, DumpOptions* options, std::string* error = nullptr)
{
    // The options point into the arguments, so these outlive the call.
    static std::vector<std::string> kept;
    kept = args;
    kept.insert(kept.begin(), "vellumet-dump");
    std::vector<char*> argv;
    for (std::string& a : kept)
        argv.push_back(&a[0]);
    argv.push_back(nullptr);
    char message[256] = "";
    OptionsOutcome outcome = ParseDumpOptions(static_cast<int>(kept.size()), argv.data(), options,
                                              message, sizeof message);
    if (error)
        *error = message;
    return outcome;
}

TEST(ParseAddressTest, AcceptsDecimalAndHexIn32Bits)
{
    struct Case {
        const char* text;
        bool ok;
        uint32_t value;
    } cases[] = {
        {"0", true, 0},
        {"32767", true, 32767},
        {"0x7fff", true, 0x7FFF},
        {"0XFFFFFFFF", true, 0xFFFFFFFF},
        {"4294967295", true, 0xFFFFFFFF},
        {"4294967296", false, 0},
        {"0x100000000", false, 0},
        {"", false, 0},
        {"0x", false, 0},
        {"-1", false, 0},
        {"+1", false, 0},
        {"12a", false, 0},
        {"ff", false, 0},
        {" 1", false, 0},
        {"99999999999999999999999", false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        uint32_t value = 0;
        EXPECT_EQ(ParseAddress(c.text, &value), c.ok);
        if (c.ok) {
            EXPECT_EQ(value, c.value);
        }
    }
}

TEST(ParseDumpOptionsTest, DefaultsToTheWholeFileOnStandardOutput)
{
    DumpOptions options;
    ASSERT_EQ(Parse({"in.bin"}, &options), OPTIONS_RUN);
    EXPECT_EQ(options.startAddress, 0u);
    EXPECT_EQ(options.endAddress, 0xFFFFFFFFu);
    EXPECT_STREQ(options.inputPath, "in.bin");
    EXPECT_EQ(options.outputPath, nullptr);
}

TEST(ParseDumpOptionsTest, ReadsOptionsInEitherForm)
{
    DumpOptions options;
    ASSERT_EQ(Parse({"--start", "0x10", "in", "--end=100", "out"}, &options), OPTIONS_RUN);
    EXPECT_EQ(options.startAddress, 0x10u);
    EXPECT_EQ(options.endAddress, 100u);
    EXPECT_STREQ(options.outputPath, "out");

    ASSERT_EQ(Parse({"--", "--start", "-"}, &options), OPTIONS_RUN);
    EXPECT_STREQ(options.inputPath, "--start");
    EXPECT_STREQ(options.outputPath, "-");

    EXPECT_EQ(Parse({"--help", "in"}, &options), OPTIONS_HELP);
    EXPECT_EQ(Parse({"--version"}, &options), OPTIONS_VERSION);
}

TEST(ParseDumpOptionsTest, RefusesBadUsage)
{
    struct Case {
        std::vector<std::string> args;
        const char* error;
    } cases[] = {
        {{}, "missing INPUT"},
        {{"--start", "5"}, "missing INPUT"},
        {{"--start"}, "--start needs a number"},
        {{"in", "--end", "0x1FFFFFFFF"}, "--end: '0x1FFFFFFFF' is not a number from 0 to 0xFFFFFFFF"},
        {{"--start=x", "in"}, "--start: 'x' is not a number from 0 to 0xFFFFFFFF"},
        {{"--frobnicate", "in"}, "unknown option '--frobnicate'"},
        {{"--startx=1", "in"}, "unknown option '--startx=1'"},
        {{"a", "b", "c"}, "unexpected argument 'c'"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.error);
        DumpOptions options;
        std::string error;
        EXPECT_EQ(Parse(c.args, &options, &error), OPTIONS_BAD);
        EXPECT_EQ(error, c.error);
    }
}

} // namespace
