#pragma once

// Cuts the byte stream received on a port into packets by a start string, a stop
// string, a fixed size or the owner's own rules, and reports text outside packets as
// discarded. Every byte value 0..255 is one character; positions are 1-based and
// 0 means "not found".

#include <functional>
#include <memory>
#include <string>

#include "serial/com_link.h"

namespace tarnik {

class TCustomComPort;
class TComDataPacket;

using TComStrEvent = std::function<void(TComDataPacket& sender, const std::string& str)>;
using TCustPacketEvent =
    std::function<void(TComDataPacket& sender, const std::string& str, int& pos)>;

class TComDataPacket {
public:
    TComDataPacket();
    virtual ~TComDataPacket();
    TComDataPacket(const TComDataPacket&) = delete;
    TComDataPacket& operator=(const TComDataPacket&) = delete;

    TCustomComPort* ComPort() const { return comPort_; }
    // Detaches from the current port, then attaches to the new one (nullptr: none).
    // An attach failure raises EComPort and leaves ComPort set to the new port.
    void SetComPort(TCustomComPort* port);

    const std::string& StartString() const { return startString_; }
    void SetStartString(const std::string& s);
    const std::string& StopString() const { return stopString_; }
    void SetStopString(const std::string& s);
    int Size() const { return size_; }
    void SetSize(int size);
    int MaxBufferSize() const { return maxBufferSize_; }
    void SetMaxBufferSize(int size) { maxBufferSize_ = size; }
    bool IncludeStrings() const { return includeStrings_; }
    void SetIncludeStrings(bool include) { includeStrings_ = include; }
    bool CaseInsensitive() const { return caseInsensitive_; }
    void SetCaseInsensitive(bool insensitive);

    TComStrEvent OnPacket;
    TComStrEvent OnDiscard;
    TCustPacketEvent OnCustomStart;
    TCustPacketEvent OnCustomStop;

    // Received text enters here.
    void FeedData(const std::string& str);
    // Fires OnDiscard with a non-empty buffer, then empties it and leaves the packet.
    void DiscardBuffer();

    const std::string& Buffer() const { return buffer_; }
    bool InPacket() const { return inPacket_; }

protected:
    virtual void ProcessBuffer();
    virtual void DoDiscard(const std::string& str);
    virtual void DoPacket(const std::string& str);
    virtual void DoCustomStart(const std::string& str, int& pos);
    virtual void DoCustomStop(const std::string& str, int& pos);

private:
    void SearchStart();
    void SearchStop();
    void OpenPacket(int pos);
    void ClosePacket(int end);
    int Find(const std::string& what, const std::string& in) const;
    bool HasStopRule() const;

    std::unique_ptr<TComLink> link_;
    TCustomComPort* comPort_ = nullptr;
    std::string startString_;
    std::string stopString_;
    int maxBufferSize_ = 1024;
    int size_ = 0;
    bool includeStrings_ = false;
    bool caseInsensitive_ = false;
    bool inPacket_ = false;
    std::string buffer_;
};

}  // namespace tarnik
