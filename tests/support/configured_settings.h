#pragma once

// A fully configured module: every setting the window shows away from the factory
// defaults, with Polish letters in names, notes and texts, distinct numbers, and a
// few hidden settings a foreign file may hold. For the report's tests and benchmark.

#include "model/settings_record.h"

namespace tarnik::test {

struct ConfiguredSettings {
    SettingsRecord record{};
    UserDirectory users{};
};

ConfiguredSettings fullyConfigured();

// Secrets of fullyConfigured(), in code page 1250 (ASCII here).
inline constexpr const char* kConfiguredPin = "9357";
inline constexpr const char* kConfiguredAccessCode = "Kx7w";
inline constexpr const char* kConfiguredOutputCodes[] = {"Q7", "J3", "K8", "V5"};

}  // namespace tarnik::test
