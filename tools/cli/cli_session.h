#pragma once

// One module on one port: its own port, framer, engine and host. Several sessions run
// side by side on the one event loop.

#include <string>

#include "cli/cli_host.h"
#include "link/link_engine.h"
#include "serial/comport.h"
#include "serial/datapacket.h"

namespace tarnik::cli {

struct Session {
    Session(std::ostream& out, std::ostream& err, const std::string& port,
            const SettingsRecord& record, int timeoutMs, const std::string& linePrefix = {})
        : host(out, err, port, record, timeoutMs, linePrefix), engine(host, image, comPort, framer)
    {
        // Named from the start, so that the trace names it even before the first open.
        comPort.SetPort(port);
        wireModuleLink(comPort, framer, engine, host.timer());
    }

    TComPort comPort;
    TComDataPacket framer;
    DeviceImage image{};
    CliHost host;
    LinkEngine engine;
};

}  // namespace tarnik::cli
