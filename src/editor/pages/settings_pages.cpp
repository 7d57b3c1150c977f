#include "editor/pages/settings_pages.h"

#include <QScrollArea>
#include <QStyle>
#include <QTabWidget>

#include "editor/editor_texts.h"
#include "editor/pages/control_limits.h"
#include "editor/pages/page_builders.h"

namespace tarnik {

namespace {

// A page that scrolls inside the tab control when the window is smaller than
// the page, so the window fits a small screen. It asks for the page's whole
// size, and room beside it for a vertical scroll bar: where a screen cuts the
// window's height the page scrolls up and down, never sideways.
class PageScroller : public QScrollArea {
public:
    explicit PageScroller(QWidget* page)
    {
        // The tab is the page as the tab control holds it: it takes the page's
        // name, and the page's own content is named after it.
        setObjectName(page->objectName());
        page->setObjectName(page->objectName() + QStringLiteral("Content"));
        setFrameShape(QFrame::NoFrame);
        setWidgetResizable(true);
        setWidget(page);
    }
    QSize sizeHint() const override
    {
        const int frame = 2 * frameWidth();
        const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
        return widget()->sizeHint() + QSize(frame + bar, frame);
    }
};

}  // namespace

QTabWidget* buildSettingsPages(QWidget* parent)
{
    auto* pages = new QTabWidget(parent);
    pages->setObjectName(QStringLiteral("PageControl2"));
    pages->addTab(new PageScroller(buildBasicPage()), QString::fromUtf8(editor_text::kBasicPage));
    pages->addTab(new PageScroller(buildUsersPage()), QString::fromUtf8(editor_text::kUsersPage));
    pages->addTab(new PageScroller(buildInputsPage()), QString::fromUtf8(editor_text::kInputsPage));
    pages->addTab(new PageScroller(buildSpecialInputsPage()),
                  QString::fromUtf8(editor_text::kSpecialInputsPage));
    pages->addTab(new PageScroller(buildOutputsPage()),
                  QString::fromUtf8(editor_text::kOutputsPage));
    pages->setCurrentIndex(0);
    applyControlLimits(pages);
    return pages;
}

}  // namespace tarnik
