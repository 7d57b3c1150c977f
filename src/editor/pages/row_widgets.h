#pragma once

// Small helpers shared by the pages built from tables in code.

#include <QString>

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace tarnik {

class SpinEdit;

QLabel* makeLabel(QWidget* parent, const QString& text, const QString& name = {});
QLabel* makeHeading(QWidget* parent, const QString& text);  // wrapping column heading
QLineEdit* makeEdit(QWidget* parent, const QString& name);
QPushButton* makeButton(QWidget* parent, const QString& name, const QString& caption);
SpinEdit* makeSpin(QWidget* parent, const QString& name);
QFrame* makeLine(QWidget* parent, bool horizontal = true);  // decorative bevel

}  // namespace tarnik
