#pragma once

namespace vorlix::render {

class PageOutput;
class PageView;

// What the drawing surface is bound to: a print job's output or a preview's view, never both.
class PageTarget {
public:
    // Not explicit: a binding names its output or its view as it is.
    PageTarget(PageOutput& output)
        : m_output(&output)
    {
    }
    PageTarget(PageView& view)
        : m_view(&view)
    {
    }

    // The print job's output; null for a preview.
    [[nodiscard]] PageOutput* output() const { return m_output; }
    // The preview's view; null for a print job.
    [[nodiscard]] PageView* view() const { return m_view; }

private:
    PageOutput* m_output = nullptr;
    PageView* m_view = nullptr;
};

}
