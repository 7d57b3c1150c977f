// The interlocks on the program's own main window, driven through the real
// ShowSettings as a read-back or an opened file does.

#include <QCheckBox>
#include <QTabWidget>
#include <QtTest>

#include "editor/binding/settings_binding.h"
#include "modal_watcher.h"
#include "window_fixture.h"

namespace tarnik {

using testing::MessageRecorder;

class WindowInterlocksTest : public QObject {
    Q_OBJECT

    std::unique_ptr<WindowFixture> fixture_;

    TGlownaF& window() { return fixture_->window(); }
    QCheckBox* box(const QString& name) { return findControl<QCheckBox>(&window(), name); }

private slots:
    void init()
    {
        fixture_ = std::make_unique<WindowFixture>();
        window().show();
        window().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window()));
    }

    void cleanup() { fixture_.reset(); }

    void twoActionsOfOneOutputShowOnlyTheLaterOne()
    {
        window().settings().clipVerif = 0x05;  // switch output 1 on (bit 0) and off (bit 2)
        window().binding().ShowSettings();
        QVERIFY(box(QStringLiteral("ChbClipVerif2"))->isChecked());
        QVERIFY(!box(QStringLiteral("ChbClipVerif0"))->isChecked());
        QVERIFY(!box(QStringLiteral("ChbClipVerif4"))->isEnabled());
        window().binding().CollectSettings();
        QCOMPARE(window().settings().clipVerif, std::uint8_t{0x04});
    }

    void theOtherNumbersGroupIsShownConsistentlyToo()
    {
        window().settings().clipNotVerif = 0x32;  // bits 1, 4, 5
        window().binding().ShowSettings();
        QVERIFY(box(QStringLiteral("ChBClipNotVerif4"))->isChecked());
        QVERIFY(box(QStringLiteral("ChBClipNotVerif5"))->isChecked());
        QVERIFY(!box(QStringLiteral("ChBClipNotVerif1"))->isChecked());
        QVERIFY(!box(QStringLiteral("ChBClipNotVerif3"))->isEnabled());
        QVERIFY(box(QStringLiteral("ChbClipVerif1"))->isEnabled());
    }

    void smsAccessCodeIsEmptiedAndDisabledWithoutItsOption()
    {
        window().settings().flags = 0x00;
        window().settings().pinMod.assign("1234");
        window().binding().ShowSettings();
        QVERIFY(fixture_->edit("EPINMOD")->text().isEmpty());
        QVERIFY(!fixture_->edit("EPINMOD")->isEnabled());
        window().binding().CollectSettings();
        QVERIFY(window().settings().pinMod.empty());
    }

    void outputCodesFollowTheirSmsOption()
    {
        window().settings().flags = 0x02;  // only output 2 may be switched by SMS
        window().settings().zalWyCode[0][0] = 'A';
        window().settings().zalWyCode[0][1] = '1';
        window().settings().zalWyCode[1][0] = 'B';
        window().settings().zalWyCode[1][1] = '2';
        window().binding().ShowSettings();
        QVERIFY(fixture_->edit("EZalWy1")->text().isEmpty());
        QVERIFY(!fixture_->edit("EZalWy1")->isEnabled());
        QCOMPARE(fixture_->edit("EZalWy2")->text(), QStringLiteral("B2"));
        QVERIFY(fixture_->edit("EZalWy2")->isEnabled());
    }

    void leavingAShortPinWarnsOnTheWindow()
    {
        QLineEdit* pin = fixture_->edit("EPin");
        pin->setText(QStringLiteral("12"));
        pin->setFocus();
        QTRY_VERIFY(pin->hasFocus());
        MessageRecorder recorder;
        QTest::keyClick(pin, Qt::Key_Return);  // Enter moves on, which leaves the edit
        QTest::qWait(60);
        QCOMPARE(recorder.messages().size(), std::size_t{1});
        QCOMPARE(recorder.messages()[0].text, QStringLiteral("Kod pin musi mieć 4 znaki."));
        QTRY_VERIFY(pin->hasFocus());
        QCOMPARE(pin->text(), QStringLiteral("12"));
    }

    void pinAndFirstNumberFilterTheirKeys()
    {
        QLineEdit* pin = fixture_->edit("EPin");
        pin->clear();
        pin->setFocus();
        QTest::keyClicks(pin, QStringLiteral("1x2+3"));
        QCOMPARE(pin->text(), QStringLiteral("123"));
        QLineEdit* number = fixture_->edit("Enruser1");
        findControl<QTabWidget>(&window(), QStringLiteral("PageControl2"))->setCurrentIndex(1);
        number->clear();
        number->setFocus();
        QTest::keyClicks(number, QStringLiteral("++48 a"));
        QCOMPARE(number->text(), QStringLiteral("+48"));
    }
};

}  // namespace tarnik

QTEST_MAIN(tarnik::WindowInterlocksTest)
#include "window_interlocks_test.moc"
