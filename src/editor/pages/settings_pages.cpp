#include "editor/pages/settings_pages.h"

#include <QTabWidget>

#include "editor/pages/control_limits.h"
#include "editor/pages/page_builders.h"

namespace tarnik {

QTabWidget* buildSettingsPages(QWidget* parent)
{
    auto* pages = new QTabWidget(parent);
    pages->setObjectName(QStringLiteral("PageControl2"));
    pages->addTab(buildBasicPage(), QStringLiteral("Podstawowe"));
    pages->addTab(buildUsersPage(), QStringLiteral("numery telefonów"));
    pages->addTab(buildInputsPage(), QStringLiteral("Wejścia"));
    pages->addTab(buildSpecialInputsPage(), QStringLiteral("Wejścia specjalne"));
    pages->addTab(buildOutputsPage(), QStringLiteral("Wyjścia"));
    pages->setCurrentIndex(0);
    applyControlLimits(pages);
    return pages;
}

}  // namespace tarnik
