// The about box and the support e-mail hand their addresses to the desktop.

#include <QDesktopServices>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include "about/about_box.h"
#include "about/maker_contact.h"
#include "about/support_mail.h"

// Receives what would go to the browser or the mail program.
class UrlRecorder : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened << url; }
};

class AboutTest : public QObject {
    Q_OBJECT
    UrlRecorder recorder;

private slots:
    void initTestCase()
    {
        for (const char* scheme : {"https", "mailto"})
            QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), &recorder, "open");
    }
    void cleanupTestCase()
    {
        for (const char* scheme : {"https", "mailto"})
            QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
    }
    void init() { recorder.opened.clear(); }

    void showsNameVersionAndMaker()
    {
        tarnik::TAboutBox box;
        QCOMPARE(box.windowTitle(), QStringLiteral("About"));
        QCOMPARE(box.findChild<QLabel*>(QStringLiteral("ProductName"))->text(),
                 QStringLiteral("Tarnik"));
        QCOMPARE(box.findChild<QLabel*>(QStringLiteral("Version"))->text(),
                 QStringLiteral("Version 1.1"));
        QCOMPARE(box.findChild<QLabel*>(QStringLiteral("makerLine"))->text(),
                 QStringLiteral("Wykonano przez ZVN"));
        QVERIFY(box.findChild<QLabel*>(QStringLiteral("Comments"))
                    ->text()
                    .contains(QStringLiteral("example.com")));
        QVERIFY(!box.findChild<QLabel*>(QStringLiteral("ProgramIcon"))->pixmap().isNull());
        QVERIFY(box.findChild<QPushButton*>(QStringLiteral("OKButton"))->isDefault());
    }

    void webLinkOpensEachTimeAndTheBoxStays()
    {
        tarnik::TAboutBox box;
        box.show();
        auto* comments = box.findChild<QLabel*>(QStringLiteral("Comments"));
        emit comments->linkActivated(QStringLiteral("ignored"));
        emit comments->linkActivated(QStringLiteral("ignored"));
        QCOMPARE(recorder.opened.size(), 2);
        QCOMPARE(recorder.opened.at(0), QUrl(QString::fromUtf8(tarnik::maker::kWebPage)));
        QVERIFY(box.isVisible());
    }

    void okClosesWithResultOk()
    {
        tarnik::TAboutBox box;
        QTimer::singleShot(
            0, &box, [&box] { box.findChild<QPushButton*>(QStringLiteral("OKButton"))->click(); });
        QCOMPARE(box.exec(), int(QDialog::Accepted));
    }

    void supportMailHasSubjectWithSixTrailingBlanks()
    {
        QCOMPARE(
            tarnik::supportMailText(),
            QStringLiteral("mailto:serwis@example.com?subject=Uwagi do programu Tarnik      "));
        tarnik::Kotaktzdziaemtechnicznym1Click();
        QCOMPARE(recorder.opened.size(), 1);
        const QUrl mail = recorder.opened.at(0);
        QCOMPARE(mail.scheme(), QStringLiteral("mailto"));
        QCOMPARE(mail.path(), QStringLiteral("serwis@example.com"));
        QCOMPARE(mail.query(QUrl::FullyDecoded),
                 QStringLiteral("subject=Uwagi do programu Tarnik      "));
    }
};

QTEST_MAIN(AboutTest)
#include "test_about.moc"
