// The about box and the support e-mail hand their addresses to the desktop.

#include <QDesktopServices>
#include <QLabel>
#include <QPushButton>
#include <gtest/gtest.h>

#include "qt_printers.h"
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

class AboutTest : public ::testing::Test {
protected:
    static inline UrlRecorder* recorder = nullptr;

    static void SetUpTestSuite()
    {
        recorder = new UrlRecorder;
        for (const char* scheme : {"https", "mailto"})
            QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), recorder, "open");
    }
    static void TearDownTestSuite()
    {
        for (const char* scheme : {"https", "mailto"})
            QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
        delete recorder;
        recorder = nullptr;
    }
    void SetUp() override { recorder->opened.clear(); }
};

TEST_F(AboutTest, ShowsNameVersionAndMaker)
{
    tarnik::TAboutBox box;
    ASSERT_EQ(box.windowTitle(), QStringLiteral("About"));
    ASSERT_EQ(box.findChild<QLabel*>(QStringLiteral("ProductName"))->text(),
              QStringLiteral("Tarnik"));
    ASSERT_EQ(box.findChild<QLabel*>(QStringLiteral("Version"))->text(),
              QStringLiteral("Version 1.1"));
    ASSERT_EQ(box.findChild<QLabel*>(QStringLiteral("makerLine"))->text(),
              QStringLiteral("Wykonano przez ZVN"));
    ASSERT_TRUE(box.findChild<QLabel*>(QStringLiteral("Comments"))
                    ->text()
                    .contains(QStringLiteral("example.com")));
    ASSERT_TRUE(!box.findChild<QLabel*>(QStringLiteral("ProgramIcon"))->pixmap().isNull());
    ASSERT_TRUE(box.findChild<QPushButton*>(QStringLiteral("OKButton"))->isDefault());
}

TEST_F(AboutTest, WebLinkOpensEachTimeAndTheBoxStays)
{
    tarnik::TAboutBox box;
    box.show();
    auto* comments = box.findChild<QLabel*>(QStringLiteral("Comments"));
    emit comments->linkActivated(QStringLiteral("ignored"));
    emit comments->linkActivated(QStringLiteral("ignored"));
    ASSERT_EQ(recorder->opened.size(), 2);
    ASSERT_EQ(recorder->opened.at(0), QUrl(QString::fromUtf8(tarnik::maker::kWebPage)));
    ASSERT_TRUE(box.isVisible());
}

TEST_F(AboutTest, OkClosesWithResultOk)
{
    tarnik::TAboutBox box;
    QTimer::singleShot(
        0, &box, [&box] { box.findChild<QPushButton*>(QStringLiteral("OKButton"))->click(); });
    ASSERT_EQ(box.exec(), int(QDialog::Accepted));
}

TEST_F(AboutTest, SupportMailHasSubjectWithSixTrailingBlanks)
{
    ASSERT_EQ(tarnik::supportMailText(),
              QStringLiteral("mailto:serwis@example.com?subject=Uwagi do programu Tarnik      "));
    tarnik::Kotaktzdziaemtechnicznym1Click();
    ASSERT_EQ(recorder->opened.size(), 1);
    const QUrl mail = recorder->opened.at(0);
    ASSERT_EQ(mail.scheme(), QStringLiteral("mailto"));
    ASSERT_EQ(mail.path(), QStringLiteral("serwis@example.com"));
    ASSERT_EQ(mail.query(QUrl::FullyDecoded),
              QStringLiteral("subject=Uwagi do programu Tarnik      "));
}

#include "about_test.moc"
