// Information about one item, with the folder size walked off the main thread.

#include "iteminfomodel.h"

#include "bulkrename.h"
#include "datetext.h"
#include "fileerror.h"
#include "filesystemservice.h"
#include "localization.h"
#include "urls.h"

#include <QLocale>
#include <QPromise>
#include <QtConcurrent/QtConcurrentRun>

#include <utility>

namespace {

std::optional<FileInfo> examine(const QUrl &url)
{
    try {
        return FileSystemService().info(url);
    } catch (const FileError &) {
        return std::nullopt;
    }
}

} // namespace

ItemInfoModel::ItemInfoModel(QUrl url, QObject *parent)
    : QObject(parent), m_url(std::move(url)), m_folderWatch(std::chrono::milliseconds(150))
{
    // The folder lists the item's name, size, dates and mode changes; a removal or rename is
    // a change of that folder too.
    m_folderWatch.start(Urls::deletingLastPathComponent(m_url), [this] { refresh(); });
    refresh();
}

ItemInfoModel::~ItemInfoModel() = default;

QString ItemInfoModel::title() const
{
    return m_info ? m_info->name : Urls::lastPathComponent(m_url);
}

void ItemInfoModel::refresh()
{
    // One read at a time; a change seen meanwhile asks for one more read after it.
    if (m_reading) {
        m_readAgain = true;
        return;
    }
    m_reading = true;
    m_reads.watch(QtConcurrent::run(examine, m_url), [this](const std::optional<FileInfo> &info) {
        m_reading = false;
        infoArrived(info);
        if (std::exchange(m_readAgain, false))
            refresh();
    });
}

void ItemInfoModel::infoArrived(const std::optional<FileInfo> &info)
{
    const bool first = !std::exchange(m_examined, true);
    if (info && info->isDirectory && !m_walking && !m_folderSize && !m_stopped)
        startWalk();
    if (info == m_info && !first)
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
    m_walk.watch(QtConcurrent::run(walk), [this](const std::optional<qint64> &size) {
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
    m_stopped = true;
    m_walk.cancelAll();
    m_walking = false;
}

QList<ItemInfoModel::Row> ItemInfoModel::rows(const Localization &loc) const
{
    if (!m_info)
        return {};
    QList<Row> rows;
    rows.append({loc.infoKind, kindText(*m_info, loc)});
    if (m_info->isDirectory)
        rows.append({loc.infoSize, m_folderSize ? sizeText(*m_folderSize) : loc.calculating});
    else
        rows.append({loc.infoSize, sizeText(m_info->byteSize.value_or(0))});
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
    const QString extension = BulkRename::pathExtension(info.name);
    return extension.isEmpty() ? QString(QChar(0x2014)) : extension.toUpper();
}

QString ItemInfoModel::sizeText(qint64 bytes)
{
    return QLocale().formattedDataSize(bytes, 1, QLocale::DataSizeSIFormat);
}

QString ItemInfoModel::permissionsText(int mode)
{
    return QString::number(mode, 8);
}
