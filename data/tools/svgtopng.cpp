// Renders an SVG image to a square PNG of the given size, for the icon theme's fixed-size
// folders: svgtopng <in.svg> <out.png> <pixels>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 4) {
        std::fputs("usage: svgtopng <in.svg> <out.png> <pixels>\n", stderr);
        return 2;
    }
    QSvgRenderer renderer(QString::fromLocal8Bit(argv[1]));
    const int pixels = QByteArray(argv[3]).toInt();
    if (!renderer.isValid() || pixels <= 0) {
        std::fprintf(stderr, "svgtopng: can't render %s\n", argv[1]);
        return 1;
    }
    QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter);
    painter.end();
    return image.save(QString::fromLocal8Bit(argv[2]), "PNG") ? 0 : 1;
}
