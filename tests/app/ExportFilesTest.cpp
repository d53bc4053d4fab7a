#include "tests/app/VorlixRun.h"

#include <QDir>
#include <cerrno>
#include <cstring>
#include <sys/mount.h>

using namespace vorlix::test;

namespace {

// A disk of 64 KB for the test's output: a tmpfs of its own where the process may mount one (as
// root, as CI runs), or else a limit on the size of any file the child writes, with the signal
// that limit sends ignored, so that its writes fail as they would on a full disk.
class SmallDisk {
public:
    explicit SmallDisk(QString folder)
        : m_folder(std::move(folder))
    {
        QDir().mkpath(m_folder);
        m_mounted = ::mount("tmpfs", QFile::encodeName(m_folder).constData(), "tmpfs",
                        MS_NOSUID | MS_NODEV | MS_NOEXEC, "size=64k")
            == 0;
    }
    ~SmallDisk()
    {
        if (m_mounted)
            ::umount2(QFile::encodeName(m_folder).constData(), MNT_DETACH);
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    // The program and arguments that run `program` with this disk.
    [[nodiscard]] std::pair<QString, QStringList> command(
        const QString& program, const QStringList& arguments) const
    {
        if (m_mounted)
            return { program, arguments };
        return { QStringLiteral("/bin/sh"),
            QStringList { QStringLiteral("-c"),
                QStringLiteral("ulimit -f 128 && trap '' XFSZ && exec \"$0\" \"$@\""), program }
                + arguments };
    }
    // What the system says when the disk is full.
    [[nodiscard]] QString fullMessage() const
    {
        return QString::fromLocal8Bit(std::strerror(m_mounted ? ENOSPC : EFBIG));
    }

private:
    QString m_folder;
    bool m_mounted = false;
};

// A page of lines: a few fill the disk as a picture, thousands as a PDF or SVG.
QString lines(int count)
{
    QString face;
    unsigned seed = 1;
    const auto next = [&seed](unsigned range) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) % range;
    };
    for (int i = 0; i < count; ++i)
        face += QStringLiteral("d,%1,%2,%3,%4;\n")
                    .arg(next(2000))
                    .arg(next(2800))
                    .arg(next(2000))
                    .arg(next(2800));
    return face;
}

// An export onto a full disk fails with the system's reason and leaves the file it would have
// replaced as it was, whichever writer makes the file.
TEST_F(VorlixRun, AnExportOntoAFullDiskKeepsTheOldFile)
{
    const struct {
        const char* target;
        const char* replaced;
        const char* engine;
        int lines;
    } cases[] = {
        { "out.pdf", "out.pdf", "", 8000 },
        { "out.pdf", "out.pdf", "qt", 8000 },
        { "out.png", "out-1.png", "", 5 },
        { "out.svg", "out-1.svg", "", 8000 },
    };
    const QString folder = env.root() + QStringLiteral("/small");
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.target) + " " + c.engine);
        write(QStringLiteral("lines.fae"), lines(c.lines));
        const SmallDisk disk(folder);
        const QString old = folder + u'/' + QLatin1String(c.replaced);
        ASSERT_TRUE(writeFileBytes(old, "older"));
        QProcessEnvironment e = environment();
        e.insert(QStringLiteral("VORLIX_PDF_ENGINE"), QLatin1String(c.engine));
        const QString target = QStringLiteral("small/") + QLatin1String(c.target);
        const auto [program, arguments] = disk.command(
            VorlixRun::program(), { QStringLiteral("-e=") + target, QStringLiteral("lines.fae") });
        const RunResult r = runProgram(program, arguments, e);
        EXPECT_EQ(r.status, 1);
        const QString reason = QStringLiteral("vorlix: ") + target
            + QStringLiteral(": 書き込めませんでした (") + disk.fullMessage() + u')';
        EXPECT_TRUE(r.errLines().contains(reason)) << r.err.toStdString();
        for (const QString& line : r.errLines())
            EXPECT_TRUE(line.startsWith(QStringLiteral("vorlix: "))) << line.toStdString();
        EXPECT_EQ(readFileBytes(old), "older");
        EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden),
            QStringList { QLatin1String(c.replaced) });
        QFile::remove(old);
    }
}

}
