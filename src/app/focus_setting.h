#pragma once

// Brings the main window to the control that edits a setting, so that what the
// user types next goes there: the control of a page that holds the setting (for
// a row of option boxes, the box of the bits asked for), or for a reaction byte
// the button that opens its reaction dialog.

#include <cstdint>
#include <string>

class QWidget;

namespace tarnik {

class TGlownaF;

// The control of `window`'s pages that edits the setting `key` (the box of the
// lowest of `bits` in a row of option boxes), or null for a setting no control
// shows.
QWidget* settingEditor(TGlownaF& window, const std::string& key, std::uint8_t bits);

// Shows the page with the setting's control, scrolls it into view, brings the
// window to the front and gives the control the focus; a reaction button is
// clicked too when `openDialog`, opening the dialog that edits the byte. Returns
// false, changing nothing, for a setting no control shows.
bool focusSetting(TGlownaF& window, const std::string& key, std::uint8_t bits, bool openDialog);

}  // namespace tarnik
