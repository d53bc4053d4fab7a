#include "drovik/Fetchers.h"

#include "shell/WebExchange.h"
#include "shell/WebFetcher.h"
#include "shell/ui/WebFile.h"

#include <memory>

namespace vorlix::drovik {

void installFetchers(FetchWindow window, std::int64_t receiveLimit)
{
    shell::setWebFetcherFactory([window, receiveLimit]() -> std::unique_ptr<shell::WebFetcher> {
        if (window == FetchWindow::Progress) {
            auto web = std::make_unique<shell::WebFile>();
            web->exchange().setReceiveLimit(receiveLimit);
            return web;
        }
        auto exchange = std::make_unique<shell::WebExchange>();
        exchange->setReceiveLimit(receiveLimit);
        return exchange;
    });
}

}
