#include "option_pages_fixture.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include "editor/lookup/control_lookup.h"

namespace tarnik::test {

namespace {

template <typename T>
T* add(QGridLayout* grid, const QString& name, int row, int column)
{
    auto* widget = new T;
    widget->setObjectName(name);
    grid->addWidget(widget, row, column);
    return widget;
}

QLineEdit* addEdit(QGridLayout* grid, const QString& name, int maxLength, int row)
{
    auto* edit = add<QLineEdit>(grid, name, row, 0);
    if (maxLength > 0)
        edit->setMaxLength(maxLength);
    return edit;
}

}  // namespace

OptionPagesFixture::OptionPagesFixture()
{
    setObjectName(QStringLiteral("GlownaF"));
    auto* tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("PageControl2"));
    (new QVBoxLayout(this))->addWidget(tabs);
    auto* first = new QWidget;
    first->setObjectName(QStringLiteral("TabSheet1"));
    tabs->addTab(first, QStringLiteral("Podstawowe"));
    auto* second = new QWidget;
    second->setObjectName(QStringLiteral("TabSheet2"));
    tabs->addTab(second, QStringLiteral("numery telefonów"));
    (new QVBoxLayout(second))->addWidget(new QLineEdit);
    auto* grid = new QGridLayout(first);
    int row = 0;
    addEdit(grid, QStringLiteral("EPin"), 4, row++);
    addEdit(grid, QStringLiteral("Ecsms"), 0, row++);
    addEdit(grid, QStringLiteral("EPINMOD"), 4, row++);
    for (int n = 1; n <= 4; ++n)
        addEdit(grid, QStringLiteral("Enruser%1").arg(n), 12, row++);
    for (const char* name : {"EZalWy1", "EwylWy1", "EZalWy2", "EwylWy2"})
        addEdit(grid, QString::fromLatin1(name), 2, row++);

    for (int digit = 0; digit <= 7; ++digit) {
        add<QCheckBox>(grid, QStringLiteral("ChbClipVerif%1").arg(digit), digit, 1);
        add<QCheckBox>(grid, QStringLiteral("ChBClipNotVerif%1").arg(digit), digit, 2);
    }
    for (int flag = 0; flag <= 5; ++flag)
        add<QCheckBox>(grid, QStringLiteral("ChBFlags_%1").arg(flag), flag, 3);
    int labelRow = 0;
    for (const char* name : {"Label43", "Label45", "Label44", "Label46", "Label24", "Label47",
                             "Label25", "Label48", "Label28"})
        add<QLabel>(grid, QString::fromLatin1(name), labelRow++, 4)
            ->setText(QString::fromLatin1(name));
    int spinRow = 0;
    for (const char* name : {"SEWy_offTimer1", "SEWy_offTimer2", "SEtestokr"}) {
        auto* spin = add<QSpinBox>(grid, QString::fromLatin1(name), spinRow++, 5);
        spin->setRange(1, 255);
    }
}

QCheckBox* OptionPagesFixture::box(const QString& name) const
{
    return findControl<QCheckBox>(this, name);
}
QLineEdit* OptionPagesFixture::edit(const QString& name) const
{
    return findControl<QLineEdit>(this, name);
}
QWidget* OptionPagesFixture::control(const QString& name) const
{
    return findControl<QWidget>(this, name);
}

}  // namespace tarnik::test
