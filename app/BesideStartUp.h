#pragma once

#include <functional>
#include <thread>
#include <vector>

namespace vorlix::app {

// Work the program does beside its start-up on one thread of its own, in the order given: a
// second core makes the fonts and the printer ready while the first reads the settings and the
// document, and one thread leaves that core to the reading. The thread ends before this object
// does; work that the program needs earlier waits for it or does it itself.
class BesideStartUp {
public:
    explicit BesideStartUp(std::vector<std::function<void()>> work);
    ~BesideStartUp();
    BesideStartUp(const BesideStartUp&) = delete;
    BesideStartUp& operator=(const BesideStartUp&) = delete;

private:
    std::thread m_thread;
};

}
