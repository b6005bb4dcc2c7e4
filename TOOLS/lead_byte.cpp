// Lead-byte test of the process code page, used by the command-line
// splitter to copy characters whole. Windows asks the ANSI code page; other
// systems have none and use the fixed Shift_JIS ranges.
#include "toolbase.h"

#ifdef _WIN32
#include <windows.h>

bool IsProcessLeadByte(unsigned char c)
{
    return IsDBCSLeadByte(c) != 0;
}

#else

bool IsProcessLeadByte(unsigned char c)
{
    return IsShiftJisLeadByte(c);
}

#endif

LeadByteTest CopyCharLeadByteTest = IsProcessLeadByte;
