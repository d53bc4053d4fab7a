#include "tests/docs/CommandIndex.h"

#include "lang/CommandList.h"

#include <QStringList>

namespace vorlix::test {

namespace {

    using lang::CommandFamily;

    struct FamilyTitle {
        CommandFamily family;
        const char* english;
        const char* japanese;
    };

    constexpr FamilyTitle Families[] = {
        { CommandFamily::Drawing, "Drawing", "図形" },
        { CommandFamily::Text, "Text and fonts", "文字とフォント" },
        { CommandFamily::Axis, "Axes and charts", "軸とグラフ" },
        { CommandFamily::GraphPaper, "Graph paper and curves", "方眼紙と曲線" },
        { CommandFamily::Structure, "Document structure", "文書の構造" },
    };

    QString index(bool japanese)
    {
        const QString link = japanese ? QStringLiteral("face-language.md#cmd-") : "#cmd-";
        QStringList out;
        for (const FamilyTitle& family : Families) {
            out << QStringLiteral("**%1**").arg(
                QString::fromUtf8(japanese ? family.japanese : family.english))
                << QString();
            out << (japanese ? QStringLiteral("| コマンド | 引数 | 働き |")
                             : QStringLiteral("| Command | Arguments | What it does |"));
            out << QStringLiteral("|---|---|---|");
            for (const auto& info : lang::CommandInfos) {
                if (info.family != family.family)
                    continue;
                const QString word = QString::fromUtf8(info.word);
                const QString arguments = QString::fromUtf8(info.arguments);
                out << QStringLiteral("| [`%1`](%2%1) | %3 | %4 |")
                           .arg(word, link,
                               arguments.isEmpty() ? QStringLiteral("—") : u'`' + arguments + u'`',
                               QString::fromUtf8(japanese ? info.summaryJa : info.summary));
            }
            out << QString();
        }
        return out.join(u'\n');
    }

}

QString CommandIndex::english()
{
    return index(false);
}

QString CommandIndex::japanese()
{
    return index(true);
}

}
