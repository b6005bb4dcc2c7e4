// The progress line of vellumet-dump: bytes done, percent of the range and
// rate, redrawn on standard error while a long dump runs, only when
// standard error is a terminal. Used by main.cpp.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

struct ProgressLine {
    FILE* terminal;          // where the line is drawn
    uint64_t total;          // bytes the dump reads, 0 when not known
    double startSeconds;     // when the dump began
    double drawnSeconds;     // when the line was last drawn
    uint64_t done;           // bytes read so far
    size_t drawnLength;      // length of the line on the terminal, 0 before the first
};

// The line is first drawn this long after the start, so a short dump shows
// nothing, and then at most this often.
constexpr double PROGRESS_DELAY_SECONDS = 1.0;
constexpr double PROGRESS_INTERVAL_SECONDS = 0.25;

// Bytes a dump from start to end reads from an input of inputSize bytes:
// from start rounded down to 16 up to the end of the last line below end,
// or up to the end of the input when that comes first.
uint64_t DumpRangeBytes(uint64_t inputSize, uint32_t start, uint32_t end);

// Formats the line's text into dst (size bytes) and returns its length:
//   "vellumet-dump: 12.0 MiB of 256.0 MiB (4%), 310.5 MiB/s"
// without " of ..." and the percent when total is 0.
size_t FormatProgress(char* dst, size_t size, uint64_t done, uint64_t total, double seconds);

// True when the line should be drawn at now.
bool IsProgressDue(const ProgressLine& line, double now);

// Seconds on a clock that only goes forward.
double MonotonicSeconds();

// True when f is a terminal.
bool IsTerminal(FILE* f);
// True when f is open on a regular file, not a pipe or a device.
bool IsRegularFileStream(FILE* f);
// The size of the regular file at path; 0 when it is none or cannot be
// looked at.
uint64_t RegularFileSize(const char* path);

void BeginProgressLine(ProgressLine* line, FILE* terminal, uint64_t total, double now);
// Notes that done bytes are read and redraws the line when it is due.
void UpdateProgressLine(ProgressLine* line, uint64_t done, double now);
// Draws the line a last time and ends it with a line feed, if it was drawn
// at all, so that what comes next starts on a line of its own.
void EndProgressLine(ProgressLine* line, double now);

// A DumpProgressFunction: UpdateProgressLine at the present time.
void OnDumpProgress(void* line, uint64_t done);
