#pragma once

// The serial layer's error: a code 1..23 naming a row of the message table, and the
// system error number (errno) at the failure, or -1 when no system call failed.

#include <stdexcept>
#include <string>

namespace tarnik {

// Rows of the message table.
enum ComErrorCode {
    errOpenPort = 1,
    errWrite = 2,
    errRead = 3,
    errAsyncParameter = 4,
    errPurge = 5,
    errAsyncStatus = 6,
    errSetLineSettings = 7,
    errSetTimeouts = 8,
    errSetQueueSizes = 9,
    errQueueStatus = 10,
    errModemStatus = 11,
    errEscapeFunction = 12,
    errTransmitChar = 13,
    errSetWhileConnected = 14,
    errEnumPorts = 15,
    errStoreSettings = 16,
    errLoadSettings = 17,
    errLinkRegistration = 18,
    errLedState = 19,
    errWaitWithThread = 20,
    errWaitForEvent = 21,
    errRxBufLinked = 22,
    errRegistry = 23,
};

class EComPort : public std::runtime_error {
public:
    // The message is the (translated) table text, followed by the translated
    // " (win error code: %d)" with systemCode when systemCode is not -1.
    explicit EComPort(int code, int systemCode = -1);
    // The same message with `advice` on a line of its own after it (none when empty).
    EComPort(int code, int systemCode, const std::string& advice);

    int ErrorCode() const { return code_; }
    int SystemErrorCode() const { return systemCode_; }
    // True when the system error says the device went away (hang-up, unplugged).
    bool DeviceGone() const;

private:
    int code_;
    int systemCode_;
};

}  // namespace tarnik
