// The diagnostic trace: formatted lines for the debugger output. The
// validators report failed checks here and start-up lists its arguments.
#include <cstdarg>
#include <cstdio>

#include "toolbase.h"

DebugPrintfFunction DebugPrintfHook = DebugPrintf;

DebugPrintfFunction GetDebugPrintf()
{
    return DebugPrintfHook ? DebugPrintfHook : DebugPrintf;
}

int DebugPrintf(const char* format, ...)
{
    enum { TRACE_BUFFER_SIZE = 1024 };
    char buffer[TRACE_BUFFER_SIZE];
    va_list args;
    va_start(args, format);
    int length = vsnprintf(buffer, TRACE_BUFFER_SIZE, format, args);
    va_end(args);
    buffer[TRACE_BUFFER_SIZE - 1] = '\0';
    WriteDebugOutput(buffer);
    return length < TRACE_BUFFER_SIZE ? length : -1;
}
