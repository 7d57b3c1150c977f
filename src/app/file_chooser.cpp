#include "app/file_chooser.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>

#include "app/window_texts.h"

namespace tarnik {

namespace {

QString choose(QWidget* parent, const QString& startName, QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(parent);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("zvn"));
    dialog.setNameFilters({QString::fromUtf8(window_text::kSettingsFilesFilter),
                           QString::fromUtf8(window_text::kAllFilesFilter)});
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    // The start is a file name, or, before any file was opened, the remembered folder.
    if (QFileInfo(startName).isDir())
        dialog.setDirectory(startName);
    else if (!startName.isEmpty())
        dialog.selectFile(startName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

}  // namespace

QString DialogFileChooser::chooseOpenFile(QWidget* parent, const QString& startName)
{
    return choose(parent, startName, QFileDialog::AcceptOpen);
}

QString DialogFileChooser::chooseSaveFile(QWidget* parent, const QString& startName)
{
    return choose(parent, startName, QFileDialog::AcceptSave);
}

QString FileChooser::chooseTraceFile(QWidget* parent)
{
    return QFileDialog::getSaveFileName(parent, QString(),
                                        QString::fromUtf8(window_text::kTraceFileName),
                                        QString::fromUtf8(window_text::kTraceFilesFilters));
}

SaveChanges FileChooser::askSaveChanges(QWidget* parent)
{
    QMessageBox box(QMessageBox::Question, QGuiApplication::applicationDisplayName(),
                    QString::fromUtf8(window_text::kSaveChangesQuestion), QMessageBox::NoButton,
                    parent);
    QPushButton* save =
        box.addButton(QString::fromUtf8(window_text::kSave), QMessageBox::AcceptRole);
    QPushButton* discard =
        box.addButton(QString::fromUtf8(window_text::kDiscard), QMessageBox::DestructiveRole);
    QPushButton* cancel =
        box.addButton(QString::fromUtf8(window_text::kCancel), QMessageBox::RejectRole);
    box.setDefaultButton(save);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == save)
        return SaveChanges::Save;
    if (box.clickedButton() == discard)
        return SaveChanges::Discard;
    return SaveChanges::Cancel;
}

}  // namespace tarnik
