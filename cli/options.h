// Command-line options of vellumet-dump: parsed into a plain record so that
// main only acts on them.
#pragma once

#include <cstddef>
#include <cstdint>

struct DumpOptions {
    uint32_t startAddress;
    uint32_t endAddress;
    const char* inputPath;   // null when missing
    const char* outputPath;  // null or "-" for standard output
};

enum OptionsOutcome {
    OPTIONS_RUN,
    OPTIONS_HELP,
    OPTIONS_VERSION,
    OPTIONS_BAD,  // error holds a one-line reason
};

// Reads a 32-bit address in decimal or 0x-prefixed hex. False for anything
// else, a sign, trailing characters, or a value above 0xFFFFFFFF.
bool ParseAddress(const char* text, uint32_t* value);

OptionsOutcome ParseDumpOptions(int argc, char** argv, DumpOptions* options,
                                char* error, size_t errorSize);
