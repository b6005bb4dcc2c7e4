// Faults vellumet-dump meets on real files, run as a separate process: the
// exit code and the one-line message, the input's bytes unchanged (by hash),
// and no file left behind where nothing was to be written.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <vector>

#include "dump_reader.h"
#include "fault_support.h"
#include "temp_dir.h"

namespace fs = std::filesystem;

namespace {

const std::string PROGRAM = VELLUMET_DUMP_PATH;

class CliFaultTest : public testing::Test {
protected:
    void SetUp() override
    {
        chmod(dir_.Path().c_str(), 0755);
        WriteFile(In(), INPUT);
        inputHash_ = HashFile(In());
    }
    void TearDown() override { EXPECT_EQ(HashFile(In()), inputHash_) << "the input was changed"; }

    std::string In() const { return dir_.File("in.bin"); }

    const std::string INPUT = PatternBytes(1000);
    TempDir dir_;
    uint64_t inputHash_ = 0;
};

struct FailureCase {
    const char* name;
    std::vector<std::string> args;
    ProcessOptions options;
    std::string message;  // the whole of standard error
};

// Runs each case and checks exit code 1, its message, nothing on standard
// output, the input unchanged and the folder as it was.
void ExpectFailures(const std::string& dir, const std::string& input, uint64_t inputHash,
                    const std::vector<FailureCase>& cases)
{
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<std::string> before = ListFolder(dir);
        ProcessResult result = RunProcess(PROGRAM, c.args, c.options);
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_EQ(result.err, c.message);
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(HashFile(input), inputHash);
        EXPECT_EQ(ListFolder(dir), before);
    }
}

// Other names of the input, as OUTPUT or as standard output, are refused.
TEST_F(CliFaultTest, RefusesTheInputUnderOtherNames)
{
    fs::create_symlink("in.bin", dir_.File("soft"));
    fs::create_hard_link(In(), dir_.File("hard"));
    ProcessOptions inDir;
    inDir.workingDirectory = dir_.Path();
    ProcessOptions appendToInput;
    appendToInput.stdoutPath = dir_.File("hard");
    appendToInput.appendStdout = true;
    auto refused = [&](const std::string& output, const std::string& input) {
        return "vellumet-dump: " + output + ": is the input file " + input + "; nothing written\n";
    };
    ExpectFailures(dir_.Path(), In(), inputHash_, {
        {"relative", {In(), "in.bin"}, inDir, refused("in.bin", In())},
        {"dot slash", {"in.bin", "./in.bin"}, inDir, refused("./in.bin", "in.bin")},
        {"symbolic link", {In(), "soft"}, inDir, refused("soft", In())},
        {"hard link", {"hard", In()}, inDir, refused(In(), "hard")},
        {"through the parent", {"in.bin", "../" + fs::path(dir_.Path()).filename().string() + "/in.bin"},
         inDir, refused("../" + fs::path(dir_.Path()).filename().string() + "/in.bin", "in.bin")},
        {"standard output appended to a link", {In()}, appendToInput, refused("standard output", In())},
    });
}

// Files that cannot be opened or written, and names that do not fit.
TEST_F(CliFaultTest, ReportsFilesItCannotUse)
{
    fs::create_directory(dir_.File("folder"));
    ProcessOptions toFullDevice;
    toFullDevice.stdoutPath = "/dev/full";
    const std::string missing = dir_.File("no such \x93\xFA\x96\x7B file");
    const std::string tooLong = dir_.File(std::string(600, 'x'));
    ExpectFailures(dir_.Path(), In(), inputHash_, {
        {"missing input", {missing, dir_.File("out.txt")}, {},
         "vellumet-dump: cannot open " + missing + ": No such file or directory\n"},
        {"input is a folder", {dir_.File("folder"), dir_.File("out.txt")}, {},
         "vellumet-dump: cannot open " + dir_.File("folder") + ": Is a directory\n"},
        {"output is a folder", {In(), dir_.File("folder")}, {},
         "vellumet-dump: cannot create " + dir_.File("folder") + ": Is a directory\n"},
        {"output under a file", {In(), dir_.File("in.bin/out.txt")}, {},
         "vellumet-dump: cannot create " + dir_.File("in.bin/out.txt") + ": Not a directory\n"},
        {"output to a full device", {In(), "/dev/full"}, {},
         "vellumet-dump: cannot write /dev/full: No space left on device\n"},
        {"standard output to a full device", {In()}, toFullDevice,
         "vellumet-dump: cannot write standard output: No space left on device\n"},
        {"input name too long", {tooLong, dir_.File("out.txt")}, {},
         "vellumet-dump: " + tooLong + ": File name too long\n"},
        {"output name too long", {In(), tooLong}, {},
         "vellumet-dump: " + tooLong + ": File name too long\n"},
    });
}

// Permissions bind the user the program runs as (nobody, when the tests run
// as root): an input it may not read, a folder or a file it may not write.
TEST_F(CliFaultTest, ReportsWhatPermissionsForbid)
{
    if (!PermissionsBind())
        GTEST_SKIP() << "permissions do not bind any user this test can run as";
    MakeForbiddenFiles(dir_);
    ProcessOptions unprivileged;
    unprivileged.unprivileged = true;
    ExpectFailures(dir_.Path(), In(), inputHash_, {
        {"unreadable input", {dir_.File("secret.bin"), dir_.File("out.txt")}, unprivileged,
         "vellumet-dump: cannot open " + dir_.File("secret.bin") + ": Permission denied\n"},
        {"output in a locked folder", {In(), dir_.File("locked/out.txt")}, unprivileged,
         "vellumet-dump: cannot create " + dir_.File("locked/out.txt") + ": Permission denied\n"},
        {"read-only output", {In(), dir_.File("kept.txt")}, unprivileged,
         "vellumet-dump: cannot create " + dir_.File("kept.txt") + ": Permission denied\n"},
    });
    EXPECT_TRUE(ListFolder(dir_.File("locked")).empty());
    EXPECT_EQ(ReadFile(dir_.File("kept.txt")), "kept");
}

// Awkward names and extreme addresses: exit 0, nothing on standard error,
// and a dump that holds exactly the bytes asked for.
TEST_F(CliFaultTest, DumpsAwkwardNamesAndRanges)
{
    struct Case {
        const char* name;
        std::string inputName;
        std::vector<std::string> options;
        uint32_t firstAddress;
        std::string bytes;
    } cases[] = {
        {"spaces", "a b c.bin", {}, 0, INPUT},
        {"Shift_JIS name", "\x93\xFA\x96\x7B\x83\x5C.bin", {}, 0, INPUT},
        {"UTF-8 name", "\xE6\x97\xA5\xE6\x9C\xAC.bin", {}, 0, INPUT},
        {"leading dash", "-dash.bin", {"--"}, 0, INPUT},
        {"end 0xFFFFFFFF", "a.bin", {"--end", "0xFFFFFFFF"}, 0, INPUT},
        {"start and end at the top", "a.bin", {"--start", "0xFFFFFFFF", "--end", "0xFFFFFFFF"}, 0, ""},
        {"start inside the last line", "a.bin", {"--start=999"}, 992, INPUT.substr(992)},
        {"end inside a line", "a.bin", {"--start", "17", "--end", "33"}, 16, INPUT.substr(16, 32)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string input = dir_.File(c.inputName);
        std::string output = dir_.File("out " + c.inputName + ".txt");
        WriteFile(input, INPUT);
        std::vector<std::string> args = c.options;
        args.push_back(input);
        args.push_back(output);
        ProcessResult result = RunProcess(PROGRAM, args);
        EXPECT_EQ(result.exitCode, 0);
        EXPECT_EQ(result.err, "");
        ParsedDump dump;
        std::string error;
        ASSERT_TRUE(ParseDumpText(ReadFile(output), &dump, &error)) << error;
        EXPECT_EQ(dump.bytes, c.bytes);
        if (!c.bytes.empty()) {
            EXPECT_EQ(dump.firstAddress, c.firstAddress);
        }
        EXPECT_EQ(ReadFile(input), INPUT);
    }
}

// Another process cuts the input short or extends it while the program
// reads it, once the dump is under way. Whenever the change lands, the
// program ends normally and its dump is a well-formed copy of a prefix of
// what the file held: at least what remained or was there before, at most
// everything.
TEST_F(CliFaultTest, FollowsAnInputThatChangesWhileRead)
{
    const std::string original = PatternBytes(4 << 20, 13);
    const std::string extra = PatternBytes(1 << 20, 29);
    const size_t shortSize = 12345;
    const std::string input = dir_.File("changing.bin");
    const std::string output = dir_.File("changing.txt");
    for (bool grow : {false, true}) {
        SCOPED_TRACE(grow ? "grows" : "shrinks");
        WriteFile(input, original);
        fs::remove(output);
        std::atomic<bool> finished{false};
        std::thread changer([&] {
            // Wait for the first blocks of the dump, or for its end on a fast machine.
            std::error_code ec;
            while (!finished && !(fs::exists(output, ec) && fs::file_size(output, ec) >= (1u << 20)))
                std::this_thread::yield();
            if (grow) {
                FILE* f = fopen(input.c_str(), "ab");
                fwrite(extra.data(), 1, extra.size(), f);
                fclose(f);
            } else {
                fs::resize_file(input, shortSize);
            }
        });
        ProcessResult result = RunProcess(PROGRAM, {input, output});
        finished = true;
        changer.join();
        EXPECT_EQ(result.exitCode, 0);
        EXPECT_EQ(result.err, "");

        ParsedDump dump;
        std::string error;
        ASSERT_TRUE(ParseDumpText(ReadFile(output), &dump, &error)) << error;
        const std::string whole = grow ? original + extra : original;
        const size_t least = grow ? original.size() : shortSize;
        EXPECT_GE(dump.bytes.size(), least);
        EXPECT_LE(dump.bytes.size(), whole.size());
        EXPECT_TRUE(dump.bytes == whole.substr(0, dump.bytes.size())) << "not a prefix of the input";
    }
}

} // namespace
