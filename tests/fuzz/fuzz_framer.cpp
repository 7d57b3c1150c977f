// The packet framer under every setting it has, fed arbitrary pieces. With the start and
// stop strings kept in the packets, every received byte must come out exactly once and
// in order: in a discarded text, in a packet, or still in the buffer. The buffer never
// stays at or past its limit once a piece has been handled.
//
// Input: a settings header (see below), then pieces, each a length byte and its bytes.

#include <string>

#include "fuzz_checks.h"
#include "fuzz_input.h"
#include "serial/datapacket.h"

namespace tarnik::fuzz {
namespace {

void run(const std::uint8_t* data, std::size_t size)
{
    Reader in(data, size);
    TComDataPacket framer;
    std::string out;  // everything the framer let go of, in the order it did

    const std::uint8_t flags = in.byte();
    framer.SetIncludeStrings(true);
    framer.SetCaseInsensitive((flags & 1) != 0);
    framer.SetStartString(in.take(in.byte() % 4));
    framer.SetStopString(in.take(in.byte() % 4));
    framer.SetSize(static_cast<int>(in.byte() % 12) - 2);
    static constexpr int kLimits[] = {1024, 0, 1, 7, 64, -5, 3, 1024};
    framer.SetMaxBufferSize(kLimits[(flags >> 1) & 7]);
    // The owner's rules answer with a position taken from the input: -1 (no say), 0,
    // a position inside or past the buffer; the stop rule may also discard the buffer.
    const int startAnswer = static_cast<int>(in.byte()) - 2;
    const int stopAnswer = static_cast<int>(in.byte()) - 3;
    if (flags & 0x10)
        framer.OnCustomStart = [startAnswer](TComDataPacket&, const std::string&, int& pos) {
            pos = startAnswer;
        };
    if (flags & 0x20)
        framer.OnCustomStop = [stopAnswer](TComDataPacket& sender, const std::string& str,
                                           int& pos) {
            if (stopAnswer == -3 && !str.empty())
                sender.DiscardBuffer();
            else
                pos = stopAnswer;
        };
    framer.OnPacket = [&out](TComDataPacket&, const std::string& s) { out += s; };
    framer.OnDiscard = [&out](TComDataPacket&, const std::string& s) { out += s; };

    std::string received;
    while (!in.done()) {
        const std::string piece = in.take(in.byte() + 1u);
        received += piece;
        framer.FeedData(piece);
        require(out + framer.Buffer() == received, "bytes lost, doubled or reordered",
                received.size());
        if (framer.MaxBufferSize() > 0)
            require(framer.Buffer().size() < static_cast<std::size_t>(framer.MaxBufferSize()),
                    "buffer at or past its limit", framer.Buffer().size());
    }
}

}  // namespace
}  // namespace tarnik::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    tarnik::fuzz::run(data, size);
    return 0;
}
