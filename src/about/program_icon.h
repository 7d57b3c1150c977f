#pragma once

#include <QIcon>
#include <QPixmap>

namespace tarnik {

// The program's picture, the same the desktop shows: a module with its aerial.
QPixmap programPixmap(int size);
QIcon programIcon();

}  // namespace tarnik
