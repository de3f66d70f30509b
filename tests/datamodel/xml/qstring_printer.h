// Lets GoogleTest print QString and QByteArray values readably in failure messages.
#pragma once

#include <QByteArray>
#include <QString>

#include <ostream>

inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
inline void PrintTo(const QByteArray& b, std::ostream* os) {
    *os << '"' << (b.size() > 200 ? b.left(200).toStdString() + "..." : b.toStdString()) << '"';
}
