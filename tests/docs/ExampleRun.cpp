#include "tests/docs/ExampleRun.h"

#include "tests/support/PdfCheck.h"

#include <QCollator>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <algorithm>

namespace vorlix::test {

namespace {

    QString binary(const QString& relative)
    {
        return qEnvironmentVariable("VORLIX_BINARY_DIR") + u'/' + relative;
    }

    // The pages pdftoppm wrote, in page order (it pads the numbers to the width of the count).
    QStringList pageFiles(const QString& work)
    {
        QStringList files = QDir(work).entryList({ QStringLiteral("page-*.png") }, QDir::Files);
        QCollator collator;
        collator.setNumericMode(true);
        std::sort(files.begin(), files.end(), collator);
        return files;
    }

}

ExampleRun::ExampleRun(const QString& example)
{
    QTemporaryDir work;
    if (!work.isValid()) {
        m_toolFailure = QStringLiteral("no temporary folder");
        return;
    }
    if (example.endsWith(QStringLiteral(".mnd")))
        renderDocument(example, work.path());
    else
        renderFace(example, work.path());
}

ExampleRun::Result ExampleRun::runProgram(const QString& program, const QStringList& arguments,
    const QString& workingFolder, const QString& home) const
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // A home of its own for every run: the first start writes a fresh settings file there.
    env.insert(QStringLiteral("HOME"), home);
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/config"));
    env.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/data"));
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.remove(QStringLiteral("profiles"));
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(workingFolder);
    process.start(program, arguments);
    Result result;
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        result.errors = program + QStringLiteral(" did not finish");
        return result;
    }
    result.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.errors = QString::fromUtf8(process.readAllStandardError());
    return result;
}

void ExampleRun::renderFace(const QString& face, const QString& work)
{
    const QFileInfo info(face);
    const QString pdf = work + QStringLiteral("/example.pdf");
    const Result result = runProgram(binary(QStringLiteral("tools/vorlix-render")),
        { info.fileName(), pdf }, info.absolutePath(), work + QStringLiteral("/home"));
    m_status = result.status;
    m_errors = result.errors;
    m_problems = result.status != 0 || result.errors.contains(QStringLiteral("the document has"));
    loadPages(pdf, work);
}

void ExampleRun::renderDocument(const QString& document, const QString& work)
{
    const QFileInfo info(document);
    const QString home = work + QStringLiteral("/home");
    const QString merged = work + QStringLiteral("/merged.txt");
    const Result merge = runProgram(binary(QStringLiteral("app/vorlix")),
        { QStringLiteral("-m=") + merged, info.fileName() }, info.absolutePath(), home);
    QFile mergedFile(merged);
    if (merge.status == 0 && mergedFile.open(QIODevice::ReadOnly))
        m_merged = QString::fromUtf8(mergedFile.readAll()).replace(QStringLiteral("\r\n"), "\n");

    const QString pdf = work + QStringLiteral("/example.pdf");
    const Result result = runProgram(binary(QStringLiteral("app/vorlix")),
        { QStringLiteral("-e=") + pdf, info.fileName() }, info.absolutePath(), home);
    m_status = result.status;
    m_errors = merge.errors + result.errors;
    m_problems = result.status != 0 || merge.status != 0;
    loadPages(pdf, work);
}

void ExampleRun::loadPages(const QString& pdf, const QString& work)
{
    if (!QFileInfo::exists(pdf))
        return;
    PdfCheck::expectSound(pdf);
    QProcess pdftoppm;
    pdftoppm.start(QStringLiteral("pdftoppm"),
        { QStringLiteral("-r"), QString::number(PictureDpi), QStringLiteral("-png"), pdf,
            work + QStringLiteral("/page") });
    if (!pdftoppm.waitForFinished(60000) || pdftoppm.exitCode() != 0) {
        m_toolFailure = QStringLiteral("pdftoppm failed: ")
            + QString::fromUtf8(pdftoppm.readAllStandardError());
        return;
    }
    for (const QString& file : pageFiles(work)) {
        QImage page(work + u'/' + file);
        m_pages << page.convertToFormat(QImage::Format_RGB32);
    }
}

}
