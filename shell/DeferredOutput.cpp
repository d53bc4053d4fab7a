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
    for (const Event& event : events) {
        if (event.action)
            event.action();
        else if (event.beep)
            SystemBeep();
        else
            writeLogLine(event.line);
    }
}

}
