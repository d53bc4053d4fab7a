#pragma once

#include <QStringList>
#include <QtGlobal>

namespace vorlix::shell {

// Collects the warnings Qt gives on this thread while the watch lives, which its API reports in
// no other way (the picture loader's "Corrupt JPEG data: premature end of data segment" for a file
// whose missing part it paints grey). The messages still go wherever they are routed; watches
// nest, the innermost one collecting.
class QtWarningWatch {
public:
    QtWarningWatch();
    ~QtWarningWatch();
    QtWarningWatch(const QtWarningWatch&) = delete;
    QtWarningWatch& operator=(const QtWarningWatch&) = delete;

    // The warnings and critical messages met so far, in order.
    [[nodiscard]] const QStringList& warnings() const { return m_warnings; }

    // Hands a Qt message to the watch of the current thread, if any; every message handler of the
    // program calls it.
    static void notice(QtMsgType type, const QString& message);

private:
    QtWarningWatch* m_outer;
    QStringList m_warnings;
};

}
