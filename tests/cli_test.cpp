// vellumet-dump as a whole process: exit codes, messages on standard error,
// and what it leaves on disk.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <sys/wait.h>

#include "temp_dir.h"

namespace {

const std::string INPUT_BYTES("Hello\x00\x0A\x93\xFA\x96\x7B\xB1\x81\x7F\x20\x88" "ABC\x00", 20);

struct RunResult {
    int exitCode;
    std::string out;
    std::string err;
};

class CliTest : public testing::Test {
protected:
    void SetUp() override { WriteFile(In(), INPUT_BYTES); }

    std::string In() const { return dir_.File("in.bin"); }
    std::string Out() const { return dir_.File("out.txt"); }

    // Runs vellumet-dump with arguments already quoted for the shell;
    // standard output goes to the file stdoutPath, appended to with append.
    RunResult Run(const std::string& args, std::string stdoutPath = "", bool append = false)
    {
        if (stdoutPath.empty())
            stdoutPath = dir_.File("stdout");
        std::string command = std::string("'") + VELLUMET_DUMP_PATH + "' " + args + (append ? " >>'" : " >'") +
                              stdoutPath + "' 2>'" + dir_.File("stderr") + "'";
        int status = system(command.c_str());
        return RunResult{WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(dir_.File("stdout")),
                         ReadFile(dir_.File("stderr"))};
    }

    TempDir dir_;
};

TEST_F(CliTest, DumpsTheWholeFileByDefault)
{
    RunResult toStdout = Run("'" + In() + "'");
    EXPECT_EQ(toStdout.exitCode, 0);
    EXPECT_EQ(toStdout.out.size(), 219u);
    EXPECT_EQ(toStdout.err, "");

    RunResult toFile = Run("'" + In() + "' '" + Out() + "'");
    EXPECT_EQ(toFile.exitCode, 0);
    EXPECT_EQ(toFile.out, "");
    EXPECT_EQ(ReadFile(Out()), toStdout.out);

    EXPECT_EQ(Run("'" + In() + "' -").out, toStdout.out);
}

TEST_F(CliTest, HonoursTheRange)
{
    RunResult result = Run("--start 0x10 --end 17 '" + In() + "'");
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out.size(), 77u + 65u);
    EXPECT_NE(result.out.find("0x00000010\t41 42 43 00"), std::string::npos);
}

// File errors: exit 1 and one line naming the file and the reason.
TEST_F(CliTest, ReportsFileErrors)
{
    struct Case {
        std::string args;
        std::string message;
    } cases[] = {
        {"'" + dir_.File("missing") + "' '" + Out() + "'",
         "vellumet-dump: cannot open " + dir_.File("missing") + ": No such file or directory\n"},
        {"'" + In() + "' /dev/full", "vellumet-dump: cannot write /dev/full: No space left on device\n"},
        {"'" + In() + "' '" + dir_.File("none/out") + "'",
         "vellumet-dump: cannot create " + dir_.File("none/out") + ": No such file or directory\n"},
        {"'" + In() + "' '" + In() + "'",
         "vellumet-dump: " + In() + ": is the input file " + In() + "; nothing written\n"},
        {"'" + dir_.Path() + "'", "vellumet-dump: cannot open " + dir_.Path() + ": Is a directory\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        RunResult result = Run(c.args);
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_EQ(result.err, c.message);
        EXPECT_EQ(ReadFile(In()), INPUT_BYTES);
    }
    EXPECT_FALSE(FileExists(Out()));
}

// Standard output appended to the input would feed the dump its own text.
TEST_F(CliTest, RefusesStandardOutputThatIsTheInput)
{
    RunResult result = Run("'" + In() + "'", In(), true);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "vellumet-dump: standard output: is the input file " + In() + "; nothing written\n");
    EXPECT_EQ(ReadFile(In()), INPUT_BYTES);
}

// Usage errors: exit 2, the reason and the usage line; nothing created.
TEST_F(CliTest, RefusesBadUsage)
{
    for (const std::string& args : {std::string(""), std::string("--start 0x100000000 in out"),
                                    std::string("--end -1 in out"), std::string("--bogus in")}) {
        SCOPED_TRACE(args);
        RunResult result = Run(args + (args.empty() ? "" : " '" + Out() + "'"));
        EXPECT_EQ(result.exitCode, 2);
        EXPECT_NE(result.err.find("Usage: vellumet-dump [--start N] [--end N] INPUT [OUTPUT]"), std::string::npos);
        EXPECT_EQ(result.out, "");
    }
    EXPECT_FALSE(FileExists(Out()));
}

TEST_F(CliTest, PrintsHelpAndVersion)
{
    RunResult help = Run("--help");
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_EQ(help.out.rfind("Usage: vellumet-dump", 0), 0u);
    RunResult version = Run("--version");
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out.rfind("vellumet-dump ", 0), 0u);
}

} // namespace
