// Faults the dump job meets on real files: paths that name the input again,
// files it cannot open, read or write, an input that changes while it is
// read, and awkward names. In every case the input's bytes stay as they
// were and nothing is left behind where nothing was to be written.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "dump.h"
#include "dump_reader.h"
#include "fault_support.h"
#include "temp_dir.h"

namespace fs = std::filesystem;

namespace {

DIALOGPARAM Request(const std::string& input, const std::string& output, uint32_t end = 0xFFFFFFFF)
{
    DIALOGPARAM param;
    InitDialogParam(&param);
    snprintf(param.inputPath, sizeof param.inputPath, "%s", input.c_str());
    snprintf(param.outputPath, sizeof param.outputPath, "%s", output.c_str());
    param.endAddress = end;
    return param;
}

// The bytes a dump file holds, or a failure naming what is out of shape.
testing::AssertionResult DumpHolds(const std::string& dumpPath, const std::string& expected)
{
    ParsedDump dump;
    std::string error;
    if (!ParseDumpText(ReadFile(dumpPath), &dump, &error))
        return testing::AssertionFailure() << dumpPath << ": " << error;
    if (dump.firstAddress != 0 || dump.bytes != expected)
        return testing::AssertionFailure() << dumpPath << " holds " << dump.bytes.size()
                                           << " bytes from " << dump.firstAddress << ", expected "
                                           << expected.size() << " from 0";
    return testing::AssertionSuccess();
}

// A folder with an input file; the tests run with their working directory
// there, so that relative spellings can be tried.
class DumpFaultTest : public testing::Test {
protected:
    void SetUp() override
    {
        saved_ = fs::current_path();
        fs::current_path(dir_.Path());
        chmod(dir_.Path().c_str(), 0755);
        WriteFile(In(), INPUT);
        inputHash_ = HashFile(In());
    }
    void TearDown() override
    {
        fs::current_path(saved_);
        EXPECT_EQ(HashFile(In()), inputHash_) << "the input was changed";
    }

    std::string In() const { return dir_.File("in.bin"); }

    const std::string INPUT = PatternBytes(1000);
    TempDir dir_;
    fs::path saved_;
    uint64_t inputHash_ = 0;
};

// Every other name of the input is refused before the output is opened for
// writing, so the input keeps its bytes and no file appears.
TEST_F(DumpFaultTest, RefusesTheInputUnderOtherNames)
{
    fs::create_directory(dir_.File("sub"));
    fs::create_symlink("in.bin", dir_.File("soft"));
    fs::create_hard_link(In(), dir_.File("hard"));
    fs::create_directory_symlink(dir_.Path(), dir_.File("folder-link"));
    std::string folderName = fs::path(dir_.Path()).filename().string();
    const std::vector<std::string> before = ListFolder(dir_.Path());

    struct Case {
        std::string input;
        std::string output;
    } cases[] = {
        {In(), "in.bin"},
        {"in.bin", "./in.bin"},
        {In(), "sub/../in.bin"},
        {In(), "../" + folderName + "/in.bin"},
        {In(), dir_.Path() + "//./in.bin"},
        {In(), "soft"},
        {"soft", In()},
        {In(), "hard"},
        {"hard", "./soft"},
        {In(), dir_.File("folder-link/in.bin")},
        {"in.bin", "IN.BIN"},  // refused by name alone, before anything is opened
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input + " -> " + c.output);
        DumpResult result = RunDumpJob(Request(c.input, c.output));
        EXPECT_EQ(result.error, DUMP_SAME_FILE);
        EXPECT_EQ(HashFile(In()), inputHash_);
        EXPECT_EQ(ListFolder(dir_.Path()), before);
    }
}

// Files that cannot be opened, read or written: the error and its errno,
// and a file left behind only where the dump had begun.
TEST_F(DumpFaultTest, ReportsFilesItCannotUse)
{
    fs::create_directory(dir_.File("folder"));
    struct Case {
        const char* name;
        std::string input;
        std::string output;
        DumpError error;
        int sysError;
        const char* leftBehind;  // the file that may remain, or null
    } cases[] = {
        {"missing input", dir_.File("missing"), dir_.File("out.txt"), DUMP_INPUT_FAILED, ENOENT, nullptr},
        {"input is a folder", dir_.File("folder"), dir_.File("out.txt"), DUMP_INPUT_FAILED, EISDIR, nullptr},
        {"input under a file", dir_.File("in.bin/x"), dir_.File("out.txt"), DUMP_INPUT_FAILED, ENOTDIR, nullptr},
        {"output is a folder", In(), dir_.File("folder"), DUMP_OUTPUT_FAILED, EISDIR, nullptr},
        {"output in a missing folder", In(), dir_.File("none/out.txt"), DUMP_OUTPUT_FAILED, ENOENT, nullptr},
        {"output under a file", In(), dir_.File("in.bin/out.txt"), DUMP_OUTPUT_FAILED, ENOTDIR, nullptr},
        {"output to a full device", In(), "/dev/full", DUMP_WRITE_FAILED, ENOSPC, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<std::string> before = ListFolder(dir_.Path());
        DumpResult result = RunDumpJob(Request(c.input, c.output));
        EXPECT_EQ(result.error, c.error);
        EXPECT_EQ(result.sysError, c.sysError) << strerror(result.sysError);
        EXPECT_EQ(ListFolder(dir_.Path()), before);
        EXPECT_EQ(HashFile(In()), inputHash_);
    }
}

// An input that fails on reading (not on opening) is reported as a read
// failure, not as a finished dump.
TEST_F(DumpFaultTest, ReportsAReadFailure)
{
    // Offset 0 of a process's memory file is never mapped: opening works,
    // reading fails with EIO.
    const char* unreadable = "/proc/self/mem";
    if (access(unreadable, R_OK) != 0)
        GTEST_SKIP() << unreadable << " is not available here";
    DumpResult result = RunDumpJob(Request(unreadable, dir_.File("out.txt")));
    EXPECT_EQ(result.error, DUMP_READ_FAILED);
    EXPECT_EQ(result.sysError, EIO);
    EXPECT_TRUE(DumpHolds(dir_.File("out.txt"), ""));
}

// Permissions bind the user the job runs as: an input it may not read and
// a folder or file it may not write are reported, and nothing is created.
TEST_F(DumpFaultTest, ReportsWhatPermissionsForbid)
{
    if (!PermissionsBind())
        GTEST_SKIP() << "permissions do not bind any user this test can run as";
    MakeForbiddenFiles(dir_);

    struct Case {
        const char* name;
        std::string input;
        std::string output;
        DumpError error;
    } cases[] = {
        {"unreadable input", dir_.File("secret.bin"), dir_.File("out.txt"), DUMP_INPUT_FAILED},
        {"output in a locked folder", In(), dir_.File("locked/out.txt"), DUMP_OUTPUT_FAILED},
        {"read-only output", In(), dir_.File("kept.txt"), DUMP_OUTPUT_FAILED},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<std::string> before = ListFolder(dir_.Path());
        DIALOGPARAM param = Request(c.input, c.output);
        int outcome = RunInChild([&] {
            DumpResult result = RunDumpJob(param);
            return result.error == c.error && result.sysError == EACCES ? 0 : 1 + result.error;
        }, true);
        EXPECT_EQ(outcome, 0) << "1 + the DumpError, when it differs";
        EXPECT_EQ(ListFolder(dir_.Path()), before);
        EXPECT_TRUE(ListFolder(dir_.File("locked")).empty());
        EXPECT_EQ(ReadFile(dir_.File("kept.txt")), "kept");
    }
}

// An output that is a dangling symbolic link is written through the link,
// as any program writing a file does, rather than refused as existing.
TEST_F(DumpFaultTest, WritesThroughADanglingLink)
{
    fs::create_symlink("target.txt", dir_.File("link.txt"));
    DumpResult result = RunDumpJob(Request(In(), dir_.File("link.txt")));
    EXPECT_EQ(result.error, DUMP_OK) << strerror(result.sysError);
    EXPECT_TRUE(DumpHolds(dir_.File("target.txt"), INPUT));
}

// Names with spaces and bytes above ASCII, as Shift_JIS and as UTF-8, are
// passed through as they are; an end of 0xFFFFFFFF on a small file dumps it
// whole.
TEST_F(DumpFaultTest, HandlesAwkwardNames)
{
    const char* names[] = {
        "a b c.bin",
        " leading and trailing ",
        "\x93\xFA\x96\x7B\x8C\xEA.bin",   // Shift_JIS
        "\x83\x5C\x83\x7C.bin",           // second bytes 5C and 7C
        "\xE6\x97\xA5\xE6\x9C\xAC.bin",   // UTF-8
        "\xFF\x80\x01.bin",
    };
    for (const char* name : names) {
        SCOPED_TRACE(name);
        std::string input = dir_.File(std::string("in ") + name);
        std::string output = dir_.File(std::string("out ") + name);
        WriteFile(input, INPUT);
        DumpResult result = RunDumpJob(Request(input, output));
        EXPECT_EQ(result.error, DUMP_OK) << strerror(result.sysError);
        EXPECT_TRUE(DumpHolds(output, INPUT));
        EXPECT_EQ(ReadFile(input), INPUT);
        // The same name on both sides is still refused.
        EXPECT_EQ(RunDumpJob(Request(input, input)).error, DUMP_SAME_FILE);
        EXPECT_EQ(ReadFile(input), INPUT);
    }
}

// While the job reads, the input is cut short or extended: the dump holds
// the bytes that were there when each was read, well formed, and the job
// finishes normally.
TEST_F(DumpFaultTest, FollowsAnInputThatChangesWhileRead)
{
    const std::string original = PatternBytes(200000);
    const std::string extra = PatternBytes(5000).substr(1234);
    struct Change {
        const char* name;
        uint64_t newSize;       // truncate to this size, or
        bool append;            // append extra
    } changes[] = {
        {"shrinks below the read position", 1000, false},
        {"shrinks ahead of the read position", 150001, false},
        {"grows", 0, true},
    };
    for (const Change& change : changes) {
        SCOPED_TRACE(change.name);
        std::string input = dir_.File("changing.bin");
        std::string output = dir_.File("changing.txt");
        WriteFile(input, original);

        struct State {
            const Change* change;
            const std::string* input;
            const std::string* extra;
            uint64_t doneAtChange;
        } state = {&change, &input, &extra, UINT64_MAX};
        auto onProgress = [](void* context, uint64_t bytesDone) {
            State* s = static_cast<State*>(context);
            if (s->doneAtChange != UINT64_MAX)
                return;
            s->doneAtChange = bytesDone;
            if (s->change->append) {
                FILE* f = fopen(s->input->c_str(), "ab");
                fwrite(s->extra->data(), 1, s->extra->size(), f);
                fclose(f);
            } else {
                fs::resize_file(*s->input, s->change->newSize);
            }
        };
        DumpResult result = RunDumpJob(Request(input, output), onProgress, &state);
        EXPECT_EQ(result.error, DUMP_OK) << strerror(result.sysError);
        ASSERT_NE(state.doneAtChange, UINT64_MAX) << "no progress was reported";

        std::string expected = original + extra;
        if (!change.append)
            expected.resize(std::max<uint64_t>(state.doneAtChange, change.newSize));
        EXPECT_TRUE(DumpHolds(output, expected));
    }
}

} // namespace
