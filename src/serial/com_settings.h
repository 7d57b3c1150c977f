#pragma once

// Line settings of a serial port: the enumerations (ordinal order is binding) and
// the grouped settings with their defaults.

#include <cstdint>

#include "serial/enum_set.h"

namespace tarnik {

enum TBaudRate {
    brCustom,
    br110,
    br300,
    br600,
    br1200,
    br2400,
    br4800,
    br9600,
    br14400,
    br19200,
    br38400,
    br56000,
    br57600,
    br115200,
    br128000,
    br256000
};
// Bits per second of a rate; 0 for brCustom (the port uses CustomBaudRate then).
int baudRateValue(TBaudRate rate);

enum TDataBits { dbFive, dbSix, dbSeven, dbEight };
enum TStopBits { sbOneStopBit, sbOne5StopBits, sbTwoStopBits };
enum TParityBits { prNone, prOdd, prEven, prMark, prSpace };
enum TDTRFlowControl { dtrDisable = 0x0000, dtrEnable = 0x0010, dtrHandshake = 0x0020 };
enum TRTSFlowControl {
    rtsDisable = 0x0000,
    rtsEnable = 0x1000,
    rtsHandshake = 0x2000,
    rtsToggle = 0x3000
};

enum TComEvent {
    evRxChar,
    evTxEmpty,
    evRxFlag,
    evRing,
    evBreak,
    evCTS,
    evDSR,
    evError,
    evRLSD,
    evRx80Full
};
using TComEvents = EnumSet<TComEvent>;
inline constexpr TComEvents kAllComEvents{evRxChar, evTxEmpty, evRxFlag, evRing, evBreak,
                                          evCTS,    evDSR,     evError,  evRLSD, evRx80Full};

enum TComError { ceFrame, ceRxParity, ceOverrun, ceBreak, ceIO, ceMode, ceRxOver, ceTxFull };
using TComErrors = EnumSet<TComError>;

// smWindowSync is handled exactly like smThreadSync: there is no hidden window here,
// the batch goes through the same hand-over to the user-interface thread.
enum TSyncMethod { smThreadSync, smWindowSync, smNone };

struct TComParity {
    TParityBits Bits = prNone;
    bool Check = false;
    bool Replace = false;
    std::uint8_t ReplaceChar = 0;
    bool operator==(const TComParity&) const = default;
};

struct TComFlowControl {
    bool OutCTSFlow = false;
    bool OutDSRFlow = false;
    TDTRFlowControl ControlDTR = dtrDisable;
    TRTSFlowControl ControlRTS = rtsDisable;
    bool XonXoffOut = false;
    bool XonXoffIn = false;
    bool DSRSensitivity = false;
    bool TxContinueOnXoff = false;
    std::uint8_t XonChar = 17;
    std::uint8_t XoffChar = 19;
    bool operator==(const TComFlowControl&) const = default;
};

// Milliseconds; -1 stands for "all ones" (MAXDWORD).
struct TComTimeouts {
    std::int32_t ReadInterval = -1;
    std::int32_t ReadTotalMultiplier = 0;
    std::int32_t ReadTotalConstant = 0;
    std::int32_t WriteTotalMultiplier = 100;
    std::int32_t WriteTotalConstant = 1000;
    bool operator==(const TComTimeouts&) const = default;
};

// Bytes. A positive odd size given to the port is stored one lower.
struct TComBuffer {
    std::int32_t InputSize = 1024;
    std::int32_t OutputSize = 1024;
    bool operator==(const TComBuffer&) const = default;
};

}  // namespace tarnik
