// Checks that a string pointer is usable and that a string is acceptable as
// a command-line string, a local path mask or a local path. A failed check
// is reported like an assertion: file, line and the condition that did not
// hold. The parameters dialog accepts a path only when it passes.
#include <climits>
#include <cstring>

#include "toolbase.h"

namespace {

// The name and line numbers under which these checks have always been
// reported; people match on them, so they stay fixed.
const char TRACE_SOURCE_NAME[] = "..\\..\\TOOLS\\toolbase";

bool Check(bool condition, int line, const char* text)
{
    if (!condition)
        GetDebugPrintf()("%s(%d) : %s \r\n", TRACE_SOURCE_NAME, line, text);
    return condition;
}

} // namespace

bool IsValidLengthStringPtr(const char* str, uint32_t length)
{
    return Check(str != nullptr, 1040, "str")
        && Check(IsReadableStringPtr(str, length), 1041, "!IsBadStringPtr( str, length )");
}

bool IsValidStringPtr(const char* str)
{
    return Check(str != nullptr, 1143, "str")
        && Check(IsValidLengthStringPtr(str, UINT_MAX), 1144, "IsValidLengthStringPtr( str, UINT_MAX )");
}

bool IsValidCommandLineString(const char* string)
{
    return Check(IsValidStringPtr(string), 986, "IsValidStringPtr( string )")
        && Check(!jmspbrk(string, INVALID_COMMANDLINECHARS), 988, "! jmspbrk( string, INVALID_COMMANDLINECHARS )");
}

bool IsValidLocalPathMaskString(const char* mask)
{
    return Check(IsValidStringPtr(mask), 1057, "IsValidStringPtr( mask )")
        && Check(strlen(mask) <= MAX_PATH, 1058, "strlen( mask ) <= MAX_PATH")
        && Check(IsValidCommandLineString(mask), 1059, "IsValidCommandLineString( mask )")
        && Check(!jmspbrk(mask, INVALID_PATHMASKCHARS), 1060, "! jmspbrk( mask, INVALID_PATHMASKCHARS )");
}

bool IsValidLocalPathString(const char* path)
{
    return Check(IsValidStringPtr(path), 1076, "IsValidStringPtr( path )")
        && Check(strlen(path) <= MAX_PATH, 1077, "strlen( path ) <= MAX_PATH")
        && Check(IsValidCommandLineString(path), 1078, "IsValidCommandLineString( path )")
        && Check(IsValidLocalPathMaskString(path), 1079, "IsValidLocalPathMaskString( path )")
        && Check(!jmspbrk(path, INVALID_PATHCHARS), 1080, "! jmspbrk( path, INVALID_PATHCHARS )");
}
