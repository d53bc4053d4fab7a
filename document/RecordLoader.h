#pragma once

#include "document/RecordSource.h"
#include "document/Tree.h"

#include <QString>
#include <QStringView>
#include <cstdint>
#include <optional>

namespace vorlix::document {

// Keeps in the tree the records a merge through a RecordSource needs, and no more. Whatever names
// a record ("piece", "piece@N" at the root, as a name, a path component, a directory to enter or
// a name to add) has it loaded first, as the whole document would have held it. What a page
// loaded goes again when the page ends, unless the page wrote into the tree: then everything stays,
// because a later page may read what was written.
class RecordLoader {
public:
    RecordLoader(Tree& tree, RecordSource& source);

    [[nodiscard]] std::int64_t count() const { return m_count; }
    // The record a root entry name stands for (1 for "piece", N + 1 for "piece@N"), or 0.
    [[nodiscard]] static std::int64_t recordNumber(QStringView name);
    [[nodiscard]] static QString recordName(std::int64_t record);

    // Loads the record unless the tree holds it; the current directory stays.
    void need(std::int64_t record);
    // Before a name is read, entered or added in the current directory.
    void prepareName(const QString& name);
    // Before a relative path is read from the current directory: every record a component names
    // at the root is loaded.
    void preparePath(const QString& path);

    // A page's loads are kept from beginPage to endPage (which also ends a trial left open by a
    // failed load). The merge wrote into the tree.
    void beginPage();
    void noteWrite() { m_wrote = true; }
    void endPage();
    // A record tried by the query: loaded, tested, and dropped again unless it was chosen.
    [[nodiscard]] Tree::Mark beginTrial() { return m_tree.mark(); }
    void endTrial(const Tree::Mark& trial, bool chosen);

    // Ends the open page when it goes, however the merge leaves.
    class PageScope {
    public:
        explicit PageScope(RecordLoader* loader)
            : m_loader(loader)
        {
        }
        PageScope(const PageScope&) = delete;
        PageScope& operator=(const PageScope&) = delete;
        ~PageScope()
        {
            if (m_loader)
                m_loader->endPage();
        }

    private:
        RecordLoader* m_loader;
    };

    // Records read from the source so far.
    [[nodiscard]] std::int64_t loads() const { return m_loads; }

private:
    Tree& m_tree;
    RecordSource& m_source;
    std::int64_t m_count = 0;
    std::optional<Tree::Mark> m_page;
    bool m_wrote = false;
    std::int64_t m_loads = 0;

    void needAtRoot(std::int32_t dir, QStringView name);
    void countPieces();
};

}
