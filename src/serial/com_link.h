#pragma once

// A reader linked to a port: eleven optional callbacks the port calls. The port keeps
// a list of links but does not own them; whoever created a link frees it (after
// detaching it).

#include <functional>

namespace tarnik {

class TCustomComPort;

struct TComLink {
    std::function<void(TCustomComPort& sender, bool onOff)> ConnectionHandler;
    std::function<void(TCustomComPort& sender, const char* buffer, int count)> RxBufferHandler;
    std::function<void(TCustomComPort& sender, const char* buffer, int count)> TxBufferHandler;
    std::function<void(TCustomComPort& sender)> TxEmptyHandler;
    std::function<void(TCustomComPort& sender)> RxFlagHandler;
    std::function<void(TCustomComPort& sender, bool onOff)> CTSHandler;
    std::function<void(TCustomComPort& sender, bool onOff)> DSRHandler;
    std::function<void(TCustomComPort& sender, bool onOff)> RLSDHandler;
    std::function<void(TCustomComPort& sender)> RingHandler;
    std::function<void(TCustomComPort& sender, bool onOff)> TxBusyHandler;
    std::function<void(TCustomComPort& sender, bool onOff)> RxBusyHandler;

    // Beyond the eleven: called when the port is destroyed while this link is still
    // attached, so the owner can forget the port. The port drops the link itself.
    std::function<void(TCustomComPort& sender)> PortDestroyedHandler;
};

}  // namespace tarnik
