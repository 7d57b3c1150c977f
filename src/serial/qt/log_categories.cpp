#include "serial/qt/log_categories.h"

Q_LOGGING_CATEGORY(lcTarnikSerial, "tarnik.serial", QtWarningMsg)
Q_LOGGING_CATEGORY(lcTarnikLink, "tarnik.link", QtWarningMsg)
