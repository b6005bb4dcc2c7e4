// The dump text: a header line, then per 16 input bytes the address, the
// bytes in hex and the bytes as Shift_JIS text, with CR LF line ends. The
// byte classes are fixed, so the same bytes give the same dump everywhere.
// Lines are formatted into memory and written in large blocks.
#include <cerrno>
#include <cstring>

#include "dump.h"

namespace {

constexpr char HEX_DIGITS[] = "0123456789ABCDEF";
const char DUMP_HEADER[] =
    "  address \t+0 +1 +2 +3 +4 +5 +6 +7 +8 +9 +A +B +C +D +E +F\t0123456789ABCDEF\r\n";
static_assert(sizeof DUMP_HEADER - 1 == DUMP_LINE_MAX, "the header is as wide as a full line");

// Per byte: its two hex digits, and what it shows as in the text column
// when it is not part of a double-byte character: printable ASCII (20-7E)
// and half-width katakana (A1-DF) as themselves, anything else as '.'.
struct ByteTables {
    char hex[256][2];
    char shownAlone[256];
};

constexpr ByteTables MakeByteTables()
{
    ByteTables t{};
    for (int b = 0; b < 256; ++b) {
        t.hex[b][0] = HEX_DIGITS[b >> 4];
        t.hex[b][1] = HEX_DIGITS[b & 15];
        bool shown = (b >= 0x20 && b <= 0x7E) || (b >= 0xA1 && b <= 0xDF);
        t.shownAlone[b] = shown ? static_cast<char>(b) : '.';
    }
    return t;
}

constexpr ByteTables BYTE_TABLES = MakeByteTables();

// Writes "0x", 8 upper-case hex digits and a TAB: 11 bytes.
char* WriteAddressColumn(char* dst, uint32_t address)
{
    dst[0] = '0';
    dst[1] = 'x';
    for (int i = 0; i < 4; ++i)
        memcpy(dst + 2 + 2 * i, BYTE_TABLES.hex[address >> (24 - 8 * i) & 0xFF], 2);
    dst[10] = '\t';
    return dst + DUMP_ADDRESS_WIDTH + 1;
}

// Writes the bytes as "XX" separated by spaces, padded to 47, and a TAB.
char* WriteHexColumn(char* dst, const unsigned char* bytes, size_t count)
{
    for (size_t i = 0; i < count; ++i) {
        memcpy(dst + 3 * i, BYTE_TABLES.hex[bytes[i]], 2);
        dst[3 * i + 2] = ' ';
    }
    for (size_t i = 3 * count; i < DUMP_HEX_WIDTH; ++i)
        dst[i] = ' ';
    dst[DUMP_HEX_WIDTH] = '\t';
    return dst + DUMP_HEX_WIDTH + 1;
}

// Writes one byte per input byte. A lead byte followed by a valid second
// byte is written with it as a pair; a lead byte with an invalid second byte
// gives "..", and one cut off by the end of the line gives '.'. The second
// byte of a pair cut by the line end starts the next line on its own.
char* WriteTextColumn(char* dst, const unsigned char* bytes, size_t count)
{
    size_t i = 0;
    while (i < count) {
        unsigned char b = bytes[i];
        if (!IsShiftJisLeadByte(b)) {
            dst[i++] = BYTE_TABLES.shownAlone[b];
        } else if (i + 1 == count) {
            dst[i++] = '.';
        } else {
            unsigned char second = bytes[i + 1];
            bool pair = IsShiftJisTrailByte(second);
            dst[i] = pair ? static_cast<char>(b) : '.';
            dst[i + 1] = pair ? static_cast<char>(second) : '.';
            i += 2;
        }
    }
    return dst + count;
}

// Sets the stream's position to offset; where the stream cannot seek (a
// pipe), reads and drops bytes up to it instead.
bool SkipTo(FILE* in, uint64_t offset)
{
#ifdef _WIN32
    if (_fseeki64(in, static_cast<long long>(offset), SEEK_SET) == 0)
        return true;
#else
    if (fseeko(in, static_cast<off_t>(offset), SEEK_SET) == 0)
        return true;
#endif
    char scratch[4096];
    while (offset > 0) {
        size_t want = offset < sizeof scratch ? static_cast<size_t>(offset) : sizeof scratch;
        size_t got = fread(scratch, 1, want, in);
        if (got == 0)
            return !ferror(in);
        offset -= got;
    }
    return true;
}

DumpResult Failed(DumpError error, int sysError)
{
    return DumpResult{error, sysError ? sysError : EIO};
}

} // namespace

size_t WriteDumpLine(char* dst, const unsigned char* bytes, size_t count, uint32_t address)
{
    char* p = WriteAddressColumn(dst, address);
    p = WriteHexColumn(p, bytes, count);
    p = WriteTextColumn(p, bytes, count);
    *p++ = '\r';
    *p++ = '\n';
    return static_cast<size_t>(p - dst);
}

DumpResult WriteDumpRange(FILE* out, FILE* in, uint32_t start, uint32_t end,
                          DumpProgressFunction progress, void* progressContext)
{
    // Input is read in blocks of whole lines and each block's text is
    // written at once.
    const size_t READ_BLOCK_SIZE = 32 * 1024;
    static_assert(READ_BLOCK_SIZE % DUMP_LINE_BYTES == 0, "blocks hold whole lines");
    struct {
        unsigned char bytes[READ_BLOCK_SIZE];
        char text[READ_BLOCK_SIZE / DUMP_LINE_BYTES * DUMP_LINE_MAX];
    } block;

    // Lines are written while their address is below end. Addresses are 32
    // bits, so no line starts past 0xFFFFFFF0 whatever the input's size.
    uint64_t address = start & ~uint32_t(DUMP_LINE_BYTES - 1);
    const uint64_t limit = (uint64_t(end) + DUMP_LINE_BYTES - 1) & ~uint64_t(DUMP_LINE_BYTES - 1);
    if (address >= limit)
        return DumpResult{DUMP_OK, 0};
    if (!SkipTo(in, address))
        return Failed(DUMP_READ_FAILED, errno);

    const uint64_t first = address;
    while (address < limit) {
        size_t want = limit - address < READ_BLOCK_SIZE ? size_t(limit - address) : READ_BLOCK_SIZE;
        size_t got = fread(block.bytes, 1, want, in);
        if (got < want && ferror(in))
            return Failed(DUMP_READ_FAILED, errno);

        size_t length = 0;
        for (size_t offset = 0; offset < got; offset += DUMP_LINE_BYTES) {
            size_t count = got - offset < DUMP_LINE_BYTES ? got - offset : DUMP_LINE_BYTES;
            length += WriteDumpLine(block.text + length, block.bytes + offset, count,
                                    static_cast<uint32_t>(address + offset));
        }
        if (length && fwrite(block.text, 1, length, out) != length)
            return Failed(DUMP_WRITE_FAILED, errno);
        address += got;
        if (progress)
            progress(progressContext, address - first);
        if (got < want)
            break;
    }
    return DumpResult{DUMP_OK, 0};
}

DumpResult WriteDump(FILE* out, FILE* in, uint32_t start, uint32_t end,
                     DumpProgressFunction progress, void* progressContext)
{
    if (fwrite(DUMP_HEADER, 1, DUMP_LINE_MAX, out) != DUMP_LINE_MAX)
        return Failed(DUMP_WRITE_FAILED, errno);
    return WriteDumpRange(out, in, start, end, progress, progressContext);
}
