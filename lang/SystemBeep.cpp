#include "lang/SystemBeep.h"

#include <utility>

namespace vorlix::lang {

namespace {

    std::function<void()>& beeper()
    {
        static std::function<void()> beep;
        return beep;
    }

}

void SystemBeep()
{
    if (beeper())
        beeper()();
}

void setSystemBeep(std::function<void()> beep)
{
    beeper() = std::move(beep);
}

}
