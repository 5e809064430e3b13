// The preview over real files: what each kind of file shows as, that a file which can't be read
// or is no regular file never blocks, that large pictures are decoded small, and that the same
// URL is not read again.

#include "appsettings.h"
#include "iconcache.h"
#include "quicklookpreview.h"
#include "testdir.h"

#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QImageWriter>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTest>

#include <optional>

#include <sys/stat.h>

namespace {

using Kind = QuickLookPreview::Kind;

QByteArray encoded(const QImage &image, const char *format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

QImage filled(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    return image;
}

} // namespace

class TestQuickLookPreview : public QObject
{
    Q_OBJECT

    TestDir m_dir;
    AppSettings *m_settings = nullptr;

    // A shown preview of `relative` once its read has finished.
    std::unique_ptr<QuickLookPreview> preview(const QString &relative, QSize size = {640, 460})
    {
        auto view = std::make_unique<QuickLookPreview>(ViewEnvironment{nullptr, m_settings, nullptr, nullptr});
        view->resize(size);
        view->show();
        QSignalSpy shown(view.get(), &QuickLookPreview::contentChanged);
        view->setUrl(m_dir.url(relative));
        if (!shown.wait(10000))
            return nullptr;
        return view;
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_dir.isolateHome();
        m_dir.openToOthers();
        m_settings = new AppSettings(m_dir.path(QStringLiteral("settings.ini")), this);
        m_dir.file(QStringLiteral("small.png"), encoded(filled({40, 30}), "PNG"));
        m_dir.file(QStringLiteral("drawing.svg"), "<svg xmlns='http://www.w3.org/2000/svg' width='200' height='100'>"
                                                   "<rect width='200' height='100' fill='teal'/></svg>");
        m_dir.file(QStringLiteral("notes.txt"), "first line\nsecond line, caf\xc3\xa9\n");
        m_dir.file(QStringLiteral("picture.txt"), encoded(filled({8, 8}), "PNG")); // the contents decide
        m_dir.file(QStringLiteral("program.bin"), QByteArray("\x7f" "ELF\x02\x01\x01\0\0\0", 10));
        m_dir.file(QStringLiteral("latin1.txt"), "caf\xe9 cr\xe8me\n");
        m_dir.file(QStringLiteral("empty"), "");
        m_dir.dir(QStringLiteral("folder"));
        ::mkfifo(QFile::encodeName(m_dir.path(QStringLiteral("pipe"))).constData(), 0600);
        m_dir.file(QStringLiteral("locked.txt"), "secret");
        QFile::setPermissions(m_dir.path(QStringLiteral("locked.txt")), {});
    }

    void kinds_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("kindValue");
        QTest::newRow("PNG") << "small.png" << int(Kind::image);
        QTest::newRow("SVG") << "drawing.svg" << int(Kind::image);
        QTest::newRow("UTF-8 text") << "notes.txt" << int(Kind::text);
        QTest::newRow("a picture named as text") << "picture.txt" << int(Kind::image);
        QTest::newRow("binary") << "program.bin" << int(Kind::icon);
        QTest::newRow("not UTF-8") << "latin1.txt" << int(Kind::icon);
        QTest::newRow("empty file") << "empty" << int(Kind::icon);
        QTest::newRow("folder") << "folder" << int(Kind::icon);
        QTest::newRow("named pipe, never read") << "pipe" << int(Kind::icon);
        QTest::newRow("missing") << "gone.txt" << int(Kind::icon);
        QTest::newRow("unreadable") << "locked.txt" << int(Kind::icon);
    }
    void kinds()
    {
        QFETCH(QString, name);
        QFETCH(int, kindValue);
        const Kind kind = Kind(kindValue);
        std::optional<AsUnprivileged> unprivileged; // root would read the locked file
        if (name == QLatin1String("locked.txt"))
            unprivileged.emplace();
        const auto view = preview(name);
        QVERIFY(view);
        QCOMPARE(view->kind(), kind);
        QCOMPARE(view->textView()->isVisible(), kind == Kind::text);
        QCOMPARE(view->iconPage()->isVisible(), kind == Kind::icon);
        if (name == QLatin1String("notes.txt"))
            QVERIFY(view->text().startsWith(QStringLiteral("first line\nsecond line, café")));
        if (name == QLatin1String("small.png"))
            QCOMPARE(view->image().size(), QSize(40, 30)); // small pictures are not blown up
    }

    // Only the first 256 KiB are read; a character cut in two at that point is no reason to
    // take the file for binary.
    void longTextIsCut()
    {
        QByteArray text(QuickLookPreview::textLimit - 1, 'a');
        text += "\xc3\xa9 and more after the limit";
        m_dir.file(QStringLiteral("long.txt"), text);
        const auto view = preview(QStringLiteral("long.txt"));
        QVERIFY(view);
        QCOMPARE(view->kind(), Kind::text);
        QCOMPARE(view->text().size(), QuickLookPreview::textLimit - 1);
    }

    void largePicturesAreDecodedAtTheShownSize_data()
    {
        QTest::addColumn<QByteArray>("format");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("kindValue");
        QTest::newRow("JPEG decodes scaled") << QByteArray("JPEG") << QSize(6000, 4000) << int(Kind::image);
        QTest::newRow("SVG renders scaled") << QByteArray("SVG") << QSize(20000, 10000) << int(Kind::image);
        QTest::newRow("PNG too big for a full decode") << QByteArray("PNG") << QSize(5000, 4000) << int(Kind::icon);
        QTest::newRow("PNG within the budget") << QByteArray("PNG") << QSize(2000, 1500) << int(Kind::image);
    }
    void largePicturesAreDecodedAtTheShownSize()
    {
        QFETCH(QByteArray, format);
        QFETCH(QSize, size);
        QFETCH(int, kindValue);
        const Kind kind = Kind(kindValue);
        const QString name = QStringLiteral("large.") + QString::fromLatin1(format).toLower();
        if (format == "SVG")
            m_dir.file(name, QStringLiteral("<svg xmlns='http://www.w3.org/2000/svg' width='%1' height='%2'/>")
                                 .arg(size.width()).arg(size.height()).toUtf8());
        else
            m_dir.file(name, encoded(filled(size), format.constData()));
        const auto view = preview(name, {400, 300});
        QVERIFY(view);
        QCOMPARE(view->kind(), kind);
        if (kind == Kind::image) {
            const QSize box = QSize(400, 300) * view->devicePixelRatioF();
            QVERIFY2(view->image().width() <= box.width() && view->image().height() <= box.height(),
                     qPrintable(QStringLiteral("%1x%2").arg(view->image().width()).arg(view->image().height())));
        }
    }

    void sameUrlIsNotReadAgain()
    {
        const auto view = preview(QStringLiteral("notes.txt"));
        QVERIFY(view);
        m_dir.file(QStringLiteral("notes.txt"), "changed\n");
        QSignalSpy shown(view.get(), &QuickLookPreview::contentChanged);
        view->setUrl(m_dir.url(QStringLiteral("notes.txt")));
        QCOMPARE(view->kind(), Kind::text); // a new read would start from "loading"
        QVERIFY(view->text().startsWith(QStringLiteral("first line")));
        view->setUrl(m_dir.url(QStringLiteral("small.png")));
        QVERIFY(shown.wait(5000));
        QCOMPARE(view->kind(), Kind::image);
    }
};

QTEST_MAIN(TestQuickLookPreview)
#include "tst_quicklookpreview.moc"
