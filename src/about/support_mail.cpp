#include "about/support_mail.h"

#include <QDesktopServices>
#include <QUrl>

#include "about/maker_contact.h"

namespace tarnik {

QString supportMailText()
{
    return QStringLiteral("mailto:") + QString::fromUtf8(maker::kSupportEmail) +
           QStringLiteral("?subject=") + QString::fromUtf8(maker::kSupportSubject);
}

// The result is ignored: without a mail program or browser nothing happens.
void Kotaktzdziaemtechnicznym1Click()
{
    QDesktopServices::openUrl(QUrl(supportMailText(), QUrl::TolerantMode));
}

void openMakerWebPage()
{
    QDesktopServices::openUrl(QUrl(QString::fromUtf8(maker::kWebPage)));
}

}  // namespace tarnik
