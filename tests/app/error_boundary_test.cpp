// The last boundary: an error raised while an event is handled is shown and
// goes no further; guarded() does the same for one action.

#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <functional>
#include <stdexcept>

#include "app/error_boundary.h"

namespace {

class FailingObject : public QObject {
protected:
    bool event(QEvent* event) override
    {
        if (event->type() == QEvent::User)
            throw std::runtime_error("Port COM9 nie istnieje");
        return QObject::event(event);
    }
};

}  // namespace

class ErrorBoundaryTest : public QObject {
    Q_OBJECT
    QStringList shown;

private slots:
    void init()
    {
        shown.clear();
        tarnik::setErrorPresenter([this](QWidget*, const QString& message) { shown << message; });
    }
    void cleanup() { tarnik::setErrorPresenter({}); }

    void errorInAnEventHandlerIsShownAndStopsThere()
    {
        FailingObject object;
        QEvent event(QEvent::User);
        QApplication::sendEvent(&object, &event);
        QCOMPARE(shown, QStringList{QStringLiteral("Port COM9 nie istnieje")});
    }

    void errorInAPostedEventDoesNotEndTheLoop()
    {
        FailingObject object;
        QCoreApplication::postEvent(&object, new QEvent(QEvent::User));
        bool loopGoesOn = false;
        QTimer::singleShot(20, [&loopGoesOn] { loopGoesOn = true; });
        QTRY_VERIFY(loopGoesOn);
        QCOMPARE(shown.size(), 1);
    }

    void guardedShowsAnyError()
    {
        tarnik::guarded(nullptr, [] { throw std::logic_error("zły stan"); });
        tarnik::guarded(nullptr, [] { throw 42; });
        tarnik::guarded(nullptr, [] {});
        QCOMPARE(shown, (QStringList{QStringLiteral("zły stan"), QStringLiteral("Unknown error")}));
    }

    // With the real message box: a failure raised while a message is up (for
    // example reported from the serial line) waits for it and is then shown;
    // the same text waiting twice is shown once.
    void aFailureDuringAMessageIsShownAfterIt()
    {
        tarnik::setErrorPresenter({});
        QStringList boxes;
        std::function<void()> answerNextBox = [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) {
                QTimer::singleShot(10, answerNextBox);
                return;
            }
            boxes << box->text();
            if (boxes.size() == 1) {
                tarnik::showErrorMessage(nullptr, QStringLiteral("drugi"));
                tarnik::showErrorMessage(nullptr, QStringLiteral("drugi"));
            }
            box->accept();
            if (boxes.size() < 2)
                QTimer::singleShot(10, answerNextBox);
        };
        QTimer::singleShot(10, answerNextBox);
        tarnik::showErrorMessage(nullptr, QStringLiteral("pierwszy"));
        QCOMPARE(boxes, (QStringList{QStringLiteral("pierwszy"), QStringLiteral("drugi")}));
        QVERIFY(!QApplication::activeModalWidget());
    }
};

int main(int argc, char** argv)
{
    tarnik::TarnikApplication app(argc, argv);
    ErrorBoundaryTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_error_boundary.moc"
