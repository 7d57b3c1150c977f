#include "serial/com_error.h"

#include "serial/messages.h"
#include "serial/tty_io.h"

namespace tarnik {

EComPort::EComPort(int code, int systemCode)
    : std::runtime_error(comErrorMessage(code, systemCode)), code_(code), systemCode_(systemCode)
{
}

EComPort::EComPort(int code, int systemCode, const std::string& advice)
    : std::runtime_error(comErrorMessage(code, systemCode) + (advice.empty() ? "" : "\n" + advice)),
      code_(code), systemCode_(systemCode)
{
}

bool EComPort::DeviceGone() const
{
    return detail::deviceGoneError(systemCode_);
}

}  // namespace tarnik
