// Putting the port's settings into force on the terminal device.

#include <sys/ioctl.h>
#include <termios.h>

#include <cerrno>
#include <cstdio>

#include "serial/comport.h"
#include "serial/custom_baud.h"
#include "serial/tty_io.h"

namespace tarnik {

namespace {

// The B-constant of a rate, or 0 when the rate has none.
speed_t standardSpeed(int rate)
{
    switch (rate) {
    case 110:
        return B110;
    case 300:
        return B300;
    case 600:
        return B600;
    case 1200:
        return B1200;
    case 2400:
        return B2400;
    case 4800:
        return B4800;
    case 9600:
        return B9600;
    case 19200:
        return B19200;
    case 38400:
        return B38400;
    case 57600:
        return B57600;
    case 115200:
        return B115200;
    case 230400:
        return B230400;
    case 460800:
        return B460800;
    case 921600:
        return B921600;
    default:
        return 0;
    }
}

// Raises or drops one modem output line; devices without modem lines are ignored.
void setModemLine(int fd, int line, bool on)
{
    if (ioctl(fd, on ? TIOCMBIS : TIOCMBIC, &line) != 0 && !detail::noModemLines(errno))
        throw EComPort(errSetLineSettings, errno);
}

}  // namespace

void TCustomComPort::ApplyLineSettings()
{
    termios t{};
    if (tcgetattr(fd_.get(), &t) != 0)
        throw EComPort(errSetLineSettings, errno);

    // Raw 8-bit line: no echo, no line editing, no signals, no CR/LF translation.
    // A received break is dropped (IGNBRK): otherwise it arrives as a 0x00 data byte.
    cfmakeraw(&t);
    t.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY | INPCK | IGNPAR | PARMRK | BRKINT);
    t.c_iflag |= IGNBRK;
    t.c_cflag |= CLOCAL | CREAD;
    t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;

    static constexpr tcflag_t kSizes[] = {CS5, CS6, CS7, CS8};
    t.c_cflag |= kSizes[dataBits_];

    switch (parity_.Bits) {
    case prNone:
        break;
    case prOdd:
        t.c_cflag |= PARENB | PARODD;
        break;
    case prEven:
        t.c_cflag |= PARENB;
        break;
    case prMark:
        t.c_cflag |= PARENB | CMSPAR | PARODD;
        break;
    case prSpace:
        t.c_cflag |= PARENB | CMSPAR;
        break;
    }
    if (parity_.Check)
        t.c_iflag |= INPCK;

    // 1.5 stop bits exist only with 5 data bits, where the UART makes CSTOPB mean 1.5.
    if (stopBits_ != sbOneStopBit)
        t.c_cflag |= CSTOPB;

    if (flowControl_.OutCTSFlow || flowControl_.ControlRTS == rtsHandshake)
        t.c_cflag |= CRTSCTS;
    if (flowControl_.XonXoffOut)
        t.c_iflag |= IXON;
    if (flowControl_.XonXoffIn)
        t.c_iflag |= IXOFF;
    t.c_cc[VSTART] = static_cast<cc_t>(flowControl_.XonChar);
    t.c_cc[VSTOP] = static_cast<cc_t>(flowControl_.XoffChar);

    const int rate = baudRate_ == brCustom ? customBaudRate_ : baudRateValue(baudRate_);
    const speed_t standard = standardSpeed(rate);
    if (standard != 0) {
        cfsetispeed(&t, standard);
        cfsetospeed(&t, standard);
    }
    if (tcsetattr(fd_.get(), TCSANOW, &t) != 0)
        throw EComPort(errSetLineSettings, errno);
    // Drivers drop framing they cannot do (a pseudo-terminal keeps 8 bits, no parity)
    // without failing; a line that silently differs from the settings is refused.
    constexpr tcflag_t kFraming = CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS;
    termios check{};
    if (tcgetattr(fd_.get(), &check) != 0)
        throw EComPort(errSetLineSettings, errno);
    if ((check.c_cflag & kFraming) != (t.c_cflag & kFraming))
        throw EComPort(errSetLineSettings, EINVAL);
    if (standard == 0) {
        if (rate <= 0)
            throw EComPort(errSetLineSettings, EINVAL);
        if (detail::setArbitrarySpeed(fd_.get(), rate) != 0)
            throw EComPort(errSetLineSettings, errno);
    }

    // DTR and RTS: held off or raised as asked; handshake modes leave them raised
    // (RTS handshake itself is CRTSCTS above).
    setModemLine(fd_.get(), TIOCM_DTR, flowControl_.ControlDTR != dtrDisable);
    if (flowControl_.ControlRTS != rtsHandshake)
        setModemLine(fd_.get(), TIOCM_RTS, flowControl_.ControlRTS != rtsDisable);
    if (trace_)
        TraceText(trace_tag::kSettings, LineSettingsText());
}

std::string TCustomComPort::LineSettingsText() const
{
    static constexpr char kParity[] = {'N', 'O', 'E', 'M', 'S'};
    static constexpr const char* kStop[] = {"1", "1.5", "2"};
    const int rate = baudRate_ == brCustom ? customBaudRate_ : baudRateValue(baudRate_);
    const auto& f = flowControl_;
    char text[160];
    std::snprintf(text, sizeof text,
                  "%d %d%c%s, rtscts %s, xon/xoff %s/%s, DTR %s, RTS %s, event char 0x%02X", rate,
                  5 + static_cast<int>(dataBits_), kParity[parity_.Bits], kStop[stopBits_],
                  f.OutCTSFlow || f.ControlRTS == rtsHandshake ? "on" : "off",
                  f.XonXoffOut ? "on" : "off", f.XonXoffIn ? "on" : "off",
                  f.ControlDTR == dtrDisable ? "off" : "on",
                  f.ControlRTS == rtsDisable ? "off" : "on", eventChar_);
    return text;
}

// Timeouts are applied by Read and Write themselves; the descriptor stays
// non-blocking (VMIN and VTIME 0), so there is nothing to hand to the driver.
void TCustomComPort::ApplyTimeoutSettings()
{
}

// The terminal driver's queues have fixed sizes; the sizes given only set the
// 80-percent mark of the input queue, taken when the event thread starts.
void TCustomComPort::ApplyBufferSizes()
{
}

}  // namespace tarnik
