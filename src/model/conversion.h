#pragma once

// The factory defaults and the two conversions between the Settings record and
// the Device image. None of them fails or reports: any bytes are accepted.

#include "model/settings_record.h"

namespace tarnik {

// Writes the factory defaults into `record`. Only the fields that have a default
// are written; the defaults are meant for an all-zero record.
void SetDefaults(SettingsRecord& record);

// Sets all 2048 bytes of the image to 0.
void ClearImage(DeviceImage& image);

// Builds the image the module is programmed with. Bytes not written are 0.
void SettingsToImage(const SettingsRecord& record, DeviceImage& image);

// Replaces the fields the image carries. Spare bytes and the characters past
// each string's new length keep what `record` held; the checksum is not tested.
void ImageToSettings(const DeviceImage& image, SettingsRecord& record);

// The header checksum SettingsToImage writes: complement of the 8-bit sum of
// the header bytes.
std::uint8_t headerChecksum(const DeviceImage& image);

}  // namespace tarnik
