#pragma once

// Pictures of the main window for the documentation: with each settings page
// in front in turn, saved as PNG files.

#include <QString>

namespace tarnik {

class TGlownaF;

// Saves main_window.png (first page), page1.png .. page5.png and, with a small
// example site shown, overview.png ("Przegląd konfiguracji") into `folder`;
// returns false when a file cannot be written.
bool saveWindowPictures(TGlownaF& window, const QString& folder);

}  // namespace tarnik
