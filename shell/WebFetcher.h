#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>

namespace vorlix::shell {

// One HTTP fetch as the file access sees it. Without a window it is a WebExchange run to its end;
// a program with windows registers a factory that shows the progress window (shell/ui) instead.
class WebFetcher {
public:
    virtual ~WebFetcher() = default;

    // Whether the fetch may show message boxes; when false every message counts as answered OK.
    virtual void setOpt1(bool on) = 0;
    // The TCP port used when the host names none; 0 means 80.
    virtual void setPort(int port) = 0;
    [[nodiscard]] virtual int port() const = 0;
    // Fetches folder + name from host and returns once the transfer has ended; true only when the
    // whole response arrived and was not refused by the server.
    [[nodiscard]] virtual bool Connect(
        const QString& host, const QString& folder, const QString& name)
        = 0;
    // Bytes received, headers included.
    [[nodiscard]] virtual std::int64_t FileSize() const = 0;
    // The response body as text (headers removed).
    [[nodiscard]] virtual QString Read() const = 0;
    // The response body as bytes (headers removed).
    [[nodiscard]] virtual QByteArray ReadB() const = 0;
    // The status code of the response's status line, 0 when none arrived (no connection, or a
    // bare answer without a header): a caller tells "not found" from "no server" by it.
    [[nodiscard]] virtual int statusCode() const = 0;
    // Why the last fetch failed after the server began to answer (cut off, reset, past a limit),
    // in words for the user; empty when it succeeded, the server was never reached or it refused
    // (the status tells those).
    [[nodiscard]] virtual QString failure() const { return {}; }
};

using WebFetcherFactory = std::function<std::unique_ptr<WebFetcher>()>;

// Registers what creates fetchers; an empty factory brings back the windowless exchange.
void setWebFetcherFactory(WebFetcherFactory factory);

// A new fetcher: the registered factory's (which may give none), else a WebExchange; null without
// an application object, whose event loop the exchange needs.
[[nodiscard]] std::unique_ptr<WebFetcher> createWebFetcher();

}
