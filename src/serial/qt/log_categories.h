#pragma once

// The logging categories of the serial and module-link layers ("tarnik.serial",
// "tarnik.link"). Debug output is off unless QT_LOGGING_RULES turns it on; warnings
// (errors that could be reported nowhere else) are on.

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcTarnikSerial)
Q_DECLARE_LOGGING_CATEGORY(lcTarnikLink)
