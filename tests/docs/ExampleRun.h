#pragma once

#include <QImage>
#include <QList>
#include <QString>

namespace vorlix::test {

// One example run the way a user runs it, from the example's own folder: a face through
// vorlix-render, a data document through "vorlix -e=" (and "vorlix -m=" for its merged text),
// both into a PDF at the printer resolution, whose pages pdftoppm turns into pictures.
class ExampleRun {
public:
    // Resolution of the pictures in the manual.
    static constexpr int PictureDpi = 100;

    // Runs the example file (its full path); problems are in the result, never thrown.
    explicit ExampleRun(const QString& example);

    // The pages at PictureDpi; empty when nothing was rendered.
    [[nodiscard]] const QList<QImage>& pages() const { return m_pages; }
    // True when the program reported failed statements, warnings or a failed document.
    [[nodiscard]] bool reportedProblems() const { return m_problems; }
    // Exit status and standard error of the rendering program, for messages.
    [[nodiscard]] int status() const { return m_status; }
    [[nodiscard]] const QString& errors() const { return m_errors; }
    // The merged text of a data document, with LF line ends; empty for faces or on failure.
    [[nodiscard]] const QString& mergedText() const { return m_merged; }
    // What went wrong in running the tools themselves (a missing program, no PDF); empty if none.
    [[nodiscard]] const QString& toolFailure() const { return m_toolFailure; }

private:
    struct Result {
        int status = -1;
        QString errors;
    };
    Result runProgram(const QString& program, const QStringList& arguments,
        const QString& workingFolder, const QString& home) const;
    void renderFace(const QString& face, const QString& work);
    void renderDocument(const QString& document, const QString& work);
    void loadPages(const QString& pdf, const QString& work);

    QList<QImage> m_pages;
    bool m_problems = false;
    int m_status = -1;
    QString m_errors;
    QString m_merged;
    QString m_toolFailure;
};

}
