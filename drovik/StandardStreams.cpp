#include "drovik/StandardStreams.h"

#include "drovik/SampleList.h"
#include "shell/CodePage.h"

#include <cerrno>
#include <unistd.h>

namespace vorlix::drovik {

void writeText(int descriptor, const QString& text)
{
    const QByteArray bytes = shell::toLocaleBytes(text);
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(
            descriptor, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return;
        done += written;
    }
}

void writeTranscriptLine(const QString& line)
{
    writeText(STDERR_FILENO, SampleList::printable(line) + QLatin1Char('\n'));
}

}
