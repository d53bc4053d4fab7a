#include "document/CharacterCode.h"

#include "shell/CodePage.h"
#include "shell/Common.h"

#include <QByteArray>
#include <QVariant>
#include <limits>

namespace vorlix::document {

std::int16_t characterCodeOf(const QString& number)
{
    // Most codes are a few plain digits, which need not go through the general conversion.
    const QStringView digits = QStringView(number).sliced(number.startsWith(u'-') ? 1 : 0);
    if (!digits.isEmpty() && digits.size() <= 5) {
        std::int32_t value = 0;
        bool plain = true;
        for (const QChar c : digits) {
            plain = plain && c >= u'0' && c <= u'9';
            value = value * 10 + (c.unicode() - u'0');
        }
        if (number.startsWith(u'-'))
            value = -value;
        if (plain && value >= std::numeric_limits<std::int16_t>::min()
            && value <= std::numeric_limits<std::int16_t>::max())
            return static_cast<std::int16_t>(value);
    }
    return shell::ToInteger(QVariant(number), 32);
}

QString characterOfCode(std::int16_t code)
{
    const auto unit = static_cast<std::uint16_t>(code);
    if (unit < 0x80)
        return QString(QChar(unit));
    QByteArray bytes;
    if (unit > 0xFF)
        bytes.append(static_cast<char>(unit >> 8));
    bytes.append(static_cast<char>(unit & 0xFF));
    return shell::fromCp932(bytes);
}

}
