#pragma once

// The device image of a settings record, and whether a module's memory holds what a
// programming run sends of it, for every test that programs a module.

#include <gtest/gtest.h>

#include "model/settings_record.h"

namespace tarnik::test {

// The 2048-byte device image programming makes of `record`.
DeviceImage imageOf(const SettingsRecord& record);

// Succeeds when `memory` holds the bytes a programming run sends (image bytes 0..1194)
// of `programmed`; the message names the first byte that differs.
::testing::AssertionResult holdsProgrammedImage(const DeviceImage& memory,
                                                const DeviceImage& programmed);
::testing::AssertionResult holdsProgrammedImage(const DeviceImage& memory,
                                                const SettingsRecord& programmed);

}  // namespace tarnik::test
