// Draws the program's SVG icon into the PNG sizes the hicolor theme installs:
// vorlix-icon-png SVG OUT-FOLDER SIZE... writes OUT-FOLDER/<size>x<size>/apps/vorlix.png.
// It runs at build time, with no display.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>
#include <cstdlib>

namespace {

bool drawIcon(QSvgRenderer& svg, const QString& folder, int size)
{
    const QString dir = folder + QStringLiteral("/%1x%1/apps").arg(size);
    if (!QDir().mkpath(dir))
        return false;
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    svg.render(&painter, QRectF(0, 0, size, size));
    painter.end();
    return image.save(dir + QStringLiteral("/vorlix.png"), "PNG");
}

}

int main(int argc, char** argv)
{
    // Built on servers without a display: the offscreen platform draws just as well.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication application(argc, argv);
    if (argc < 4) {
        std::fprintf(stderr, "usage: vorlix-icon-png SVG OUT-FOLDER SIZE...\n");
        return 2;
    }
    QSvgRenderer svg(QString::fromLocal8Bit(argv[1]));
    if (!svg.isValid()) {
        std::fprintf(stderr, "vorlix-icon-png: %s is no SVG picture\n", argv[1]);
        return 1;
    }
    const QString folder = QString::fromLocal8Bit(argv[2]);
    for (int i = 3; i < argc; ++i) {
        const int size = std::atoi(argv[i]);
        if (size <= 0 || !drawIcon(svg, folder, size)) {
            std::fprintf(stderr, "vorlix-icon-png: cannot draw size %s\n", argv[i]);
            return 1;
        }
    }
    return 0;
}
