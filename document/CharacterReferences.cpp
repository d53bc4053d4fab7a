#include "document/CharacterReferences.h"

#include <QStringView>
#include <optional>

namespace vorlix::document {

namespace {

    struct Named {
        QStringView name;
        char16_t character;
    };
    constexpr Named NamedReferences[] = {
        { u"amp", u'&' },
        { u"lt", u'<' },
        { u"gt", u'>' },
        { u"quot", u'"' },
        { u"apos", u'\'' },
    };

    // The characters of XML 1.0: a reference to any other code stands for nothing.
    bool isXmlCharacter(char32_t code)
    {
        return code == 0x9 || code == 0xA || code == 0xD || (code >= 0x20 && code <= 0xD7FF)
            || (code >= 0xE000 && code <= 0xFFFD) || (code >= 0x10000 && code <= 0x10FFFF);
    }

    std::optional<char32_t> numericCode(QStringView body)
    {
        const bool hex = body.startsWith(u'x');
        const QStringView digits = body.sliced(hex ? 1 : 0);
        // Eight digits reach past the last code point; more can only be zeros in front.
        if (digits.isEmpty() || digits.size() > 8)
            return std::nullopt;
        char32_t code = 0;
        for (const QChar c : digits) {
            const char16_t u = c.unicode();
            int digit = -1;
            if (u >= u'0' && u <= u'9')
                digit = u - u'0';
            else if (hex && u >= u'a' && u <= u'f')
                digit = u - u'a' + 10;
            else if (hex && u >= u'A' && u <= u'F')
                digit = u - u'A' + 10;
            if (digit < 0)
                return std::nullopt;
            code = code * (hex ? 16 : 10) + static_cast<char32_t>(digit);
        }
        if (!isXmlCharacter(code))
            return std::nullopt;
        return code;
    }

    // The characters a reference between "&" and ";" stands for; empty when it is none.
    QString referenced(QStringView body)
    {
        if (body.startsWith(u'#')) {
            const auto code = numericCode(body.sliced(1));
            if (!code)
                return {};
            const char32_t units[] = { *code };
            return QString::fromUcs4(units, 1);
        }
        for (const Named& named : NamedReferences) {
            if (body == named.name)
                return QString(QChar(named.character));
        }
        return {};
    }

}

void decodeCharacterReferences(QString& text)
{
    qsizetype amp = text.indexOf(u'&');
    if (amp < 0)
        return;
    QString decoded;
    decoded.reserve(text.size());
    qsizetype copied = 0;
    while (amp >= 0) {
        const qsizetype semicolon = text.indexOf(u';', amp + 1);
        // No reference is longer than "&#x10FFFF;" with a few zeros in front.
        if (semicolon < 0)
            break;
        const QString character = semicolon - amp <= 12
            ? referenced(QStringView(text).sliced(amp + 1, semicolon - amp - 1))
            : QString();
        if (character.isEmpty()) {
            amp = text.indexOf(u'&', amp + 1);
            continue;
        }
        decoded += QStringView(text).sliced(copied, amp - copied);
        decoded += character;
        copied = semicolon + 1;
        amp = text.indexOf(u'&', copied);
    }
    if (copied == 0)
        return;
    decoded += QStringView(text).sliced(copied);
    text = std::move(decoded);
}

}
