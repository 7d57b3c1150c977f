#pragma once

// One boundary per user action: an error raised while a handler runs ends the
// handler and its message is shown in a message box; the window stays open.
// Nothing is allowed to cross the Qt event loop.

#include <QApplication>
#include <QString>
#include <exception>
#include <functional>

namespace tarnik {

using ErrorPresenter = std::function<void(QWidget* parent, const QString& message)>;

// Shows `message` the way the program shows every error (a modal box titled
// with the application's name). Tests may replace the presenter; an empty
// presenter restores the message box.
void showErrorMessage(QWidget* parent, const QString& message);
void setErrorPresenter(ErrorPresenter presenter);

// The message of the exception being handled (call inside a catch block).
QString currentErrorMessage();

// Runs `action`, showing any error it raises.
template <typename Action>
void guarded(QWidget* parent, Action&& action) noexcept
{
    try {
        action();
    } catch (...) {
        showErrorMessage(parent, currentErrorMessage());
    }
}

// The application object: its notify() is the last boundary for anything a
// handler reached by an event lets through.
class TarnikApplication : public QApplication {
    Q_OBJECT
public:
    TarnikApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace tarnik
