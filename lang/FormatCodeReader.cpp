#include "lang/FormatCodeReader.h"

#include <QStringList>
#include <algorithm>

namespace vorlix::lang {

namespace {

    using Item = ValueFormat::Item;
    using Code = Item::Code;
    using Section = ValueFormat::Section;

    constexpr std::size_t MaxSections = 3;

    bool isDateCode(Code code)
    {
        return code >= Code::Year;
    }

    // Colour switches of a section: read so that formats made for spreadsheets work, but text is
    // drawn in black like every text of a face.
    bool isColour(const QString& name)
    {
        static const QStringList colours = { QStringLiteral("black"), QStringLiteral("blue"),
            QStringLiteral("cyan"), QStringLiteral("green"), QStringLiteral("magenta"),
            QStringLiteral("red"), QStringLiteral("white"), QStringLiteral("yellow"),
            QStringLiteral("黒"), QStringLiteral("青"), QStringLiteral("水"), QStringLiteral("緑"),
            QStringLiteral("紫"), QStringLiteral("赤"), QStringLiteral("白"),
            QStringLiteral("黄") };
        const QString lower = name.toLower();
        if (colours.contains(lower))
            return true;
        for (const QString& prefix : { QStringLiteral("color"), QStringLiteral("色") }) {
            if (!lower.startsWith(prefix))
                continue;
            bool ok = false;
            const int number = lower.sliced(prefix.size()).toInt(&ok);
            return ok && number >= 1 && number <= 56;
        }
        return false;
    }

    // Cuts a format code into its sections and their items, without judging yet what each
    // section is. Every method returns what went wrong, or an empty text.
    class CodeReader {
    public:
        explicit CodeReader(const QString& code)
            : m_code(code)
        {
        }

        QString read(std::vector<Section>& sections, bool& gannen)
        {
            sections.assign(1, Section());
            while (m_at < m_code.size()) {
                QString error;
                if (m_code[m_at] == u';') {
                    if (sections.size() == MaxSections)
                        return QStringLiteral("区分「;」は 3 つまでです");
                    sections.emplace_back();
                    ++m_at;
                } else {
                    error = readItem(sections.back(), gannen);
                }
                if (!error.isEmpty())
                    return error;
            }
            return {};
        }

    private:
        [[nodiscard]] bool startsHere(QStringView text) const
        {
            return QStringView(m_code).sliced(m_at).startsWith(text, Qt::CaseInsensitive);
        }

        // How often the letter at the position repeats, letter case aside.
        [[nodiscard]] int run() const
        {
            const QChar letter = m_code[m_at].toLower();
            qsizetype end = m_at;
            while (end < m_code.size() && m_code[end].toLower() == letter)
                ++end;
            return static_cast<int>(end - m_at);
        }

        static void literal(Section& section, QStringView text)
        {
            if (text.isEmpty())
                return;
            if (!section.items.empty() && section.items.back().code == Code::Literal)
                section.items.back().text += text;
            else
                section.items.push_back({ Code::Literal, text.toString(), 0 });
        }

        static void push(Section& section, Code code, int count = 0, const QString& text = {})
        {
            section.items.push_back({ code, text, count });
        }

        [[nodiscard]] static bool lastIs(const Section& section, Code code)
        {
            return !section.items.empty() && section.items.back().code == code;
        }
        [[nodiscard]] bool followsDigit(const Section& section) const
        {
            return lastIs(section, Code::Digit) || lastIs(section, Code::Point);
        }
        [[nodiscard]] bool digitPlaceFollows() const
        {
            return m_at + 1 < m_code.size() && QStringView(u"0#?").contains(m_code[m_at + 1]);
        }

        QString readItem(Section& section, bool& gannen);
        QString readEscaped(Section& section);
        QString readBracket(Section& section, bool& gannen);
        QString readLetters(Section& section);

        const QString& m_code;
        qsizetype m_at = 0;
    };

    QString CodeReader::readItem(Section& section, bool& gannen)
    {
        const QChar c = m_code[m_at];
        if (c == u'"' || c == u'\\' || c == u'_' || c == u'*')
            return readEscaped(section);
        if (c == u'[')
            return readBracket(section, gannen);
        if (startsHere(u"General") || startsHere(u"G/標準")) {
            push(section, Code::General);
            m_at += startsHere(u"General") ? 7 : 4;
            return {};
        }
        if (c == u'0' || c == u'#' || c == u'?') {
            push(section, Code::Digit, 0, QString(c));
        } else if (c == u'.') {
            push(section, Code::Point);
        } else if (c == u',') {
            push(section, Code::Comma);
        } else if (c == u'%') {
            push(section, Code::Percent);
        } else if (c == u'/' && (lastIs(section, Code::Digit) || digitPlaceFollows())) {
            return QStringLiteral("分数の書式には対応していません");
        } else if (c == u'@') {
            return QStringLiteral("文字列の区分「@」には対応していません");
        } else if ((c == u'E' || c == u'e') && m_at + 1 < m_code.size()
            && (m_code[m_at + 1] == u'+' || m_code[m_at + 1] == u'-') && followsDigit(section)) {
            return QStringLiteral("指数の書式（E+）には対応していません");
        } else if (c.unicode() < 128 && c.isLetter()) {
            return readLetters(section);
        } else {
            literal(section, QStringView(&c, 1));
        }
        ++m_at;
        return {};
    }

    // Quoted text, a character after "\", the blank of "_x" (as wide as x) and the fill of "*x",
    // which a text without a cell to fill leaves out.
    QString CodeReader::readEscaped(Section& section)
    {
        const QChar c = m_code[m_at];
        if (c == u'"') {
            const qsizetype close = m_code.indexOf(u'"', m_at + 1);
            if (close < 0)
                return QStringLiteral("引用符「\"」が閉じていません");
            literal(section, QStringView(m_code).sliced(m_at + 1, close - m_at - 1));
            m_at = close + 1;
            return {};
        }
        if (m_at + 1 >= m_code.size())
            return QStringLiteral("「%1」の後に文字がありません").arg(c);
        const QChar next = m_code[m_at + 1];
        if (c == u'\\')
            literal(section, QStringView(&next, 1));
        else if (c == u'_')
            literal(section, next.unicode() > 255 ? u"　" : u" ");
        m_at += 2;
        return {};
    }

    QString CodeReader::readBracket(Section& section, bool& gannen)
    {
        const qsizetype close = m_code.indexOf(u']', m_at + 1);
        if (close < 0)
            return QStringLiteral("「[」が閉じていません");
        const QString content = m_code.sliced(m_at + 1, close - m_at - 1);
        m_at = close + 1;
        const QString lower = content.toLower();
        if (lower.startsWith(QStringLiteral("dbnum"))) {
            const QString kind = lower.sliced(5);
            if (kind == u"1")
                section.numerals = NativeNumerals(NativeNumerals::Kind::Kanji);
            else if (kind == u"2")
                section.numerals = NativeNumerals(NativeNumerals::Kind::Formal);
            else if (kind == u"3")
                section.numerals = NativeNumerals(NativeNumerals::Kind::FullWidth);
            else
                return QStringLiteral("[%1] は [DBNum1] から [DBNum3] のどれでもありません")
                    .arg(content);
            return {};
        }
        if (content.startsWith(u'$')) {
            // [$text-locale]: the text is written; of the locale only the era switch counts.
            const QString body = content.sliced(1);
            const qsizetype dash = body.indexOf(u'-');
            literal(section, dash < 0 ? QStringView(body) : QStringView(body).first(dash));
            if (dash >= 0 && body.sliced(dash).contains(u"x-gannen", Qt::CaseInsensitive))
                gannen = true;
            return {};
        }
        if (isColour(content))
            return {};
        if (content.startsWith(u'<') || content.startsWith(u'>') || content.startsWith(u'='))
            return QStringLiteral("条件つきの区分 [%1] には対応していません").arg(content);
        return QStringLiteral("[%1] は読めない指定です").arg(content);
    }

    QString CodeReader::readLetters(Section& section)
    {
        if (startsHere(u"AM/PM") || startsHere(u"A/P"))
            return QStringLiteral("時刻の書式には対応していません");
        const int length = run();
        switch (m_code[m_at].toLower().unicode()) {
        case u'y':
            push(section, Code::Year, length <= 2 ? 2 : 4);
            break;
        case u'm':
            push(section, Code::Month, std::min(length, 5));
            break;
        case u'd':
            push(section, Code::Day, std::min(length, 4));
            break;
        case u'g':
            push(section, Code::Era, std::min(length, 3));
            break;
        case u'e':
            push(section, Code::EraYear, std::min(length, 2));
            break;
        case u'a':
            if (length < 3)
                literal(section, QStringView(m_code).sliced(m_at, length));
            else
                push(section, Code::Weekday, std::min(length, 4));
            break;
        case u'h':
        case u's':
            return QStringLiteral("時刻の書式には対応していません");
        default:
            literal(section, QStringView(m_code).sliced(m_at, length));
            break;
        }
        m_at += length;
        return {};
    }

    // A date section writes its points, commas and percent signs as they stand.
    QString settleDate(Section& section)
    {
        section.date = true;
        for (Item& item : section.items) {
            if (item.code == Code::Digit || item.code == Code::General)
                return QStringLiteral("日付の記号と数値の記号が混ざっています");
            if (item.code == Code::Point)
                item = { Code::Literal, QStringLiteral("."), 0 };
            else if (item.code == Code::Comma)
                item = { Code::Literal, QStringLiteral(","), 0 };
            else if (item.code == Code::Percent)
                item = { Code::Literal, QStringLiteral("%"), 0 };
        }
        return {};
    }

    // A comma between two integer digit places groups the thousands; one after the last digit
    // place divides by a thousand; any other stands as written. The point is the first ".", and
    // without digit places a point is text.
    QString settleNumber(Section& section)
    {
        const auto& items = section.items;
        const bool digits = std::any_of(
            items.begin(), items.end(), [](const Item& item) { return item.code == Code::Digit; });
        section.general = std::any_of(items.begin(), items.end(),
            [](const Item& item) { return item.code == Code::General; });
        if (digits && section.general)
            return QStringLiteral("General と桁の記号（0 # ?）は一緒に使えません");
        std::vector<Item> settled;
        bool afterPoint = false;
        for (std::size_t i = 0; i < items.size(); ++i) {
            const Item& item = items[i];
            const Code before = settled.empty() ? Code::Literal : settled.back().code;
            const bool digitNext = i + 1 < items.size() && items[i + 1].code == Code::Digit;
            switch (item.code) {
            case Code::Point:
                if (!digits) {
                    settled.push_back({ Code::Literal, QStringLiteral("."), 0 });
                    continue;
                }
                if (afterPoint)
                    return QStringLiteral("小数点「.」が 2 つあります");
                afterPoint = true;
                break;
            case Code::Comma:
                if (before == Code::Digit && digitNext && !afterPoint) {
                    section.grouping = true;
                } else if (before == Code::Digit || (before == Code::Comma && !digitNext)) {
                    section.shift -= 3;
                    settled.push_back(item);
                } else {
                    settled.push_back({ Code::Literal, QStringLiteral(","), 0 });
                }
                continue;
            case Code::Percent:
                section.shift += 2;
                break;
            case Code::Digit:
                ++(afterPoint ? section.decimals : section.integerPlaces);
                break;
            default:
                break;
            }
            settled.push_back(item);
        }
        // A thousands comma has done its work; it writes nothing.
        std::erase_if(settled, [](const Item& item) { return item.code == Code::Comma; });
        section.items = std::move(settled);
        return {};
    }

    QString settle(std::vector<Section>& sections, bool& date)
    {
        date = std::any_of(sections.begin(), sections.end(), [](const Section& section) {
            return std::any_of(section.items.begin(), section.items.end(),
                [](const Item& item) { return isDateCode(item.code); });
        });
        if (date && sections.size() > 1)
            return QStringLiteral("日付の書式に区分「;」は使えません");
        for (Section& section : sections) {
            const QString error = date ? settleDate(section) : settleNumber(section);
            if (!error.isEmpty())
                return error;
        }
        return {};
    }

}

FormatCodeReader::Read FormatCodeReader::read(const QString& code)
{
    Read read;
    read.error = code.isEmpty() ? QStringLiteral("書式が空です")
                                : CodeReader(code).read(read.sections, read.gannen);
    if (read.error.isEmpty())
        read.error = settle(read.sections, read.date);
    return read;
}

}
