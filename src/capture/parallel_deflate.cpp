#include "capture/parallel_deflate.h"

#include <zlib.h>

#include <algorithm>
#include <atomic>
#include <new>
#include <system_error>
#include <thread>

namespace velmora {
namespace {

constexpr std::size_t kWindowBytes = 32768;
// Below this much scanline data per piece the thread start and the lost history cost more than
// the parallel work gains.
constexpr std::size_t kMinPieceBytes = 128 * 1024;
// More pieces than cores, so that a core that drew an easy stretch of screen takes another.
constexpr int kPiecesPerCore = 4;

struct DeflateStream {
    z_stream z{};
    bool ready = false;
    ~DeflateStream()
    {
        if (ready)
            deflateEnd(&z);
    }
};

struct PieceResult {
    std::vector<std::uint8_t> data;
    uLong adler = 1;
    std::size_t inputBytes = 0;
    bool ok = false;
};

// The last (up to) 32 KiB of scanline data that lie before row firstRow.
std::vector<std::uint8_t> historyBefore(const Scanlines& s, int firstRow)
{
    std::vector<std::uint8_t> history;
    const std::size_t wanted = kWindowBytes;
    // Find how many rows back the window reaches, then lay them out forwards.
    int row = firstRow;
    std::size_t taken = 0;
    while (row > 0 && taken < wanted) {
        --row;
        taken += s.rowBytes + 1;
    }
    history.reserve(taken);
    for (int r = row; r < firstRow; ++r) {
        history.push_back(s.filterByte);
        const std::uint8_t* p = s.rows + s.stride * static_cast<std::size_t>(r);
        history.insert(history.end(), p, p + s.rowBytes);
    }
    if (history.size() > wanted)
        history.erase(history.begin(), history.end() - static_cast<std::ptrdiff_t>(wanted));
    return history;
}

bool feed(DeflateStream& stream, PieceResult& result, const std::uint8_t* data, std::size_t size,
          int flush)
{
    z_stream& z = stream.z;
    z.next_in = const_cast<Bytef*>(data);
    z.avail_in = static_cast<uInt>(size);
    for (;;) {
        if (z.avail_out == 0) {
            const std::size_t used = result.data.size();
            result.data.resize(used + std::max<std::size_t>(used / 2, 64 * 1024));
            z.next_out = result.data.data() + used;
            z.avail_out = static_cast<uInt>(result.data.size() - used);
        }
        const int rc = deflate(&z, flush);
        if (rc == Z_STREAM_ERROR)
            return false;
        if (flush == Z_FINISH) {
            if (rc == Z_STREAM_END)
                return true;
        } else if (z.avail_in == 0 && z.avail_out != 0) {
            return true;
        }
    }
}

void compressPiece(const Scanlines& s, int level, int firstRow, int endRow, bool last,
                   PieceResult& result)
{
    DeflateStream stream;
    if (deflateInit2(&stream.z, level, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return;
    stream.ready = true;
    if (firstRow > 0) {
        const std::vector<std::uint8_t> history = historyBefore(s, firstRow);
        if (deflateSetDictionary(&stream.z, history.data(), static_cast<uInt>(history.size())) !=
            Z_OK)
            return;
    }

    const std::size_t input = (s.rowBytes + 1) * static_cast<std::size_t>(endRow - firstRow);
    result.data.resize(deflateBound(&stream.z, static_cast<uLong>(input)) + 64);
    stream.z.next_out = result.data.data();
    stream.z.avail_out = static_cast<uInt>(result.data.size());

    uLong adler = adler32(0, nullptr, 0);
    for (int r = firstRow; r < endRow; ++r) {
        const std::uint8_t* p = s.rows + s.stride * static_cast<std::size_t>(r);
        adler = adler32(adler, &s.filterByte, 1);
        adler = adler32(adler, p, static_cast<uInt>(s.rowBytes));
        if (!feed(stream, result, &s.filterByte, 1, Z_NO_FLUSH) ||
            !feed(stream, result, p, s.rowBytes, Z_NO_FLUSH))
            return;
    }
    // A full flush ends the piece on a byte boundary with a non-final block, so the next piece's
    // blocks can follow it directly; only the last piece closes the stream.
    if (!feed(stream, result, nullptr, 0, last ? Z_FINISH : Z_FULL_FLUSH))
        return;
    result.data.resize(result.data.size() - stream.z.avail_out);
    result.adler = adler;
    result.inputBytes = input;
    result.ok = true;
}

int choosePieceCount(const Scanlines& s)
{
    const std::size_t total = (s.rowBytes + 1) * static_cast<std::size_t>(s.rowCount);
    const int cores = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    const std::size_t bySize = std::max<std::size_t>(1, total / kMinPieceBytes);
    return static_cast<int>(std::min<std::size_t>(bySize, std::size_t(cores) * kPiecesPerCore));
}

} // namespace

std::size_t ZlibStream::size() const
{
    std::size_t total = sizeof header + sizeof trailer;
    for (const auto& piece : pieces)
        total += piece.size();
    return total;
}

bool deflateScanlines(const Scanlines& s, int level, int pieceCount, ZlibStream& out)
{
    if (pieceCount <= 0)
        pieceCount = choosePieceCount(s);
    pieceCount = std::clamp(pieceCount, 1, std::max(1, s.rowCount));

    std::vector<PieceResult> results(static_cast<std::size_t>(pieceCount));
    auto rowOf = [&](int piece) {
        return static_cast<int>(std::int64_t{s.rowCount} * piece / pieceCount);
    };
    std::atomic<int> next{0};
    auto work = [&] {
        for (int piece = next++; piece < pieceCount; piece = next++) {
            try {
                compressPiece(s, level, rowOf(piece), rowOf(piece + 1), piece == pieceCount - 1,
                              results[static_cast<std::size_t>(piece)]);
            } catch (const std::bad_alloc&) {
                // The piece stays marked as failed; the caller reports the whole write failed.
            }
        }
    };

    const int cores = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    const int helpers = std::min(pieceCount, cores) - 1;
    {
        std::vector<std::jthread> threads;
        threads.reserve(static_cast<std::size_t>(helpers));
        for (int i = 0; i < helpers; ++i) {
            try {
                threads.emplace_back(work);
            } catch (const std::system_error&) {
                break; // no thread to be had: the pieces wait for the threads that run
            }
        }
        work(); // the calling thread takes its share too
    }

    uLong adler = adler32(0, nullptr, 0);
    out.pieces.clear();
    out.pieces.reserve(results.size());
    for (auto& r : results) {
        if (!r.ok)
            return false;
        adler = adler32_combine(adler, r.adler, static_cast<z_off_t>(r.inputBytes));
        out.pieces.push_back(std::move(r.data));
    }

    // CMF 0x78: deflate with a 32 KiB window; FLG carries the level class and makes the pair a
    // multiple of 31.
    const int levelClass = level >= 7 ? 3 : level == 6 || level < 0 ? 2 : level >= 2 ? 1 : 0;
    unsigned header = 0x78u << 8 | static_cast<unsigned>(levelClass) << 6;
    if (header % 31 != 0)
        header += 31 - header % 31;
    out.header[0] = static_cast<std::uint8_t>(header >> 8);
    out.header[1] = static_cast<std::uint8_t>(header & 0xff);
    out.trailer[0] = static_cast<std::uint8_t>(adler >> 24);
    out.trailer[1] = static_cast<std::uint8_t>(adler >> 16);
    out.trailer[2] = static_cast<std::uint8_t>(adler >> 8);
    out.trailer[3] = static_cast<std::uint8_t>(adler);
    return true;
}

} // namespace velmora
