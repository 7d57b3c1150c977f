#pragma once

// Acts on the next modal window that opens, from inside its event loop, so a
// test can drive a dialog or message box shown with exec().

#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>
#include <vector>

class QWidget;

namespace tarnik::test {

class ModalWatcher : public QObject {
public:
    // `action` runs once, on the first modal widget seen; it must close it.
    explicit ModalWatcher(std::function<void(QWidget*)> action);

    bool fired() const { return fired_; }

private:
    std::function<void(QWidget*)> action_;
    QTimer poll_;
    bool fired_ = false;
};

// Closes a reaction dialog with its OK button ("BitBtn1") or "Anuluj" ("BitBtn2").
void closeReactionDialog(QWidget* dialog, bool ok);

// What a closed message box said.
struct SeenMessage {
    QString title;
    QString text;
    int buttons = 0;  // how many buttons it offered
};

// Arms a watcher that records the next message box and presses its OK button.
std::unique_ptr<ModalWatcher> acceptNextMessage(SeenMessage& seen);

// Records and accepts every message box that opens while it lives.
class MessageRecorder : public QObject {
public:
    MessageRecorder();
    const std::vector<SeenMessage>& messages() const { return messages_; }

private:
    QTimer poll_;
    std::vector<SeenMessage> messages_;
};

}  // namespace tarnik::test
