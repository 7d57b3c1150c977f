// Opens the port named on the command line as the program does and prints what the
// open raised: used to open a device as another user. Exit 0 when it opened, else
// the error code.

#include <cstdio>

#include "serial/comport.h"

int main(int argc, char** argv)
{
    if (argc != 2)
        return 100;
    tarnik::TComPort port;
    port.SetEvents({});
    port.SetPort(argv[1]);
    try {
        port.Open();
    } catch (const tarnik::EComPort& e) {
        std::fputs(e.what(), stdout);
        return e.ErrorCode();
    }
    std::fputs("opened", stdout);
    return 0;
}
