#pragma once

#include <thread>

namespace vorlix::render {

// Reads the font configuration and looks up the faces forms use most, on a thread of its own
// while the program starts and reads its document: the first page no longer waits for the font
// database. Qt keeps the database and the fallback lists for the whole process; each thread that
// draws still opens its own font files. The thread ends before this object does.
class FontWarmUp {
public:
    FontWarmUp();
    ~FontWarmUp();
    FontWarmUp(const FontWarmUp&) = delete;
    FontWarmUp& operator=(const FontWarmUp&) = delete;

private:
    std::thread m_thread;
};

}
