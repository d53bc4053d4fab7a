#include "tests/support/PdfCheck.h"

#include "tests/support/MissingTool.h"

#include <QProcess>
#include <gtest/gtest.h>

namespace vorlix::test {

void PdfCheck::expectSound(const QString& pdf)
{
    QProcess qpdf;
    qpdf.start(QStringLiteral("qpdf"), { QStringLiteral("--check"), pdf });
    if (!qpdf.waitForStarted(30000)) {
        if (everyToolIsPromised())
            ADD_FAILURE() << "qpdf did not run (the qpdf package is needed)";
        return;
    }
    if (!qpdf.waitForFinished(60000) || qpdf.exitStatus() != QProcess::NormalExit) {
        qpdf.kill();
        qpdf.waitForFinished();
        ADD_FAILURE() << "qpdf --check did not end on " << pdf.toStdString();
        return;
    }
    // 0: sound; 2: errors; 3: warnings only, which a file of our own must not give either.
    if (qpdf.exitCode() != 0)
        ADD_FAILURE() << "qpdf --check " << pdf.toStdString() << " (exit " << qpdf.exitCode()
                      << "):\n"
                      << qpdf.readAllStandardOutput().toStdString()
                      << qpdf.readAllStandardError().toStdString();
}

}
