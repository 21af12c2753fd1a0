#include "png/parallel_deflate.h"

#include "core/signal_stack.h"
#include "png/content_piece_bounds.h"
#include "png/deflate_piece_cache.h"
#include "png/deflate_piece_layout.h"
#include "png/row_hashes.h"

#include <zlib.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <new>
#include <system_error>
#include <thread>

namespace velmora {
namespace {

struct DeflateStream {
    z_stream z{};
    bool ready = false;
    ~DeflateStream()
    {
        if (ready)
            deflateEnd(&z);
    }
};

// Where one worker's deflate writes, kept across its pieces: allocated once per worker and
// never zeroed, since deflate writes every byte that is read back.
class OutputSpace {
public:
    // Room for size bytes; deflate is offered exactly that much, whatever was allocated before.
    void prepare(std::size_t size)
    {
        if (size > capacity_) {
            bytes_ = std::make_unique_for_overwrite<std::uint8_t[]>(size);
            capacity_ = size;
        }
        size_ = size;
        used_ = 0;
    }
    // More room when deflate has filled it (its bound makes that unlikely), keeping what it holds.
    void grow()
    {
        const std::size_t size = size_ + std::max<std::size_t>(size_ / 2, 64 * 1024);
        if (size > capacity_) {
            auto bigger = std::make_unique_for_overwrite<std::uint8_t[]>(size);
            std::memcpy(bigger.get(), bytes_.get(), used_);
            bytes_ = std::move(bigger);
            capacity_ = size;
        }
        size_ = size;
    }
    std::uint8_t* free() { return bytes_.get() + used_; }
    std::size_t freeSize() const { return size_ - used_; }
    void advance(std::size_t written) { used_ += written; }
    const std::uint8_t* data() const { return bytes_.get(); }
    std::size_t size() const { return used_; }

private:
    std::unique_ptr<std::uint8_t[]> bytes_;
    std::size_t capacity_ = 0; // allocated
    std::size_t size_ = 0;     // offered to deflate
    std::size_t used_ = 0;
};

// The bytes of the scanline stream in span, filter bytes included.
std::vector<std::uint8_t> streamBytes(const Scanlines& s, StreamSpan span)
{
    std::vector<std::uint8_t> bytes;
    bytes.reserve(span.end - span.begin);
    const std::size_t line = s.rowBytes + 1;
    for (std::size_t at = span.begin; at < span.end;) {
        const int row = static_cast<int>(at / line);
        const std::size_t column = at % line; // 0: the filter byte; c: pixel byte c - 1
        const std::size_t taken = std::min(line - column, span.end - at);
        std::size_t pixels = taken;
        std::size_t firstPixel = column;
        if (column == 0) {
            bytes.push_back(s.filterByte);
            --pixels;
            firstPixel = 1;
        }
        const std::uint8_t* p = s.row(row) + (firstPixel - 1);
        bytes.insert(bytes.end(), p, p + pixels);
        at += taken;
    }
    return bytes;
}

bool feed(DeflateStream& stream, OutputSpace& out, const std::uint8_t* data, std::size_t size,
          int flush)
{
    z_stream& z = stream.z;
    z.next_in = const_cast<Bytef*>(data);
    z.avail_in = static_cast<uInt>(size);
    for (;;) {
        if (out.freeSize() == 0)
            out.grow();
        const std::size_t room = std::min<std::size_t>(out.freeSize(), 0xffffffffu);
        z.next_out = out.free();
        z.avail_out = static_cast<uInt>(room);
        const int rc = deflate(&z, flush);
        out.advance(room - z.avail_out);
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

bool compressPiece(const Scanlines& s, int level, int maxChain, int firstRow, int endRow, bool last,
                   OutputSpace& out, CompressedPiece& result)
{
    DeflateStream stream;
    if (deflateInit2(&stream.z, level, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return false;
    stream.ready = true;
    // Level 9's own match settings with a shorter search; zlib takes them before any data.
    if (maxChain > 0 && level == 9 &&
        deflateTune(&stream.z, 32, 258, 258, std::min(maxChain, 4096)) != Z_OK)
        return false;
    if (firstRow > 0) {
        const std::vector<std::uint8_t> history =
            streamBytes(s, primingWindow(s.rowBytes, firstRow));
        if (deflateSetDictionary(&stream.z, history.data(), static_cast<uInt>(history.size())) !=
            Z_OK)
            return false;
    }

    const std::size_t input = (s.rowBytes + 1) * static_cast<std::size_t>(endRow - firstRow);
    out.prepare(deflateBound(&stream.z, static_cast<uLong>(input)) + 64);

    uLong adler = adler32(0, nullptr, 0);
    for (int r = firstRow; r < endRow; ++r) {
        const std::uint8_t* p = s.row(r);
        adler = adler32(adler, &s.filterByte, 1);
        adler = adler32(adler, p, static_cast<uInt>(s.rowBytes));
        if (!feed(stream, out, &s.filterByte, 1, Z_NO_FLUSH) ||
            !feed(stream, out, p, s.rowBytes, Z_NO_FLUSH))
            return false;
    }
    // A full flush ends the piece on a byte boundary with a non-final block, so the next piece's
    // blocks can follow it directly; only the last piece closes the stream.
    if (!feed(stream, out, nullptr, 0, last ? Z_FINISH : Z_FULL_FLUSH))
        return false;
    result.bytes =
        std::make_shared<const std::vector<std::uint8_t>>(out.data(), out.data() + out.size());
    result.adler = static_cast<std::uint32_t>(adler);
    result.inputBytes = input;
    return true;
}

// Compresses the pieces that have no bytes yet, on all cores. False when one of them failed.
bool compressMissing(const Scanlines& s, int level, int maxChain, const std::vector<int>& bounds,
                     std::vector<CompressedPiece>& pieces)
{
    const int pieceCount = static_cast<int>(pieces.size());
    std::vector<int> missing;
    for (int piece = 0; piece < pieceCount; ++piece)
        if (!pieces[static_cast<std::size_t>(piece)].bytes)
            missing.push_back(piece);
    const int count = static_cast<int>(missing.size());

    std::atomic<int> next{0};
    std::atomic<bool> failed{false};
    auto work = [&] {
        OutputSpace out;
        for (int i = next++; i < count; i = next++) {
            const int piece = missing[static_cast<std::size_t>(i)];
            try {
                if (!compressPiece(s, level, maxChain, bounds[static_cast<std::size_t>(piece)],
                                   bounds[static_cast<std::size_t>(piece) + 1],
                                   piece == pieceCount - 1, out,
                                   pieces[static_cast<std::size_t>(piece)]))
                    failed = true;
            } catch (const std::bad_alloc&) {
                failed = true; // the caller reports the whole write failed
            }
        }
    };

    const int cores = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    const int helpers = std::min(count, cores) - 1;
    {
        std::vector<std::jthread> threads;
        threads.reserve(static_cast<std::size_t>(std::max(helpers, 0)));
        for (int i = 0; i < helpers; ++i) {
            try {
                // Its own signal stack: a stack overflow in the compression gets its report.
                threads.push_back(startWorkerThread(work));
            } catch (const std::system_error&) {
                break; // no thread to be had: the pieces wait for the threads that run
            }
        }
        work(); // the calling thread takes its share too
    }
    return !failed;
}

} // namespace

std::size_t ZlibStream::size() const
{
    std::size_t total = sizeof header + sizeof trailer;
    for (const auto& piece : pieces)
        total += piece->size();
    return total;
}

bool deflateScanlines(const Scanlines& s, int level, int pieceCount, ZlibStream& out,
                      DeflatePieceCache* cache, int maxChain, const RowBands& changedRows)
{
    // Fingerprints only where something reads them: the content's cut or the cache.
    std::vector<std::uint64_t> hashes;
    std::vector<int> bounds;
    if (cache) {
        try {
            hashes = cache->fingerprint(s, changedRows);
        } catch (const std::bad_alloc&) {
            cache->clear();
            cache = nullptr;
        }
    }
    if (pieceCount <= 0) {
        if (!cache)
            hashes = hashRows(s);
        bounds = contentPieceBounds(hashes, s.rowBytes);
    } else {
        bounds = evenPieceBounds(s.rowCount, std::clamp(pieceCount, 1, std::max(1, s.rowCount)));
    }

    std::vector<CompressedPiece> pieces;
    if (cache) {
        try {
            pieces = cache->take(s, level, maxChain, bounds, std::move(hashes));
        } catch (const std::bad_alloc&) {
            cache->clear(); // no memory for the copy: this picture is compressed in full
            cache = nullptr;
        }
    }
    pieces.resize(bounds.size() - 1);
    if (!compressMissing(s, level, maxChain, bounds, pieces)) {
        if (cache)
            cache->clear();
        return false;
    }

    uLong adler = adler32(0, nullptr, 0);
    out.pieces.clear();
    out.pieces.reserve(pieces.size());
    for (const auto& piece : pieces) {
        adler = adler32_combine(adler, piece.adler, static_cast<z_off_t>(piece.inputBytes));
        out.pieces.push_back(piece.bytes);
    }
    if (cache)
        cache->store(pieces);

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
