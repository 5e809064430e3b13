#pragma once
// The one way a number of bytes is written for people: decimal units with one decimal, in the
// user's locale ("1.5 MB").

#include <QLocale>
#include <QString>

class ByteCount
{
public:
    [[nodiscard]] static QString text(qint64 bytes, const QLocale &locale = QLocale());
};
