// Fuzz target for the dump writer: arbitrary bytes and ranges are dumped
// from an in-memory stream and the text is compared byte for byte with a
// plain model of the format, then checked for its shape (header, line
// lengths, TABs at 11 and 59, no control byte in the text column, CR LF
// ends). The output of a dump is bounded by its input, so memory is too.
//
// Input: a mode byte, start and end (4 bytes each, little-endian), then the
// file's bytes. Mode bits 0 and 1 bring start and end near the file.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "dump.h"
#include "fuzz_check.h"

namespace {

const char HEADER[] =
    "  address \t+0 +1 +2 +3 +4 +5 +6 +7 +8 +9 +A +B +C +D +E +F\t0123456789ABCDEF\r\n";

bool IsLead(unsigned char c)
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// The text column by its two-state rule, one line at a time.
std::string ModelText(const unsigned char* bytes, size_t count)
{
    std::string text;
    bool lead = false;
    unsigned char l = 0;
    for (size_t i = 0; i < count; ++i) {
        unsigned char b = bytes[i];
        if (lead) {
            if (b == 0x7F || b < 0x40 || b > 0xFC) {
                text += "..";
            } else {
                text += static_cast<char>(l);
                text += static_cast<char>(b);
            }
            lead = false;
        } else if ((b >= 0x20 && b <= 0x7E) || (b >= 0xA1 && b <= 0xDF)) {
            text += static_cast<char>(b);
        } else if (IsLead(b)) {
            lead = true;
            l = b;
        } else {
            text += '.';
        }
    }
    if (lead)
        text += '.';
    return text;
}

std::string ModelDump(const unsigned char* file, size_t size, uint32_t start, uint32_t end)
{
    std::string dump = HEADER;
    char buffer[64];
    for (uint64_t address = start & ~uint32_t(15); address < end && address < size; address += 16) {
        size_t count = size - address < 16 ? static_cast<size_t>(size - address) : 16;
        snprintf(buffer, sizeof buffer, "0x%08X\t", static_cast<unsigned>(address));
        dump += buffer;
        std::string hex;
        for (size_t i = 0; i < count; ++i) {
            snprintf(buffer, sizeof buffer, "%s%02X", i ? " " : "", file[address + i]);
            hex += buffer;
        }
        hex.resize(47, ' ');
        dump += hex + "\t" + ModelText(file + address, count) + "\r\n";
    }
    return dump;
}

void CheckShape(const std::string& dump)
{
    size_t pos = 0;
    while (pos < dump.size()) {
        size_t lf = dump.find('\n', pos);
        FUZZ_CHECK(lf != std::string::npos, "the last line has no LF");
        size_t length = lf + 1 - pos;
        FUZZ_CHECK(length >= 62 && length <= 77, "a line of %zu bytes", length);
        FUZZ_CHECK(dump[pos + 10] == '\t' && dump[pos + 58] == '\t', "TABs out of place");
        FUZZ_CHECK(dump[lf - 1] == '\r', "LF without CR");
        for (size_t i = pos + 59; i < lf - 1; ++i) {
            unsigned char c = static_cast<unsigned char>(dump[i]);
            FUZZ_CHECK(c >= 0x20 && c != 0x7F && c < 0xFD, "byte %02X in the text column", c);
        }
        pos = lf + 1;
    }
}

uint32_t ReadLittleEndian(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 9)
        return 0;
    uint8_t mode = data[0];
    uint32_t start = ReadLittleEndian(data + 1);
    uint32_t end = ReadLittleEndian(data + 5);
    const unsigned char* file = data + 9;
    size_t fileSize = size - 9;
    if (mode & 1)
        start %= fileSize + 33;
    if (mode & 2)
        end %= fileSize + 33;

    // An in-memory input of exactly the file's bytes; the dump goes to a
    // growing memory buffer.
    void* copy = malloc(fileSize + 1);
    memcpy(copy, file, fileSize);
    FILE* in = fmemopen(copy, fileSize, "rb");
    char* text = nullptr;
    size_t textSize = 0;
    FILE* out = open_memstream(&text, &textSize);
    FUZZ_CHECK(in && out, "cannot open memory streams");

    DumpResult result = WriteDump(out, in, start, end);
    fclose(out);
    fclose(in);
    FUZZ_CHECK(result.error == DUMP_OK, "WriteDump failed: %d", result.error);

    std::string dump(text, textSize);
    free(text);
    std::string expected = ModelDump(file, fileSize, start, end);
    FUZZ_CHECK(dump == expected, "the dump (%zu bytes) differs from the model (%zu bytes)", dump.size(),
               expected.size());
    CheckShape(dump);
    FUZZ_CHECK(dump.size() <= 77 * (fileSize / 16 + 2), "%zu bytes of dump from %zu", dump.size(), fileSize);

    // Each line formatted on its own into a buffer of exactly a full line.
    for (size_t offset = 0; offset < fileSize && offset < 64; offset += 16) {
        size_t count = fileSize - offset < 16 ? fileSize - offset : 16;
        char* line = static_cast<char*>(malloc(DUMP_LINE_MAX));
        size_t length = WriteDumpLine(line, file + offset, count, static_cast<uint32_t>(offset) ^ start);
        FUZZ_CHECK(length == 61 + count, "WriteDumpLine: %zu bytes for %zu", length, count);
        FUZZ_CHECK(std::string(line + 59, count) == ModelText(file + offset, count), "WriteDumpLine text");
        free(line);
    }
    free(copy);
    return 0;
}
