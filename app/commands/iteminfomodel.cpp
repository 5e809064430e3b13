// Information about one item, with the folder size walked off the main thread.

#include "iteminfomodel.h"

#include "bytecount.h"
#include "datetext.h"
#include "fileerror.h"
#include "filenames.h"
#include "filesystemservice.h"
#include "localization.h"

#include <QLocale>
#include <QPromise>
#include <QtConcurrent/QtConcurrentRun>

#include <utility>

ItemInfoModel::ItemInfoModel(FilePath url, QObject *parent)
    : QObject(parent), m_url(std::move(url)), m_folderWatch(std::chrono::milliseconds(150))
{
    refresh();
}

ItemInfoModel::~ItemInfoModel() = default;

QString ItemInfoModel::title() const
{
    return m_info ? m_info->name : m_url.fileName();
}

void ItemInfoModel::refresh()
{
    // One read at a time; a change seen meanwhile asks for one more read after it.
    if (m_reading) {
        m_readAgain = true;
        return;
    }
    m_reading = true;
    // The folder lists the item's name, size, dates and mode changes; a removal or rename is a
    // change of that folder too. It is watched from the first read on, the watch made before
    // the item is read so that no change between the two goes unseen.
    const bool watch = !std::exchange(m_watchAsked, true);
    const auto read = [url = m_url, watch] {
        Reading reading;
        if (watch)
            reading.folderWatch = DirectoryWatcher::watchFolder(url.parentDir());
        reading.info = FileSystemService().infoIfReadable(url);
        return reading;
    };
    m_reads.watch(QtConcurrent::run(FutureOwner::pool(), read), [this, watch](const Reading &reading) {
        m_reading = false;
        if (watch)
            m_folderWatch.adopt(reading.folderWatch, [this] { refresh(); });
        infoArrived(reading.info);
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
    m_walk.watch(QtConcurrent::run(FutureOwner::pool(), walk), [this](const std::optional<qint64> &size) {
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
    const QString extension = FileNames::splitExtension(info.name).second;
    return extension.isEmpty() ? QString(QChar(0x2014)) : extension.toUpper();
}

QString ItemInfoModel::permissionsText(int mode)
{
    return QString::number(mode, 8);
}
