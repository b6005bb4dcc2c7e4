// The dump engine: the request record, the dump job that opens the files,
// and the writer of the dump text. Used by the dialog program and by the
// command-line front end; portable.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "../../TOOLS/toolbase.h"

// Upper bound of the address up-down controls, and the default end address.
constexpr uint32_t SPIN_MAXIMUM = 0x7FFF;

// The request: which bytes of which file go into which dump file.
struct DIALOGPARAM {
    int32_t startAddress;  // rounded down to 16 by the dump; never negative from the dialog
    uint32_t endAddress;   // lines are written while their address is below this
    char inputPath[PATH_BUFFER_SIZE];
    char outputPath[PATH_BUFFER_SIZE];
};

// A new request: start 0, end SPIN_MAXIMUM, both paths empty.
void InitDialogParam(DIALOGPARAM* param);

enum DumpError {
    DUMP_OK,
    DUMP_SAME_FILE,      // the output names the input
    DUMP_INPUT_FAILED,   // the input cannot be opened, or is a folder
    DUMP_OUTPUT_FAILED,  // the output cannot be opened or created
    DUMP_READ_FAILED,    // reading the input failed part way
    DUMP_WRITE_FAILED,   // writing, flushing or closing the output failed
};

// What a dump job did; sysError is the errno value behind a failure, or 0.
struct DumpResult {
    DumpError error;
    int sysError;
};

// Called now and then during a long dump with the bytes read so far.
typedef void (*DumpProgressFunction)(void* context, uint64_t bytesDone);

// A short English description of error, for messages and trace lines.
const char* DescribeDumpError(DumpError error);

// True when a and b are the same text ignoring the case of ASCII letters.
bool IsSamePathName(const char* a, const char* b);

// Writes the dump of the request into the file it names. Refuses, before
// anything is created or truncated, an output that is the input file under
// any spelling. The input is only ever read.
// progress, if given, hears of the bytes read now and then.
DumpResult RunDumpJob(const DIALOGPARAM& param,
                      DumpProgressFunction progress = nullptr, void* progressContext = nullptr);
// The same into an open stream (standard output); param.outputPath is not
// used. Refuses when the stream is the input file.
DumpResult RunDumpJobToStream(const DIALOGPARAM& param, FILE* out,
                              DumpProgressFunction progress = nullptr, void* progressContext = nullptr);

// ---- The dump text (dump_format.cpp) -----------------------------------
//
// One header line, then one line per 16 input bytes:
//
//   "0x" 8 hex digits TAB | 16 "XX" separated by spaces, padded to 47 | TAB | text | CR LF
//
// A full line is 10 + 1 + 47 + 1 + 16 + 2 = 77 bytes; a short line of n bytes
// is 61 + n bytes.

constexpr size_t DUMP_LINE_BYTES = 16;
constexpr size_t DUMP_ADDRESS_WIDTH = 10;
constexpr size_t DUMP_HEX_WIDTH = DUMP_LINE_BYTES * 3 - 1;
constexpr size_t DUMP_LINE_MAX = DUMP_ADDRESS_WIDTH + 1 + DUMP_HEX_WIDTH + 1 + DUMP_LINE_BYTES + 2;
static_assert(DUMP_LINE_MAX == 77, "a full dump line is 77 bytes");

// Formats the line for count (1..16) bytes at address into dst
// (DUMP_LINE_MAX bytes); returns its length. A count above 16 formats the
// first 16.
size_t WriteDumpLine(char* dst, const unsigned char* bytes, size_t count, uint32_t address);

// The ways full lines can be formatted, all giving the same bytes: a
// portable one, and one with the SSSE3 vector instructions of the x86
// processors that have them. The dump uses the fastest one available;
// tests and benchmarks name one.
enum DumpLineFormatter {
    DUMP_FORMATTER_PORTABLE,
    DUMP_FORMATTER_SSSE3,
};

// True when formatter is built in and the processor can run it.
bool IsDumpLineFormatterAvailable(DumpLineFormatter formatter);
// The fastest formatter available.
DumpLineFormatter FastestDumpLineFormatter();

// Formats lineCount full lines of 16 bytes each, the first at address, into
// dst (lineCount * DUMP_LINE_MAX bytes) with formatter, which must be
// available.
void WriteFullDumpLines(char* dst, const unsigned char* bytes, size_t lineCount, uint32_t address,
                        DumpLineFormatter formatter);

// Writes the data lines: from start rounded down to 16, while the line's
// address is below end, ending after the line at 0xFFFFFFF0 at the latest
// and at the end of the input.
DumpResult WriteDumpRange(FILE* out, FILE* in, uint32_t start, uint32_t end,
                          DumpProgressFunction progress = nullptr, void* progressContext = nullptr);
// The header, then WriteDumpRange.
DumpResult WriteDump(FILE* out, FILE* in, uint32_t start, uint32_t end,
                     DumpProgressFunction progress = nullptr, void* progressContext = nullptr);
