// A strict reader of dump text for the tests.
#include "dump_reader.h"

#include <cstdio>

namespace {

const char HEADER[] =
    "  address \t+0 +1 +2 +3 +4 +5 +6 +7 +8 +9 +A +B +C +D +E +F\t0123456789ABCDEF\r\n";

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;  // lower case is out of shape too
}

bool Fail(std::string* error, size_t lineNumber, const char* what)
{
    char buffer[128];
    snprintf(buffer, sizeof buffer, "line %zu: %s", lineNumber, what);
    *error = buffer;
    return false;
}

// Parses one data line (without its CR LF) into bytes; returns its count.
int ParseDataLine(const std::string& line, uint32_t* address, std::string* bytes, const char** what)
{
    // "0x" 8 digits TAB | 47 hex TAB | n text bytes
    if (line.size() < 11 + 47 + 1 + 1 || line.size() > 11 + 47 + 1 + 16)
        return *what = "wrong length", -1;
    if (line[0] != '0' || line[1] != 'x' || line[10] != '\t' || line[58] != '\t')
        return *what = "address prefix or TABs out of place", -1;
    uint32_t value = 0;
    for (int i = 2; i < 10; ++i) {
        int digit = HexValue(line[i]);
        if (digit < 0)
            return *what = "bad address digit", -1;
        value = value << 4 | static_cast<uint32_t>(digit);
    }
    *address = value;

    size_t count = 0;
    const size_t hex = 11;
    while (count < 16) {
        size_t at = hex + 3 * count;
        int high = HexValue(line[at]);
        int low = HexValue(line[at + 1]);
        if (high < 0 || low < 0)
            break;
        char separator = line[at + 2];
        if (separator != ' ' && !(count == 15 && separator == '\t'))
            return *what = "hex pair not followed by a space", -1;
        bytes->push_back(static_cast<char>(high << 4 | low));
        ++count;
    }
    if (count == 0)
        return *what = "no bytes in the hex column", -1;
    for (size_t i = hex + 3 * count - (count == 16 ? 1 : 0); i < hex + 47; ++i)
        if (line[i] != ' ')
            return *what = "hex column not padded with spaces", -1;

    std::string text = line.substr(59);
    if (text.size() != count)
        return *what = "text column length differs from the byte count", -1;
    for (unsigned char c : text)
        if (c < 0x20 || c == 0x7F || c >= 0xFD)
            return *what = "control byte in the text column", -1;
    return static_cast<int>(count);
}

} // namespace

bool ParseDumpText(const std::string& text, ParsedDump* dump, std::string* error)
{
    dump->firstAddress = 0;
    dump->bytes.clear();
    if (text.compare(0, sizeof HEADER - 1, HEADER) != 0)
        return Fail(error, 1, "wrong header");

    size_t pos = sizeof HEADER - 1;
    size_t lineNumber = 1;
    uint64_t expected = 0;
    bool shortLineSeen = false;
    while (pos < text.size()) {
        ++lineNumber;
        size_t end = text.find("\r\n", pos);
        if (end == std::string::npos)
            return Fail(error, lineNumber, "no CR LF at the end");
        std::string line = text.substr(pos, end - pos);
        if (line.find('\r') != std::string::npos || line.find('\n') != std::string::npos)
            return Fail(error, lineNumber, "lone CR or LF inside the line");
        if (shortLineSeen)
            return Fail(error, lineNumber, "a line after a short line");

        uint32_t address;
        const char* what = "";
        int count = ParseDataLine(line, &address, &dump->bytes, &what);
        if (count < 0)
            return Fail(error, lineNumber, what);
        if (lineNumber == 2) {
            if (address % 16 != 0)
                return Fail(error, lineNumber, "first address not a multiple of 16");
            dump->firstAddress = address;
        } else if (address != expected) {
            return Fail(error, lineNumber, "address does not follow the line before");
        }
        expected = uint64_t(address) + 16;
        shortLineSeen = count < 16;
        pos = end + 2;
    }
    return true;
}
