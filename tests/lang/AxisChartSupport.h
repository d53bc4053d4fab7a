#pragma once

#include "lang/DControl.h"
#include "render/FakeTextMetrics.h"
#include "render/PageCollector.h"

#include <QRegularExpression>
#include <QStringList>
#include <memory>

namespace vorlix::test {

// An interpreter bound to an in-memory print job at 254 dpi, where one face unit is one device
// unit, so that chart positions can be read straight off the page record.
struct ChartRun {
    render::PageCollector sink;
    lang::DControl control { std::make_shared<render::FakeTextMetrics>() };

    ChartRun() { control.SetObject(sink, 0, 254, 1.0, 2100, 2970, 0, 0); }

    // Runs the statements on a page of their own and returns that page's dump lines.
    QStringList page(const QString& statements)
    {
        const std::size_t before = sink.pages().size();
        control.GoDoc(QStringLiteral("start;") + statements);
        const shell::Report ran = control.report;
        control.GoDoc(QStringLiteral(";;out;"));
        control.report = ran;
        if (sink.pages().size() <= before)
            return {};
        return sink.pages().back().dump().split(u'\n', Qt::SkipEmptyParts);
    }
};

// The straight lines of a dump as "x1,y1>x2,y2", in drawing order.
inline QStringList segments(const QStringList& dump)
{
    static const QRegularExpression call(QStringLiteral("^(moveTo|lineTo) (-?\\d+) (-?\\d+)$"));
    QStringList result;
    QString at;
    for (const QString& line : dump) {
        const auto m = call.match(line);
        if (!m.hasMatch())
            continue;
        const QString point = m.captured(2) + u',' + m.captured(3);
        if (m.captured(1) == QStringLiteral("lineTo"))
            result << at + u'>' + point;
        at = point;
    }
    return result;
}

// The texts written on the page, in order.
inline QStringList texts(const QStringList& dump)
{
    static const QRegularExpression call(QStringLiteral("^textOut -?\\d+ -?\\d+ \"(.*)\"$"));
    QStringList result;
    for (const QString& line : dump) {
        const auto m = call.match(line);
        if (m.hasMatch())
            result << m.captured(1);
    }
    return result;
}

// The lines of the dump that start with the prefix.
inline QStringList callsOf(const QStringList& dump, const QString& prefix)
{
    QStringList result;
    for (const QString& line : dump) {
        if (line.startsWith(prefix))
            result << line;
    }
    return result;
}

// The straight lines of a dump as "width:x1,y1>x2,y2", with the width of the pen they were drawn
// with.
inline QStringList segmentsWithPen(const QStringList& dump)
{
    static const QRegularExpression pen(QStringLiteral("^selectPen style=\\d+ width=(\\d+) "));
    QStringList marked;
    QString width = QStringLiteral("?");
    for (const QString& line : dump) {
        const auto m = pen.match(line);
        if (m.hasMatch())
            width = m.captured(1);
        else if (line.startsWith(QStringLiteral("lineTo ")))
            marked << width;
    }
    const QStringList plain = segments(dump);
    QStringList result;
    for (qsizetype i = 0; i < plain.size() && i < marked.size(); ++i)
        result << marked[i] + u':' + plain[i];
    return result;
}

// The half circles of a dump as "cx,cy,r" (lower halves in axis mode 0).
inline QStringList halfCircles(const QStringList& dump)
{
    static const QRegularExpression arc(
        QStringLiteral("^arc (-?\\d+) (-?\\d+) (-?\\d+) (-?\\d+) "));
    QStringList result;
    for (const QString& line : dump) {
        const auto m = arc.match(line);
        if (!m.hasMatch())
            continue;
        const int left = m.captured(1).toInt();
        const int top = m.captured(2).toInt();
        const int right = m.captured(3).toInt();
        result << QStringLiteral("%1,%2,%3")
                      .arg((left + right) / 2)
                      .arg((top + m.captured(4).toInt()) / 2)
                      .arg((right - left) / 2);
    }
    return result;
}

}
