#pragma once

// Pictures of the main window for the documentation: with each settings page
// in front in turn, saved as PNG files.

#include <QString>

namespace tarnik {

class TGlownaF;

// Saves main_window.png (first page) and page1.png .. page5.png into `folder`;
// returns false when a file cannot be written.
bool saveWindowPictures(TGlownaF& window, const QString& folder);

}  // namespace tarnik
