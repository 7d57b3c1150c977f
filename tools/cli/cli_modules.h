#pragma once

// Programming and verifying modules, one or several at once: each port runs its own
// session, all on one event loop, and one port's failure leaves the others alone.

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "model/effective_settings.h"
#include "model/settings_record.h"

namespace tarnik::cli {

enum class ModuleTask {
    Program,           // programuj
    Verify,            // read back and compare with the settings
    ProgramAndVerify,  // both, one after the other
};

// How one port ended.
struct PortResult {
    std::string port;
    int status = 0;                    // the exit status of this port alone
    bool programmed = false;           // programming succeeded (Program, ProgramAndVerify)
    std::optional<DeviceImage> image;  // the module's image, when a read-back came
};

struct ModulesOutcome {
    // 0 when every port succeeded, otherwise the exit status of the first port, in the
    // order given, that failed.
    int status = 0;
    std::vector<PortResult> ports;  // in the order given
};

// Runs `task` on every port.
ModulesOutcome runOnModules(const std::vector<std::string>& ports, ModuleTask task,
                            const EffectiveSettings& settings, int timeoutMs, std::ostream& out,
                            std::ostream& err);

// The summary of a port's exit status, as several ports' last lines and the library's
// history show it ("OK", "brak odpowiedzi z modułu", ...).
std::string summaryOf(int status);

}  // namespace tarnik::cli
