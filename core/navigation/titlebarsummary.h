#pragma once
// The one-line summary of a single selected item in the window's title:
// name · kind · size · created-label date · modified-label date.
// Every word and format comes from the caller (the application's localisation table), so the
// rule itself holds no user-visible text.

#include "bytecount.h"

#include <QDateTime>
#include <QString>

#include <functional>
#include <optional>

class TitleBarSummary
{
public:
    struct Format
    {
        QString createdLabel;  // followed by one space and the date
        QString modifiedLabel;
        QString separator;     // between the name and each part
        std::function<QString(const QDateTime &)> formatDate = defaultDate;
        std::function<QString(qint64)> formatByteCount = [](qint64 bytes) { return ByteCount::text(bytes); };
    };

    // Parts that are absent (or an empty kind) are left out, separator included: with none
    // left the summary is the name alone.
    [[nodiscard]] static QString single(const QString &name, const QString &kind, std::optional<qint64> byteSize,
                                        const std::optional<QDateTime> &created,
                                        const std::optional<QDateTime> &modified, const Format &format);

    // The user's locale, short form.
    [[nodiscard]] static QString defaultDate(const QDateTime &date);
};
