#pragma once

#include <QString>

namespace vorlix::test {

// The strict structural check of a PDF a test wrote: `qpdf --check`, which reports what poppler
// repairs silently (a wrong cross-reference offset, a stream longer than its /Length, a missing
// object). Call it wherever a test hands a PDF to poppler's tools.
class PdfCheck {
public:
    // Adds a test failure with qpdf's report when the file has errors or warnings. Without qpdf
    // the check is a failure only where every tool was promised (CI); elsewhere it is skipped.
    static void expectSound(const QString& pdf);
};

}
