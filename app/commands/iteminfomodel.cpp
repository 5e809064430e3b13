// Information about one item, with the folder size walked off the main thread.

#include "iteminfomodel.h"

#include "bytecount.h"
#include "datetext.h"
#include "fileerror.h"
#include "filenames.h"
#include "filesystemservice.h"
#include "localization.h"

#include <QLocale>
#include <QMimeDatabase>
#include <QPromise>
#include <QtConcurrent/QtConcurrentRun>

namespace {

std::optional<FileInfo> examine(const FilePath &url)
{
    try {
        return FileSystemService().info(url);
    } catch (const FileError &) {
        return std::nullopt;
    }
}

} // namespace

ItemInfoModel::ItemInfoModel(FilePath url, QObject *parent) : QObject(parent), m_url(std::move(url))
{
    m_info = examine(m_url);
    if (m_info && m_info->isDirectory)
        startWalk();
}

ItemInfoModel::~ItemInfoModel() = default;

QString ItemInfoModel::title() const
{
    return m_info ? m_info->name : m_url.fileName();
}

void ItemInfoModel::refresh()
{
    const std::optional<FileInfo> info = examine(m_url);
    if (info == m_info)
        return;
    m_info = info;
    Q_EMIT infoChanged();
}

void ItemInfoModel::startWalk()
{
    m_walking = true;
    const auto walk = [url = m_url](QPromise<std::optional<qint64>> &promise) {
        std::optional<qint64> size;
        try {
            size = FileSystemService().directorySize(url, [&promise] { return !promise.isCanceled(); });
        } catch (const FileError &) {
            // The folder went or can't be read: no size to show.
        }
        if (!promise.isCanceled())
            promise.addResult(size);
    };
    m_tasks.watch(QtConcurrent::run(walk), [this](const std::optional<qint64> &size) {
        m_walking = false;
        if (size && m_folderSize != size) {
            m_folderSize = size;
            Q_EMIT folderSizeChanged();
        }
    });
}

void ItemInfoModel::stop()
{
    // The walk looks at the cancel before each entry; only the destructor waits for it.
    m_tasks.cancelAll();
    m_walking = false;
}

QList<ItemInfoModel::Row> ItemInfoModel::rows(const Localization &loc) const
{
    if (!m_info)
        return {};
    QList<Row> rows;
    rows.append({loc.infoKind, kindText(*m_info, loc)});
    if (m_info->isDirectory)
        rows.append({loc.infoSize, m_folderSize ? ByteCount::text(*m_folderSize) : loc.calculating});
    else
        rows.append({loc.infoSize, ByteCount::text(m_info->byteSize.value_or(0))});
    if (m_info->created)
        rows.append({loc.infoCreated, DateText::dateTime(*m_info->created)});
    if (m_info->modified)
        rows.append({loc.infoModified, DateText::dateTime(*m_info->modified)});
    if (m_info->posixPermissions)
        rows.append({loc.infoPermissions, permissionsText(*m_info->posixPermissions)});
    return rows;
}

QString ItemInfoModel::kindText(const FileInfo &info, const Localization &loc)
{
    if (info.isDirectory)
        return loc.infoFolder;
    const QMimeType type = QMimeDatabase().mimeTypeForFile(info.name, QMimeDatabase::MatchExtension);
    if (!type.isDefault() && !type.comment().isEmpty())
        return type.comment();
    const QString extension = FileNames::splitExtension(info.name).second;
    return extension.isEmpty() ? QString(QChar(0x2014)) : extension.toUpper();
}

QString ItemInfoModel::permissionsText(int mode)
{
    return QString::number(mode, 8);
}
