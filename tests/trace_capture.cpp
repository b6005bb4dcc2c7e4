// Captures trace lines for tests.
#include "trace_capture.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#include "toolbase.h"

namespace {

std::vector<std::string> capturedLines;

int CaptureDebugPrintf(const char* format, ...)
{
    char buffer[4096];
    va_list args;
    va_start(args, format);
    int length = vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    capturedLines.push_back(buffer);
    return length;
}

} // namespace

TraceCapture::TraceCapture()
{
    capturedLines.clear();
    DebugPrintfHook = CaptureDebugPrintf;
}

TraceCapture::~TraceCapture()
{
    DebugPrintfHook = DebugPrintf;
}

const std::vector<std::string>& TraceCapture::Lines() const
{
    return capturedLines;
}

std::vector<int> TraceCapture::LineNumbers() const
{
    // "..\..\TOOLS\toolbase(1080) : ..." -> 1080
    std::vector<int> numbers;
    for (const std::string& line : capturedLines) {
        size_t open = line.find('(');
        numbers.push_back(open == std::string::npos ? -1 : atoi(line.c_str() + open + 1));
    }
    return numbers;
}

void TraceCapture::Clear()
{
    capturedLines.clear();
}
