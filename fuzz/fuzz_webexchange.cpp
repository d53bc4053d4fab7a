// Plays arbitrary bytes as a web server's side of one whole HTTP exchange over a loopback
// connection: the first byte picks how the server ends (an orderly close, a reset, or silence
// until the client gives up) and how much the client may receive; the rest is what the server
// sends, "|pause|" marking a short wait between pieces (a trickle). The checks: a fetch succeeds
// only on an answer that arrived whole (its declared length, or everything up to an orderly
// close), never framed in a transfer coding and never above the limit; its body is exactly what
// the server sent after the header; a whole answer that ended in order is never refused.
#include "shell/WebExchange.h"
#include "shell/WebResponse.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <arpa/inet.h>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

using vorlix::shell::WebExchange;
using vorlix::shell::WebResponse;

namespace {

constexpr int kTimeoutMs = 250;
constexpr int kDeadlineMs = 600;
constexpr int kPieces = 64;

enum class Ending { Close, Reset, Silence };

struct Script {
    Ending ending = Ending::Close;
    std::int64_t limit = 0;
    QList<QByteArray> pieces;
};

void check(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "%s\n", what);
        std::abort();
    }
}

Script scriptOf(const std::uint8_t* data, std::size_t size)
{
    Script script;
    const std::uint8_t control = size > 0 ? data[0] : 0;
    const int ending = control % 8;
    script.ending = ending < 5 ? Ending::Close : ending < 7 ? Ending::Reset : Ending::Silence;
    script.limit = (control & 8) != 0 ? 256 : 1 << 20;
    const QByteArray rest(reinterpret_cast<const char*>(data) + (size > 0 ? 1 : 0),
        static_cast<qsizetype>(size > 0 ? size - 1 : 0));
    const QByteArray pause = QByteArrayLiteral("|pause|");
    qsizetype from = 0;
    while (script.pieces.size() < kPieces) {
        const qsizetype at = rest.indexOf(pause, from);
        script.pieces.append(rest.mid(from, at < 0 ? -1 : at - from));
        if (at < 0)
            break;
        from = at + pause.size();
    }
    return script;
}

// The listening socket on 127.0.0.1 that every run's server accepts on.
struct Listener {
    int fd = -1;
    quint16 port = 0;
    Listener()
    {
        fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        check(::bind(fd, reinterpret_cast<sockaddr*>(&address), length) == 0 && ::listen(fd, 4) == 0
                && ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0,
            "no loopback listener");
        port = ntohs(address.sin_port);
    }
};

bool waitReadable(int fd, int milliseconds)
{
    pollfd one { fd, POLLIN, 0 };
    return ::poll(&one, 1, milliseconds) > 0;
}

// The server's side: the request is read whole first (a close with unread bytes would be a reset
// whatever the script says), then the pieces go out and the connection ends as scripted.
void serve(int listener, const Script& script, QByteArray& request)
{
    if (!waitReadable(listener, 2000))
        return;
    const int fd = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0)
        return;
    char buffer[4096];
    while (!request.contains("\r\n\r\n") && waitReadable(fd, 2000)) {
        const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
        if (got <= 0)
            break;
        request.append(buffer, got);
    }
    for (qsizetype i = 0; i < script.pieces.size(); ++i) {
        if (i > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        (void)::send(fd, script.pieces[i].constData(), static_cast<size_t>(script.pieces[i].size()),
            MSG_NOSIGNAL);
    }
    if (script.ending == Ending::Reset) {
        const linger hard { 1, 0 };
        ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
    } else if (script.ending == Ending::Silence) {
        // Until the client gives up and closes.
        while (waitReadable(fd, 3000) && ::recv(fd, buffer, sizeof buffer, 0) > 0) { }
    }
    ::close(fd);
}

QCoreApplication& application()
{
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = { name, nullptr };
    static QCoreApplication instance(argc, argv);
    return instance;
}

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    application();
    static const Listener listener;
    const Script script = scriptOf(data, size);
    QByteArray sent;
    for (const QByteArray& piece : script.pieces)
        sent += piece;

    QByteArray request;
    std::thread server([&] { serve(listener.fd, script, request); });
    WebExchange web;
    web.setTimeoutMilliseconds(kTimeoutMs);
    web.setDeadlineMilliseconds(kDeadlineMs);
    web.setReceiveLimit(script.limit);
    QElapsedTimer clock;
    clock.start();
    const bool whole = web.Connect(QStringLiteral("127.0.0.1:%1").arg(listener.port),
        QStringLiteral("/"), QStringLiteral("x"));
    const qint64 took = clock.elapsed();
    server.join();

    check(request.startsWith("GET /x HTTP/1.0\r\n"), "not the one request");
    const WebResponse expected(sent);
    const bool framed = expected.hasHeader() && !expected.transferCoding().isEmpty();
    // Until its header has ended, all of an answer counts against the limit.
    const bool fits = sent.size() <= script.limit;
    if (whole) {
        check(script.ending != Ending::Silence, "success without an end of the connection");
        check(expected.verdict() == WebResponse::Verdict::Whole, "a broken answer taken");
        check(!framed, "a chunked answer taken");
        check(
            script.ending == Ending::Close || expected.contentLength(), "a reset taken as an end");
        check(expected.bodyReceived() <= script.limit, "a body above the limit taken");
        check(web.ReadB() == expected.body(), "a body that is not what the server sent");
        check(web.FileSize() == sent.size(), "bytes lost or invented");
        check(web.failure().isEmpty(), "a failure told for a success");
    } else if (took < kTimeoutMs / 2) {
        // Refused in good time although everything was right: no limit can have been reached.
        check(!(script.ending == Ending::Close && expected.verdict() == WebResponse::Verdict::Whole
                  && !framed && fits),
            "a whole answer refused");
    }
    return 0;
}
