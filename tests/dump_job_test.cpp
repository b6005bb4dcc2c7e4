// The dump job: the request defaults, the same-file refusal under every
// spelling, and failures that must not pass as success.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "dump.h"
#include "temp_dir.h"

namespace fs = std::filesystem;

namespace {

const std::string INPUT_BYTES("Hello\x00\x0A\x93\xFA\x96\x7B\xB1\x81\x7F\x20\x88" "ABC\x00", 20);

DIALOGPARAM Request(const std::string& input, const std::string& output)
{
    DIALOGPARAM param;
    InitDialogParam(&param);
    strcpy(param.inputPath, input.c_str());
    strcpy(param.outputPath, output.c_str());
    return param;
}

// Runs the job in dir with the working directory set there, so that
// relative spellings can be tried.
class DumpJobTest : public testing::Test {
protected:
    void SetUp() override
    {
        saved_ = fs::current_path();
        fs::current_path(dir_.Path());
        WriteFile(dir_.File("in.bin"), INPUT_BYTES);
    }
    void TearDown() override { fs::current_path(saved_); }

    DumpResult Run(const std::string& input, const std::string& output)
    {
        return RunDumpJob(Request(input, output));
    }

    TempDir dir_;
    fs::path saved_;
};

TEST(DialogParamTest, NewRequestHasTheDefaults)
{
    DIALOGPARAM param;
    memset(&param, 0x55, sizeof param);
    InitDialogParam(&param);
    EXPECT_EQ(param.startAddress, 0);
    EXPECT_EQ(param.endAddress, 0x7FFFu);
    EXPECT_STREQ(param.inputPath, "");
    EXPECT_STREQ(param.outputPath, "");
}

// Only ASCII letters are folded, second bytes of pairs included.
TEST(IsSamePathNameTest, FoldsAsciiLettersOnly)
{
    struct Case {
        const char* a;
        const char* b;
        bool same;
    } cases[] = {
        {"C:\\Data\\a.bin", "c:\\data\\A.BIN", true},
        {"a", "a ", false},
        {"", "", true},
        {"\x83\x41", "\x83\x61", true},   // the second byte 41 folds to 61
        {"\xC1", "\xE1", false},          // no folding above ASCII
        {"a/b", "a\\b", false},
        {"[", "{", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.a << " vs " << c.b);
        EXPECT_EQ(IsSamePathName(c.a, c.b), c.same);
        EXPECT_EQ(IsSamePathName(c.b, c.a), c.same);
    }
}

TEST_F(DumpJobTest, WritesTheDump)
{
    WriteFile("out.txt", std::string(5000, 'x'));  // an existing output is truncated
    DumpResult result = Run("in.bin", "out.txt");
    EXPECT_EQ(result.error, DUMP_OK);
    EXPECT_EQ(ReadFile("out.txt").size(), 219u);
    EXPECT_EQ(ReadFile("in.bin"), INPUT_BYTES);
}

// The output names the input under another spelling: refused before the
// output is truncated, so the input keeps every byte.
TEST_F(DumpJobTest, RefusesTheInputUnderAnySpelling)
{
    std::string absolute = fs::absolute("in.bin").string();
    const std::string spellings[] = {
        "IN.BIN", "./in.bin", absolute, "../" + fs::path(dir_.Path()).filename().string() + "/in.bin",
#ifdef _WIN32
        ".\\in.bin",
#endif
    };
    for (const std::string& output : spellings) {
        SCOPED_TRACE(output);
        DumpResult result = Run("in.bin", output);
        EXPECT_EQ(result.error, DUMP_SAME_FILE);
        EXPECT_EQ(ReadFile("in.bin"), INPUT_BYTES);
    }
}

TEST_F(DumpJobTest, RefusesTheInputThroughLinks)
{
    std::error_code symlinkError, hardLinkError;
    fs::create_symlink("in.bin", "symlink.bin", symlinkError);
    fs::create_hard_link("in.bin", "hardlink.bin", hardLinkError);
    if (symlinkError && hardLinkError)
        GTEST_SKIP() << "this file system makes no links";
    for (const char* link : {"symlink.bin", "hardlink.bin"}) {
        if (!FileExists(link))
            continue;
        SCOPED_TRACE(link);
        EXPECT_EQ(Run("in.bin", link).error, DUMP_SAME_FILE);
        EXPECT_EQ(Run(link, "in.bin").error, DUMP_SAME_FILE);
        EXPECT_EQ(ReadFile("in.bin"), INPUT_BYTES);
    }
}

// Failures to open: reported, and no output file is created.
TEST_F(DumpJobTest, ReportsFilesThatCannotBeOpened)
{
    DumpResult missing = Run("missing.bin", "out.txt");
    EXPECT_EQ(missing.error, DUMP_INPUT_FAILED);
    EXPECT_NE(missing.sysError, 0);
    EXPECT_FALSE(FileExists("out.txt"));

    DumpResult noFolder = Run("in.bin", "no-such-folder/out.txt");
    EXPECT_EQ(noFolder.error, DUMP_OUTPUT_FAILED);
    EXPECT_NE(noFolder.sysError, 0);

    fs::create_directory("folder");
    EXPECT_EQ(Run("folder", "out.txt").error, DUMP_INPUT_FAILED);
    EXPECT_FALSE(FileExists("out.txt"));
    EXPECT_EQ(Run("in.bin", "folder").error, DUMP_OUTPUT_FAILED);
}

#ifndef _WIN32
// A full disk is a failure, not a success.
TEST_F(DumpJobTest, ReportsAFullDisk)
{
    DumpResult result = Run("in.bin", "/dev/full");
    EXPECT_EQ(result.error, DUMP_WRITE_FAILED);
    EXPECT_EQ(result.sysError, ENOSPC);
}

// Addresses are 32 bits: the dump ends after the line at 0xFFFFFFF0 even
// when the input goes on (a sparse file of 4 GiB + 32 bytes).
TEST_F(DumpJobTest, StopsAtTheEndOfTheAddressSpace)
{
    {
        FILE* f = fopen("big.bin", "wb");
        ASSERT_NE(f, nullptr);
        fclose(f);
    }
    std::error_code ec;
    fs::resize_file("big.bin", 0x100000020ull, ec);
    if (ec)
        GTEST_SKIP() << "no room for a sparse 4 GiB file: " << ec.message();
    DIALOGPARAM param = Request("big.bin", "out.txt");
    param.startAddress = static_cast<int32_t>(0xFFFFFFE5u);
    param.endAddress = 0xFFFFFFFFu;
    EXPECT_EQ(RunDumpJob(param).error, DUMP_OK);
    std::string dump = ReadFile("out.txt");
    EXPECT_EQ(dump.size(), 3 * DUMP_LINE_MAX);
    EXPECT_NE(dump.find("\r\n0xFFFFFFE0\t"), std::string::npos);
    EXPECT_NE(dump.find("\r\n0xFFFFFFF0\t"), std::string::npos);
    fs::remove("big.bin");
}
#endif

// Standard output as the sink: the same bytes as a file.
TEST_F(DumpJobTest, WritesToAnOpenStream)
{
    FILE* out = fopen("stream.txt", "wb");
    ASSERT_NE(out, nullptr);
    EXPECT_EQ(RunDumpJobToStream(Request("in.bin", ""), out).error, DUMP_OK);
    fclose(out);
    ASSERT_EQ(Run("in.bin", "file.txt").error, DUMP_OK);
    EXPECT_EQ(ReadFile("stream.txt"), ReadFile("file.txt"));

    FILE* self = fopen("in.bin", "ab");
    ASSERT_NE(self, nullptr);
    EXPECT_EQ(RunDumpJobToStream(Request("in.bin", ""), self).error, DUMP_SAME_FILE);
    fclose(self);
    EXPECT_EQ(ReadFile("in.bin"), INPUT_BYTES);
}

} // namespace
