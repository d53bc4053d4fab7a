// Reads arbitrary text as a spreadsheet format code (the part before the first NUL byte) and
// writes the values after it (one per NUL-separated part) in that format. Reading either gives a
// format or a message, never both; writing either gives text or a message naming the value;
// writing is a function of the value alone; an empty value (or one of blanks) writes nothing.
#include "lang/DataText.h"
#include "lang/ValueFormat.h"
#include "shell/Trim.h"

#include <QByteArray>
#include <QList>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

using vorlix::lang::ValueFormat;

namespace {

void fail(const char* what, const QString& code, const QString& value)
{
    std::fprintf(stderr, "%s: code %s value %s\n", what, code.toUtf8().toHex(' ').constData(),
        value.toUtf8().toHex(' ').constData());
    std::abort();
}

// Values every format meets, beside the input's own: signs, decimals, dates, text, the empty one.
const QStringList& commonValues()
{
    static const QStringList values { QStringLiteral("0"), QStringLiteral("-1234567.895"),
        QStringLiteral("0.005"), QStringLiteral("1E+300"), QStringLiteral("2019/5/1"),
        QStringLiteral("1989-01-07"), QStringLiteral("abc"), QStringLiteral("  "), QString() };
    return values;
}

void checkValue(const ValueFormat& format, const QString& code, const QString& value)
{
    const ValueFormat::Written written = format.write(value);
    if (written.ok() == !written.error.isEmpty())
        fail("a written value has both text and a message, or neither way to tell", code, value);
    if (!written.ok() && !written.text.isEmpty())
        fail("a value that could not be written still has text", code, value);
    // Blanks are the data's own (space, tab, ideographic space); a line break is a character.
    if (vorlix::shell::trimmedBy(value, vorlix::lang::DataText::isBlank).isEmpty()
        && (!written.ok() || !written.text.isEmpty()))
        fail("an empty value writes something", code, value);
    const ValueFormat::Written again = format.write(value);
    if (again.text != written.text || again.error != written.error)
        fail("the same value writes differently", code, value);
}

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QList<QByteArray> parts
        = QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)).split('\0');
    const QString code = QString::fromUtf8(parts.constFirst());
    const ValueFormat::Parsed parsed = ValueFormat::parse(code);
    if (parsed.format.has_value() == !parsed.error.isEmpty())
        fail("a code gives both a format and a message, or neither", code, {});
    if (!parsed.format)
        return 0;
    if (parsed.format->code() != code)
        fail("the format forgets its code", code, {});
    for (qsizetype i = 1; i < parts.size(); ++i)
        checkValue(*parsed.format, code, QString::fromUtf8(parts.at(i)));
    for (const QString& value : commonValues())
        checkValue(*parsed.format, code, value);
    return 0;
}
