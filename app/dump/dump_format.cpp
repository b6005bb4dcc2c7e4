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

// Where the columns of a line start, and where its CR LF goes.
constexpr size_t HEX_COLUMN = DUMP_ADDRESS_WIDTH + 1;
constexpr size_t TEXT_COLUMN = HEX_COLUMN + DUMP_HEX_WIDTH + 1;
constexpr size_t LINE_END = TEXT_COLUMN + DUMP_LINE_BYTES;
static_assert(LINE_END + 2 == DUMP_LINE_MAX, "the text column ends the line");

// Per byte, worked out once:
//
//   hex        its two hex digits and a space, and one spare byte so that
//              it is stored in one 4-byte move
//   shownAlone what it shows as in the text column when it is not part of
//              a double-byte character:
//                20-7E  printable ASCII, space included   itself
//                A1-DF  half-width katakana               itself
//                other  (lead bytes among them)           '.'
//   classes    1 for a lead byte (81-9F, E0-FC), plus 1 << 16 for a byte
//              that may follow one (40-FC except 7F); shifted left by the
//              byte's place in the line and or-ed, these give a line's lead
//              mask in the low half and its second-byte mask in the high
//   bytesOf    for each 8-bit mask, 8 bytes that are FF where the mask has
//              a bit and 00 where not (bit k gives byte k)
struct ByteTables {
    char hex[256][4];
    unsigned char shownAlone[256];
    uint32_t classes[256];
    uint64_t bytesOf[256];
};

constexpr ByteTables MakeByteTables()
{
    ByteTables t{};
    for (int b = 0; b < 256; ++b) {
        unsigned char c = static_cast<unsigned char>(b);
        t.hex[b][0] = HEX_DIGITS[b >> 4];
        t.hex[b][1] = HEX_DIGITS[b & 15];
        t.hex[b][2] = ' ';
        t.hex[b][3] = ' ';
        bool shown = (b >= 0x20 && b <= 0x7E) || (b >= 0xA1 && b <= 0xDF);
        t.shownAlone[b] = shown ? c : '.';
        t.classes[b] = (IsShiftJisLeadByte(c) ? 1u : 0u) | (IsShiftJisTrailByte(c) ? 1u << 16 : 0u);
        uint64_t bytes = 0;
        for (int k = 0; k < 8; ++k)
            if (b >> k & 1)
                bytes |= uint64_t(0xFF) << (8 * k);
        t.bytesOf[b] = bytes;
    }
    return t;
}

constexpr ByteTables BYTE_TABLES = MakeByteTables();

// 8 bytes as a number, the first byte lowest, whatever the machine's byte
// order; compilers make each a single move on little-endian machines.
uint64_t LoadBytes(const unsigned char* src)
{
    uint64_t v = 0;
    for (int k = 0; k < 8; ++k)
        v |= uint64_t(src[k]) << (8 * k);
    return v;
}

void StoreBytes(char* dst, uint64_t v)
{
    for (int k = 0; k < 8; ++k)
        dst[k] = static_cast<char>(v >> (8 * k));
}

// Which bytes of a line are second bytes of double-byte characters, given
// the mask of its lead bytes (bit i for byte i). The line is read from its
// first byte; a lead byte takes the byte after it whatever that byte is, so
// in a run of lead bytes the 1st, 3rd, 5th... begin characters and the 2nd,
// 4th... and, when the run is odd, the byte after it are second bytes.
// Adding a run's lowest bit to the mask clears the run, which picks out the
// runs that begin at an even place; the second bytes are then the odd places
// after those and the even places after the others. A lead byte at the end
// of the line gives bit 16, which the caller drops.
uint32_t SecondByteMask(uint32_t leads)
{
    const uint32_t EVEN_PLACES = 0x55555555;
    const uint32_t ODD_PLACES = ~EVEN_PLACES;
    uint32_t runStarts = leads & ~(leads << 1);
    uint32_t runsFromEven = leads & ~(leads + (runStarts & EVEN_PLACES));
    uint32_t runsFromOdd = leads & ~runsFromEven;
    return ((runsFromEven << 1) & ODD_PLACES) | ((runsFromOdd << 1) & EVEN_PLACES);
}

// Formats a full line of 16 bytes into dst: exactly DUMP_LINE_MAX bytes,
// nothing written outside them. No branch depends on the bytes.
void WriteFullLine(char* dst, const unsigned char* bytes, uint32_t address)
{
    dst[0] = '0';
    dst[1] = 'x';
    for (int i = 0; i < 4; ++i)
        memcpy(dst + 2 + 2 * i, BYTE_TABLES.hex[address >> (24 - 8 * i) & 0xFF], 2);
    dst[DUMP_ADDRESS_WIDTH] = '\t';

    // Hex pairs with their spaces, each stored 4 bytes wide; the spare byte
    // is overwritten by the next pair, and the last one by the TAB. On the
    // way, the text column as if every byte stood alone, and the classes.
    char* hex = dst + HEX_COLUMN;
    uint64_t alone[2] = {0, 0};
    uint32_t classes = 0;
    for (int i = 0; i < 16; ++i) {
        unsigned char b = bytes[i];
        memcpy(hex + 3 * i, BYTE_TABLES.hex[b], 4);
        alone[i / 8] |= uint64_t(BYTE_TABLES.shownAlone[b]) << (8 * (i % 8));
        classes |= BYTE_TABLES.classes[b] << i;
    }
    dst[TEXT_COLUMN - 1] = '\t';

    // Valid pairs are written as they are, a lead byte with an invalid
    // second byte as "..", and a lead byte ending the line as '.' (which is
    // how a lead byte shows alone).
    uint32_t second = SecondByteMask(classes & 0xFFFF) & 0xFFFF;
    uint32_t canFollow = classes >> 16;
    uint32_t pairs = second & canFollow;
    uint32_t asIs = pairs | pairs >> 1;
    uint32_t dots = second & ~canFollow;
    const uint64_t ALL_DOTS = 0x2E2E2E2E2E2E2E2E;
    for (int half = 0; half < 2; ++half) {
        uint64_t keep = BYTE_TABLES.bytesOf[asIs >> (8 * half) & 0xFF];
        uint64_t dot = BYTE_TABLES.bytesOf[dots >> (8 * half) & 0xFF];
        uint64_t text = (LoadBytes(bytes + 8 * half) & keep) | (ALL_DOTS & dot)
                      | (alone[half] & ~(keep | dot));
        StoreBytes(dst + TEXT_COLUMN + 8 * half, text);
    }
    dst[LINE_END] = '\r';
    dst[LINE_END + 1] = '\n';
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
    if (count >= DUMP_LINE_BYTES) {
        WriteFullLine(dst, bytes, address);
        return DUMP_LINE_MAX;
    }
    // A short line is the full line of its bytes followed by zeros, cut:
    // a zero is no second byte, so a lead byte ending the bytes still shows
    // as '.', and nothing before it changes.
    unsigned char padded[DUMP_LINE_BYTES] = {};
    memcpy(padded, bytes, count);
    char full[DUMP_LINE_MAX];
    WriteFullLine(full, padded, address);
    memset(full + HEX_COLUMN + 3 * count, ' ', DUMP_HEX_WIDTH - 3 * count);
    memcpy(dst, full, TEXT_COLUMN + count);
    dst[TEXT_COLUMN + count] = '\r';
    dst[TEXT_COLUMN + count + 1] = '\n';
    return TEXT_COLUMN + count + 2;
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
