// The preview over real files: what each kind of file shows as, that a file which can't be read
// or is no regular file never blocks, that large pictures are decoded small, and that the same
// URL is not read again.

#include "appsettings.h"
#include "quicklookpreview.h"
#include "testdir.h"

#include <QBuffer>
#include <QImage>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTest>

#include <optional>

#include <sys/stat.h>

namespace {

using Kind = QuickLookPreview::Kind;

// A picture of one colour, encoded in `format`.
QByteArray picture(QSize size, const char *format)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

} // namespace

class TestQuickLookPreview : public QObject
{
    Q_OBJECT

    TestDir m_dir;
    AppSettings *m_settings = nullptr;

    // A shown preview of `relative` once its read has finished.
    std::unique_ptr<QuickLookPreview> preview(const QString &relative)
    {
        auto view = std::make_unique<QuickLookPreview>(ViewEnvironment{nullptr, m_settings, nullptr, nullptr});
        view->resize(640, 460);
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
        // The rest are written by the rows that show them.
        m_dir.dir(QStringLiteral("folder"));
        ::mkfifo(QFile::encodeName(m_dir.path(QStringLiteral("pipe"))).constData(), 0600);
        m_dir.file(QStringLiteral("locked.txt"), "secret");
        QFile::setPermissions(m_dir.path(QStringLiteral("locked.txt")), {});
    }

    // Large pictures are decoded at the shown size or not at all; small ones are not blown up.
    void kinds_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("contents"); // none: made beforehand, or missing
        QTest::addColumn<int>("kindValue");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QSize>("picture"); // none: any that fits the view
        const auto row = [](const char *name, const QByteArray &contents, Kind kind, const QString &text = {},
                            QSize picture = {}) {
            QTest::newRow(name) << QString::fromUtf8(name) << contents << int(kind) << text << picture;
        };
        row("small.png", picture({40, 30}, "PNG"), Kind::image, {}, {40, 30});
        row("drawing.svg", "<svg xmlns='http://www.w3.org/2000/svg' width='200' height='100'>"
                           "<rect width='200' height='100' fill='teal'/></svg>", Kind::image);
        row("notes.txt", "first line\nsecond line, caf\xc3\xa9\n", Kind::text, QStringLiteral("first line\nsecond line, café\n"));
        row("picture.txt", picture({8, 8}, "PNG"), Kind::image); // the contents decide, not the name
        row("program.bin", QByteArray("\x7f" "ELF\x02\x01\x01\0\0\0", 10), Kind::icon);
        row("latin1.txt", "caf\xe9 cr\xe8me\n", Kind::icon); // not UTF-8
        row("empty", "", Kind::icon);
        row("folder", {}, Kind::icon);
        row("pipe", {}, Kind::icon); // never read
        row("gone.txt", {}, Kind::icon);
        row("locked.txt", {}, Kind::icon);
        // Only the first 256 KiB are read; a character cut in two at that point is no reason to
        // take the file for binary.
        row("long.txt", QByteArray(QuickLookPreview::textLimit - 1, 'a') + "\xc3\xa9 and more", Kind::text,
            QString(QuickLookPreview::textLimit - 1, QLatin1Char('a')));
        row("large.jpeg", picture({6000, 4000}, "JPEG"), Kind::image); // decoded scaled
        row("large.svg", "<svg xmlns='http://www.w3.org/2000/svg' width='20000' height='10000'/>", Kind::image); // rendered scaled
        row("large.png", picture({5000, 4000}, "PNG"), Kind::icon); // too big for a full decode
        row("medium.png", picture({2000, 1500}, "PNG"), Kind::image); // within the budget
    }
    void kinds()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, contents);
        QFETCH(int, kindValue);
        QFETCH(QString, text);
        QFETCH(QSize, picture);
        const Kind kind = Kind(kindValue);
        if (!contents.isNull())
            m_dir.file(name, contents);
        std::optional<AsUnprivileged> unprivileged; // root would read the locked file
        if (name == QLatin1String("locked.txt"))
            unprivileged.emplace();
        const auto view = preview(name);
        QVERIFY(view);
        QCOMPARE(view->kind(), kind);
        QCOMPARE(view->textView()->isVisible(), kind == Kind::text);
        QCOMPARE(view->iconPage()->isVisible(), kind == Kind::icon);
        QCOMPARE(view->text(), text);
        const QSize box = view->size() * view->devicePixelRatioF();
        if (picture.isValid())
            QCOMPARE(view->image().size(), picture);
        else if (kind == Kind::image)
            QVERIFY2(view->image().width() <= box.width() && view->image().height() <= box.height(),
                     qPrintable(QStringLiteral("%1x%2").arg(view->image().width()).arg(view->image().height())));
    }

    void sameUrlIsNotReadAgain()
    {
        m_dir.file(QStringLiteral("notes.txt"), "first line\n");
        m_dir.file(QStringLiteral("small.png"), picture({40, 30}, "PNG"));
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
