#include "tests/support/PdfPixels.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <ostream>

// Defined with the manual's example tests: file names in listings as text.
void PrintTo(const QString& text, std::ostream* out);

namespace {

using vorlix::test::PdfPixels;

QString sourcePath(const QString& relative)
{
    return qEnvironmentVariable("VORLIX_SOURCE_DIR") + u'/' + relative;
}

// Every sample, and the examples of the manual that draw text (turned, bold, slanted),
// pens and dashes, arcs, clips and pictures.
QStringList exportedFiles()
{
    QStringList files { QStringLiteral("samples/invoice.mnd"),
        QStringLiteral("samples/delivery-slip.mnd"), QStringLiteral("samples/nouhinsho.mnd"),
        QStringLiteral("samples/shipping-label.mnd"), QStringLiteral("samples/sample-face.fae"),
        QStringLiteral("samples/chart-curve.fae"), QStringLiteral("samples/chart-linear.fae"),
        QStringLiteral("samples/chart-semilog.fae") };
    for (const char* folder : { "docs/examples/commands", "docs/examples/language" }) {
        const QDir dir(sourcePath(QString::fromLatin1(folder)));
        for (const QString& face :
            dir.entryList({ QStringLiteral("*.fae") }, QDir::Files, QDir::Name))
            files << QString::fromLatin1(folder) + u'/' + face;
    }
    return files;
}

std::string testName(const ::testing::TestParamInfo<QString>& info)
{
    std::string name;
    for (const QChar c : info.param)
        name += c.isLetterOrNumber() && c.unicode() < 128 ? static_cast<char>(c.unicode()) : '_';
    return name;
}

// Exports one file to a PDF with the writer an engine name chooses, as a user would: a face
// through vorlix-render, a data document through "vorlix -e=", from the file's own folder.
QString exportWith(const QString& engine, const QString& file, const QString& work)
{
    const QFileInfo info(sourcePath(file));
    const QString pdf = work + u'/' + engine + QStringLiteral(".pdf");
    const QString home = work + QStringLiteral("/home-") + engine;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home);
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/config"));
    env.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/data"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("VORLIX_PDF_ENGINE"), engine);
    env.remove(QStringLiteral("profiles"));
    env.remove(QStringLiteral("DISPLAY"));
    QProcess process;
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(info.absolutePath());
    const QString binaries = qEnvironmentVariable("VORLIX_BINARY_DIR");
    if (info.suffix() == u"mnd")
        process.start(binaries + QStringLiteral("/app/vorlix"),
            { QStringLiteral("-e=") + pdf, info.fileName() });
    else
        process.start(binaries + QStringLiteral("/tools/vorlix-render"), { info.fileName(), pdf });
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
    }
    return pdf;
}

class PdfEngines : public ::testing::TestWithParam<QString> { };

// Our writer and Qt's engine draw the same pixels, page for page.
TEST_P(PdfEngines, DrawTheSamePixels)
{
    QTemporaryDir work;
    const QList<QImage> own
        = PdfPixels::render(exportWith(QStringLiteral("own"), GetParam(), work.path()), 100);
    const QList<QImage> qt
        = PdfPixels::render(exportWith(QStringLiteral("qt"), GetParam(), work.path()), 100);
    ASSERT_FALSE(qt.isEmpty());
    ASSERT_EQ(own.size(), qt.size());
    for (qsizetype page = 0; page < own.size(); ++page) {
        const PdfPixels::Difference difference = PdfPixels::compare(own[page], qt[page]);
        EXPECT_TRUE(PdfPixels::matches(difference))
            << "page " << page + 1 << ": " << difference.differing << " pixels differ of "
            << difference.ink << " inked";
    }
}

INSTANTIATE_TEST_SUITE_P(Exports, PdfEngines, ::testing::ValuesIn(exportedFiles()), testName);

}
