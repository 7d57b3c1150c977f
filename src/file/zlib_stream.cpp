#include "file/zlib_stream.h"

#include <algorithm>
#include <limits>

namespace tarnik {

namespace {
constexpr int kWindowBits = 15;  // zlib header and trailer, 32 KB window
constexpr int kMemLevel = 8;

uInt limitedSize(std::size_t n)
{
    return static_cast<uInt>(std::min<std::size_t>(n, std::numeric_limits<uInt>::max()));
}
}  // namespace

bool zlibCompress(std::span<const std::uint8_t> content, std::vector<std::uint8_t>& out)
{
    z_stream s{};
    if (deflateInit2(&s, Z_DEFAULT_COMPRESSION, Z_DEFLATED, kWindowBits, kMemLevel,
                     Z_DEFAULT_STRATEGY) != Z_OK)
        return false;
    out.resize(deflateBound(&s, static_cast<uLong>(content.size())));
    s.next_in = const_cast<Bytef*>(content.data());  // zlib never writes through next_in
    s.avail_in = limitedSize(content.size());
    s.next_out = out.data();
    s.avail_out = limitedSize(out.size());
    const int result = deflate(&s, Z_FINISH);
    out.resize(s.total_out);
    deflateEnd(&s);
    return result == Z_STREAM_END;
}

ZlibReader::ZlibReader(std::span<std::uint8_t> output) : output_(output)
{
    initialised_ = inflateInit2(&stream_, kWindowBits) == Z_OK;
    if (!initialised_)
        state_ = State::Damaged;
    stream_.next_out = output_.data();
    stream_.avail_out = limitedSize(output_.size());
}

ZlibReader::~ZlibReader()
{
    if (initialised_)
        inflateEnd(&stream_);
}

ZlibReader::State ZlibReader::feed(std::span<const std::uint8_t> piece)
{
    if (state_ != State::NeedInput)
        return state_;
    stream_.next_in = const_cast<Bytef*>(piece.data());
    stream_.avail_in = limitedSize(piece.size());
    for (;;) {
        const uInt inBefore = stream_.avail_in;
        const uInt outBefore = stream_.avail_out;
        const int result = inflate(&stream_, Z_NO_FLUSH);
        if (result == Z_STREAM_END)
            // The stream ended: fine only if it filled the whole buffer.
            return state_ =
                       (overflowing_ || stream_.avail_out == 0) ? State::Complete : State::Damaged;
        if (result != Z_OK && result != Z_BUF_ERROR)
            return state_ = State::Damaged;
        if (stream_.avail_out == 0) {
            // A byte past the buffer proves the content is longer: the rest is ignored.
            if (overflowing_)
                return state_ = State::Complete;
            // Buffer full: go on only to see the stream end (and its check
            // value verified) or one more byte of content.
            overflowing_ = true;
            stream_.next_out = &overflow_;
            stream_.avail_out = 1;
            continue;
        }
        if (stream_.avail_in == 0)
            return state_;
        if (stream_.avail_in == inBefore && stream_.avail_out == outBefore)
            return state_ = State::Damaged;
    }
}

ZlibReader::State ZlibReader::finish()
{
    if (state_ == State::NeedInput)
        state_ = State::Damaged;
    return state_;
}

}  // namespace tarnik
