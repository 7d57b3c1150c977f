#pragma once

#include <QString>

namespace tarnik {

// "mailto:" + address + "?subject=" + subject, as one text.
QString supportMailText();

// Opens a new message to the technical department in the user's mail program
// (Kotaktzdziaemtechnicznym1Click). Nothing is reported when no mail program
// is set up; the serial port is not touched.
void Kotaktzdziaemtechnicznym1Click();

// Opens the maker's web page in the browser.
void openMakerWebPage();

}  // namespace tarnik
