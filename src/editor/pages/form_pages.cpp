#include "editor/pages/page_builders.h"
#include "ui_basic_page.h"
#include "ui_outputs_page.h"

namespace tarnik {

// The two pages without repeated rows come from Designer forms; the generated
// Ui structs only hold pointers, so they are not kept: the window reaches the
// controls by name.
QWidget* buildBasicPage()
{
    auto* page = new QWidget;
    Ui::BasicPage().setupUi(page);
    return page;
}

QWidget* buildOutputsPage()
{
    auto* page = new QWidget;
    Ui::OutputsPage().setupUi(page);
    return page;
}

}  // namespace tarnik
