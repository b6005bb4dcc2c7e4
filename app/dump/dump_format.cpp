// The dump text: a header line, then per 16 input bytes the address, the
// bytes in hex and the bytes as Shift_JIS text, with CR LF line ends. The
// byte classes are fixed, so the same bytes give the same dump everywhere.
// Lines are formatted a block at a time with no branch on the data, by a
// portable formatter or, on x86 processors that have SSSE3, by a vector
// one, and written in page-sized blocks.
#include <cerrno>
#include <cstring>

#include "dump.h"

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#define DUMP_HAVE_SSSE3 1
#include <tmmintrin.h>
#define DUMP_SSSE3 __attribute__((target("ssse3")))
#endif

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
// of the line gives bit 16, which is dropped.
uint32_t SecondByteMask(uint32_t leads)
{
    const uint32_t EVEN_PLACES = 0x55555555;
    const uint32_t ODD_PLACES = ~EVEN_PLACES;
    uint32_t runStarts = leads & ~(leads << 1);
    uint32_t runsFromEven = leads & ~(leads + (runStarts & EVEN_PLACES));
    uint32_t runsFromOdd = leads & ~runsFromEven;
    return (((runsFromEven << 1) & ODD_PLACES) | ((runsFromOdd << 1) & EVEN_PLACES)) & 0xFFFF;
}

// The places of a line's text column that do not show as their byte would
// alone: a valid pair is written as it is (asIs), a lead byte with an
// invalid second byte as ".." (dots: the second byte; the lead byte shows
// as '.' alone anyway), and a lead byte ending the line as '.', as alone.
struct TextPlaces {
    uint32_t asIs;
    uint32_t dots;
};

TextPlaces FindTextPlaces(uint32_t leads, uint32_t canFollow)
{
    uint32_t second = SecondByteMask(leads);
    uint32_t pairs = second & canFollow;
    return TextPlaces{pairs | pairs >> 1, second & ~canFollow};
}

// Formats a full line of 16 bytes into dst: exactly DUMP_LINE_MAX bytes,
// nothing written outside them.
void WritePortableLine(char* dst, const unsigned char* bytes, uint32_t address)
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

    TextPlaces places = FindTextPlaces(classes & 0xFFFF, classes >> 16);
    const uint64_t ALL_DOTS = 0x2E2E2E2E2E2E2E2E;
    for (int half = 0; half < 2; ++half) {
        uint64_t keep = BYTE_TABLES.bytesOf[places.asIs >> (8 * half) & 0xFF];
        uint64_t dot = BYTE_TABLES.bytesOf[places.dots >> (8 * half) & 0xFF];
        uint64_t text = (LoadBytes(bytes + 8 * half) & keep) | (ALL_DOTS & dot)
                      | (alone[half] & ~(keep | dot));
        StoreBytes(dst + TEXT_COLUMN + 8 * half, text);
    }
    dst[LINE_END] = '\r';
    dst[LINE_END + 1] = '\n';
}

void WritePortableLines(char* dst, const unsigned char* bytes, size_t lineCount, uint32_t address)
{
    for (size_t i = 0; i < lineCount; ++i)
        WritePortableLine(dst + i * DUMP_LINE_MAX, bytes + i * DUMP_LINE_BYTES,
                          address + static_cast<uint32_t>(i * DUMP_LINE_BYTES));
}

#ifdef DUMP_HAVE_SSSE3

// The same line with 16-byte vectors: the hex digits by table look-up in a
// register, the pairs moved into place with the spaces by byte shuffles,
// and the byte classes by range tests on all 16 bytes at once.

// FF in each byte of v that is from lo to hi, 00 in the others.
DUMP_SSSE3 inline __m128i BytesInRange(__m128i v, unsigned char lo, unsigned char hi)
{
    __m128i fromLo = _mm_sub_epi8(v, _mm_set1_epi8(static_cast<char>(lo)));
    __m128i beyond = _mm_subs_epu8(fromLo, _mm_set1_epi8(static_cast<char>(hi - lo)));
    return _mm_cmpeq_epi8(beyond, _mm_setzero_si128());
}

// FF in byte i where mask has bit i (i = 0..15), 00 in the others.
DUMP_SSSE3 inline __m128i BytesOfMask(uint32_t mask)
{
    const __m128i BIT_OF_BYTE = _mm_setr_epi8(1, 2, 4, 8, 16, 32, 64, -128, 1, 2, 4, 8, 16, 32, 64, -128);
    __m128i spread = _mm_shuffle_epi8(_mm_cvtsi32_si128(static_cast<int>(mask)),
                                      _mm_setr_epi8(0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1));
    return _mm_cmpeq_epi8(_mm_and_si128(spread, BIT_OF_BYTE), BIT_OF_BYTE);
}

DUMP_SSSE3 inline void WriteVectorLine(char* dst, const unsigned char* bytes, uint32_t address)
{
    dst[0] = '0';
    dst[1] = 'x';
    for (int i = 0; i < 4; ++i)
        memcpy(dst + 2 + 2 * i, BYTE_TABLES.hex[address >> (24 - 8 * i) & 0xFF], 2);
    dst[DUMP_ADDRESS_WIDTH] = '\t';

    // The digits of bytes 0-7 as pairs in pairs0, of bytes 8-15 in pairs1.
    const __m128i DIGITS = _mm_setr_epi8('0', '1', '2', '3', '4', '5', '6', '7',
                                         '8', '9', 'A', 'B', 'C', 'D', 'E', 'F');
    const __m128i LOW_NIBBLE = _mm_set1_epi8(0x0F);
    __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes));
    __m128i high = _mm_shuffle_epi8(DIGITS, _mm_and_si128(_mm_srli_epi16(v, 4), LOW_NIBBLE));
    __m128i low = _mm_shuffle_epi8(DIGITS, _mm_and_si128(v, LOW_NIBBLE));
    __m128i pairs0 = _mm_unpacklo_epi8(high, low);
    __m128i pairs1 = _mm_unpackhi_epi8(high, low);

    // The hex column and its TAB are 48 bytes, three vectors:
    //   "00 11 22 33 44 5"  "5 66 77 88 99 AA "  " BB CC DD EE FF\t"
    // where 00..FF stand for the digit pairs of bytes 0..15. A shuffle index
    // of -128 gives a zero byte, which the or with the spaces fills.
    const char Z = -128;
    __m128i hex0 = _mm_or_si128(
        _mm_shuffle_epi8(pairs0, _mm_setr_epi8(0, 1, Z, 2, 3, Z, 4, 5, Z, 6, 7, Z, 8, 9, Z, 10)),
        _mm_setr_epi8(0, 0, ' ', 0, 0, ' ', 0, 0, ' ', 0, 0, ' ', 0, 0, ' ', 0));
    __m128i hex1 = _mm_or_si128(
        _mm_or_si128(_mm_shuffle_epi8(pairs0, _mm_setr_epi8(11, Z, 12, 13, Z, 14, 15, Z, Z, Z, Z, Z, Z, Z, Z, Z)),
                     _mm_shuffle_epi8(pairs1, _mm_setr_epi8(Z, Z, Z, Z, Z, Z, Z, Z, 0, 1, Z, 2, 3, Z, 4, 5))),
        _mm_setr_epi8(0, ' ', 0, 0, ' ', 0, 0, ' ', 0, 0, ' ', 0, 0, ' ', 0, 0));
    __m128i hex2 = _mm_or_si128(
        _mm_shuffle_epi8(pairs1, _mm_setr_epi8(Z, 6, 7, Z, 8, 9, Z, 10, 11, Z, 12, 13, Z, 14, 15, Z)),
        _mm_setr_epi8(' ', 0, 0, ' ', 0, 0, ' ', 0, 0, ' ', 0, 0, ' ', 0, 0, '\t'));
    static_assert(DUMP_HEX_WIDTH + 1 == 3 * 16, "the hex column and its TAB are three vectors");
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + HEX_COLUMN), hex0);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + HEX_COLUMN + 16), hex1);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + HEX_COLUMN + 32), hex2);

    // The classes of the table in ByteTables, as range tests.
    __m128i leads = _mm_or_si128(BytesInRange(v, 0x81, 0x9F), BytesInRange(v, 0xE0, 0xFC));
    __m128i canFollow = _mm_andnot_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8(0x7F)), BytesInRange(v, 0x40, 0xFC));
    __m128i shown = _mm_or_si128(BytesInRange(v, 0x20, 0x7E), BytesInRange(v, 0xA1, 0xDF));
    TextPlaces places = FindTextPlaces(static_cast<uint32_t>(_mm_movemask_epi8(leads)),
                                       static_cast<uint32_t>(_mm_movemask_epi8(canFollow)));
    __m128i asIs = _mm_or_si128(BytesOfMask(places.asIs), _mm_andnot_si128(BytesOfMask(places.dots), shown));
    __m128i text = _mm_or_si128(_mm_and_si128(asIs, v), _mm_andnot_si128(asIs, _mm_set1_epi8('.')));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + TEXT_COLUMN), text);
    dst[LINE_END] = '\r';
    dst[LINE_END + 1] = '\n';
}

DUMP_SSSE3 void WriteVectorLines(char* dst, const unsigned char* bytes, size_t lineCount, uint32_t address)
{
    for (size_t i = 0; i < lineCount; ++i)
        WriteVectorLine(dst + i * DUMP_LINE_MAX, bytes + i * DUMP_LINE_BYTES,
                        address + static_cast<uint32_t>(i * DUMP_LINE_BYTES));
}

#endif

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


// The text waiting to be written. It goes out in writes of exactly
// WRITE_BLOCK_SIZE bytes, a multiple of the page size, so that every write
// but the last fills whole pages of the output file: writes that end part
// way into a page cost the system half as much again.
constexpr size_t WRITE_BLOCK_SIZE = 256 * 1024;

struct TextBuffer {
    FILE* out;
    size_t filled;
    char text[WRITE_BLOCK_SIZE];
};

bool FlushText(TextBuffer* buffer)
{
    size_t length = buffer->filled;
    buffer->filled = 0;
    return length == 0 || fwrite(buffer->text, 1, length, buffer->out) == length;
}

// Appends length bytes, writing the buffer out each time it fills.
bool AppendText(TextBuffer* buffer, const char* text, size_t length)
{
    while (length > 0) {
        size_t room = WRITE_BLOCK_SIZE - buffer->filled;
        size_t part = length < room ? length : room;
        memcpy(buffer->text + buffer->filled, text, part);
        buffer->filled += part;
        text += part;
        length -= part;
        if (buffer->filled == WRITE_BLOCK_SIZE && !FlushText(buffer))
            return false;
    }
    return true;
}

// Appends the full lines for lineCount * 16 bytes, formatted in place; the
// one line that does not fit at the end of the buffer is split.
bool AppendFullLines(TextBuffer* buffer, const unsigned char* bytes, size_t lineCount, uint32_t address,
                     DumpLineFormatter formatter)
{
    while (lineCount > 0) {
        size_t fit = (WRITE_BLOCK_SIZE - buffer->filled) / DUMP_LINE_MAX;
        size_t now = lineCount < fit ? lineCount : fit;
        WriteFullDumpLines(buffer->text + buffer->filled, bytes, now, address, formatter);
        buffer->filled += now * DUMP_LINE_MAX;
        bytes += now * DUMP_LINE_BYTES;
        address += static_cast<uint32_t>(now * DUMP_LINE_BYTES);
        lineCount -= now;
        if (lineCount > 0) {
            char line[DUMP_LINE_MAX];
            WriteFullDumpLines(line, bytes, 1, address, formatter);
            if (!AppendText(buffer, line, DUMP_LINE_MAX))
                return false;
            bytes += DUMP_LINE_BYTES;
            address += DUMP_LINE_BYTES;
            --lineCount;
        }
    }
    return true;
}

// The range loop behind WriteDumpRange and WriteDump; the header, when
// asked for, goes into the first block.
DumpResult WriteLines(FILE* out, FILE* in, bool withHeader, uint32_t start, uint32_t end,
                      DumpProgressFunction progress, void* progressContext)
{
    // Input is read in blocks of whole lines.
    const size_t READ_BLOCK_SIZE = 64 * 1024;
    static_assert(READ_BLOCK_SIZE % DUMP_LINE_BYTES == 0, "blocks hold whole lines");
    unsigned char bytes[READ_BLOCK_SIZE];
    TextBuffer buffer;
    buffer.out = out;
    buffer.filled = 0;
    if (withHeader)
        AppendText(&buffer, DUMP_HEADER, DUMP_LINE_MAX);

    // Lines are written while their address is below end. Addresses are 32
    // bits, so no line starts past 0xFFFFFFF0 whatever the input's size.
    uint64_t address = start & ~uint32_t(DUMP_LINE_BYTES - 1);
    const uint64_t limit = (uint64_t(end) + DUMP_LINE_BYTES - 1) & ~uint64_t(DUMP_LINE_BYTES - 1);
    if (address < limit && !SkipTo(in, address)) {
        int sysError = errno;
        FlushText(&buffer);
        return Failed(DUMP_READ_FAILED, sysError);
    }

    const DumpLineFormatter formatter = FastestDumpLineFormatter();
    const uint64_t first = address;
    while (address < limit) {
        size_t want = limit - address < READ_BLOCK_SIZE ? size_t(limit - address) : READ_BLOCK_SIZE;
        size_t got = fread(bytes, 1, want, in);
        if (got < want && ferror(in)) {
            int sysError = errno;
            if (!FlushText(&buffer))
                return Failed(DUMP_WRITE_FAILED, errno);
            return Failed(DUMP_READ_FAILED, sysError);
        }

        size_t fullLines = got / DUMP_LINE_BYTES;
        bool written = AppendFullLines(&buffer, bytes, fullLines, static_cast<uint32_t>(address), formatter);
        size_t rest = got % DUMP_LINE_BYTES;
        if (written && rest > 0) {
            char line[DUMP_LINE_MAX];
            size_t lineAt = fullLines * DUMP_LINE_BYTES;
            size_t length = WriteDumpLine(line, bytes + lineAt, rest, static_cast<uint32_t>(address + lineAt));
            written = AppendText(&buffer, line, length);
        }
        if (!written)
            return Failed(DUMP_WRITE_FAILED, errno);
        address += got;
        if (progress)
            progress(progressContext, address - first);
        if (got < want)
            break;
    }
    if (!FlushText(&buffer))
        return Failed(DUMP_WRITE_FAILED, errno);
    return DumpResult{DUMP_OK, 0};
}

} // namespace

bool IsDumpLineFormatterAvailable(DumpLineFormatter formatter)
{
    switch (formatter) {
    case DUMP_FORMATTER_PORTABLE:
        return true;
    case DUMP_FORMATTER_SSSE3:
#ifdef DUMP_HAVE_SSSE3
        return __builtin_cpu_supports("ssse3");
#else
        return false;
#endif
    }
    return false;
}

DumpLineFormatter FastestDumpLineFormatter()
{
    return IsDumpLineFormatterAvailable(DUMP_FORMATTER_SSSE3) ? DUMP_FORMATTER_SSSE3 : DUMP_FORMATTER_PORTABLE;
}

void WriteFullDumpLines(char* dst, const unsigned char* bytes, size_t lineCount, uint32_t address,
                        DumpLineFormatter formatter)
{
#ifdef DUMP_HAVE_SSSE3
    if (formatter == DUMP_FORMATTER_SSSE3) {
        WriteVectorLines(dst, bytes, lineCount, address);
        return;
    }
#endif
    (void)formatter;
    WritePortableLines(dst, bytes, lineCount, address);
}

size_t WriteDumpLine(char* dst, const unsigned char* bytes, size_t count, uint32_t address)
{
    DumpLineFormatter formatter = FastestDumpLineFormatter();
    if (count >= DUMP_LINE_BYTES) {
        WriteFullDumpLines(dst, bytes, 1, address, formatter);
        return DUMP_LINE_MAX;
    }
    // A short line is the full line of its bytes followed by zeros, cut:
    // a zero is no second byte, so a lead byte ending the bytes still shows
    // as '.', and nothing before it changes.
    unsigned char padded[DUMP_LINE_BYTES] = {};
    memcpy(padded, bytes, count);
    char full[DUMP_LINE_MAX];
    WriteFullDumpLines(full, padded, 1, address, formatter);
    memset(full + HEX_COLUMN + 3 * count, ' ', DUMP_HEX_WIDTH - 3 * count);
    memcpy(dst, full, TEXT_COLUMN + count);
    dst[TEXT_COLUMN + count] = '\r';
    dst[TEXT_COLUMN + count + 1] = '\n';
    return TEXT_COLUMN + count + 2;
}

DumpResult WriteDumpRange(FILE* out, FILE* in, uint32_t start, uint32_t end,
                          DumpProgressFunction progress, void* progressContext)
{
    return WriteLines(out, in, false, start, end, progress, progressContext);
}

DumpResult WriteDump(FILE* out, FILE* in, uint32_t start, uint32_t end,
                     DumpProgressFunction progress, void* progressContext)
{
    return WriteLines(out, in, true, start, end, progress, progressContext);
}
