#pragma once

#include "document/PreviewTarget.h"

#include <QPixmap>
#include <QPointF>
#include <QRectF>
#include <QWidget>
#include <memory>

class QLabel;

namespace vorlix::window {

// The page preview ("Pic"): shows the last page the document object rendered, scaled to the box
// and drawn at the screen's device pixel ratio, with the movable origin marker "◎" and the
// selection rectangle of the cross tool. Positions are reported in page units (0.1 mm) from the
// box's scale, which the pane sets to the paper size.
class PreviewBox final : public QWidget, public document::PreviewTarget {
    Q_OBJECT

public:
    enum class Tool { Cross = 0, Hand = 1 };

    explicit PreviewBox(QWidget* parent = nullptr);
    ~PreviewBox() override;

    // ---- The document object's side ----
    void setPicture(std::shared_ptr<const render::PageRecord> page) override;
    void setWidthTwips(double twips) override;
    void setHeightTwips(double twips) override;
    void clearPicture() override;

    [[nodiscard]] const std::shared_ptr<const render::PageRecord>& picture() const
    {
        return m_page;
    }

    // ---- Scale, tools, origin and selection ----
    // The page's extent in page units (the box's coordinate scale).
    void setScale(double width, double height);
    [[nodiscard]] QPointF toPage(const QPointF& pixels) const;
    [[nodiscard]] QPointF toPixels(const QPointF& page) const;

    void setTool(Tool tool);
    [[nodiscard]] Tool tool() const { return m_tool; }
    // The marker's centre in page units; the pointer status is relative to it.
    [[nodiscard]] QPointF origin() const { return m_origin; }
    // Puts the marker centred on the page's top-left corner.
    void resetOrigin();
    void moveOrigin(const QPointF& page);
    // The cross tool's rectangle in page units (empty size: nothing selected).
    [[nodiscard]] QRectF selection() const { return m_selection; }
    void setSelection(const QRectF& page);
    [[nodiscard]] bool dragging() const { return m_dragging; }

    // The page as shown: its image at the box's size and the given pixel ratio.
    [[nodiscard]] QImage pageImage(qreal pixelRatio = 1.0) const;

signals:
    // Status slot texts: 0 the pointer, 1 the selection.
    void statusText(int slot, const QString& text);
    // The hand tool moved the box to a new position (in the parent's pixels).
    void handMoved(const QPoint& topLeft);
    void handReleased();
    void keyPressed(int key);
    // A button other than the left one was released outside a drag.
    void menuRequested(const QPoint& globalPosition);
    void zoomWheel(int steps);
    void resized();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void paintPage(QPainter& painter);
    void updateMarkGeometry();
    void dragSelection(const QPointF& point);

    std::shared_ptr<const render::PageRecord> m_page;
    // The page drawn at the box's size and pixel ratio, made again when either changes.
    mutable QPixmap m_cache;
    QLabel* m_mark = nullptr;
    Tool m_tool = Tool::Hand;
    double m_scaleWidth = 2100.0;
    double m_scaleHeight = 2970.0;
    QPointF m_origin;
    QRectF m_selection;
    QPointF m_selectionStart;
    bool m_selectionShown = false;
    bool m_dragging = false;
    QPoint m_handStartGlobal;
    QPoint m_handStartPos;
    bool m_markDragging = false;
    QPoint m_markGrab;
};

}
