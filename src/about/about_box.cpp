#include "about/about_box.h"

#include <QScreen>

#include "about/maker_contact.h"
#include "about/program_icon.h"
#include "about/support_mail.h"
#include "ui_about_box.h"

namespace tarnik {

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent), ui_(std::make_unique<Ui::TAboutBox>())
{
    ui_->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    ui_->ProgramIcon->setPixmap(programPixmap(65));
    // The link is drawn as blue underlined text; a click opens the page.
    ui_->Comments->setText(
        QStringLiteral("<a href=\"%1\" style=\"color:#0000ff\">%2</a>")
            .arg(QString::fromUtf8(maker::kWebPage), QString::fromUtf8(maker::kWebPageText)));
    ui_->Comments->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    ui_->Comments->setCursor(Qt::PointingHandCursor);
    connect(ui_->Comments, &QLabel::linkActivated, this, [this] { CommentsClick(); });
    connect(ui_->OKButton, &QPushButton::clicked, this, &QDialog::accept);
    setFixedSize(sizeHint().expandedTo(QSize(298, 213)));
}

TAboutBox::~TAboutBox() = default;

void TAboutBox::CommentsClick()
{
    openMakerWebPage();
}

void TAboutBox::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (const QScreen* shownOn = screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(shownOn->availableGeometry().center());
        move(frame.topLeft());
    }
}

}  // namespace tarnik
