#pragma once

// Hand-over to the Qt user-interface thread: posted work runs from the Qt event loop
// of the thread the context object lives in (the application's main thread).

#include <QObject>
#include <QPointer>

#include "serial/handover.h"

namespace tarnik {

class QtHandOver : public HandOver {
public:
    // context: a QObject living in the user-interface thread; nullptr means the
    // QCoreApplication instance. Work posted after the context is gone is dropped.
    explicit QtHandOver(QObject* context = nullptr);
    void post(std::function<void()> task) override;

private:
    QPointer<QObject> context_;
};

// Makes a QtHandOver on the application object the default for ports created from
// now on. Call once after the QCoreApplication/QApplication exists.
void installQtHandOver();

}  // namespace tarnik
