#pragma once

// Programming and verifying modules, one or several at once: each port runs its own
// session, all on one event loop, and one port's failure leaves the others alone.

#include <iosfwd>
#include <string>
#include <vector>

#include "model/effective_settings.h"

namespace tarnik::cli {

enum class ModuleTask {
    Program,           // programuj
    Verify,            // read back and compare with the settings
    ProgramAndVerify,  // both, one after the other
};

// Runs `task` on every port; returns 0 when every port succeeded, otherwise the exit
// status of the first port, in the order given, that failed.
int runOnModules(const std::vector<std::string>& ports, ModuleTask task,
                 const EffectiveSettings& settings, int timeoutMs, std::ostream& out,
                 std::ostream& err);

}  // namespace tarnik::cli
