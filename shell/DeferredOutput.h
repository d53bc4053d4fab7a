#pragma once

#include <QByteArray>
#include <functional>
#include <vector>

namespace vorlix::shell {

// Holds back what a worker thread would say to the person: while one is installed on a thread,
// that thread's log lines and beeps are kept here instead of written or sounded, and pending
// events are never handled there (only the window's own thread may do that). The thread that
// owns the output plays them back later, in the order the work was asked for, so the log reads
// the same however many threads did the work.
class DeferredOutput {
public:
    DeferredOutput() = default;
    DeferredOutput(DeferredOutput&&) = default;
    DeferredOutput& operator=(DeferredOutput&&) = default;

    // Makes this the current thread's destination until the guard ends.
    class Scope {
    public:
        explicit Scope(DeferredOutput& output);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        DeferredOutput* m_previous;
    };

    // The destination installed on the calling thread, null when there is none.
    [[nodiscard]] static DeferredOutput* current();

    // A finished log line, CR LF included.
    void addLine(QByteArray line) { m_events.push_back({ std::move(line), false, {} }); }
    void addBeep() { m_events.push_back({ {}, true, {} }); }
    // Something the owning thread does in its place among the lines (a page handed to a job).
    void addAction(std::function<void()> action)
    {
        m_events.push_back({ {}, false, std::move(action) });
    }
    [[nodiscard]] bool empty() const { return m_events.empty(); }
    // Writes the lines, sounds the beeps and runs the actions on the calling thread, in order, and
    // forgets them.
    void replay();

private:
    struct Event {
        QByteArray line;
        bool beep = false;
        std::function<void()> action;
    };
    std::vector<Event> m_events;
};

}
