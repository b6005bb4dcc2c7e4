// Opening the dump job's files, and telling whether two open files are one.
// The one place in the dump engine that asks the platform; used by the job.
#pragma once

#include <cstdio>

// Opens the input for reading in binary. Null with errno set when it cannot
// be opened or is a folder.
FILE* OpenDumpInput(const char* path);

// Opens the output for writing in binary without truncating it, creating it
// only when it does not exist yet. Null with errno set on failure.
FILE* OpenDumpOutputUntruncated(const char* path);

// Empties an output from OpenDumpOutputUntruncated; streams that are no
// regular file (a device, a pipe) are left as they are.
bool TruncateDumpOutput(FILE* out);

// True when both streams are open on the same file, by the file system's
// identity of the file rather than by name.
bool IsSameOpenFile(FILE* a, FILE* b);
