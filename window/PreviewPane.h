#pragma once

#include "window/PreviewBox.h"

#include <QWidget>
#include <cstdint>
#include <functional>

class QMimeData;
class QScrollBar;

namespace vorlix::document {
class SourceFile;
class SourcePreview;
struct MergedDocument;
}

namespace vorlix::window {

// The preview side of the main window: the page box inside its viewport, the two scroll bars,
// the zoom, page turning, the keys of the preview and copying the page. Scroll values are kept
// in twips as the picture's left and top: 0 down to a negative maximum when the page is larger
// than the viewport, 0 up to a positive one when it is smaller.
class PreviewPane final : public QWidget {
    Q_OBJECT

public:
    // The parts of the document the pane shows: the preview (zoom, page size, one page of the
    // last merge), the merged document (page count), the file (its type) and the step that
    // merges the text and shows a page (描画実行).
    struct Parts {
        document::SourcePreview& preview;
        const document::MergedDocument& merged;
        const document::SourceFile& file;
        std::function<void(std::int32_t page)> mergeAndShow;
    };

    explicit PreviewPane(Parts parts, QWidget* parent = nullptr);

    [[nodiscard]] PreviewBox& box() { return *m_box; }
    [[nodiscard]] QScrollBar& horizontalBar() { return *m_hs; }
    [[nodiscard]] QScrollBar& verticalBar() { return *m_vs; }
    [[nodiscard]] QWidget& viewport() { return *m_viewport; }

    // Shows or hides the scroll bars (they are hidden in the editor-only mode).
    void setScrollBarsVisible(bool visible);

    // ---- Pages ----
    [[nodiscard]] std::int32_t currentPage() const { return m_currentPage; }
    // 描画実行: merges the text and shows the current page.
    void render();
    // Turns pages: +1 next, -1 previous (a face program is rendered again instead).
    void pageStep(int step);
    // After a change of paper: the page box takes the new page size and shows the current page
    // of the last merge again.
    void paperChanged();
    // True while the interpreter runs for the preview (commands that render wait until then).
    [[nodiscard]] bool busy() const { return m_busy; }

    // ---- Zoom ----
    // A zoom percentage (clamped to 40 % ... 200 %).
    void zoom(int percent);
    void zoomOut();
    void zoomIn();

    // ---- Scrolling ----
    [[nodiscard]] int horizontalValue() const { return m_hValue; }
    [[nodiscard]] int verticalValue() const { return m_vValue; }
    [[nodiscard]] int horizontalMaximum() const { return m_hMax; }
    [[nodiscard]] int verticalMaximum() const { return m_vMax; }
    void setScroll(int horizontal, int vertical);
    void scrollHome();
    void scrollEnd();
    // The keys of the preview box.
    void handleKey(int key);

    // ---- Copy ----
    // The clipboard content of "イメージのコピー": the whole page (bitmap, SVG, PDF) with the
    // hand tool, the selected range as a bitmap with the cross tool; null when the cross tool has
    // no range.
    [[nodiscard]] std::unique_ptr<QMimeData> copyData() const;
    // Puts copyData on the clipboard, or says that a range must be chosen first.
    void copyImage();

    // What happens after every render: the window finds the failed statement.
    std::function<void()> afterRender;

signals:
    void statusText(int slot, const QString& text);
    // The context-menu key or a right click asks for the "ビュー" menu.
    void menuRequested(const QPoint& globalPosition);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void layoutChildren();
    void pictureResized();
    void updateRanges();
    void applyScroll();
    void syncBars();
    void handReleased();
    void showPageStatus();
    void showPage(std::int32_t page);

    Parts m_parts;
    QWidget* m_viewport;
    PreviewBox* m_box;
    QScrollBar* m_hs;
    QScrollBar* m_vs;
    bool m_barsVisible = true;
    std::int32_t m_currentPage = 1;
    // Set for one run of the interpreter: the events it hands out meanwhile must not start
    // another run of it.
    bool m_busy = false;
    int m_hValue = 0;
    int m_vValue = 0;
    int m_hMax = 0;
    int m_vMax = 0;
    bool m_syncing = false;
};

}
