#include "bytecount.h"

QString ByteCount::text(qint64 bytes, const QLocale &locale)
{
    // Qt has one word for bytes per language; English counts one byte in the singular.
    const bool english = locale.language() == QLocale::English || locale.language() == QLocale::C;
    if (bytes == 1 && english)
        return QStringLiteral("1 byte");
    return locale.formattedDataSize(bytes, 1, QLocale::DataSizeSIFormat);
}
