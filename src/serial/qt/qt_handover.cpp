#include "serial/qt/qt_handover.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <exception>
#include <memory>

#include "serial/qt/log_categories.h"

namespace tarnik {

QtHandOver::QtHandOver(QObject* context)
    : context_(context != nullptr ? context : QCoreApplication::instance())
{
}

void QtHandOver::post(std::function<void()> task)
{
    QObject* target = context_.data();
    if (target == nullptr)
        return;  // the user-interface side is gone: nothing can run it
    QMetaObject::invokeMethod(
        target,
        [task = std::move(task)] {
            // Work posted by a port reports its own errors; nothing may reach Qt's loop.
            try {
                task();
            } catch (const std::exception& e) {
                qCWarning(lcTarnikSerial, "posted work failed: %s", e.what());
            } catch (...) {
                qCWarning(lcTarnikSerial, "posted work failed");
            }
        },
        Qt::QueuedConnection);
}

void installQtHandOver()
{
    setDefaultHandOver(std::make_shared<QtHandOver>());
}

}  // namespace tarnik
