#include "document/DataRecords.h"

#include "document/Tree.h"
#include "shell/RunError.h"

namespace vorlix::document {

const QString DataRecords::ChangedMessage
    = QStringLiteral("データ文書が読み込みの途中で変更されました");

DataRecords::DataRecords(
    std::unique_ptr<shell::TextWindows> windows, std::vector<PiecePlace> places)
    : m_windows(std::move(windows))
    , m_places(std::move(places))
{
}

QString DataRecords::recordName(std::int64_t record)
{
    static const QString piece = QStringLiteral("piece");
    return record <= 1 ? piece : piece + u'@' + QString::number(record - 1);
}

void DataRecords::load(Tree& tree, std::int64_t record)
{
    if (record < 1 || record > count())
        throw shell::RunError::subscriptOutOfRange();
    const PiecePlace& place = m_places[static_cast<size_t>(record - 1)];
    if (!m_windows->decodeRange(place.byteStart, place.byteEnd, m_text))
        throw shell::RunError(shell::RunError::FileNotFound,
            ChangedMessage + QStringLiteral(":") + m_windows->path());
    tree.ChRootTree();
    tree.ChTree(recordName(record));
    m_reader.readRecord(m_text, tree);
    tree.ChRootTree();
}

}
