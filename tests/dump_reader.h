// A strict reader of dump text, for tests: checks the shape of every line and
// gives back the bytes of the hex column. Used by the round-trip and fault
// tests to prove that a dump holds exactly the bytes it should.
#pragma once

#include <cstdint>
#include <string>

struct ParsedDump {
    uint32_t firstAddress;  // address of the first data line; 0 when there is none
    std::string bytes;      // the hex column of every data line, in order
};

// Parses text (header, data lines, CR LF ends). Returns false with a reason
// in *error when any line is out of shape: a wrong header, a wrong address or
// gap, a malformed hex column, TABs out of place, a text column whose length
// differs from the line's byte count or holds a control byte, a short line
// before the last, or a missing CR LF.
bool ParseDumpText(const std::string& text, ParsedDump* dump, std::string* error);
