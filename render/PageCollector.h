#pragma once

#include "render/PageRecord.h"
#include "render/PageSink.h"

#include <QStringList>
#include <memory>
#include <vector>

namespace vorlix::render {

// An in-memory sink for tests and tools: as a print target it keeps every played page and notes
// the job's calls; as a preview target it keeps the picture it was last given.
class PageCollector final : public PageSink {
public:
    explicit PageCollector(bool printer = true, double widthTwips = 0.0);

    [[nodiscard]] bool isPrinter() const override { return m_printer; }
    [[nodiscard]] double widthTwips() const override { return m_widthTwips; }
    bool startDoc(const QString& documentName) override;
    bool playPage(const PageRecord& page, const QRect& rect) override;
    void endDoc() override;
    void setPicture(std::shared_ptr<const PageRecord> page) override;

    // Pages played in a print job, in order.
    [[nodiscard]] const std::vector<PageRecord>& pages() const { return m_pages; }
    // Rectangles the pages were played into.
    [[nodiscard]] const std::vector<QRect>& playRects() const { return m_rects; }
    // The preview's picture.
    [[nodiscard]] const std::shared_ptr<const PageRecord>& picture() const { return m_picture; }
    // "startDoc <name>", "playPage", "endDoc", "setPicture" in the order they came.
    [[nodiscard]] const QStringList& events() const { return m_events; }

private:
    bool m_printer;
    double m_widthTwips;
    std::vector<PageRecord> m_pages;
    std::vector<QRect> m_rects;
    std::shared_ptr<const PageRecord> m_picture;
    QStringList m_events;
};

}
