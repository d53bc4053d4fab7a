#include "drovik/Downloader.h"

#include "drovik/SheetWriter.h"
#include "shell/CodePage.h"
#include "shell/Common.h"
#include "shell/GeneFile.h"
#include "shell/Log.h"

#include <QDir>
#include <array>

namespace vorlix::drovik {

namespace {

    constexpr qsizetype kSniffedBytes = 256;
    const QString kListName = QStringLiteral("list2");

    // The extensions of files fetched as text; a name without extension is text too.
    constexpr std::array<const char16_t*, 11> kTextExtensions { u"FAE", u"MND", u"XML", u"DTD",
        u"HTML", u"HTM", u"TXT", u"TEXT", u"PRN", u"CSV", u"LOG" };

    bool isFolderEnd(QChar c)
    {
        return c == QLatin1Char('/') || c == QLatin1Char('\\');
    }

    // A status line that is not a success means the server is there but has no such file.
    bool refusedByServer(int status)
    {
        return status != 0 && (status < 200 || status > 299);
    }

}

Downloader::Downloader(Transcript transcript, Question question)
    : m_transcript(std::move(transcript))
    , m_question(std::move(question))
{
}

Downloader::~Downloader() = default;

QString Downloader::webFolderOf(const QString& typed)
{
    const QString folder = typed.trimmed();
    if (!folder.isEmpty() && isFolderEnd(folder.back()))
        return folder;
    return folder + QLatin1Char('/');
}

QString Downloader::sheetFolderOf(const QString& folder)
{
    const QString local = shell::localPath(folder.trimmed());
    return local.endsWith(QLatin1Char('/')) ? local : local + QLatin1Char('/');
}

bool Downloader::textMode(const QString& extension)
{
    if (extension.isEmpty())
        return true;
    for (const char16_t* text : kTextExtensions) {
        if (extension == QStringView(text))
            return true;
    }
    return false;
}

bool Downloader::NotHtml(const QString& text)
{
    return !text.contains(QStringLiteral("<HTML>"), Qt::CaseInsensitive);
}

void Downloader::AddLine(const QString& text)
{
    if (m_transcript)
        m_transcript(text);
}

DownloadResult Downloader::run(const QString& webFolder, const QString& sheetFolder)
{
    m_result = DownloadResult {};
    m_webFolder = webFolderOf(webFolder);
    m_sheetFolder = sheetFolderOf(sheetFolder);
    AddLine(QStringLiteral("接続>") + m_webFolder);
    // Fetches show no questions or messages: the transcript tells what happened.
    m_download = std::make_unique<shell::GeneFile>();
    QString list;
    QByteArray bytes;
    if (Fetch(kListName, list, bytes)) {
        m_result.listFetched = true;
        AddLine(QString());
        const SampleList sampleList = SampleList::parse(list);
        if (ConfirmList(sampleList)) {
            m_result.confirmed = true;
            QDir().mkpath(m_sheetFolder);
            DownloadAll(sampleList);
        }
    }
    m_download.reset();
    AddLine(QStringLiteral("終了しました"));
    return m_result;
}

bool Downloader::Fetch(const QString& name, QString& text, QByteArray& bytes)
{
    text.clear();
    bytes.clear();
    if (!m_download->FileOpen(1, m_webFolder + name)) {
        const int status = m_download->HttpStatus();
        // A server that answered with a failure status has no such file: the same report as
        // for a not-found page. One that began a good answer and broke off says why.
        if (refusedByServer(status))
            AddLine(QStringLiteral("たぶんファイルが見つからなかったと思います>") + name);
        else if (status != 0)
            AddLine(QStringLiteral("取得できません>") + name + QStringLiteral("：")
                + m_download->failure());
        else
            AddLine(QStringLiteral("サーバに接続できません>"));
        return false;
    }
    m_textMode = textMode(m_download->Extension());
    bytes = m_download->ReadB();
    // The progress window goes as soon as its data is taken.
    (void)m_download->FileClose();
    text = shell::decodeText(m_textMode ? bytes : bytes.left(kSniffedBytes)).text;
    if (NotHtml(text)) {
        AddLine(QStringLiteral("ファイルを取得しました>") + name);
        return true;
    }
    AddLine(QStringLiteral("たぶんファイルが見つからなかったと思います>") + name);
    text.clear();
    bytes.clear();
    return false;
}

bool Downloader::ConfirmList(const SampleList& list)
{
    return m_question && m_question(list.question());
}

void Downloader::DownloadAll(const SampleList& list)
{
    for (const SampleEntry& entry : list.entries()) {
        downloadOne(entry);
        AddLine(QString());
    }
}

void Downloader::downloadOne(const SampleEntry& entry)
{
    const QString shown = SampleList::printable(entry.name);
    AddLine(QStringLiteral("ダウンロードします>") + shown);
    // A name that could leave the sheet folder is neither fetched nor written.
    if (!entry.safe) {
        AddLine(QStringLiteral("保存できません>") + shown);
        ++m_result.refused;
        return;
    }
    QString text;
    QByteArray bytes;
    if (!Fetch(entry.name, text, bytes)) {
        ++m_result.failed;
        return;
    }
    if (!save(entry.name, bytes)) {
        AddLine(QStringLiteral("保存できません>") + shown);
        ++m_result.failed;
        return;
    }
    ++m_result.saved;
}

// Text is kept in the bytes and encoding it arrived in, with CR LF added.
bool Downloader::save(const QString& name, const QByteArray& bytes) const
{
    const SheetWriter::Saved saved
        = SheetWriter(m_sheetFolder)
              .save(name, m_textMode ? bytes + QByteArrayLiteral("\r\n") : bytes);
    if (!saved.ok)
        shell::WriteLog(QStringLiteral("Drovik/Save>") + saved.reason + QLatin1Char(':') + name);
    return saved.ok;
}

}
