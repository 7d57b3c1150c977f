#include "app/copy_dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <utility>

#include "app/window_texts.h"

namespace tarnik {

namespace {

QString text(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

QLabel* wrappedLabel(const QString& caption, QWidget* parent)
{
    auto* label = new QLabel(caption, parent);
    label->setWordWrap(true);
    return label;
}

QDialogButtonBox* okCancel(QDialog* dialog, const QString& okCaption)
{
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    buttons->button(QDialogButtonBox::Ok)->setText(okCaption);
    buttons->button(QDialogButtonBox::Cancel)->setText(text(window_text::kCancel));
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

}  // namespace

// ---- "Kopiuj ustawienia wejścia"

CopyInputDialog::CopyInputDialog(std::vector<CopyPlace> places, std::size_t source,
                                 const QString& whatIsCopied, QWidget* parent)
    : QDialog(parent), places_(std::move(places))
{
    setWindowTitle(text(window_text::kCopyInputTitle));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(text(window_text::kCopyFrom), this));
    sourceList_ = new QComboBox(this);
    sourceList_->setObjectName(QStringLiteral("copySource"));
    for (const CopyPlace& place : places_)
        sourceList_->addItem(place.label);
    layout->addWidget(sourceList_);

    auto* group = new QGroupBox(text(window_text::kCopyTo), this);
    auto* grid = new QGridLayout(group);
    const int columns = places_.size() > 4 ? 2 : 1;
    for (std::size_t i = 0; i < places_.size(); ++i) {
        auto* box = new QCheckBox(places_[i].label, group);
        box->setObjectName(QStringLiteral("copyTarget%1").arg(i));
        connect(box, &QCheckBox::toggled, this, &CopyInputDialog::refreshOk);
        const int row = static_cast<int>(i) / columns;
        grid->addWidget(box, row, static_cast<int>(i) % columns);
        targetBoxes_.push_back(box);
    }
    auto* all = new QPushButton(text(window_text::kSelectAll), group);
    all->setObjectName(QStringLiteral("copyAllTargets"));
    connect(all, &QPushButton::clicked, this, [this] {
        for (QCheckBox* box : targetBoxes_)
            if (box->isEnabled())
                box->setChecked(true);
    });
    grid->addWidget(all, grid->rowCount(), 0, 1, columns);
    layout->addWidget(group);

    texts_ = new QCheckBox(text(window_text::kCopyTexts), this);
    texts_->setObjectName(QStringLiteral("copyTexts"));
    layout->addWidget(texts_);
    layout->addWidget(wrappedLabel(whatIsCopied, this));
    buttons_ = okCancel(this, text(window_text::kCopyButton));
    layout->addWidget(buttons_);

    connect(sourceList_, &QComboBox::currentIndexChanged, this, &CopyInputDialog::sourceChanged);
    sourceList_->setCurrentIndex(static_cast<int>(source < places_.size() ? source : 0));
    sourceChanged();
}

void CopyInputDialog::sourceChanged()
{
    // An input is not copied onto itself: its box is cleared and not offered.
    const std::size_t from = source();
    for (std::size_t i = 0; i < targetBoxes_.size(); ++i) {
        targetBoxes_[i]->setEnabled(i != from);
        if (i == from)
            targetBoxes_[i]->setChecked(false);
    }
    refreshOk();
}

void CopyInputDialog::refreshOk()
{
    buttons_->button(QDialogButtonBox::Ok)->setEnabled(!targets().empty());
}

std::size_t CopyInputDialog::source() const
{
    return static_cast<std::size_t>(std::max(sourceList_->currentIndex(), 0));
}

std::vector<InputPlace> CopyInputDialog::targets() const
{
    std::vector<InputPlace> chosen;
    for (std::size_t i = 0; i < targetBoxes_.size(); ++i)
        if (targetBoxes_[i]->isChecked() && targetBoxes_[i]->isEnabled())
            chosen.push_back(places_[i].place);
    return chosen;
}

bool CopyInputDialog::withTexts() const
{
    return texts_->isChecked();
}

// ---- "Powiadamiaj jak"

NotifyLikeDialog::NotifyLikeDialog(const std::array<QString, kUsers>& labels,
                                   const std::array<bool, kUsers>& hasNumber, int target,
                                   QWidget* parent)
    : QDialog(parent), labels_(labels)
{
    setWindowTitle(text(window_text::kNotifyLikeTitle));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    targetList_ = new QComboBox(this);
    targetList_->setObjectName(QStringLiteral("notifyTarget"));
    for (int user = 1; user <= kUsers; ++user)
        if (hasNumber[static_cast<std::size_t>(user - 1)])
            targetList_->addItem(labels_[static_cast<std::size_t>(user - 1)], user);
    sourceList_ = new QComboBox(this);
    sourceList_->setObjectName(QStringLiteral("notifySource"));
    form->addRow(text(window_text::kNotifyWho), targetList_);
    form->addRow(text(window_text::kNotifyLikeWhom), sourceList_);
    layout->addLayout(form);
    layout->addWidget(wrappedLabel(text(window_text::kNotifyWhat), this));
    auto* buttons = okCancel(this, QStringLiteral("OK"));
    layout->addWidget(buttons);

    connect(targetList_, &QComboBox::currentIndexChanged, this, &NotifyLikeDialog::targetChanged);
    const int chosen = targetList_->findData(target);
    targetList_->setCurrentIndex(chosen >= 0 ? chosen : 0);
    targetChanged();
    buttons->button(QDialogButtonBox::Ok)->setEnabled(targetList_->count() > 0);
}

void NotifyLikeDialog::targetChanged()
{
    // Any user but the one told; the one chosen before stays chosen where it can.
    const int before = fromUser();
    sourceList_->clear();
    for (int user = 1; user <= kUsers; ++user)
        if (user != toUser())
            sourceList_->addItem(labels_[static_cast<std::size_t>(user - 1)], user);
    const int again = sourceList_->findData(before);
    sourceList_->setCurrentIndex(again >= 0 ? again : 0);
}

int NotifyLikeDialog::toUser() const
{
    return targetList_->currentData().toInt();
}

int NotifyLikeDialog::fromUser() const
{
    return sourceList_->currentData().toInt();
}

}  // namespace tarnik
