#pragma once

#include <QString>

namespace vorlix::document {

// Hands a reader a long text one piece after another, so that the text need never be whole.
class TextFeed {
public:
    TextFeed() = default;
    TextFeed(const TextFeed&) = delete;
    TextFeed& operator=(const TextFeed&) = delete;
    virtual ~TextFeed() = default;

    // Appends the next piece of the text to `text`; false (nothing appended) at the end.
    virtual bool more(QString& text) = 0;
};

}
