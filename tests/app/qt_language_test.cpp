// Qt's own dialogs and buttons speak Polish, as the window does, whatever the system's
// language.

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QPushButton>
#include <gtest/gtest.h>

#include "config/qt_language.h"

namespace {

TEST(QtLanguage, QtsOwnButtonsAndFileDialogSpeakPolish)
{
    ASSERT_TRUE(tarnik::installQtPolish(*QCoreApplication::instance()))
        << "Qt's Polish translation (package qt6-translations-l10n) is not installed";
    QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel |
                             QDialogButtonBox::Save);
    EXPECT_EQ(buttons.button(QDialogButtonBox::Cancel)->text().remove(QLatin1Char('&')),
              QStringLiteral("Anuluj"));
    EXPECT_EQ(buttons.button(QDialogButtonBox::Save)->text().remove(QLatin1Char('&')),
              QStringLiteral("Zachowaj"));

    // The file dialog Qt draws itself (no desktop's own): its labels are translated too.
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    EXPECT_NE(dialog.labelText(QFileDialog::FileName), QStringLiteral("File &name:"));
    EXPECT_NE(dialog.labelText(QFileDialog::Reject), QStringLiteral("Cancel"));
}

}  // namespace
