#include "serial/com_settings.h"

namespace tarnik {

int baudRateValue(TBaudRate rate)
{
    static constexpr int kRates[] = {0,     110,   300,   600,   1200,  2400,   4800,   9600,
                                     14400, 19200, 38400, 56000, 57600, 115200, 128000, 256000};
    const auto i = static_cast<unsigned>(rate);
    return i < sizeof kRates / sizeof kRates[0] ? kRates[i] : 0;
}

}  // namespace tarnik
