#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>
#include <gtest/gtest.h>

// Every test program runs with its own home and XDG folders, so that nothing a test does can
// reach the real user's settings, sheets or desktop integration, and on the offscreen platform.
int main(int argc, char** argv)
{
    QTemporaryDir home(QDir::tempPath() + "/vorlix-test-XXXXXX");
    if (!home.isValid())
        return 2;
    const QByteArray root = home.path().toLocal8Bit();
    setenv("HOME", root.constData(), 1);
    setenv("XDG_CONFIG_HOME", (root + "/config").constData(), 1);
    setenv("XDG_DATA_HOME", (root + "/data").constData(), 1);
    setenv("XDG_CACHE_HOME", (root + "/cache").constData(), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("XDG_RUNTIME_DIR", (root + "/runtime").constData(), 1);
    QDir().mkpath(home.path() + "/runtime");
    QFile::setPermissions(
        home.path() + "/runtime", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    // No test reaches the machine's printers: CUPS is asked at a socket where nothing listens.
    setenv("CUPS_SERVER", (root + "/no-cups.sock").constData(), 1);
    unsetenv("profiles");
    setenv("VORLIX_SOURCE_DIR", VORLIX_TEST_SOURCE_DIR, 0);
    setenv("VORLIX_BINARY_DIR", VORLIX_TEST_BINARY_DIR, 0);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
