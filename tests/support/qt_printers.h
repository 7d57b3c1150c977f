#pragma once

// Lets GoogleTest print Qt values in its failure messages.

#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>

#include <ostream>

inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QStringList& list, std::ostream* out)
{
    *out << '[';
    for (qsizetype i = 0; i < list.size(); ++i)
        *out << (i ? ", \"" : "\"") << list[i].toStdString() << '"';
    *out << ']';
}

// Rectangles and points as "x,y WIDTHxHEIGHT" and "x,y".
inline std::ostream& operator<<(std::ostream& out, const QRect& rect)
{
    return out << rect.x() << ',' << rect.y() << ' ' << rect.width() << 'x' << rect.height();
}

inline void PrintTo(const QRect& rect, std::ostream* out)
{
    *out << rect;
}

inline void PrintTo(const QPoint& point, std::ostream* out)
{
    *out << point.x() << ',' << point.y();
}
