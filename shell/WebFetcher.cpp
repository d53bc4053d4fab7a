#include "shell/WebFetcher.h"

#include "shell/WebExchange.h"

#include <QCoreApplication>

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
    if (factory())
        return factory()();
    if (QCoreApplication::instance() == nullptr)
        return nullptr;
    return std::make_unique<WebExchange>();
}

}
