#include "bytecount.h"

QString ByteCount::text(qint64 bytes, const QLocale &locale)
{
    return locale.formattedDataSize(bytes, 1, QLocale::DataSizeSIFormat);
}
