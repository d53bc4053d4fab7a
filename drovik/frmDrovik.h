#pragma once

#include <QString>
#include <QWidget>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace vorlix::drovik {

// The downloader's window: the web folder to fetch from ("URL:"), the transcript of what happened
// and the "ダウンロード" button, which may be used again after each run. Closing it ends the
// program.
class frmDrovik final : public QWidget {
    Q_OBJECT

public:
    explicit frmDrovik(QWidget* parent = nullptr);

    // The sheet folder the files go to.
    [[nodiscard]] const QString& sheetFolder() const { return m_sheetFolder; }

private:
    void Form_Load();
    // Adds a line at the end of the transcript, wherever the caret was.
    void AddLine(const QString& text);
    void Command1_Click();

    QLineEdit* Text1 = nullptr;
    QPlainTextEdit* Text2 = nullptr;
    QPushButton* Command1 = nullptr;
    QString m_sheetFolder;
};

}
