#pragma once

#include "lang/AxisTable.h"
#include "lang/CommandList.h"
#include "lang/PagedText.h"
#include "lang/RunLimits.h"
#include "lang/TokenBuffers.h"
#include "lang/TokenCutter.h"
#include "lang/ValueFormat.h"
#include "render/EMF.h"
#include "render/GdiTypes.h"
#include "shell/Log.h"
#include "shell/Report.h"

#include <QElapsedTimer>
#include <QString>
#include <QStringView>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace vorlix::render {
class TextMetrics;
}

namespace vorlix::lang {

// The interpreter of the page language. It takes a paged document (SetDoc), renders a range of
// its pages (PagePrint) statement by statement onto its drawing surface, and reports undefined
// words, stray tokens and failed statements on the page itself and in the log without ever
// stopping the run.
class DControl {
public:
    // What running one statement came to.
    enum class ExecResult : int {
        Done = 0,
        Stop = 1,
        Undefined = 2,
        Failed = 3,
    };

    // Without metrics the surface measures with real fonts; tests pass fixed metrics.
    explicit DControl(std::shared_ptr<const render::TextMetrics> metrics = {});
    ~DControl();
    DControl(const DControl&) = delete;
    DControl& operator=(const DControl&) = delete;

    // Binds the surface to a print job or preview and a page size; forwarded unchanged.
    void SetObject(render::PageTarget target, std::int32_t dc, std::int32_t dpi, double ratio,
        std::int32_t width, std::int32_t height, std::int32_t marginX, std::int32_t marginY);
    void getLtoP(double& sx, double& sy) const;
    void setRatio(double ratio);
    void setLag(std::int32_t x, std::int32_t y);
    // Tightens how much one statement may draw (the fuzz targets use small limits); a statement
    // past a limit fails with the overflow error.
    void setLimits(const RunLimits& limits) { m_limits = limits; }
    [[nodiscard]] const RunLimits& limits() const { return m_limits; }

    // Number of pages of the document given to SetDoc (a growing one's once it has ended).
    [[nodiscard]] std::int32_t Page() const { return m_pages ? m_pages->pageCount() : m_page; }
    // Forgets the document.
    void Refresh();
    // Takes a paged document ("head,n,o0,...,on;" CR LF and the body) or a plain statement text.
    // A malformed header throws RunError 13 (missing or non-numeric value) or 9 (negative count).
    void SetDoc(const QString& text);
    // Takes a paged document its owner keeps: pages are fetched from it as they are rendered (and
    // may still be merged while the first are rendered).
    void SetDoc(std::shared_ptr<const PagedText> document);
    // Renders pages from..to, each as "start;", the common head and the page, then ";;out;";
    // finishes with ";end;".
    void PagePrint(std::int32_t from, std::int32_t to);
    // Interprets one statement text from its beginning to its end.
    void GoDoc(const QString& text);

    // Renders page j alone, as PagePrint does for each page of its range ("start;", the common
    // head and the page, then ";;out;"); report then holds what the page met. Does not end the
    // job.
    void renderPage(std::int32_t j);
    // The document its owner keeps, when SetDoc was given one.
    [[nodiscard]] const PagedText* pagedText() const { return m_pages.get(); }
    // Takes the document another interpreter read (SetDoc), sharing its text.
    void shareDocument(const DControl& other);
    // Puts back what statements leave behind for the next page (axes, graph-paper colour, the
    // text table's steps, the diagnostic line, the current point), so that a page renders the
    // same whatever was rendered before it: alone, in a range, or on another thread.
    void startIndependentPage();

    // The drawing surface (for the owner's page handling and for tests).
    [[nodiscard]] render::EMF& surface() { return *m_surface; }
    // The body of the paged document and its layout, as SetDoc read them.
    [[nodiscard]] QStringView docText() const { return QStringView(m_docText).mid(m_bodyStart); }
    [[nodiscard]] std::int32_t headLength() const { return m_headLength; }
    // Characters in the body of the document, however it is kept.
    [[nodiscard]] qsizetype documentSize() const;
    // Start position of page i (1-based in the body); 0 outside the document.
    [[nodiscard]] std::int32_t pageStart(std::int32_t i) const;
    // Vertical page position of the next diagnostic line.
    [[nodiscard]] std::int32_t msgLineY() const { return m_msgLineY; }

    // What the last GoDoc met (after PagePrint: what the whole range met): report.fWarning an
    // undefined command word or a stray token, report.fError a statement that failed, with the
    // first failure's error number and text in report.ErrNumber and report.sErrMsg (the
    // interpreter's ErrNumber and ErrDescription) and the first problem's statement as written in
    // report.statement.
    shell::Report report;
    // The last GoDoc ran an "out" or "end" statement; fNextPage tells which ("out" true).
    bool fEndCmd = false;
    bool fNextPage = false;

private:
    // ---- Main loop and diagnostics ----
    [[nodiscard]] ExecResult ExecCommand(const QString& word);
    // Skips the rest of a stray statement and reports it; true when the text has ended.
    bool reportStray(const QString& prefix, const QString& token);
    // Reports the failure ExecCommand caught for the statement of this command word.
    void reportFailure(const QString& word);
    // Reports a picture the loader read while it found it damaged: a warning on the page.
    void reportDamagedPicture(const QString& fileName, const QString& damage);
    // Lets the window handle its events, but not more often than a person could tell.
    void handlePendingEvents();
    // Draws one diagnostic line at (100, y) from the paper's corner and logs it.
    void printDiagnostic(std::int32_t y, const QString& message);
    [[nodiscard]] QStringView pageText(std::int32_t page) const;
    // Turns the positions of the last run's problems (in "start;", the head and page j) into
    // positions in the head or in the page.
    void placeProblems(std::int32_t j, qsizetype headSize);
    // The statement that begins at m_statementStart, as written and without its ";".
    [[nodiscard]] QString currentStatement() const;

    // ---- Reading arguments (every command reads its own tokens) ----
    // A statement with a fixed argument list reads all its tokens (the statement end included)
    // before it converts any of them, so that "h,1,2;s,..." fails the h having consumed the s.
    template <std::size_t N> TokenBuffers<N> readTokens()
    {
        return TokenBuffers<N>(m_tokenPool, m_cutter);
    }
    TokenType nextToken(QString& token);
    // Reads one token and returns its text (T arguments).
    QString argT();
    // Reads one token and converts it: I (32-bit integer, halves to even), D (double),
    // S (single precision). Throw RunError 13 for a non-number and 6 for an overflow.
    std::int32_t argI();
    double argD();
    float argS();
    // Reads the token that ends the statement ("+;"), whatever it is.
    void skipToken();
    [[nodiscard]] static std::int32_t toI(const QString& text);
    [[nodiscard]] static double toD(const QString& text);
    [[nodiscard]] static float toS(const QString& text);
    // 32-bit sum; RunError 6 (overflow) when it does not fit.
    [[nodiscard]] static std::int32_t addChecked(std::int32_t a, std::int32_t b);

    // ---- Commands: one member per word of CommandList.h ----
#define VORLIX_COMMAND_MEMBER(name, word) ExecResult cmd##name();
    VORLIX_ENUMERATE_COMMANDS(VORLIX_COMMAND_MEMBER)
#undef VORLIX_COMMAND_MEMBER

    // The merge's block words outside a merge: the whole statement is read and nothing done.
    ExecResult skipMergeStatement();
    // Family helpers of the drawing and text commands.
    void DrawPolyline(std::int32_t x, std::int32_t y);
    // "s", "x" and "ala": plain (LPK) or marked-up (PrintLn) text, optionally reading x and y.
    void PrintText(bool plain, bool readPosition);
    // Reads x and y and makes them the current point.
    void moveToPosition();
    // The text of a text statement, and the number that ended it (its width) if one did.
    struct TextPieces {
        QString text;
        QString number;
    };
    // Reads the text pieces of "s", "x", "sr" and "sc"; none when the statement has no text (it
    // is then read to its end).
    [[nodiscard]] std::optional<TextPieces> readTextPieces();
    // "sr" and "sc": one line of plain text ending at or centred on the point.
    void printAligned(const QString& word, render::TextAlign align);
    // The format of "sf" for its code, read once for every code a page uses; a code that cannot
    // be read fails the statement with a message naming it and the value.
    [[nodiscard]] const ValueFormat& formatOf(const QString& code, const QString& value);
    void PrintTable(std::int32_t x, std::int32_t y, std::int32_t n);
    void DrawImage(std::int32_t x, std::int32_t y, const QString& fileName);
    // "bc": the symbol with the top left of its first bar at (x, y).
    struct BarcodeArguments;
    void DrawBarcode(std::int32_t x, std::int32_t y, const BarcodeArguments& arguments);

    shell::LifeLog m_life { QStringLiteral("DControl") };
    TokenCutter m_cutter;
    // String buffers lent to readTokens.
    std::vector<QString> m_tokenPool;
    std::unique_ptr<render::EMF> m_surface;
    RunLimits m_limits;

    // The text SetDoc read, shared with its caller; the body starts at m_bodyStart.
    QString m_docText;
    qsizetype m_bodyStart = 0;
    std::int32_t m_page = 0;
    std::shared_ptr<const std::vector<std::int32_t>> m_pageStart;
    // A document kept by its owner instead of the text above.
    std::shared_ptr<const PagedText> m_pages;
    std::int32_t m_headLength = 0;
    std::int32_t m_msgLineY = 100;
    QElapsedTimer m_eventsClock;
    // The error of the statement that failed last, for its diagnostic lines.
    struct Failure {
        std::int32_t number = 0;
        QString description;
    } m_failure;
    // The text GoDoc runs and where its current statement began (1-based), so that a problem
    // can name its statement as written.
    const QString* m_runText = nullptr;
    std::int32_t m_statementStart = 0;

    // Step list of the last text table ("t").
    std::vector<std::int32_t> m_steps;
    // The formats "sf" read, most recent last.
    std::vector<std::pair<QString, ValueFormat::Parsed>> m_formats;

    // Chart state (axis table, curve data): owned by the chart commands.
    AxisTable m_axes;
    render::ColorRef gridColor = render::rgb(240, 150, 30);
    // End of chart state.
};

}
