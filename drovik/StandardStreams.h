#pragma once

#include <QString>

namespace vorlix::drovik {

// Writes text to a standard stream (1 or 2) in the locale's character set, unbuffered, so that
// transcript lines and the debug log on the other stream keep their order. Never fails.
void writeText(int descriptor, const QString& text);

// Writes one transcript line to standard error, ended by LF, its control characters made visible.
void writeTranscriptLine(const QString& line);

}
