#include "window/PreviewPane.h"

#include "document/MergedDocument.h"
#include "document/SourceFile.h"
#include "document/SourcePreview.h"
#include "render/PageRecord.h"
#include "shell/UserInterface.h"
#include "window/Arrange.h"
#include "window/PageClipboard.h"
#include "window/ViewRules.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <cmath>

namespace vorlix::window {

namespace {

    constexpr int Twips = Arrange::TwipsPerPixel;
    constexpr int BarPixels = Arrange::ScrollBarWidth / Twips;

    // The pointer shows an hourglass while the interpreter runs.
    class WaitCursor {
    public:
        WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
        ~WaitCursor() { QApplication::restoreOverrideCursor(); }
        WaitCursor(const WaitCursor&) = delete;
        WaitCursor& operator=(const WaitCursor&) = delete;
    };

    int pixels(int twips)
    {
        return static_cast<int>(std::lround(twips / double(Twips)));
    }

}

PreviewPane::PreviewPane(Parts parts, QWidget* parent)
    : QWidget(parent)
    , m_parts(std::move(parts))
    , m_viewport(new QWidget(this))
    , m_box(new PreviewBox(m_viewport))
    , m_hs(new QScrollBar(Qt::Horizontal, this))
    , m_vs(new QScrollBar(Qt::Vertical, this))
{
    m_viewport->setObjectName(QStringLiteral("PreviewArea"));
    m_viewport->setAutoFillBackground(true);
    QPalette palette = m_viewport->palette();
    palette.setColor(QPalette::Window, QColor(128, 128, 128));
    m_viewport->setPalette(palette);
    m_hs->setObjectName(QStringLiteral("HS"));
    m_vs->setObjectName(QStringLiteral("VS"));
    // Scroll bars never keep the focus: the keys belong to the page.
    m_hs->setFocusPolicy(Qt::NoFocus);
    m_vs->setFocusPolicy(Qt::NoFocus);

    connect(m_box, &PreviewBox::resized, this, &PreviewPane::pictureResized);
    connect(m_box, &PreviewBox::statusText, this, &PreviewPane::statusText);
    connect(m_box, &PreviewBox::keyPressed, this, &PreviewPane::handleKey);
    connect(m_box, &PreviewBox::menuRequested, this, &PreviewPane::menuRequested);
    connect(m_box, &PreviewBox::handReleased, this, &PreviewPane::handReleased);
    connect(m_box, &PreviewBox::zoomWheel, this, [this](int steps) {
        for (int i = 0; i < std::abs(steps); ++i)
            steps > 0 ? zoomIn() : zoomOut();
    });
    connect(m_hs, &QScrollBar::valueChanged, this, [this](int value) {
        if (m_syncing)
            return;
        m_hValue = (m_hMax < 0 ? -value : value) * Twips;
        applyScroll();
    });
    connect(m_vs, &QScrollBar::valueChanged, this, [this](int value) {
        if (m_syncing)
            return;
        m_vValue = (m_vMax < 0 ? -value : value) * Twips;
        applyScroll();
    });
}

void PreviewPane::setScrollBarsVisible(bool visible)
{
    m_barsVisible = visible;
    m_hs->setVisible(visible);
    m_vs->setVisible(visible);
    layoutChildren();
}

void PreviewPane::resizeEvent(QResizeEvent*)
{
    layoutChildren();
}

void PreviewPane::layoutChildren()
{
    const int bar = m_barsVisible ? BarPixels : 0;
    const int w = std::max(0, width() - bar);
    const int h = std::max(0, height() - bar);
    m_viewport->setGeometry(0, 0, w, h);
    m_vs->setGeometry(w, 0, bar, h);
    m_hs->setGeometry(0, h, w, bar);
    updateRanges();
}

void PreviewPane::pictureResized()
{
    emit statusText(2, ViewRules::zoomText(m_parts.preview.PicRatio()));
    updateRanges();
    m_box->resetOrigin();
}

void PreviewPane::updateRanges()
{
    m_hMax = ViewRules::scrollMaximum(m_viewport->width() * Twips, m_box->width() * Twips);
    m_vMax = ViewRules::scrollMaximum(m_viewport->height() * Twips, m_box->height() * Twips);
    m_hValue = ViewRules::clampScroll(m_hValue, m_hMax);
    m_vValue = ViewRules::clampScroll(m_vValue, m_vMax);
    syncBars();
    applyScroll();
}

void PreviewPane::syncBars()
{
    m_syncing = true;
    m_hs->setRange(0, pixels(std::abs(m_hMax)));
    m_vs->setRange(0, pixels(std::abs(m_vMax)));
    m_hs->setSingleStep(pixels(ViewRules::ScrollStep));
    m_vs->setSingleStep(pixels(ViewRules::ScrollStep));
    m_hs->setPageStep(std::max(1, m_viewport->width()));
    m_vs->setPageStep(std::max(1, m_viewport->height()));
    m_hs->setValue(pixels(std::abs(m_hValue)));
    m_vs->setValue(pixels(std::abs(m_vValue)));
    m_syncing = false;
}

void PreviewPane::applyScroll()
{
    m_box->move(pixels(m_hValue), pixels(m_vValue));
}

void PreviewPane::setScroll(int horizontal, int vertical)
{
    m_hValue = ViewRules::clampScroll(horizontal, m_hMax);
    m_vValue = ViewRules::clampScroll(vertical, m_vMax);
    syncBars();
    applyScroll();
}

void PreviewPane::scrollHome()
{
    setScroll(0, 0);
}

void PreviewPane::scrollEnd()
{
    setScroll(m_hMax, m_vMax);
}

void PreviewPane::handReleased()
{
    setScroll(m_box->x() * Twips, m_box->y() * Twips);
}

void PreviewPane::handleKey(int key)
{
    switch (key) {
    case Qt::Key_PageUp:
        pageStep(-1);
        break;
    case Qt::Key_PageDown:
        pageStep(+1);
        break;
    case Qt::Key_End:
        scrollEnd();
        break;
    case Qt::Key_Home:
        scrollHome();
        break;
    case Qt::Key_Left:
        setScroll(ViewRules::stepScroll(m_hValue, m_hMax, -1), m_vValue);
        break;
    case Qt::Key_Right:
        setScroll(ViewRules::stepScroll(m_hValue, m_hMax, +1), m_vValue);
        break;
    case Qt::Key_Up:
        setScroll(m_hValue, ViewRules::stepScroll(m_vValue, m_vMax, -1));
        break;
    case Qt::Key_Down:
        setScroll(m_hValue, ViewRules::stepScroll(m_vValue, m_vMax, +1));
        break;
    case Qt::Key_Menu:
        emit menuRequested(m_box->mapToGlobal(QPoint(0, 0)));
        break;
    default:
        break;
    }
}

void PreviewPane::showPageStatus()
{
    emit statusText(3, ViewRules::pageText(m_currentPage, m_parts.merged.Page));
}

void PreviewPane::render()
{
    if (m_busy)
        return;
    {
        const WaitCursor wait;
        const QScopedValueRollback running(m_busy, true);
        m_parts.mergeAndShow(m_currentPage);
    }
    // A shorter document shows its first page (the document object shows page 1 for a page
    // beyond the end), and the status says so.
    if (m_currentPage > m_parts.merged.Page)
        m_currentPage = 1;
    showPageStatus();
    if (afterRender)
        afterRender();
}

void PreviewPane::showPage(std::int32_t page)
{
    if (m_busy)
        return;
    const WaitCursor wait;
    const QScopedValueRollback running(m_busy, true);
    m_parts.preview.PageView(page, false);
}

void PreviewPane::paperChanged()
{
    m_box->setScale(m_parts.preview.Width(), m_parts.preview.Height());
    showPage(m_currentPage);
}

void PreviewPane::pageStep(int step)
{
    if (m_busy)
        return;
    if (m_parts.file.FileType == document::SourceFile::FileTypes::FaceProgram) {
        render();
        return;
    }
    const std::int32_t page = m_currentPage + step;
    if (page >= 1 && page <= m_parts.merged.Page) {
        m_currentPage = page;
        showPage(page);
    }
    showPageStatus();
}

void PreviewPane::zoom(int percent)
{
    if (m_busy)
        return;
    const double ratio = ViewRules::zoomRatio(percent);
    m_box->clearPicture();
    m_parts.preview.setPicRatio(ratio);
    showPage(m_currentPage);
    m_box->setScale(m_parts.preview.Width(), m_parts.preview.Height());
    emit statusText(2, ViewRules::zoomText(m_parts.preview.PicRatio()));
}

void PreviewPane::zoomOut()
{
    zoom(ViewRules::zoomOutPercent(m_parts.preview.PicRatio()));
}

void PreviewPane::zoomIn()
{
    zoom(ViewRules::zoomInPercent(m_parts.preview.PicRatio()));
}

std::unique_ptr<QMimeData> PreviewPane::copyData() const
{
    if (m_box->tool() == PreviewBox::Tool::Hand) {
        if (!m_box->picture())
            return std::make_unique<QMimeData>();
        return PageClipboard::wholePage(*m_box->picture(), m_box->pageImage());
    }
    const QRectF selection = m_box->selection();
    const QRect part
        = QRectF(m_box->toPixels(selection.topLeft()), m_box->toPixels(selection.bottomRight()))
              .toAlignedRect()
              .intersected(m_box->rect());
    if (selection.width() < 1.0 || selection.height() < 1.0 || part.isEmpty())
        return nullptr;
    return PageClipboard::range(m_box->pageImage(), part);
}

void PreviewPane::copyImage()
{
    QApplication::clipboard()->clear();
    auto content = copyData();
    if (!content) {
        shell::ShowMessage(
            QStringLiteral("マウスポインタがクロスの時は先に範囲を指定してください"), 0);
        return;
    }
    QApplication::clipboard()->setMimeData(content.release());
}

}
