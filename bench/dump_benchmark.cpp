// Microbenchmarks of the dump line formatting: blocks of full lines with each
// formatter on random bytes and on Shift_JIS text, short last lines, and
// the whole range loop from memory to /dev/null. bench/compare times the
// program as a whole against other tools.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <random>
#include <string>

#include "dump.h"

namespace {

const size_t BLOCK_LINES = 4096;  // 64 KiB of input, about 308 KiB of text
const size_t BLOCK_BYTES = BLOCK_LINES * DUMP_LINE_BYTES;

std::string RandomBytes(size_t size)
{
    std::mt19937 random(1);
    std::string bytes(size, '\0');
    for (char& b : bytes)
        b = static_cast<char>(random() & 0xFF);
    return bytes;
}

// Japanese text in Shift_JIS with ASCII between: mostly double-byte pairs,
// many of them cut by the line ends, and half-width katakana.
std::string ShiftJisText(size_t size)
{
    const std::string sentence =
        "Vellumet \x82\xCD\x83\x74\x83\x40\x83\x43\x83\x8B\x82\xCC\x88\xEA\x95\x94\x82\xF0 "
        "16\x90\x69\x90\x94\x82\xC5\x8F\x91\x82\xAB\x8F\x6F\x82\xB7\x81\x42 \xB6\xC0\xB6\xC5 "
        "\x93\xFA\x96\x7B\x8C\xEA\x82\xCC\x83\x65\x83\x4C\x83\x58\x83\x67\x81\x42\r\n";
    std::string text;
    while (text.size() < size)
        text += sentence;
    text.resize(size);
    return text;
}

enum Input { RANDOM_BYTES, SHIFT_JIS_TEXT };

std::string MakeInput(Input input, size_t size)
{
    return input == RANDOM_BYTES ? RandomBytes(size) : ShiftJisText(size);
}

// A block of full lines at once, as the range loop formats them.
void FullLines(benchmark::State& state, DumpLineFormatter formatter, Input input)
{
    if (!IsDumpLineFormatterAvailable(formatter)) {
        state.SkipWithError("this processor cannot run the formatter");
        return;
    }
    std::string bytes = MakeInput(input, BLOCK_BYTES);
    std::string text(BLOCK_LINES * DUMP_LINE_MAX, '\0');
    uint32_t address = 0;
    for (auto _ : state) {
        WriteFullDumpLines(&text[0], reinterpret_cast<const unsigned char*>(bytes.data()), BLOCK_LINES,
                           address, formatter);
        benchmark::DoNotOptimize(text.data());
        benchmark::ClobberMemory();
        address += BLOCK_BYTES;
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(BLOCK_BYTES));
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(BLOCK_LINES));
}

BENCHMARK_CAPTURE(FullLines, PortableRandom, DUMP_FORMATTER_PORTABLE, RANDOM_BYTES);
BENCHMARK_CAPTURE(FullLines, PortableText, DUMP_FORMATTER_PORTABLE, SHIFT_JIS_TEXT);
BENCHMARK_CAPTURE(FullLines, Ssse3Random, DUMP_FORMATTER_SSSE3, RANDOM_BYTES);
BENCHMARK_CAPTURE(FullLines, Ssse3Text, DUMP_FORMATTER_SSSE3, SHIFT_JIS_TEXT);

// One line at a time through WriteDumpLine, as the last line of a dump is
// made; the argument is the line's byte count.
void OneLine(benchmark::State& state)
{
    size_t count = static_cast<size_t>(state.range(0));
    std::string bytes = MakeInput(RANDOM_BYTES, BLOCK_BYTES);
    char line[DUMP_LINE_MAX];
    size_t offset = 0;
    for (auto _ : state) {
        size_t length = WriteDumpLine(line, reinterpret_cast<const unsigned char*>(bytes.data()) + offset,
                                      count, static_cast<uint32_t>(offset));
        benchmark::DoNotOptimize(length);
        benchmark::ClobberMemory();
        offset = (offset + DUMP_LINE_BYTES) % BLOCK_BYTES;
    }
    state.SetItemsProcessed(int64_t(state.iterations()));
}

BENCHMARK(OneLine)->Arg(1)->Arg(7)->Arg(15)->Arg(16);

// The whole range loop: 16 MiB from a file in memory to /dev/null, with
// the header, the page-sized writes and the stream calls.
void WholeDump(benchmark::State& state, Input input)
{
    const size_t SIZE = 16 * 1024 * 1024;
    std::string bytes = MakeInput(input, SIZE);
    FILE* in = tmpfile();
    FILE* out = fopen("/dev/null", "wb");
    if (!in || !out || fwrite(bytes.data(), 1, SIZE, in) != SIZE) {
        state.SkipWithError("cannot set up the files");
    } else {
        for (auto _ : state) {
            rewind(in);
            DumpResult result = WriteDump(out, in, 0, 0xFFFFFFFF);
            if (result.error != DUMP_OK)
                state.SkipWithError(DescribeDumpError(result.error));
        }
        state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(SIZE));
    }
    if (out)
        fclose(out);
    if (in)
        fclose(in);
}

BENCHMARK_CAPTURE(WholeDump, Random, RANDOM_BYTES)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(WholeDump, Text, SHIFT_JIS_TEXT)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
