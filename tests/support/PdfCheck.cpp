#include "tests/support/PdfCheck.h"

#include "tests/support/MissingTool.h"
#include "tests/support/ToolRun.h"

#include <gtest/gtest.h>

namespace vorlix::test {

void PdfCheck::expectSound(const QString& pdf)
{
    const ToolResult qpdf = runTool(QStringLiteral("qpdf"), { QStringLiteral("--check"), pdf });
    if (!qpdf.started) {
        if (everyToolIsPromised())
            ADD_FAILURE() << "qpdf did not run (the qpdf package is needed)";
        return;
    }
    if (!qpdf.finished) {
        ADD_FAILURE() << "qpdf --check did not end on " << pdf.toStdString();
        return;
    }
    // 0: sound; 2: errors; 3: warnings only, which a file of our own must not give either.
    if (qpdf.exitCode != 0)
        ADD_FAILURE() << "qpdf --check " << pdf.toStdString() << " (exit " << qpdf.exitCode
                      << "):\n"
                      << qpdf.out.toStdString() << qpdf.err.toStdString();
}

}
