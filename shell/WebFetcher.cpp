#include "shell/WebFetcher.h"

namespace vorlix::shell {

namespace {

    WebFetcherFactory& factory()
    {
        static WebFetcherFactory instance;
        return instance;
    }

}

void setWebFetcherFactory(WebFetcherFactory f)
{
    factory() = std::move(f);
}

std::unique_ptr<WebFetcher> createWebFetcher()
{
    if (!factory())
        return nullptr;
    return factory()();
}

}
