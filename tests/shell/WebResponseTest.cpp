#include "shell/WebResponse.h"

#include <gtest/gtest.h>

using vorlix::shell::WebResponse;
using Verdict = WebResponse::Verdict;

namespace {

struct Case {
    const char* name;
    QByteArray received;
    Verdict verdict;
    int status;
    QByteArray body;
};

// Kept from fuzzing and from servers met in the field: each answer with what the fetch makes of it.
const Case kCases[] = {
    { "bare answer", "line 1\r\nline 2", Verdict::Whole, 0, "line 1\r\nline 2" },
    { "bare answer that looks like a header later", "x\r\n\r\nHTTP/1.0 200 OK", Verdict::Whole, 0,
        "x\r\n\r\nHTTP/1.0 200 OK" },
    { "nothing", "", Verdict::Empty, 0, "" },
    { "200 with length", "HTTP/1.1 200 OK\r\nContent-Length: 3\r\n\r\nabc", Verdict::Whole, 200,
        "abc" },
    { "200 without length", "HTTP/1.0 200 OK\r\n\r\nabc", Verdict::Whole, 200, "abc" },
    { "length in any case, blanks around", "HTTP/1.0 200 OK\r\ncOnTeNt-LeNgTh :  2 \r\n\r\nabc",
        Verdict::Whole, 200, "ab" },
    { "first length wins", "HTTP/1.0 200 OK\r\nContent-Length: 1\r\nContent-Length: 3\r\n\r\nabc",
        Verdict::Whole, 200, "a" },
    { "bytes past the length", "HTTP/1.0 200 OK\r\nContent-Length: 2\r\n\r\nab<html>",
        Verdict::Whole, 200, "ab" },
    { "signed length is no length", "HTTP/1.0 200 OK\r\nContent-Length: +2\r\n\r\nabc",
        Verdict::Whole, 200, "abc" },
    { "length with a word is no length", "HTTP/1.0 200 OK\r\nContent-Length: 2 bytes\r\n\r\nabc",
        Verdict::Whole, 200, "abc" },
    { "body cut short", "HTTP/1.0 200 OK\r\nContent-Length: 10\r\n\r\nabc", Verdict::BodyCut, 200,
        "abc" },
    { "header cut short", "HTTP/1.0 200 OK\r\nContent-Type: text/plain", Verdict::HeaderCut, 200,
        "" },
    { "header end found after HTTP/ only", "HTTP/\r\n\r\n200", Verdict::Refused, 0, "" },
    { "204 no content", "HTTP/1.1 204 No Content\r\n\r\n", Verdict::Whole, 204, "" },
    { "404", "HTTP/1.0 404 Not Found\r\n\r\nnot here", Verdict::Refused, 404, "not here" },
    { "status without reason", "HTTP/1.0 200\r\n\r\nx", Verdict::Whole, 200, "x" },
    { "signed status", "HTTP/1.0 +20 OK\r\n\r\nx", Verdict::Refused, 0, "x" },
    { "status of four digits", "HTTP/1.0 2000 OK\r\n\r\nx", Verdict::Refused, 0, "x" },
    { "no status", "HTTP/1.0 OK\r\n\r\nx", Verdict::Refused, 0, "x" },
    { "3xx is refused", "HTTP/1.0 301 Moved\r\nLocation: /b\r\n\r\n", Verdict::Refused, 301, "" },
};

}

TEST(WebResponseTest, AnswersGiveTheirVerdictStatusAndBody)
{
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        const WebResponse response(c.received);
        EXPECT_EQ(response.verdict(), c.verdict);
        EXPECT_EQ(response.statusCode(), c.status);
        EXPECT_EQ(response.body(), c.body);
    }
}

TEST(WebResponseTest, StatusLineIsTheFirstLineCutForTheLog)
{
    EXPECT_EQ(WebResponse("HTTP/1.0 404 Not Found\r\n\r\n").statusLine(), "HTTP/1.0 404 Not Found");
    EXPECT_EQ(WebResponse("plain text\r\n").statusLine(), "");
    const QString endless = WebResponse("HTTP/1.0 200 " + QByteArray(1000, 'x')).statusLine();
    EXPECT_EQ(endless.size(), 256);
    EXPECT_TRUE(endless.startsWith("HTTP/1.0 200 xxx"));
}

TEST(WebResponseTest, DeclaredLengthAndBytesReceivedAreBothKnown)
{
    const WebResponse cut("HTTP/1.0 200 OK\r\nContent-Length: 10\r\n\r\nabc");
    EXPECT_EQ(cut.contentLength(), 10);
    EXPECT_EQ(cut.bodyReceived(), 3);
    const WebResponse more("HTTP/1.0 200 OK\r\nContent-Length: 1\r\n\r\nabc");
    EXPECT_EQ(more.bodyReceived(), 3);
    EXPECT_EQ(more.body(), "a");
    // A length too large for any number is no length: the body is what arrived.
    const WebResponse huge("HTTP/1.0 200 OK\r\nContent-Length: 99999999999999999999\r\n\r\nab");
    EXPECT_FALSE(huge.contentLength().has_value());
    EXPECT_EQ(huge.body(), "ab");
    EXPECT_EQ(WebResponse("HTTP/1.0 200 OK\r\nA: b").bodyReceived(), 0);
}
