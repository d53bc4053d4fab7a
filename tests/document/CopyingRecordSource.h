#pragma once

#include "document/ApartXML.h"
#include "document/RecordLoader.h"
#include "document/RecordSource.h"
#include "document/Tree.h"
#include "shell/Common.h"

#include <QVariant>
#include <memory>
#include <vector>

namespace vorlix::test {

// A record source over a data document read whole: a record is copied, as stored, from that
// tree. It also gives the document's head (everything but the records) as a tree of its own, so
// that a merge through it can be set beside one over the whole tree.
class CopyingRecordSource : public document::RecordSource {
public:
    // `prepare` adds to the whole tree what the document object would (the face's folder...).
    template <typename Prepare> CopyingRecordSource(const QString& document, Prepare prepare)
    {
        document::ApartXML reader;
        reader.Init(&m_whole);
        reader.Text(document);
        m_whole.ChRootTree();
        prepare(m_whole);
        m_whole.ChRootTree();
        m_count = shell::ToLong(QVariant(m_whole.Value(QStringLiteral("System/mpiececount"))), 0);
    }

    [[nodiscard]] std::int64_t count() const override { return m_count; }

    void load(document::Tree& tree, std::int64_t record) override
    {
        tree.ChRootTree();
        const std::int32_t entry = m_whole.entryOf(0, document::RecordLoader::recordName(record));
        if (entry >= 0)
            tree.graft(m_whole, entry);
        tree.ChRootTree();
        loaded.push_back(record);
    }

    // The root's entries other than the records, in their order.
    [[nodiscard]] std::unique_ptr<document::Tree> head() const
    {
        auto tree = std::make_unique<document::Tree>();
        std::int32_t cursor = 0;
        std::int32_t previous = 0;
        QString value;
        for (QString name = m_whole.Enumerate(cursor, previous, value); cursor > 0;
             name = m_whole.Enumerate(cursor, previous, value)) {
            const std::int64_t record = document::RecordLoader::recordNumber(name);
            if (record == 0 || record > m_count)
                tree->graft(m_whole, cursor);
        }
        return tree;
    }

    // Every record loaded, in the order of the loads.
    std::vector<std::int64_t> loaded;

private:
    document::Tree m_whole;
    std::int64_t m_count = 0;
};

}
