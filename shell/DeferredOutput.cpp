#include "shell/DeferredOutput.h"

#include "shell/Log.h"
#include "shell/UserInterface.h"

namespace vorlix::shell {

namespace {
    thread_local DeferredOutput* t_current = nullptr;
}

DeferredOutput::Scope::Scope(DeferredOutput& output)
    : m_previous(t_current)
{
    t_current = &output;
}

DeferredOutput::Scope::~Scope()
{
    t_current = m_previous;
}

DeferredOutput* DeferredOutput::current()
{
    return t_current;
}

void DeferredOutput::replay()
{
    std::vector<Event> events;
    events.swap(m_events);
    // Replayed where output is held itself (pages written while the merge beside them runs), the
    // lines and beeps stay held there; the actions run now.
    if (DeferredOutput* holder = current(); holder != nullptr && holder != this) {
        for (Event& event : events) {
            if (event.action)
                event.action();
            else
                holder->m_events.push_back(std::move(event));
        }
        return;
    }
    // Lines in a row go out together (a page's three lines cost one write, not three, each with
    // its signal guard), and always before the action or beep after them: a crash in a page's
    // output still finds every line before it in the log.
    std::vector<QByteArray> lines;
    for (Event& event : events) {
        if (!event.action && !event.beep) {
            lines.push_back(std::move(event.line));
            continue;
        }
        writeLogLines(lines);
        lines.clear();
        if (event.action)
            event.action();
        else
            SystemBeep();
    }
    writeLogLines(lines);
}

}
