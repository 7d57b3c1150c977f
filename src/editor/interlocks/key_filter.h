#pragma once

// The character filters behind the PIN and phone-number edits.

#include <QChar>
#include <QString>

namespace tarnik {

// Decides whether a typed character may enter an edit holding `text` with the
// caret at `caret` (counted from 0). Returns `key` to let it through or QChar()
// (character 0) to drop it:
//  - backspace (8), tab (9) and the digits pass;
//  - "+" and "-" are dropped when the text already holds signA or signB, or the
//    caret is at 2 or later; "+" is also dropped when signB is "$", and "-" when
//    signA is "$"; otherwise they pass;
//  - every other character is dropped.
QChar FilterKey(const QString& text, int caret, QChar signA, QChar signB, QChar key);

// EPinKeyPress's rule for a character (Enter aside): digits, backspace and tab.
QChar filterPinKey(const QString& text, int caret, QChar key);

// The rule of the five number edits (Ecsms, Enruser1..4) for a character the user
// inserts (Enter aside): a text that holds a blank (from a file) is emptied first
// (caret to 0); then backspace and tab pass, and any other character passes only when
// the text it makes can still become a number the module takes (isNumberBeginning:
// an optional leading "+", digits, at most 12 characters).
QChar filterNumberKey(QString& text, int& caret, QChar key);

}  // namespace tarnik
