// SPDX-License-Identifier: GPL-3.0-or-later
#include "frame/jpegeighth.h"

#include "frame/picturedecode.h"

#include <QIODevice>
#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <cstring>
#include <memory>
#include <numbers>
#include <system_error>
#include <thread>
#include <vector>

#include <sys/mman.h>

// At an eighth of its size a JPEG block gives one pixel, the block's
// average, which is its DC coefficient: what costs is reading the Huffman
// codes of every coefficient in between. They are read here by a decoder of
// our own that keeps only what the small picture needs, on as many threads
// as there are cores. A Huffman stream has no marks where a block begins,
// but decoding from a wrong place falls into step with the right decoding
// within a few blocks: a part started in the middle of the data records
// where it thinks each MCU begins, and the part before it stops as soon as
// one of its own MCU starts is among them. From there both read the same
// codes, so the later part's MCUs are the picture's; only the DC
// predictions differ, and those are summed once everything is read.

namespace tavlo {
namespace {

constexpr int kPeekBits = 10;
// AC codes stepped over a few at a time: as many whole codes, with their
// values' bits, as fit in this many bits.
constexpr int kGroupBits = 12;
// Zero bytes after the data: an MCU read past its end never leaves the buffer.
constexpr qsizetype kPadding = 8192;
constexpr qint64 kLargestFile = qint64(96) << 20;

constexpr std::array<uint8_t, 64> kNaturalOrder = {
    0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,  12, 19, 26, 33, 40, 48,
    41, 34, 27, 20, 13, 6,  7,  14, 21, 28, 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23,
    30, 37, 44, 51, 58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

// A Huffman table: codes of up to kPeekBits found in one look-up, longer
// ones the canonical way.
struct Huffman
{
    bool defined = false;
    std::array<uint16_t, 1 << kPeekBits> fast{}; // symbol << 8 | length; 0 for longer codes
    // For AC codes stepped over: length with the value's bits << 0, the
    // coefficients it moves on by << 8 (0 at the end of the block).
    std::array<uint16_t, 1 << kPeekBits> step{};
    // Bits taken << 0, block ended << 4, coefficients moved on by << 5; 0
    // when not even one code fits.
    std::array<uint16_t, 1 << kGroupBits> group{};
    std::array<int32_t, 17> maxCode{};
    std::array<int32_t, 17> offset{};
    std::array<uint8_t, 256> values{};

    bool build(const uint8_t *counts, const uint8_t *symbols, int total)
    {
        fast.fill(0);
        step.fill(0);
        std::copy(symbols, symbols + total, values.begin());
        int code = 0, index = 0;
        for (int length = 1; length <= 16; ++length) {
            offset[size_t(length)] = index - code;
            for (int i = 0; i < counts[length - 1]; ++i, ++code, ++index) {
                if (code >= 1 << length)
                    return false; // more codes than the length has room for
                if (length > kPeekBits)
                    continue;
                const int symbol = symbols[index];
                const int run = symbol >> 4, size = symbol & 15;
                const int moves = size ? run + 1 : run == 15 ? 16 : 0;
                const int first = code << (kPeekBits - length);
                for (int fill = 0; fill < 1 << (kPeekBits - length); ++fill) {
                    fast[size_t(first + fill)] = uint16_t(symbol << 8 | length);
                    step[size_t(first + fill)] = uint16_t(moves << 8 | (length + size));
                }
            }
            maxCode[size_t(length)] = counts[length - 1] ? code - 1 : -1;
            code <<= 1;
        }
        buildGroups();
        defined = true;
        return true;
    }

    void buildGroups()
    {
        constexpr int kMask = (1 << kGroupBits) - 1;
        for (int bits = 0; bits <= kMask; ++bits) {
            int taken = 0, moves = 0;
            bool ended = false;
            while (!ended) {
                const int rest = (bits << taken) & kMask;
                const uint16_t entry = fast[size_t(rest >> (kGroupBits - kPeekBits))];
                const int length = entry & 0xFF, symbol = entry >> 8;
                const int run = symbol >> 4, size = symbol & 15;
                if (!entry || length + size > kGroupBits - taken)
                    break;
                taken += length + size;
                if (size)
                    moves += run + 1;
                else if (run == 15)
                    moves += 16;
                else
                    ended = true;
            }
            group[size_t(bits)] = uint16_t(taken | int(ended) << 4 | moves << 5);
        }
    }
};

// Reads the unstuffed entropy data most significant bit first. Bits below
// the count held are either zero or the stream's own next bits, so a load
// may overlap what is held.
struct BitReader
{
    const uint8_t *data = nullptr;
    qsizetype byte = 0;
    uint64_t held = 0;
    int count = 0;

    void fill()
    {
        uint64_t word;
        std::memcpy(&word, data + byte, 8);
        word = __builtin_bswap64(word);
        held |= word >> count;
        const int bytes = (63 - count) >> 3;
        byte += bytes;
        count += bytes * 8;
    }
    uint64_t position() const { return uint64_t(byte) * 8 - uint64_t(count); }
    uint32_t peek(int bits) const { return uint32_t(held >> (64 - bits)); }
    void drop(int bits)
    {
        held <<= bits;
        count -= bits;
    }
    int value(int bits) // bits >= 1, as JPEG extends it
    {
        const int raw = int(held >> (64 - bits));
        drop(bits);
        return raw < 1 << (bits - 1) ? raw - (1 << bits) + 1 : raw;
    }
    // The next symbol of table, or -1 when no code matches.
    int symbol(const Huffman &table)
    {
        const uint16_t entry = table.fast[peek(kPeekBits)];
        if (entry) {
            drop(entry & 0xFF);
            return entry >> 8;
        }
        const uint32_t sixteen = peek(16);
        for (int length = kPeekBits + 1; length <= 16; ++length) {
            const int code = int(sixteen >> (16 - length));
            if (code <= table.maxCode[size_t(length)]) {
                drop(length);
                return table.values[size_t(code + table.offset[size_t(length)])];
            }
        }
        return -1;
    }
};

struct Component
{
    int id = 0, h = 1, v = 1, quant = 0;
    const Huffman *dc = nullptr, *ac = nullptr;
    int across = 1, down = 1; // output pixels a block gives
    int quant0 = 1;
    // Per zigzag index, what one unit of that coefficient adds to each of a
    // block's output pixels; empty when the block gives one pixel.
    std::vector<float> weights;
    std::array<bool, 64> adds{}; // per zigzag index: some weight is not zero
};

struct Frame
{
    int width = 0, height = 0;
    std::vector<Component> components;
    std::array<std::array<uint16_t, 64>, 4> quant{};
    std::array<bool, 4> quantDefined{};
    std::array<Huffman, 4> dcTables, acTables;
    int maxH = 1, maxV = 1;
    int mcusAcross = 0, mcusDown = 0;
    std::vector<int> blockComponent; // per block of an MCU
    std::vector<int> blockColumn, blockRow;
    std::vector<int> blockSums; // where a block's pixel sums start in an MCU's record, or -1
    int sumsPerMcu = 0;
    const uint8_t *data = nullptr; // unstuffed entropy data, padded
    qsizetype bytes = 0;
    int restartInterval = 0;               // MCUs between restart markers; 0 for none
    std::vector<qsizetype> intervalStarts; // where each interval's data begins
};

uint16_t big16(const uint8_t *at)
{
    return uint16_t(at[0] << 8 | at[1]);
}

bool readTables(Frame &frame, const uint8_t *at, const uint8_t *end, uint8_t marker)
{
    while (at < end) {
        if (marker == 0xC4) {
            if (end - at < 17)
                return false;
            const int tableClass = at[0] >> 4, slot = at[0] & 15;
            int total = 0;
            for (int i = 0; i < 16; ++i)
                total += at[1 + i];
            if (tableClass > 1 || slot > 3 || total > 256 || end - at < 17 + total)
                return false;
            Huffman &table =
                tableClass ? frame.acTables[size_t(slot)] : frame.dcTables[size_t(slot)];
            if (!table.build(at + 1, at + 17, total))
                return false;
            at += 17 + total;
        } else {
            const int precision = at[0] >> 4, slot = at[0] & 15;
            const int size = precision ? 129 : 65;
            if (precision > 1 || slot > 3 || end - at < size)
                return false;
            for (int k = 0; k < 64; ++k)
                frame.quant[size_t(slot)][size_t(k)] =
                    precision ? big16(at + 1 + 2 * k) : at[1 + k];
            frame.quantDefined[size_t(slot)] = true;
            at += size;
        }
    }
    return true;
}

bool readFrameHeader(Frame &frame, const uint8_t *at, qsizetype size)
{
    if (size < 6 || at[0] != 8)
        return false;
    frame.height = big16(at + 1);
    frame.width = big16(at + 3);
    const int count = at[5];
    if (frame.width == 0 || frame.height == 0 || (count != 1 && count != 3) || size < 6 + 3 * count)
        return false;
    for (int c = 0; c < count; ++c) {
        Component component;
        component.id = at[6 + 3 * c];
        component.h = at[7 + 3 * c] >> 4;
        component.v = at[7 + 3 * c] & 15;
        component.quant = at[8 + 3 * c];
        if (component.h < 1 || component.h > 4 || component.v < 1 || component.v > 4 ||
            component.quant > 3)
            return false;
        // A scan of one component has MCUs of one block whatever its factors.
        if (count == 1)
            component.h = component.v = 1;
        frame.components.push_back(component);
    }
    return true;
}

bool readScanHeader(Frame &frame, const uint8_t *at, qsizetype size)
{
    if (size < 1 || at[0] != int(frame.components.size()) || size < 4 + 2 * at[0])
        return false;
    for (int i = 0; i < at[0]; ++i) {
        const int id = at[1 + 2 * i], tables = at[2 + 2 * i];
        // In frame order, each once.
        Component &component = frame.components[size_t(i)];
        if (component.id != id || (tables >> 4) > 3 || (tables & 15) > 3)
            return false;
        component.dc = &frame.dcTables[size_t(tables >> 4)];
        component.ac = &frame.acTables[size_t(tables & 15)];
    }
    const uint8_t *spectral = at + 1 + 2 * at[0];
    return spectral[0] == 0 && spectral[1] == 63 && spectral[2] == 0;
}

// The average of cos((2x + 1) u pi / 16) over x in [first, first + count).
double cosineMean(int u, int first, int count)
{
    double sum = 0;
    for (int x = first; x < first + count; ++x)
        sum += std::cos((2 * x + 1) * u * std::numbers::pi / 16);
    return sum / count;
}

bool prepare(Frame &frame)
{
    for (const Component &component : frame.components) {
        frame.maxH = std::max(frame.maxH, component.h);
        frame.maxV = std::max(frame.maxV, component.v);
    }
    frame.mcusAcross = (frame.width + 8 * frame.maxH - 1) / (8 * frame.maxH);
    frame.mcusDown = (frame.height + 8 * frame.maxV - 1) / (8 * frame.maxV);
    for (size_t c = 0; c < frame.components.size(); ++c) {
        Component &component = frame.components[c];
        if (!component.dc || !component.dc->defined || !component.ac->defined ||
            !frame.quantDefined[size_t(component.quant)] || frame.maxH % component.h ||
            frame.maxV % component.v)
            return false;
        component.across = frame.maxH / component.h;
        component.down = frame.maxV / component.v;
        if (component.across == 3 || component.down == 3)
            return false;
        const auto &quant = frame.quant[size_t(component.quant)];
        component.quant0 = quant[0];
        const int pixels = component.across * component.down;
        if (pixels > 1) {
            // Each output pixel is the average of an 8/across by 8/down part
            // of the block, taken from the whole inverse DCT.
            component.weights.assign(size_t(64 * pixels), 0.0f);
            const int width = 8 / component.across, height = 8 / component.down;
            for (int k = 1; k < 64; ++k) {
                const int u = kNaturalOrder[size_t(k)] % 8, v = kNaturalOrder[size_t(k)] / 8;
                const double cu = u ? 1 : std::numbers::sqrt2 / 2;
                const double cv = v ? 1 : std::numbers::sqrt2 / 2;
                for (int sy = 0; sy < component.down; ++sy)
                    for (int sx = 0; sx < component.across; ++sx) {
                        const double weight = quant[size_t(k)] * cu * cv / 4 *
                                              cosineMean(u, sx * width, width) *
                                              cosineMean(v, sy * height, height);
                        component.weights[size_t(k * pixels + sy * component.across + sx)] =
                            float(weight);
                        component.adds[size_t(k)] =
                            component.adds[size_t(k)] || std::abs(weight) > 1e-9;
                    }
            }
        }
        for (int row = 0; row < component.v; ++row)
            for (int column = 0; column < component.h; ++column) {
                frame.blockComponent.push_back(int(c));
                frame.blockColumn.push_back(column);
                frame.blockRow.push_back(row);
                frame.blockSums.push_back(pixels > 1 ? frame.sumsPerMcu : -1);
                frame.sumsPerMcu += pixels > 1 ? pixels : 0;
            }
    }
    return frame.blockComponent.size() <= 10;
}

// Reads the markers up to the scan, unstuffs the scan's data in place and
// zeros what follows it; file has room for kPadding bytes past size.
bool readStructure(Frame &frame, uint8_t *file, qsizetype size)
{
    const uint8_t *bytes = file;
    if (size < 4 || bytes[0] != 0xFF || bytes[1] != 0xD8)
        return false;
    qsizetype at = 2;
    bool framed = false;
    for (;;) {
        if (at + 4 > size || bytes[at] != 0xFF)
            return false;
        while (at + 4 <= size && bytes[at + 1] == 0xFF)
            ++at;
        const uint8_t marker = bytes[at + 1];
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) {
            at += 2;
            continue;
        }
        const qsizetype length = big16(bytes + at + 2);
        const uint8_t *segment = bytes + at + 4;
        if (length < 2 || at + 2 + length > size)
            return false;
        const qsizetype segmentSize = length - 2;
        if (marker == 0xC0 || marker == 0xC1) {
            if (framed || !readFrameHeader(frame, segment, segmentSize))
                return false;
            framed = true;
        } else if (marker >= 0xC2 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 &&
                   marker != 0xCC) {
            return false; // progressive, lossless or arithmetic coded
        } else if (marker == 0xC4 || marker == 0xDB) {
            if (!readTables(frame, segment, segment + segmentSize, marker))
                return false;
        } else if (marker == 0xDD) {
            if (segmentSize < 2)
                return false;
            frame.restartInterval = big16(segment);
        } else if (marker == 0xEE) {
            if (segmentSize >= 5 && std::memcmp(segment, "Adobe", 5) == 0)
                return false; // its own colour transform
        } else if (marker == 0xDA) {
            if (!framed || !readScanHeader(frame, segment, segmentSize))
                return false;
            at += 2 + length;
            break;
        }
        at += 2 + length;
    }
    // Unstuff: 0xFF 0x00 is a data byte; a restart marker, in its turn,
    // begins the next interval; 0xFF before anything else is the marker that
    // ends the scan.
    uint8_t *data = file + at;
    qsizetype read = 0, written = 0;
    const qsizetype available = size - at;
    for (;;) {
        const void *found = std::memchr(data + read, 0xFF, size_t(available - read));
        const qsizetype run =
            found ? static_cast<const uint8_t *>(found) - (data + read) : available - read;
        std::memmove(data + written, data + read, size_t(run));
        written += run;
        read += run;
        if (!found || read + 1 >= available)
            return false; // no marker after the data
        const uint8_t next = data[read + 1];
        if (next == 0x00) {
            data[written++] = 0xFF;
            read += 2;
            continue;
        }
        if (next == 0xFF) { // fill before a marker
            ++read;
            continue;
        }
        if (!frame.restartInterval || next < 0xD0 || next > 0xD7)
            break;
        if (next != 0xD0 + frame.intervalStarts.size() % 8)
            return false; // out of turn: left to libjpeg, which resynchronises
        frame.intervalStarts.push_back(written);
        read += 2;
    }
    std::memset(data + written, 0, size_t(size + kPadding - (at + written)));
    frame.data = data;
    frame.bytes = written;
    return written > 0;
}

// One thread's share of the data and what it read.
struct Part
{
    uint64_t startBit = 0;
    std::vector<int16_t> dc; // per MCU, per block: the DC difference
    std::vector<float> sums; // per MCU: what the AC coefficients add to each pixel
    std::vector<uint64_t> starts;
    std::atomic<int> offered{0};   // MCU starts the part before may look at
    std::atomic<int> validFrom{0}; // MCUs before this led into undecodable data
    std::atomic<bool> finished{false};
    int count = 0;       // MCUs read
    int metAt = -1;      // own MCUs read when it met the next part
    int nextFrom = -1;   // the next part's MCU there
    qint64 firstMcu = 0; // with restart markers: the picture's MCU it starts at
    bool failed = false;
};

class EighthDecoder final
{
public:
    EighthDecoder(const Frame &frame, const JpegEighthSplit &split)
        : m_frame(frame), m_split(split), m_total(qint64(frame.mcusAcross) * frame.mcusDown),
          m_blocks(int(frame.blockComponent.size()))
    {}

    QImage decode()
    {
        if (m_frame.restartInterval)
            return decodeIntervals();
        const qint64 dataBytes = m_frame.bytes;
        const int parts = partCount(dataBytes / std::max<qint64>(m_split.smallestPartBytes, 1));
        m_parts = std::vector<Part>(size_t(parts));
        for (int p = 0; p < parts; ++p) {
            Part &part = m_parts[size_t(p)];
            part.startBit = uint64_t(dataBytes * p / parts) * 8;
            const size_t expected = size_t(m_total / parts + m_total / 8 + 16);
            part.dc.resize(expected * size_t(m_blocks));
            part.sums.resize(expected * size_t(m_frame.sumsPerMcu));
            if (p > 0)
                part.starts.resize(size_t(std::max(m_split.meetWindow, 1)));
        }
        runParts(parts, [this](int p) { runCaught(p); });
        return assemble();
    }

private:
    // Parts for that many of the smallest; one a core, at most four, unless told.
    int partCount(qint64 most) const
    {
        const int cores = int(std::clamp(std::thread::hardware_concurrency(), 1u, 4u));
        return int(std::clamp<qint64>(most, 1, m_split.parts > 0 ? m_split.parts : cores));
    }

    // Reads parts 1 on in threads of their own and part 0 in this one. A
    // part that gets no thread is read here first: slower, the same result.
    template <typename Read> static void runParts(int parts, const Read &read)
    {
        std::vector<std::thread> threads;
        for (int p = 1; p < parts; ++p) {
            try {
                threads.emplace_back(read, p);
            } catch (const std::system_error &) {
                read(p);
            }
        }
        read(0);
        for (std::thread &thread : threads)
            thread.join();
    }

    // Reads one MCU at reader into part's record slot; false on a code no
    // valid stream holds.
    bool readMcu(BitReader &reader, int16_t *dc, float *sums) const
    {
        std::fill(sums, sums + m_frame.sumsPerMcu, 0.0f);
        for (int b = 0; b < m_blocks; ++b) {
            const Component &component =
                m_frame.components[size_t(m_frame.blockComponent[size_t(b)])];
            if (reader.count < 32)
                reader.fill();
            const int size = reader.symbol(*component.dc);
            if (size < 0 || size > 11)
                return false;
            dc[b] = int16_t(size ? reader.value(size) : 0);
            int k = 1;
            const int firstSum = m_frame.blockSums[size_t(b)];
            if (firstSum < 0) {
                const Huffman &table = *component.ac;
                while (k < 64) {
                    if (reader.count < 32)
                        reader.fill();
                    // A group may not run past the block's last coefficient.
                    const uint16_t group = table.group[reader.peek(kGroupBits)];
                    const int moved = k + (group >> 5);
                    const bool ended = group & 16;
                    if (group && (moved < 64 || (moved == 64 && !ended))) {
                        reader.drop(group & 15);
                        k = moved;
                        if (ended)
                            break;
                        continue;
                    }
                    const uint16_t entry = table.step[reader.peek(kPeekBits)];
                    if (entry) {
                        reader.drop(entry & 0xFF);
                        const int moves = entry >> 8;
                        if (!moves)
                            break;
                        k += moves;
                        continue;
                    }
                    const int symbol = reader.symbol(table);
                    if (symbol < 0)
                        return false;
                    const int run = symbol >> 4, size2 = symbol & 15;
                    reader.drop(size2);
                    if (size2)
                        k += run + 1;
                    else if (run == 15)
                        k += 16;
                    else
                        break;
                }
            } else {
                float *pixels = sums + firstSum;
                const int count = component.across * component.down;
                while (k < 64) {
                    if (reader.count < 32)
                        reader.fill();
                    // Most coefficients add nothing to the averages: stepped over.
                    const uint16_t entry = component.ac->step[reader.peek(kPeekBits)];
                    const int moves = entry >> 8;
                    if (entry && moves && k + moves <= 64 &&
                        !component.adds[size_t(k + moves - 1)]) {
                        reader.drop(entry & 0xFF);
                        k += moves;
                        continue;
                    }
                    const int symbol = reader.symbol(*component.ac);
                    if (symbol < 0)
                        return false;
                    const int run = symbol >> 4, size2 = symbol & 15;
                    if (size2) {
                        k += run;
                        if (k > 63)
                            return false;
                        const float coefficient = float(reader.value(size2));
                        const float *weights = component.weights.data() + k * count;
                        for (int i = 0; i < count; ++i)
                            pixels[i] += coefficient * weights[i];
                        ++k;
                    } else if (run == 15) {
                        k += 16;
                    } else {
                        break;
                    }
                }
            }
            if (k > 64)
                return false;
        }
        return true;
    }

    void grow(Part &part) const
    {
        const size_t mcus = part.dc.size() / size_t(m_blocks) * 2;
        part.dc.resize(mcus * size_t(m_blocks));
        part.sums.resize(mcus * size_t(m_frame.sumsPerMcu));
    }

    // With restart markers every interval starts at a known byte with its
    // predictions at zero: the parts take whole intervals and need not meet.
    QImage decodeIntervals()
    {
        const qint64 intervals = (m_total + m_frame.restartInterval - 1) / m_frame.restartInterval;
        if (qint64(m_frame.intervalStarts.size()) + 1 != intervals)
            return {};
        const int parts = partCount(std::min<qint64>(
            intervals, m_frame.bytes / std::max<qint64>(m_split.smallestPartBytes, 1)));
        m_parts = std::vector<Part>(size_t(parts));
        const auto readIntervals = [this, intervals, parts](int p) {
            Part &part = m_parts[size_t(p)];
            try {
                const qint64 first = intervals * p / parts, last = intervals * (p + 1) / parts;
                const qint64 mcus = std::min(last * m_frame.restartInterval, m_total) -
                                    first * m_frame.restartInterval;
                part.dc.resize(size_t(mcus) * size_t(m_blocks));
                part.sums.resize(size_t(mcus) * size_t(m_frame.sumsPerMcu));
                part.firstMcu = first * m_frame.restartInterval;
                for (qint64 i = first; i < last && !part.failed; ++i) {
                    const qsizetype begin = i ? m_frame.intervalStarts[size_t(i - 1)] : 0;
                    const qsizetype end =
                        i + 1 < intervals ? m_frame.intervalStarts[size_t(i)] : m_frame.bytes;
                    BitReader reader{m_frame.data, begin};
                    const qint64 count = std::min<qint64>(m_frame.restartInterval,
                                                          m_total - i * m_frame.restartInterval);
                    for (qint64 n = 0; n < count; ++n) {
                        if (m_abandoned.load(std::memory_order_relaxed) ||
                            !readMcu(reader, part.dc.data() + size_t(part.count) * size_t(m_blocks),
                                     part.sums.data() +
                                         size_t(part.count) * size_t(m_frame.sumsPerMcu)) ||
                            reader.position() > uint64_t(end) * 8) {
                            part.failed = true;
                            break;
                        }
                        ++part.count;
                    }
                }
            } catch (const std::bad_alloc &) {
                part.failed = true;
            }
            if (part.failed)
                m_abandoned.store(true, std::memory_order_relaxed);
        };
        runParts(parts, readIntervals);
        std::vector<Span> spans;
        for (int p = 0; p < parts; ++p) {
            const Part &part = m_parts[size_t(p)];
            if (part.failed)
                return {};
            spans.push_back({p, 0, part.firstMcu, part.count});
        }
        return picture(spans);
    }

    // A part that runs out of memory is left unread; the first one takes the rest with it.
    void runCaught(int index)
    {
        try {
            run(index);
        } catch (const std::bad_alloc &) {
            Part &part = m_parts[size_t(index)];
            part.failed = true;
            if (index == 0)
                m_abandoned.store(true, std::memory_order_relaxed);
            part.finished.store(true, std::memory_order_release);
        }
    }

    void run(int index)
    {
        Part &part = m_parts[size_t(index)];
        Part *next = index + 1 < int(m_parts.size()) ? &m_parts[size_t(index + 1)] : nullptr;
        const bool first = index == 0;
        const uint64_t endBit = uint64_t(m_frame.bytes) * 8;
        const int window = int(part.starts.size());
        BitReader reader{m_frame.data, qsizetype(part.startBit / 8)};
        int looked = 0; // the next part's MCU starts already passed
        bool meeting = next != nullptr;
        for (;;) {
            if (m_abandoned.load(std::memory_order_relaxed))
                break;
            const uint64_t at = reader.position();
            if (first && part.count == m_total)
                break;
            if (at >= endBit || part.count >= m_total) {
                part.failed = first; // the data ran out before the last MCU
                break;
            }
            if (meeting && at >= next->startBit) {
                const int offered = next->offered.load(std::memory_order_acquire);
                looked = std::max(looked, next->validFrom.load(std::memory_order_acquire));
                while (looked < offered && next->starts[size_t(looked)] < at)
                    ++looked;
                if (looked < offered && next->starts[size_t(looked)] == at) {
                    part.metAt = part.count;
                    part.nextFrom = looked;
                    break;
                }
                // Everything it offered is behind: read on to the end.
                if (looked >= offered && (offered == int(next->starts.size()) ||
                                          next->finished.load(std::memory_order_acquire)))
                    meeting = false;
            }
            if (size_t(part.count + 1) * size_t(m_blocks) > part.dc.size())
                grow(part);
            if (part.count < window)
                part.starts[size_t(part.count)] = at;
            const bool read =
                readMcu(reader, part.dc.data() + size_t(part.count) * size_t(m_blocks),
                        part.sums.data() + size_t(part.count) * size_t(m_frame.sumsPerMcu));
            if (read && reader.position() <= endBit) {
                ++part.count;
                if (part.count <= window)
                    part.offered.store(part.count, std::memory_order_release);
                continue;
            }
            if (first || reader.position() > endBit) {
                part.failed = first;
                if (first)
                    m_abandoned.store(true, std::memory_order_relaxed);
                break;
            }
            // Not yet in step: go on from just past the bad code.
            part.validFrom.store(part.count, std::memory_order_release);
            if (reader.count < 32)
                reader.fill();
            reader.drop(1);
        }
        part.finished.store(true, std::memory_order_release);
    }

    // Which part holds which MCUs: [from, from + count) of part p are the
    // picture's [global, global + count).
    struct Span
    {
        int part, from;
        qint64 global, count;
    };

    QImage assemble() const
    {
        if (m_parts[0].failed)
            return {};
        std::vector<Span> spans;
        qint64 global = 0;
        int from = 0;
        for (int p = 0;; ++p) {
            const Part &part = m_parts[size_t(p)];
            if (part.failed || from < part.validFrom.load())
                return {};
            if (part.metAt >= 0) {
                if (part.metAt < from)
                    return {};
                spans.push_back({p, from, global, part.metAt - from});
                global += part.metAt - from;
                from = part.nextFrom;
                continue;
            }
            const qint64 left = m_total - global;
            if (part.count - from < left)
                return {};
            spans.push_back({p, from, global, left});
            break;
        }
        return picture(spans);
    }

    // The picture from the spans, which cover every MCU in order.
    QImage picture(const std::vector<Span> &spans) const
    {
        const int width = (m_frame.width + 7) / 8, height = (m_frame.height + 7) / 8;
        const size_t planeSize = size_t(width) * size_t(height);
        const size_t planes = m_frame.components.size();
        std::vector<uint8_t> samples(planeSize * planes);
        const auto clampSample = [](int value) { return uint8_t(std::clamp(value, 0, 255)); };
        // Where each block of an MCU lands, in pixels from the MCU's corner.
        struct Place
        {
            int component, x, y, across, down, sums, quant0;
            uint8_t *plane;
        };
        std::vector<Place> places;
        for (int b = 0; b < m_blocks; ++b) {
            const int c = m_frame.blockComponent[size_t(b)];
            const Component &component = m_frame.components[size_t(c)];
            places.push_back({c, m_frame.blockColumn[size_t(b)] * component.across,
                              m_frame.blockRow[size_t(b)] * component.down, component.across,
                              component.down, m_frame.blockSums[size_t(b)], component.quant0,
                              samples.data() + planeSize * size_t(c)});
        }
        std::array<int, 4> predictions{};
        int mcuX = 0, mcuY = 0;
        int sinceRestart = 0;
        for (const Span &span : spans) {
            const Part &part = m_parts[size_t(span.part)];
            const int16_t *dc = part.dc.data() + size_t(span.from) * size_t(m_blocks);
            const float *sums = part.sums.data() + size_t(span.from) * size_t(m_frame.sumsPerMcu);
            for (qint64 i = 0; i < span.count; ++i) {
                // Each restart interval predicts from zero again.
                if (m_frame.restartInterval && sinceRestart++ == m_frame.restartInterval) {
                    predictions.fill(0);
                    sinceRestart = 1;
                }
                const int left = mcuX * m_frame.maxH, top = mcuY * m_frame.maxV;
                for (int b = 0; b < m_blocks; ++b) {
                    const Place &place = places[size_t(b)];
                    int &prediction = predictions[size_t(place.component)];
                    prediction += dc[b];
                    const int coefficient = int16_t(prediction) * place.quant0;
                    const int x0 = left + place.x, y0 = top + place.y;
                    if (place.sums < 0) {
                        // As libjpeg's one-pixel inverse DCT rounds it.
                        if (x0 < width && y0 < height)
                            place.plane[size_t(y0) * size_t(width) + size_t(x0)] =
                                clampSample(((coefficient + 4) >> 3) + 128);
                        continue;
                    }
                    const float average = float(coefficient) / 8;
                    for (int sy = 0; sy < place.down; ++sy)
                        for (int sx = 0; sx < place.across; ++sx) {
                            const int x = x0 + sx, y = y0 + sy;
                            if (x >= width || y >= height)
                                continue;
                            const float value = average + sums[place.sums + sy * place.across + sx];
                            place.plane[size_t(y) * size_t(width) + size_t(x)] =
                                clampSample(int(std::floor(value + 0.5f)) + 128);
                        }
                }
                dc += m_blocks;
                sums += m_frame.sumsPerMcu;
                if (++mcuX == m_frame.mcusAcross) {
                    mcuX = 0;
                    ++mcuY;
                }
            }
        }

        QImage image(width, height, QImage::Format_RGB32);
        if (image.isNull())
            return {};
        // libjpeg's fixed-point YCbCr to RGB, so the pixels are the ones it gives.
        constexpr int kScale = 16, kHalf = 1 << (kScale - 1);
        constexpr int kRedCr = int(1.40200 * (1 << kScale) + 0.5);
        constexpr int kGreenCb = int(0.34414 * (1 << kScale) + 0.5);
        constexpr int kGreenCr = int(0.71414 * (1 << kScale) + 0.5);
        constexpr int kBlueCb = int(1.77200 * (1 << kScale) + 0.5);
        for (int y = 0; y < height; ++y) {
            auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
            const uint8_t *luma = samples.data() + size_t(y) * size_t(width);
            if (planes == 1) {
                for (int x = 0; x < width; ++x)
                    line[x] = qRgb(luma[x], luma[x], luma[x]);
                continue;
            }
            const uint8_t *blue = luma + planeSize, *red = luma + 2 * planeSize;
            for (int x = 0; x < width; ++x) {
                const int l = luma[x], cb = blue[x] - 128, cr = red[x] - 128;
                const int r = l + ((kRedCr * cr + kHalf) >> kScale);
                const int g = l + ((-kGreenCb * cb - kGreenCr * cr + kHalf) >> kScale);
                const int bl = l + ((kBlueCb * cb + kHalf) >> kScale);
                line[x] = qRgb(clampSample(r), clampSample(g), clampSample(bl));
            }
        }
        return image;
    }

    const Frame &m_frame;
    const JpegEighthSplit m_split;
    const qint64 m_total;
    const int m_blocks;
    std::vector<Part> m_parts;
    std::atomic<bool> m_abandoned{false};
};

// Room for a whole file, its pages made at once: faulting them in one by
// one while the program starts, when other threads map libraries, costs
// more than the read itself.
struct FileBuffer
{
    explicit FileBuffer(size_t size) : size(size)
    {
        void *mapped = mmap(nullptr, size, PROT_READ | PROT_WRITE,
                            MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
        bytes = mapped == MAP_FAILED ? nullptr : static_cast<uint8_t *>(mapped);
    }
    ~FileBuffer()
    {
        if (bytes)
            munmap(bytes, size);
    }
    FileBuffer(const FileBuffer &) = delete;
    FileBuffer &operator=(const FileBuffer &) = delete;

    size_t size;
    uint8_t *bytes;
};

} // namespace

QImage ReadJpegEighth(QIODevice &device, const JpegEighthSplit &split)
{
    const qint64 size = device.size();
    if (size <= 0 || size > kLargestFile || !device.seek(0))
        return {};
    const FileBuffer file(size_t(size + kPadding));
    if (!file.bytes || device.read(reinterpret_cast<char *>(file.bytes), size) != size)
        return {};
    auto frame = std::make_unique<Frame>();
    if (!readStructure(*frame, file.bytes, size) || !prepare(*frame) ||
        qint64(frame->width) * frame->height > kMaxPicturePixels)
        return {};
    try {
        return EighthDecoder(*frame, split).decode();
    } catch (const std::bad_alloc &) {
        return {};
    }
}

} // namespace tavlo
