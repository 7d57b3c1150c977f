#pragma once

class QTabWidget;
class QWidget;

namespace tarnik {

// PageControl2: the five settings pages in tab order, with every control's
// limits installed. The first page is current.
QTabWidget* buildSettingsPages(QWidget* parent);

}  // namespace tarnik
