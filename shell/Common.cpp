#include "shell/Common.h"

#include "shell/Convert.h"
#include "shell/CurrentPrinter.h"
#include "shell/Trim.h"

#include <cmath>
#include <limits>
#include <optional>

namespace vorlix::shell {

const std::array<PaperSize, 41> kPaperSizes { {
    { 1, 2159, 2794 },
    { 2, 2159, 2794 },
    { 3, 2794, 4318 },
    { 4, 4318, 2794 },
    { 5, 2159, 3556 },
    { 6, 1397, 2159 },
    { 7, 1905, 2667 },
    { 8, 2970, 4200 },
    { 9, 2100, 2970 },
    { 10, 2100, 2970 },
    { 11, 1480, 2100 },
    { 12, 2500, 3540 },
    { 13, 1820, 2570 },
    { 14, 2159, 3302 },
    { 15, 2150, 2750 },
    { 16, 2540, 3556 },
    { 17, 2794, 4318 },
    { 18, 2159, 2794 },
    { 19, 984, 2254 },
    { 20, 1048, 2413 },
    { 21, 1143, 2635 },
    { 22, 1143, 2794 },
    { 23, 1270, 2921 },
    { 24, 4318, 5588 },
    { 25, 5588, 8636 },
    { 26, 8636, 11176 },
    { 27, 1100, 2200 },
    { 28, 1620, 2290 },
    { 29, 3240, 4580 },
    { 30, 2290, 3240 },
    { 31, 1140, 1620 },
    { 32, 1140, 2290 },
    { 33, 2500, 3530 },
    { 34, 1760, 2500 },
    // Wider than high, as the table has always stood.
    { 35, 1760, 1250 },
    { 36, 1100, 2300 },
    { 37, 984, 1905 },
    { 38, 921, 1651 },
    { 39, 3778, 2794 },
    { 40, 2159, 3048 },
    { 41, 2159, 3302 },
} };

const std::array<PaperName, 11> kPaperNames { {
    { u"LETTER", 1 },
    { u"A3", 8 },
    { u"A4", 9 },
    { u"A4S", 10 },
    { u"A5", 11 },
    { u"B4", 12 },
    { u"B5", 13 },
    { u"10X14", 16 },
    { u"11X17", 17 },
    { u"15X11", 39 },
    { u"USER", 256 },
} };

namespace {

    constexpr std::int32_t kA4 = 9;
    constexpr double kTwipsPerFaceUnit = 5.67;

    // The numeric test: numbers pass, booleans count as -1 and 0, text must read as a number.
    std::optional<double> numericValue(const QVariant& value)
    {
        if (!value.isValid())
            return std::nullopt;
        switch (value.typeId()) {
        case QMetaType::Bool:
            return value.toBool() ? -1.0 : 0.0;
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::Long:
        case QMetaType::ULong:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::Char:
        case QMetaType::SChar:
        case QMetaType::UChar:
        case QMetaType::Float:
        case QMetaType::Double: {
            const double d = value.toDouble();
            if (!std::isfinite(d))
                return std::nullopt;
            return d;
        }
        case QMetaType::QByteArray:
            return parseNumber(QString::fromUtf8(value.toByteArray()));
        default:
            break;
        }
        if (!value.canConvert<QString>())
            return std::nullopt;
        return parseNumber(value.toString());
    }

    template <typename Int> Int toIntegerOr(const QVariant& value, Int defaultValue)
    {
        const auto number = numericValue(value);
        if (!number)
            return defaultValue;
        const double r = roundHalfEven(*number);
        if (r < static_cast<double>(std::numeric_limits<Int>::min())
            || r > static_cast<double>(std::numeric_limits<Int>::max()))
            return defaultValue;
        return static_cast<Int>(r);
    }

    const PaperSize* tableSize(std::int32_t code)
    {
        for (const PaperSize& size : kPaperSizes)
            if (size.code == code)
                return &size;
        return nullptr;
    }

    // Twips of the printer's page to tenths of a millimetre; 0 when the printer gives nonsense.
    std::int32_t twipsToFaceUnits(double twips)
    {
        const double units = roundHalfEven(twips / kTwipsPerFaceUnit);
        if (!std::isfinite(units) || units < std::numeric_limits<std::int32_t>::min()
            || units > std::numeric_limits<std::int32_t>::max())
            return 0;
        return static_cast<std::int32_t>(units);
    }

    QString trimSpaces(const QString& text)
    {
        return trimmedBy(text, [](QChar c) { return c == u' '; }).toString();
    }

}

std::int32_t PaperSizeCode(const QString& paper)
{
    const QString upper = paper.toUpper();
    for (const PaperName& entry : kPaperNames)
        if (upper == QStringView(entry.name))
            return entry.code;
    const std::int32_t code = ToLong(upper.left(4), kA4);
    return code > 0 ? code : kA4;
}

std::int32_t PaperExtent(int axis, std::int32_t code, int orientation)
{
    std::int32_t width = 0;
    std::int32_t height = 0;
    if (const PaperSize* size = tableSize(code)) {
        width = size->width;
        height = size->height;
    } else {
        const CurrentPrinter& printer = CurrentPrinter::current();
        width = twipsToFaceUnits(printer.pageWidthTwips());
        height = twipsToFaceUnits(printer.pageHeightTwips());
    }
    const bool portrait = orientation == 1;
    const bool horizontal = axis == 1;
    return portrait == horizontal ? width : height;
}

std::int16_t ToInteger(const QVariant& value, std::int16_t defaultValue)
{
    return toIntegerOr<std::int16_t>(value, defaultValue);
}

std::int32_t ToLong(const QVariant& value, std::int32_t defaultValue)
{
    return toIntegerOr<std::int32_t>(value, defaultValue);
}

float ToSingle(const QVariant& value, float defaultValue)
{
    const auto number = numericValue(value);
    if (!number || std::fabs(*number) > static_cast<double>(std::numeric_limits<float>::max()))
        return defaultValue;
    return static_cast<float>(*number);
}

double ToDouble(const QVariant& value, double defaultValue)
{
    return numericValue(value).value_or(defaultValue);
}

QString TrimAtNul(const QString& buffer)
{
    const qsizetype nul = buffer.indexOf(QChar(u'\0'));
    if (nul < 0)
        return trimSpaces(buffer);
    return trimSpaces(buffer.left(nul));
}

QString FileExtension(const QString& name)
{
    if (name.size() < 3)
        return {};
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? QString() : name.mid(dot + 1);
}

QString localPath(const QString& name)
{
    QString local = name;
    local.replace(u'\\', u'/');
    return local;
}

QString BaseName(const QString& name)
{
    if (name.size() < 2)
        return name;
    qsizetype start = 0;
    qsizetype firstDot = -1;
    for (qsizetype i = name.size() - 1; i >= 0; --i) {
        const QChar c = name[i];
        if (c == u'\\' || c == u':' || c == u'/') {
            start = i + 1;
            break;
        }
        if (c == u'.')
            firstDot = i;
    }
    QString result = firstDot < 0 ? name.mid(start) : name.mid(start, firstDot - start);
    if (result.startsWith(u'"'))
        result.remove(0, 1);
    if (result.endsWith(u'"'))
        result.chop(1);
    return result;
}

}
