// Where trace lines go: the debugger output on Windows, standard error
// elsewhere.
#include "toolbase.h"

#ifdef _WIN32
#include <windows.h>

void WriteDebugOutput(const char* text)
{
    OutputDebugStringA(text);
}

#else
#include <cstdio>

void WriteDebugOutput(const char* text)
{
    fputs(text, stderr);
}

#endif
