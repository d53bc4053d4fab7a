#pragma once

#include "shell/Log.h"

#include <QHash>
#include <QString>
#include <cstdint>
#include <vector>

namespace vorlix::document {

// A two-column translation table between two tag sets (vocabularies of element names), read from
// "convtbl.txt". The first pair names the two sets (left set, right set) and is also an ordinary
// pair. The table translates either way; the first definition of a word wins in its direction.
class ConvTag {
public:
    // The table's file name inside its folder.
    static inline const QString FileName = QStringLiteral("convtbl.txt");

    ConvTag();

    // Loads the table from folder + "convtbl.txt" (the folder ends with a separator). A missing
    // file only logs; the table then stays unloaded. Every load starts from an empty table.
    void Path(const QString& folder);
    // Chooses the direction: true when the loaded table translates faceSet names into dataSet
    // names (either column order).
    [[nodiscard]] bool TagSet(const QString& faceSet, const QString& dataSet);
    // The translated name, or the name itself.
    [[nodiscard]] QString Convert(const QString& name) const;
    // Write the left and the right index to the debug log.
    void List() const;
    void Vist() const;

    // Whether a table is loaded, and the number of pairs read.
    [[nodiscard]] bool loaded() const { return m_loaded; }
    [[nodiscard]] std::int32_t pairCount() const { return m_count; }

    // Adds one pair as the loader does: duplicates are logged and left out of their index.
    void addPair(const QString& left, const QString& right);

private:
    enum class Mode { None = 0, LeftToRight = 1, RightToLeft = 2 };
    struct Pair {
        QString left;
        QString right;
    };

    shell::LifeLog m_life { QStringLiteral("ConvTag") };
    std::vector<Pair> m_pairs;
    QHash<QString, std::int32_t> m_byLeft;
    QHash<QString, std::int32_t> m_byRight;
    std::int32_t m_count = 0;
    bool m_loaded = false;
    Mode m_mode = Mode::None;

    void reset();
    void load(const QString& text);
};

}
