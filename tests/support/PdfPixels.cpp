#include "tests/support/PdfPixels.h"

#include "tests/support/PdfCheck.h"
#include <QCollator>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>

namespace vorlix::test {

namespace {

    // Grey levels two anti-aliased renderings of the same edge stay within.
    constexpr int Threshold = 100;
    constexpr int InkLevel = 224;

}

QList<QImage> PdfPixels::render(const QString& pdf, int dpi)
{
    PdfCheck::expectSound(pdf);
    QTemporaryDir work;
    QProcess process;
    process.start(QStringLiteral("pdftoppm"),
        { QStringLiteral("-gray"), QStringLiteral("-png"), QStringLiteral("-r"),
            QString::number(dpi), pdf, work.filePath(QStringLiteral("page")) });
    if (!process.waitForFinished(60000) || process.exitCode() != 0) {
        ADD_FAILURE() << "pdftoppm failed on " << pdf.toStdString() << ": "
                      << process.readAllStandardError().toStdString();
        return {};
    }
    QStringList files = QDir(work.path()).entryList({ QStringLiteral("page-*.png") }, QDir::Files);
    QCollator collator;
    collator.setNumericMode(true);
    std::sort(files.begin(), files.end(), collator);
    QList<QImage> pages;
    for (const QString& file : files)
        pages << QImage(work.filePath(file)).convertToFormat(QImage::Format_Grayscale8);
    return pages;
}

PdfPixels::Difference PdfPixels::compare(const QImage& a, const QImage& b)
{
    Difference difference;
    if (a.size() != b.size()) {
        difference.sizeDiffers = true;
        return difference;
    }
    for (int y = 0; y < a.height(); ++y) {
        const uchar* left = a.constScanLine(y);
        const uchar* right = b.constScanLine(y);
        for (int x = 0; x < a.width(); ++x) {
            if (left[x] < InkLevel || right[x] < InkLevel)
                ++difference.ink;
            if (std::abs(left[x] - right[x]) > Threshold)
                ++difference.differing;
        }
    }
    return difference;
}

bool PdfPixels::matches(const Difference& difference)
{
    // A handful of edge pixels, and one in a thousand of the inked ones.
    return !difference.sizeDiffers && difference.differing <= 8 + difference.ink / 1000;
}

}
