#include "serial/datapacket.h"

#include <algorithm>

#include "serial/comport.h"

namespace tarnik {

namespace {

// ASCII lower-case letters to upper case; every other byte unchanged.
std::string fold(const std::string& s)
{
    std::string out = s;
    for (char& c : out)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 0x20);
    return out;
}

int Length(const std::string& s)
{
    return static_cast<int>(s.size());
}

}  // namespace

TComDataPacket::TComDataPacket() : link_(std::make_unique<TComLink>())
{
    link_->RxBufferHandler = [this](TCustomComPort&, const char* buffer, int count) {
        FeedData(std::string(buffer, static_cast<size_t>(std::max(count, 0))));
    };
    link_->PortDestroyedHandler = [this](TCustomComPort&) { comPort_ = nullptr; };
}

TComDataPacket::~TComDataPacket()
{
    try {
        SetComPort(nullptr);
    } catch (...) {
        comPort_ = nullptr;  // the port did not hold the link; nothing to undo
    }
}

void TComDataPacket::SetComPort(TCustomComPort* port)
{
    if (port == comPort_)
        return;
    if (comPort_ != nullptr)
        comPort_->DetachLink(link_.get());
    comPort_ = port;
    if (port != nullptr)
        port->AttachLink(link_.get());
}

void TComDataPacket::SetStartString(const std::string& s)
{
    if (s == startString_)
        return;
    startString_ = s;
    DiscardBuffer();
}

void TComDataPacket::SetStopString(const std::string& s)
{
    if (s == stopString_)
        return;
    stopString_ = s;
    DiscardBuffer();
}

void TComDataPacket::SetSize(int size)
{
    if (size == size_)
        return;
    size_ = size;
    DiscardBuffer();
}

void TComDataPacket::SetCaseInsensitive(bool insensitive)
{
    if (insensitive == caseInsensitive_)
        return;
    caseInsensitive_ = insensitive;
    DiscardBuffer();
}

bool TComDataPacket::HasStopRule() const
{
    return size_ > 0 || !stopString_.empty() || static_cast<bool>(OnCustomStop);
}

int TComDataPacket::Find(const std::string& what, const std::string& in) const
{
    if (what.empty())
        return 0;
    const auto p = caseInsensitive_ ? fold(in).find(fold(what)) : in.find(what);
    return p == std::string::npos ? 0 : static_cast<int>(p) + 1;
}

void TComDataPacket::FeedData(const std::string& str)
{
    if (!HasStopRule()) {
        DoPacket(str);
        return;
    }
    buffer_ += str;
    ProcessBuffer();
}

void TComDataPacket::DiscardBuffer()
{
    if (buffer_.empty())
        return;
    // Emptied before the event fires, so a handler that discards again (or raises)
    // cannot see the same text twice.
    const std::string discarded = std::move(buffer_);
    buffer_.clear();
    inPacket_ = false;
    DoDiscard(discarded);
}

void TComDataPacket::ProcessBuffer()
{
    auto applyLimit = [this] {
        if (maxBufferSize_ > 0 && Length(buffer_) >= maxBufferSize_)
            DiscardBuffer();
    };
    try {
        // Runs again on what remains after each packet closed. A pass that began on an
        // empty buffer ends the repetition even when it closed an (empty) packet, so a
        // stop rule that always answers cannot loop forever.
        for (;;) {
            const bool startedEmpty = buffer_.empty();
            if (!inPacket_)
                SearchStart();
            if (!inPacket_)
                break;
            SearchStop();
            if (inPacket_ || startedEmpty)
                break;
        }
    } catch (...) {
        try {
            applyLimit();
        } catch (...) {
            // The handler's first error is the one passed on.
        }
        throw;
    }
    applyLimit();
}

void TComDataPacket::SearchStart()
{
    int pos = -1;
    DoCustomStart(std::string(buffer_), pos);
    if (pos > 0) {
        OpenPacket(pos);
    } else if (pos == -1) {
        if (startString_.empty()) {
            inPacket_ = true;
        } else if (const int p = Find(startString_, buffer_); p > 0) {
            OpenPacket(p);
        }
    }
}

void TComDataPacket::OpenPacket(int pos)
{
    inPacket_ = true;
    if (pos > 1) {
        const auto cut = std::min<size_t>(static_cast<size_t>(pos - 1), buffer_.size());
        const std::string discarded = buffer_.substr(0, cut);
        buffer_.erase(0, cut);
        DoDiscard(discarded);
    }
}

void TComDataPacket::SearchStop()
{
    int pos = -1;
    DoCustomStop(std::string(buffer_), pos);
    int end = 0;
    if (pos > 0) {
        end = pos;
        inPacket_ = false;
    } else if (pos == -1) {
        const int startLength = Length(startString_);
        if (size_ > 0 && Length(buffer_) >= size_) {
            end = size_;
            inPacket_ = false;
        } else if (const int p =
                       Find(stopString_,
                            buffer_.substr(std::min<size_t>(startString_.size(), buffer_.size())));
                   p > 0) {
            end = p + startLength + Length(stopString_) - 1;
            inPacket_ = false;
        }
    }
    // Also reached when the stop handler discarded the buffer itself: the packet
    // closed then is empty.
    if (!inPacket_)
        ClosePacket(end);
}

void TComDataPacket::ClosePacket(int end)
{
    const auto e = std::min<size_t>(static_cast<size_t>(std::max(end, 0)), buffer_.size());
    std::string packet = buffer_.substr(0, e);
    buffer_.erase(0, e);
    if (!includeStrings_) {
        if (Find(startString_, packet) == 1)
            packet.erase(0, startString_.size());
        const int p = Find(stopString_, packet);
        if (p > 0 && p == Length(packet) - Length(stopString_) + 1)
            packet.erase(packet.size() - stopString_.size());
    }
    DoPacket(packet);
}

void TComDataPacket::DoDiscard(const std::string& str)
{
    if (OnDiscard)
        OnDiscard(*this, str);
}

void TComDataPacket::DoPacket(const std::string& str)
{
    if (OnPacket)
        OnPacket(*this, str);
}

void TComDataPacket::DoCustomStart(const std::string& str, int& pos)
{
    if (OnCustomStart)
        OnCustomStart(*this, str, pos);
}

void TComDataPacket::DoCustomStop(const std::string& str, int& pos)
{
    if (OnCustomStop)
        OnCustomStop(*this, str, pos);
}

}  // namespace tarnik
