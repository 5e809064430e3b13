#include "temporaryname.h"

#include "urls.h"

#include <QUuid>

QString TemporaryName::make(QLatin1String prefix)
{
    return prefix + QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
}

QString TemporaryName::inFolder(const QString &folder, QLatin1String prefix)
{
    return Urls::childPath(folder, make(prefix));
}
