#pragma once

#include <QIcon>
#include <QPixmap>

namespace tarnik {

// The program's picture, drawn rather than shipped: a module with its aerial.
QPixmap programPixmap(int size);
QIcon programIcon();

}  // namespace tarnik
