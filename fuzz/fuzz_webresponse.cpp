// Reads arbitrary bytes as a web server's whole answer. The body handed on is one piece of what
// arrived, never longer than the server declared, and bytes sent after a declared length never
// change it; the status is the three digits the status line shows; only a whole 2xx answer (or a
// bare one without a status line) counts as success.
#include "shell/WebResponse.h"

#include <QStringList>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

using vorlix::shell::WebResponse;
using Verdict = WebResponse::Verdict;

namespace {

void check(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "%s\n", what);
        std::abort();
    }
}

void checkBody(const QByteArray& data, const WebResponse& response)
{
    const QByteArray body = response.body();
    const std::int64_t received = response.bodyReceived();
    check(received >= 0 && received <= data.size(), "more body than bytes received");
    check(body.size() <= received, "a body longer than what arrived after the header");
    // The body starts where the received body starts: no byte of the header, none invented.
    check(data.mid(data.size() - received, body.size()) == body, "a body that is not what arrived");
    if (const auto length = response.contentLength()) {
        check(*length >= 0, "a negative length");
        check(
            body.size() == std::min(*length, received), "a body that ignores its declared length");
    } else {
        check(body.size() == received, "a cut body with no length declared");
    }
    if (!response.hasHeader())
        check(body == data, "a bare answer that is not handed on whole");
}

void checkStatus(const QByteArray& data, const WebResponse& response)
{
    const QString line = response.statusLine();
    check(!line.contains(QLatin1Char('\n')) && line.size() <= 256, "a status line of many lines");
    check(QString::fromLatin1(data).contains(line), "a status line that did not arrive");
    const int code = response.statusCode();
    if (!response.hasHeader()) {
        check(code == 0 && line.isEmpty(), "a status without a status line");
        return;
    }
    if (code == 0)
        return;
    const QStringList words = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    check(code > 0 && code <= 999 && words.size() >= 2, "a status out of range");
    check(words[1] == QString::number(code).rightJustified(3, QLatin1Char('0')),
        "a status that the status line does not show");
}

void checkVerdict(const QByteArray& data, const WebResponse& response)
{
    const Verdict verdict = response.verdict();
    check((verdict == Verdict::Empty) == data.isEmpty(), "an empty answer taken or a full one not");
    if (verdict != Verdict::Whole || !response.hasHeader())
        return;
    check(response.statusCode() >= 200 && response.statusCode() <= 299, "a refusal taken");
    check(data.indexOf("\r\n\r\n") >= 0, "an answer whose header never ended taken");
    if (const auto length = response.contentLength())
        check(response.body().size() == *length, "a cut body taken");
}

// A whole answer with a declared length keeps its body whatever else the server sends after it.
void checkTrailingBytes(const QByteArray& data, const WebResponse& response)
{
    if (response.verdict() != Verdict::Whole || !response.contentLength())
        return;
    const WebResponse longer(data + QByteArrayLiteral("\r\n\r\nHTTP/1.0 200 OK\r\n"));
    check(longer.verdict() == Verdict::Whole && longer.body() == response.body()
            && longer.statusCode() == response.statusCode(),
        "bytes after the declared length changed the answer");
}

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const WebResponse response(bytes);
    checkBody(bytes, response);
    checkStatus(bytes, response);
    checkVerdict(bytes, response);
    checkTrailingBytes(bytes, response);
    return 0;
}
