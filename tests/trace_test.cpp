// The trace: the hook, and the 1023-character cut of DebugPrintf.
#include <gtest/gtest.h>

#include <string>

#include "toolbase.h"
#include "trace_capture.h"

namespace {

TEST(GetDebugPrintfTest, ReturnsTheHookOrDebugPrintf)
{
    EXPECT_EQ(GetDebugPrintf(), DebugPrintf);
    {
        TraceCapture capture;
        GetDebugPrintf()("argv[%2d]=%s\r\n", 3, "x");
        GetDebugPrintf()("argv[%2d]=%s\r\n", 12, "y");
        ASSERT_EQ(capture.Lines().size(), 2u);
        EXPECT_EQ(capture.Lines()[0], "argv[ 3]=x\r\n");
        EXPECT_EQ(capture.Lines()[1], "argv[12]=y\r\n");
    }
    DebugPrintfFunction saved = DebugPrintfHook;
    DebugPrintfHook = nullptr;
    EXPECT_EQ(GetDebugPrintf(), DebugPrintf);
    DebugPrintfHook = saved;
}

// DebugPrintf returns the length it formatted, and -1 when it had to cut.
TEST(DebugPrintfTest, CutsLongLinesTo1023Characters)
{
    testing::internal::CaptureStderr();
    EXPECT_EQ(DebugPrintf("argv[%2d]=%s\r\n", 1, "short"), 16);
    std::string longArgument(2000, 'z');
    EXPECT_EQ(DebugPrintf("argv[%2d]=%s\r\n", 1, longArgument.c_str()), -1);
    std::string written = testing::internal::GetCapturedStderr();
#ifndef _WIN32
    // Elsewhere than Windows the trace goes to standard error.
    ASSERT_EQ(written.size(), 16u + 1023u);
    EXPECT_EQ(written.substr(0, 16), "argv[ 1]=short\r\n");
    EXPECT_EQ(written.substr(16), "argv[ 1]=" + std::string(1023 - 9, 'z'));
#endif
}

} // namespace
