#include "app/error_boundary.h"

#include <QMessageBox>
#include <QPointer>

namespace tarnik {

namespace {

ErrorPresenter &presenter() {
    static ErrorPresenter instance;
    return instance;
}

bool &presenting() {
    static bool flag = false;
    return flag;
}

}  // namespace

void setErrorPresenter(ErrorPresenter replacement) { presenter() = std::move(replacement); }

void showErrorMessage(QWidget *parent, const QString &message) {
    if (presenter()) {
        presenter()(parent, message);
        return;
    }
    // A failure raised while a message is already up is shown after it, not
    // inside its event loop.
    if (presenting()) return;
    presenting() = true;
    QMessageBox box(QMessageBox::Critical, QApplication::applicationName(), message, QMessageBox::Ok, parent);
    box.exec();
    presenting() = false;
}

QString currentErrorMessage() {
    try {
        throw;
    } catch (const std::exception &error) {
        return QString::fromUtf8(error.what());
    } catch (...) {
        return QStringLiteral("Unknown error");
    }
}

TarnikApplication::TarnikApplication(int &argc, char **argv) : QApplication(argc, argv) {}

bool TarnikApplication::notify(QObject *receiver, QEvent *event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        const QString message = currentErrorMessage();
        showErrorMessage(activeWindow(), message);
        return true;
    }
}

}  // namespace tarnik
