// Grabs one window of an X display into a PNG file: grab_window WINDOW-ID OUT.png. The end-to-end
// test of the main window runs it on its private X server (QT_QPA_PLATFORM=xcb).
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <cstdio>

int main(int argc, char** argv)
{
    QGuiApplication application(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: grab_window WINDOW-ID OUT.png\n");
        return 2;
    }
    bool ok = false;
    const WId window = QString::fromLocal8Bit(argv[1]).toULongLong(&ok, 0);
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!ok || !screen) {
        std::fprintf(stderr, "grab_window: no such window or no screen\n");
        return 2;
    }
    const QPixmap picture = screen->grabWindow(window);
    if (picture.isNull() || !picture.save(QString::fromLocal8Bit(argv[2]), "PNG")) {
        std::fprintf(stderr, "grab_window: the window could not be grabbed\n");
        return 1;
    }
    return 0;
}
