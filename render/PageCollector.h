#pragma once

#include "render/PageOutput.h"
#include "render/PageRecord.h"

#include <QStringList>
#include <vector>

namespace vorlix::render {

// An in-memory print output for tests and tools: it keeps every page written and notes the job's
// steps.
class PageCollector final : public PageOutput {
public:
    bool begin(const QString& documentName) override;
    bool write(const PageRecord& page, const QRect& rect) override;
    void endJob() override;

    // Pages written, in order.
    [[nodiscard]] const std::vector<PageRecord>& pages() const { return m_pages; }
    // Rectangles the pages were played into.
    [[nodiscard]] const std::vector<QRect>& playRects() const { return m_rects; }
    // The job's steps in the order they came, by the surface's names for them: "startDoc
    // <name>", "playPage", "endDoc".
    [[nodiscard]] const QStringList& events() const { return m_events; }

private:
    std::vector<PageRecord> m_pages;
    std::vector<QRect> m_rects;
    QStringList m_events;
};

}
