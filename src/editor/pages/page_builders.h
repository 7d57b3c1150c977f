#pragma once

// Builders of the five settings pages. Each returns a page widget whose
// objectName is the page's name (TabSheet1 .. TabSheet5); the controls on it
// carry the names that the bindings and handlers compose at run time.

class QWidget;

namespace tarnik {

QWidget* buildBasicPage();          // TabSheet1 "Podstawowe" (from basic_page.ui)
QWidget* buildUsersPage();          // TabSheet2 "numery telefonów"
QWidget* buildInputsPage();         // TabSheet3 "Wejścia", rows inside ScrollBox1
QWidget* buildSpecialInputsPage();  // TabSheet4 "Wejścia specjalne"
QWidget* buildOutputsPage();        // TabSheet5 "Wyjścia" (from outputs_page.ui)

}  // namespace tarnik
