#pragma once

// Limits of the editor's controls: the one table every spin edit is built from,
// and the maximum lengths of the edit boxes.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "model/settings_record.h"

namespace tarnik {

struct SpinLimits {
    std::string_view name;  // the control's objectName
    int minimum;
    int maximum;
    int maxLength;             // characters the spin's text may hold
    int initial;               // value before the settings are first shown
    std::size_t recordOffset;  // the Settings record byte the spin edits
};

struct EditLimits {
    std::string_view name;  // the control's objectName
    int maxLength;          // kNoMaxLength: no limit set by the control
};

inline constexpr int kNoMaxLength = 0;

// Every spin edit of the main window, hidden ones included.
std::span<const SpinLimits> spinLimits();

// Every edit box of the main window that is bound to the Settings record or
// the User directory, hidden ones included.
std::span<const EditLimits> editLimits();

// Lookups by objectName, ignoring letter case; nullptr / nullopt when unknown.
const SpinLimits* findSpinLimits(std::string_view name);
// The spin edit showing the Settings record byte at `recordOffset`, or nullptr.
const SpinLimits* spinLimitsAt(std::size_t recordOffset);
std::optional<int> editMaxLength(std::string_view name);

// The record byte a spin edit shows.
std::uint8_t& spinField(SettingsRecord& record, const SpinLimits& limits);
std::uint8_t spinField(const SettingsRecord& record, const SpinLimits& limits);

// The Settings record as the window shows it at start-up: the factory defaults
// on an all-zero record, with every spin-bound byte brought into its spin's range.
SettingsRecord startupSettings();

}  // namespace tarnik
