#include "app/BesideStartUp.h"

namespace vorlix::app {

BesideStartUp::BesideStartUp(std::vector<std::function<void()>> work)
    : m_thread([work = std::move(work)] {
        for (const auto& step : work)
            step();
    })
{
}

BesideStartUp::~BesideStartUp()
{
    m_thread.join();
}

}
