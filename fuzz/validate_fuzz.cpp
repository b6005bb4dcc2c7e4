// Fuzz target for the validators: for any string, each validator returns
// the expected answer and writes exactly the expected trace lines, in order,
// word for word. The model finds the first character of each class by a
// plain walk over Shift_JIS characters.
//
// Input: the string (a NUL ends it).
#include <cstdarg>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "toolbase.h"

namespace {

std::vector<std::string> traceLines;

int CaptureTrace(const char* format, ...)
{
    char line[1024];
    va_list args;
    va_start(args, format);
    int length = vsnprintf(line, sizeof line, format, args);
    va_end(args);
    traceLines.push_back(line);
    return length;
}

const char* ConditionText(int line)
{
    switch (line) {
    case 986: return "IsValidStringPtr( string )";
    case 988: return "! jmspbrk( string, INVALID_COMMANDLINECHARS )";
    case 1057: return "IsValidStringPtr( mask )";
    case 1058: return "strlen( mask ) <= MAX_PATH";
    case 1059: return "IsValidCommandLineString( mask )";
    case 1060: return "! jmspbrk( mask, INVALID_PATHMASKCHARS )";
    case 1076: return "IsValidStringPtr( path )";
    case 1077: return "strlen( path ) <= MAX_PATH";
    case 1078: return "IsValidCommandLineString( path )";
    case 1079: return "IsValidLocalPathMaskString( path )";
    case 1080: return "! jmspbrk( path, INVALID_PATHCHARS )";
    case 1143: return "str";
    }
    return "?";
}

// Runs one validator and checks its answer and its trace lines.
void Expect(const char* name, bool (*validator)(const char*), const char* str, std::vector<int> lines)
{
    traceLines.clear();
    bool valid = validator(str);
    FUZZ_CHECK(valid == lines.empty(), "%s returned %d", name, valid);
    FUZZ_CHECK(traceLines.size() == lines.size(), "%s wrote %zu lines, expected %zu", name,
               traceLines.size(), lines.size());
    for (size_t i = 0; i < lines.size(); ++i) {
        std::string expected = std::string("..\\..\\TOOLS\\toolbase(") + std::to_string(lines[i]) + ") : " +
                               ConditionText(lines[i]) + " \r\n";
        FUZZ_CHECK(traceLines[i] == expected, "%s line %zu is '%s', expected '%s'", name, i,
                   traceLines[i].c_str(), expected.c_str());
    }
}

bool IsLead(unsigned char c)
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

struct Found {
    bool control;   // 07-0D
    bool maskChar;  // " < > |
    bool wildcard;  // * ?
};

// Which classes of byte start a character somewhere in s.
Found FindClasses(const unsigned char* s, size_t length)
{
    Found found = {false, false, false};
    for (size_t i = 0; i < length; i += IsLead(s[i]) && i + 1 < length ? 2 : 1) {
        unsigned char c = s[i];
        if (IsLead(c) && i + 1 < length)
            continue;
        found.control |= c >= 0x07 && c <= 0x0D;
        found.maskChar |= c == '"' || c == '<' || c == '>' || c == '|';
        found.wildcard |= c == '*' || c == '?';
    }
    return found;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    DebugPrintfHook = CaptureTrace;
    const void* nul = memchr(data, 0, size);
    size_t length = nul ? static_cast<size_t>(static_cast<const uint8_t*>(nul) - data) : size;
    std::unique_ptr<char[]> str(new char[length + 1]);
    memcpy(str.get(), data, length);
    str[length] = '\0';

    Found found = FindClasses(data, length);
    bool tooLong = length > MAX_PATH;

    Expect("IsValidStringPtr", IsValidStringPtr, str.get(), {});
    Expect("IsValidCommandLineString", IsValidCommandLineString, str.get(),
           found.control ? std::vector<int>{988} : std::vector<int>{});
    Expect("IsValidLocalPathMaskString", IsValidLocalPathMaskString, str.get(),
           tooLong ? std::vector<int>{1058}
           : found.control ? std::vector<int>{988, 1059}
           : found.maskChar ? std::vector<int>{1060}
           : std::vector<int>{});
    Expect("IsValidLocalPathString", IsValidLocalPathString, str.get(),
           tooLong ? std::vector<int>{1077}
           : found.control ? std::vector<int>{988, 1078}
           : found.maskChar ? std::vector<int>{1060, 1079}
           : found.wildcard ? std::vector<int>{1080}
           : std::vector<int>{});

    Expect("IsValidStringPtr", IsValidStringPtr, nullptr, {1143});
    Expect("IsValidCommandLineString", IsValidCommandLineString, nullptr, {1143, 986});
    Expect("IsValidLocalPathMaskString", IsValidLocalPathMaskString, nullptr, {1143, 1057});
    Expect("IsValidLocalPathString", IsValidLocalPathString, nullptr, {1143, 1076});
    DebugPrintfHook = DebugPrintf;
    return 0;
}
