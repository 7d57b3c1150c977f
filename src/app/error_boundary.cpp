#include "app/error_boundary.h"

#include <QMessageBox>
#include <QPointer>
#include <deque>

namespace tarnik {

namespace {

ErrorPresenter& presenter()
{
    static ErrorPresenter instance;
    return instance;
}

bool& presenting()
{
    static bool flag = false;
    return flag;
}

// Failures raised while a message is up, waiting for their turn.
struct PendingMessage {
    QPointer<QWidget> parent;
    QString text;
};
std::deque<PendingMessage>& pending()
{
    static std::deque<PendingMessage> queue;
    return queue;
}

void presentBox(QWidget* parent, const QString& message)
{
    QMessageBox box(QMessageBox::Critical, QApplication::applicationName(), message,
                    QMessageBox::Ok, parent);
    box.exec();
}

}  // namespace

void setErrorPresenter(ErrorPresenter replacement)
{
    presenter() = std::move(replacement);
}

void showErrorMessage(QWidget* parent, const QString& message)
{
    if (presenter()) {
        presenter()(parent, message);
        return;
    }
    // A failure raised while a message is already up is shown after it, not
    // inside its event loop; the same text waiting twice is shown once.
    if (presenting()) {
        for (const PendingMessage& waiting : pending())
            if (waiting.text == message)
                return;
        pending().push_back({parent, message});
        return;
    }
    presenting() = true;
    presentBox(parent, message);
    while (!pending().empty()) {
        const PendingMessage next = pending().front();
        pending().pop_front();
        presentBox(next.parent, next.text);
    }
    presenting() = false;
}

QString currentErrorMessage()
{
    try {
        throw;
    } catch (const std::exception& error) {
        return QString::fromUtf8(error.what());
    } catch (...) {
        return QStringLiteral("Unknown error");
    }
}

TarnikApplication::TarnikApplication(int& argc, char** argv) : QApplication(argc, argv)
{
}

bool TarnikApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        const QString message = currentErrorMessage();
        showErrorMessage(activeWindow(), message);
        return true;
    }
}

}  // namespace tarnik
