#include "modal_watcher.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>

namespace tarnik::test {

ModalWatcher::ModalWatcher(std::function<void(QWidget*)> action) : action_(std::move(action))
{
    poll_.setInterval(5);
    connect(&poll_, &QTimer::timeout, this, [this] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible())
            return;
        poll_.stop();
        fired_ = true;
        action_(modal);
    });
    poll_.start();
}

void closeReactionDialog(QWidget* dialog, bool ok)
{
    dialog->findChild<QAbstractButton*>(ok ? QStringLiteral("BitBtn1") : QStringLiteral("BitBtn2"))
        ->click();
}

namespace {

void recordAndAccept(QWidget* modal, SeenMessage& seen)
{
    auto* box = qobject_cast<QMessageBox*>(modal);
    if (!box) {
        modal->close();
        return;
    }
    seen.title = box->windowTitle();
    seen.text = box->text();
    seen.buttons = static_cast<int>(box->buttons().size());
    if (QAbstractButton* ok = box->button(QMessageBox::Ok))
        ok->click();
    else
        box->close();
}

}  // namespace

std::unique_ptr<ModalWatcher> acceptNextMessage(SeenMessage& seen)
{
    return std::make_unique<ModalWatcher>(
        [&seen](QWidget* modal) { recordAndAccept(modal, seen); });
}

MessageRecorder::MessageRecorder()
{
    poll_.setInterval(5);
    connect(&poll_, &QTimer::timeout, this, [this] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible())
            return;
        recordAndAccept(modal, messages_.emplace_back());
    });
    poll_.start();
}

}  // namespace tarnik::test
