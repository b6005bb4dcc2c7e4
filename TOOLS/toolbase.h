// The tool library: Shift_JIS-aware byte-string scanning, the diagnostic
// trace, string and path validators and the command-line splitter.
// Portable; the few calls into the platform live in one file per concern
// (debug_output.cpp, string_probe.cpp, lead_byte.cpp).
#pragma once

#include <cstddef>
#include <cstdint>

#ifndef MAX_PATH
#define MAX_PATH 260
#endif

// Every path buffer of the program has this size: room for a path of
// MAX_PATH double-byte characters and its terminator.
constexpr size_t PATH_BUFFER_SIZE = MAX_PATH * 2 + 2;
static_assert(PATH_BUFFER_SIZE == 522, "path buffers are 522 bytes");

// ---- Shift_JIS scanning (jms.cpp) --------------------------------------
//
// Strings are NUL-terminated 8-bit text. Characters are found with the fixed
// Shift_JIS ranges, whatever the system code page is:
//
//   lead byte   81-9F, E0-FC
//   trail byte  40-FC except 7F      (jmsbtype and the dump's text column)
//
// A character code is the byte itself, or lead * 256 + second byte.

enum { JMS_SINGLE = 0, JMS_LEAD = 1, JMS_TRAIL = 2 };

constexpr bool IsShiftJisLeadByte(unsigned char c)
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

constexpr bool IsShiftJisTrailByte(unsigned char c)
{
    return c >= 0x40 && c <= 0xFC && c != 0x7F;
}

// Character code at p; a lead byte before the terminator stands for itself.
uint32_t jmsnextc(const char* p);
// Start of the character after the one at p; p itself at the terminator.
const char* jmsinc(const char* p);
// JMS_SINGLE, JMS_LEAD or JMS_TRAIL for str[index], scanning from str[0];
// JMS_SINGLE when the string ends at or before index.
int jmsbtype(const char* str, uint32_t index);
// Bytes before the first single-byte character that is in set.
uint32_t jmscspn(const char* str, const char* set);
// Bytes in the leading run of single-byte characters that are in set.
uint32_t jmsspn(const char* str, const char* set);
// The first single-byte character of str that is in set, or null.
const char* jmspbrk(const char* str, const char* set);

// Copies src into a PATH_BUFFER_SIZE buffer, at most 521 bytes, without
// cutting a double-byte character at the end.
void CopyPathBuffer(char* dst, const char* src);
// Cuts path at its last backslash (not a second byte) and returns the file
// name after it; returns path unchanged when it holds no backslash.
char* SplitFileName(char* path);

// ---- Diagnostic trace (trace.cpp, debug_output.cpp) ---------------------

typedef int (*DebugPrintfFunction)(const char* format, ...);

// Replaceable formatter; tests set it to capture the lines.
extern DebugPrintfFunction DebugPrintfHook;

// DebugPrintfHook, or DebugPrintf when the hook is null.
DebugPrintfFunction GetDebugPrintf();
// Formats into a 1024-byte buffer (longer text is cut to 1023 characters)
// and sends it to the debugger output. Returns the formatter's count, or -1
// when the text was cut.
int DebugPrintf(const char* format, ...);
// The platform's debugger output: OutputDebugStringA on Windows, standard
// error elsewhere.
void WriteDebugOutput(const char* text);

// ---- Validators (validate.cpp, string_probe.cpp) ------------------------
//
// Each check writes one trace line for the first condition that fails,
// after the line of any inner check, and returns false.

#define INVALID_COMMANDLINECHARS "\a\b\t\n\v\f\r"
#define INVALID_PATHMASKCHARS "\"<>|\a\b\t\n\v\f\r"
#define INVALID_PATHCHARS "*?\"<>|\a\b\t\n\v\f\r"

bool IsValidLengthStringPtr(const char* str, uint32_t length);
bool IsValidStringPtr(const char* str);
bool IsValidCommandLineString(const char* string);
bool IsValidLocalPathMaskString(const char* mask);
bool IsValidLocalPathString(const char* path);

// True when str can be read up to its terminator or length bytes. Windows
// asks IsBadStringPtrA; elsewhere every non-null pointer is taken as readable.
bool IsReadableStringPtr(const char* str, uint32_t length);

// ---- Command-line splitter (cmdline.cpp, lead_byte.cpp) -----------------

typedef bool (*LeadByteTest)(unsigned char c);

// Lead-byte test of the process code page: IsDBCSLeadByte on Windows, the
// fixed Shift_JIS ranges elsewhere.
bool IsProcessLeadByte(unsigned char c);
// The test CopyChar uses; IsProcessLeadByte unless a test chooses another.
extern LeadByteTest CopyCharLeadByteTest;

// Splits cmdline into one allocated block: argc + 1 pointer slots (the last
// null), then the argument strings. Null when the block cannot be allocated.
char** SplitCommandLine(const char* cmdline, int* argc);
// One pass of the splitter; returns the block size. With null strings and
// slots it only counts and measures.
size_t ParseCommandLine(char* strings, int* argc, const char* cmdline, char** slots);
// Releases a block from SplitCommandLine.
bool FreeArgv(char** argv);
