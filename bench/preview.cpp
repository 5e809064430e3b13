// The preview of very large pictures, offscreen: a JPEG and a PNG of WIDTH x HEIGHT pixels
// (10,000 x 10,000 by default: 100 megapixels) are previewed in turn in a 640 x 460 preview.
// Prints, for each: what the preview shows, the time until it shows it, the size decoded, the
// peak memory above what the process held before, and the longest the main thread went
// without handling its events meanwhile (a measure of the window freezing).
//   preview [WIDTH HEIGHT]

#include "appsettings.h"
#include "quicklookpreview.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <cstring>

namespace {

long statusKiB(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(int(qstrlen(field))).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

// Lets the peak of resident memory start again from what is resident now.
void resetPeak()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

bool writePicture(const QString &path, QSize size, const char *format)
{
    QImage image(size, QImage::Format_Grayscale8);
    for (int y = 0; y < size.height(); ++y)
        std::memset(image.scanLine(y), (y / 97) % 2 ? 200 : 60, size_t(image.bytesPerLine()));
    return image.save(path, format, format[0] == 'J' ? 85 : -1);
}

void measure(QuickLookPreview &preview, const QString &path, const char *label)
{
    QElapsedTimer clock;
    QElapsedTimer sinceTick;
    qint64 longestStall = 0;
    QTimer tick;
    tick.setInterval(1);
    QObject::connect(&tick, &QTimer::timeout, &tick, [&] {
        longestStall = std::max(longestStall, sinceTick.restart());
    });
    const long before = statusKiB("VmRSS:");
    resetPeak();
    QEventLoop shown;
    QObject::connect(&preview, &QuickLookPreview::contentChanged, &shown, &QEventLoop::quit);
    clock.start();
    sinceTick.start();
    tick.start();
    preview.setUrl(QUrl::fromLocalFile(path));
    shown.exec();
    const double millis = clock.nsecsElapsed() / 1e6;
    tick.stop();
    const long peak = statusKiB("VmHWM:");
    const char *kind = preview.kind() == QuickLookPreview::Kind::image ? "image" : "icon";
    std::printf("%-6s %-6s %9.1f ms  %5d x %-5d  %7.1f MB  %6lld ms\n", label, kind, millis, preview.image().width(),
                preview.image().height(), (peak - before) / 1024.0, qlonglong(longestStall));
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QSize size = argc > 2 ? QSize(QString::fromLocal8Bit(argv[1]).toInt(), QString::fromLocal8Bit(argv[2]).toInt())
                                : QSize(10000, 10000);
    QTemporaryDir scratch;
    const QString jpeg = scratch.path() + QStringLiteral("/large.jpg");
    const QString png = scratch.path() + QStringLiteral("/large.png");
    if (!writePicture(jpeg, size, "JPEG") || !writePicture(png, size, "PNG")) {
        std::fprintf(stderr, "preview: cannot write the pictures\n");
        return 1;
    }
    AppSettings settings(scratch.path() + QStringLiteral("/settings.ini"));
    QuickLookPreview preview({nullptr, &settings, nullptr, nullptr});
    preview.resize(640, 460);
    preview.show();
    QCoreApplication::processEvents();

    std::printf("%d x %d pixels (%.0f megapixels), previewed at 640 x 460\n", size.width(), size.height(),
                size.width() * double(size.height()) / 1e6);
    std::printf("format shows      time       decoded       peak extra  longest stall\n");
    measure(preview, jpeg, "JPEG");
    measure(preview, png, "PNG");
    return 0;
}
