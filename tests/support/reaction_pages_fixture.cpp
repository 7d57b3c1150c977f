#include "reaction_pages_fixture.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QVBoxLayout>

#include "editor/lookup/control_lookup.h"

namespace tarnik::test {

namespace {

QPushButton* addButton(QGridLayout* grid, const QString& name, int row, int column,
                       bool hidden = false)
{
    auto* button = new QPushButton(name);
    button->setObjectName(name);
    grid->addWidget(button, row, column);
    button->setHidden(hidden);
    return button;
}

QWidget* page(QTabWidget* tabs, const QString& name)
{
    auto* sheet = new QWidget;
    sheet->setObjectName(name);
    tabs->addTab(sheet, name);
    return sheet;
}

}  // namespace

ReactionPagesFixture::ReactionPagesFixture()
{
    setObjectName(QStringLiteral("GlownaF"));
    resize(800, 600);
    auto* tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("PageControl2"));
    (new QVBoxLayout(this))->addWidget(tabs);

    auto* users = new QFormLayout(page(tabs, QStringLiteral("TabSheet2")));
    for (int n = 1; n <= 4; ++n) {
        auto* number = new QLineEdit;
        number->setObjectName(QStringLiteral("Enruser%1").arg(n));
        auto* name = new QLineEdit;
        name->setObjectName(QStringLiteral("Eosoba%1").arg(n));
        users->addRow(QStringLiteral("tel."), number);
        users->addRow(QStringLiteral("Nazwa"), name);
    }

    auto* scroll = new QScrollArea;
    auto* inputs = new QWidget;
    inputs->setObjectName(QStringLiteral("ScrollBox1"));
    auto* inputGrid = new QGridLayout(inputs);
    for (int k = 1; k <= 8; ++k)
        for (int r = 1; r <= 2; ++r) {
            addButton(inputGrid, QStringLiteral("BB_ConfigNumerWe%1Re%2").arg(k).arg(r), 2 * k + r,
                      0);
            addButton(inputGrid, QStringLiteral("BBConfigWorkWe%1Re%2").arg(k).arg(r), 2 * k + r,
                      1);
        }
    scroll->setWidget(inputs);
    (new QVBoxLayout(page(tabs, QStringLiteral("TabSheet3"))))->addWidget(scroll);

    auto* specialGrid = new QGridLayout(page(tabs, QStringLiteral("TabSheet4")));
    for (int k = 3; k <= 6; ++k)
        for (int r = 1; r <= 2; ++r) {
            const bool spare = k == 4 || k == 6;
            addButton(specialGrid, QStringLiteral("BB_ConfigNumerSpecWe%1Re%2").arg(k).arg(r),
                      2 * k + r, 0, spare);
            addButton(specialGrid, QStringLiteral("BBConfigWorkSpecWe%1Re%2").arg(k).arg(r),
                      2 * k + r, 1, spare);
        }

    auto* outputs = new QVBoxLayout(page(tabs, QStringLiteral("TabSheet5")));
    auto* confirmations = new QGroupBox(QStringLiteral("Potwierdzenie reakcji wyjścia"));
    confirmations->setObjectName(QStringLiteral("GroupBox11"));
    auto* confirmationGrid = new QGridLayout(confirmations);
    for (int n = 1; n <= 2; ++n)
        for (int r = 1; r <= 2; ++r) {
            addButton(confirmationGrid, QStringLiteral("BBConfigWorkSpecWe%1Re%2").arg(n).arg(r),
                      2 * n + r, 0);
            addButton(confirmationGrid, QStringLiteral("BB_ConfigNumerSpecWy%1Re%2").arg(n).arg(r),
                      2 * n + r, 1, true);
        }
    outputs->addWidget(confirmations);
}

QAbstractButton* ReactionPagesFixture::button(const QString& name) const
{
    return findControl<QAbstractButton>(this, name);
}

QLineEdit* ReactionPagesFixture::userNumber(int user) const
{
    return findControl<QLineEdit>(this, QStringLiteral("Enruser%1").arg(user));
}

QLineEdit* ReactionPagesFixture::userName(int user) const
{
    return findControl<QLineEdit>(this, QStringLiteral("Eosoba%1").arg(user));
}

}  // namespace tarnik::test
