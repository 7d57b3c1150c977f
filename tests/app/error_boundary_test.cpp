// The last boundary: an error raised while an event is handled is shown and
// goes no further; guarded() does the same for one action.

#include <QMessageBox>
#include <gtest/gtest.h>

#include "event_loop.h"
#include "qt_printers.h"
#include <QTimer>
#include <functional>
#include <stdexcept>

#include "app/error_boundary.h"

using namespace std::chrono_literals;
using tarnik::test::pumpUntil;

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

class ErrorBoundaryTest : public ::testing::Test {
protected:
    QStringList shown;

    void SetUp() override
    {
        shown.clear();
        tarnik::setErrorPresenter([this](QWidget*, const QString& message) { shown << message; });
    }
    void TearDown() override { tarnik::setErrorPresenter({}); }
};

TEST_F(ErrorBoundaryTest, ErrorInAnEventHandlerIsShownAndStopsThere)
{
    FailingObject object;
    QEvent event(QEvent::User);
    QApplication::sendEvent(&object, &event);
    ASSERT_EQ(shown, QStringList{QStringLiteral("Port COM9 nie istnieje")});
}

TEST_F(ErrorBoundaryTest, ErrorInAPostedEventDoesNotEndTheLoop)
{
    FailingObject object;
    QCoreApplication::postEvent(&object, new QEvent(QEvent::User));
    bool loopGoesOn = false;
    QTimer::singleShot(20, [&loopGoesOn] { loopGoesOn = true; });
    ASSERT_TRUE(pumpUntil([&] { return bool(loopGoesOn); }, 5s));
    ASSERT_EQ(shown.size(), 1);
}

TEST_F(ErrorBoundaryTest, GuardedShowsAnyError)
{
    tarnik::guarded(nullptr, [] { throw std::logic_error("zły stan"); });
    tarnik::guarded(nullptr, [] { throw 42; });
    tarnik::guarded(nullptr, [] {});
    ASSERT_EQ(shown, (QStringList{QStringLiteral("zły stan"), QStringLiteral("Unknown error")}));
}

// With the real message box: a failure raised while a message is up (for
// example reported from the serial line) waits for it and is then shown;
// the same text waiting twice is shown once.
TEST_F(ErrorBoundaryTest, AFailureDuringAMessageIsShownAfterIt)
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
    ASSERT_EQ(boxes, (QStringList{QStringLiteral("pierwszy"), QStringLiteral("drugi")}));
    ASSERT_TRUE(!QApplication::activeModalWidget());
}

// The program's own application class: its notify() is the boundary under test.
int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    tarnik::TarnikApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
