#include "window/frmOptions.h"

#include "shell/Common.h"
#include "shell/InitFile.h"
#include "shell/ModuleState.h"
#include "shell/ProfileFile.h"
#include "shell/RegisterShell.h"
#include "shell/Setting.h"
#include "shell/UserInterface.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace vorlix::window {

namespace {

    const QString kGeneral = QStringLiteral("general");
    const QString kSheet = QStringLiteral("sheet");
    const QString kReg = QStringLiteral("reg");
    const QString kArrow = QStringLiteral(" -> ");

    // The keys of the association choices, in the order of their check boxes.
    const std::array<QString, 4> kRegKeys = { QStringLiteral("fae"), QStringLiteral("mnd"),
        QStringLiteral("vopt"), QStringLiteral("mime") };

    QComboBox* namedCombo(QWidget* parent, const char* name, bool editable)
    {
        auto* combo = new QComboBox(parent);
        combo->setObjectName(QString::fromLatin1(name));
        combo->setEditable(editable);
        combo->setMinimumContentsLength(16);
        return combo;
    }

    // A sheet name the settings file can hold as a key of its own.
    bool usableSheetName(const QString& name)
    {
        return !name.isEmpty() && !name.contains(u'=') && !name.startsWith(u';')
            && !name.startsWith(u'[');
    }

}

frmOptions::frmOptions(QWidget* parent, const QStringList& printers)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("vorlixの設定"));
    m_pages = new QStackedWidget(this);
    m_pages->addWidget(buildStandardPage());
    m_pages->addWidget(buildPathPage());
    m_pages->addWidget(buildLinkPage());

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    QPushButton* cancel
        = buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("cmdCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &frmOptions::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &frmOptions::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pages);
    layout->addWidget(buttons);
    buildMenu();
    Form_Load(printers);
}

QStringList frmOptions::installedPrinters()
{
    return QPrinterInfo::availablePrinterNames();
}

void frmOptions::buildMenu()
{
    auto* menu = new QMenuBar(this);
    const struct {
        const char* name;
        QString caption;
    } items[] = {
        { "mnuStad", QStringLiteral("標準の設定(&S)") },
        { "mnuPath", QStringLiteral("パスネーム(&P)") },
        { "mnuLink", QStringLiteral("関連付け(&L)") },
    };
    for (int page = 0; page < 3; ++page) {
        m_pageItems[page] = menu->addAction(items[page].caption);
        m_pageItems[page]->setObjectName(QString::fromLatin1(items[page].name));
        connect(m_pageItems[page], &QAction::triggered, this, [this, page] { showPage(page); });
    }
    layout()->setMenuBar(menu);
}

QWidget* frmOptions::buildStandardPage()
{
    auto* page = new QGroupBox(QStringLiteral("標準の設定"));
    auto* form = new QFormLayout;
    m_combo1 = namedCombo(page, "Combo1", false);
    m_combo2 = namedCombo(page, "Combo2", false);
    m_combo3 = namedCombo(page, "Combo3", true);
    m_combo3->addItems({ "96", "150", "200", "300", "360", "400", "600", "720", "1200" });
    m_combo4 = namedCombo(page, "Combo4", true);
    m_combo4->addItems({ "8", "9", "10", "11", "12", "14", "16", "18", "20", "24" });
    form->addRow(QStringLiteral("標準で使うプリンタ："), m_combo1);
    form->addRow(QStringLiteral("標準で使うシートのパスネーム："), m_combo2);
    form->addRow(QStringLiteral("vorlix.exeの解像度(DPI)："), m_combo3);
    form->addRow(QStringLiteral("エディタで使用するフォントサイズ:"), m_combo4);

    auto* ports = new QGroupBox(QStringLiteral("ポート"), page);
    ports->setObjectName(QStringLiteral("fraPort"));
    auto* portForm = new QFormLayout(ports);
    const QString portLabels[] = { QStringLiteral("HTTP:"), QStringLiteral("FTP:") };
    for (int i = 0; i < 2; ++i) {
        m_txHTTP[i] = new QLineEdit(ports);
        m_txHTTP[i]->setObjectName(QStringLiteral("txHTTP%1").arg(i));
        m_txHTTP[i]->setMaxLength(5);
        portForm->addRow(portLabels[i], m_txHTTP[i]);
    }

    auto* search = new QGroupBox(QStringLiteral("シートファイルが見つけれない時"), page);
    search->setObjectName(QStringLiteral("fraKDD"));
    auto* searchLayout = new QVBoxLayout(search);
    // Button 1 stands for "DPN", button 0 for "CD"; the first shown is the default one.
    m_option1[1] = new QRadioButton(
        QStringLiteral("標準で使うシートのパスネームで指定したパスネームを先に探す"), search);
    m_option1[0] = new QRadioButton(QStringLiteral("カレントディレクトリを先に探す"), search);
    for (int i : { 1, 0 }) {
        m_option1[i]->setObjectName(QStringLiteral("Option1_%1").arg(i));
        searchLayout->addWidget(m_option1[i]);
        connect(m_option1[i], &QRadioButton::toggled, this, [this, i](bool checked) {
            if (checked)
                m_lastOption = i;
        });
    }

    auto* frames = new QHBoxLayout;
    frames->addWidget(ports);
    frames->addWidget(search, 1);
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(form);
    layout->addLayout(frames);
    return page;
}

QWidget* frmOptions::buildPathPage()
{
    auto* page = new QGroupBox(QStringLiteral("パスネームとディレクトリ"));
    m_list1 = new QListWidget(page);
    m_list1->setObjectName(QStringLiteral("List1"));
    m_text1 = new QLineEdit(page);
    m_text1->setObjectName(QStringLiteral("Text1"));
    m_text2 = new QLineEdit(page);
    m_text2->setObjectName(QStringLiteral("Text2"));
    auto* add = new QPushButton(QStringLiteral("追加"), page);
    add->setObjectName(QStringLiteral("Command1"));
    add->setAutoDefault(false);
    connect(add, &QPushButton::clicked, this, &frmOptions::Command1_Click);

    auto* entry = new QHBoxLayout;
    entry->addWidget(m_text1, 1);
    entry->addWidget(new QLabel(kArrow.trimmed(), page));
    entry->addWidget(m_text2, 3);
    entry->addWidget(add);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(m_list1);
    layout->addLayout(entry);
    return page;
}

QWidget* frmOptions::buildLinkPage()
{
    auto* page = new QGroupBox(QStringLiteral("vorlixと拡張子の関連付け"));
    auto* layout = new QVBoxLayout(page);
    const QString captions[] = {
        QStringLiteral("\".fae\"を関連付ける"),
        QStringLiteral("\".mnd\"を関連付ける"),
        QStringLiteral("起動時に\"-v\"オプションを付ける"),
        QStringLiteral("MIMEタイプに\"text/x-vorlix\"を登録する"),
    };
    for (int i = 0; i < 4; ++i) {
        m_check1[i] = new QCheckBox(captions[i], page);
        m_check1[i]->setObjectName(QStringLiteral("Check1_%1").arg(i));
        layout->addWidget(m_check1[i]);
        // A click counts as a change, even one that is taken back by the next click.
        connect(m_check1[i], &QCheckBox::clicked, this, [this] { m_clickMarker = true; });
    }
    layout->addStretch();
    return page;
}

void frmOptions::Form_Load(const QStringList& printers)
{
    m_combo1->clear();
    m_combo1->addItem(QStringLiteral("Default"));
    m_combo1->addItems(printers);
    const int printer = m_combo1->findText(
        shell::setting(kGeneral, QStringLiteral("DefaultPrinter"), QStringLiteral("Default")),
        Qt::MatchExactly | Qt::MatchCaseSensitive);
    m_combo1->setCurrentIndex(printer >= 0 ? printer : 0);

    loadSheets();

    const bool dpn = shell::setting(kGeneral, QStringLiteral("FDPNSW")) == u"DPN";
    m_option1[dpn ? 1 : 0]->setChecked(true);
    m_lastOption = dpn ? 1 : 0;

    m_txHTTP[0]->setText(shell::setting(QStringLiteral("server"), QStringLiteral("http")));
    m_txHTTP[1]->setText(shell::setting(QStringLiteral("server"), QStringLiteral("ftp")));
    selectOrAdd(*m_combo3, shell::setting(kGeneral, QStringLiteral("DPI")));
    selectOrAdd(*m_combo4, shell::setting(QStringLiteral("menu"), QStringLiteral("fontsize")));

    for (int i = 0; i < 4; ++i)
        m_check1[i]->setChecked(shell::settingFlag(kReg, kRegKeys[i]));
    m_clickMarker = false;
    showPage(Standard);
}

// The path-name list and the list of sheet folders, both from section "sheet" in file order.
void frmOptions::loadSheets()
{
    m_combo2->clear();
    m_combo2->addItem(QStringLiteral("CurDir"));
    m_list1->clear();
    if (const auto& settings = shell::moduleState().SettingsFile) {
        for (const auto& entry : shell::ProfileFile(settings->File()).sectionEntries(kSheet)) {
            m_combo2->addItem(entry.key);
            m_list1->addItem(entry.key + kArrow + entry.value);
        }
    }
    const int sheet = m_combo2->findText(
        shell::setting(kGeneral, QStringLiteral("DefaultPathName"), QStringLiteral("Default")),
        Qt::MatchExactly | Qt::MatchCaseSensitive);
    m_combo2->setCurrentIndex(sheet >= 0 ? sheet : 0);
}

void frmOptions::showPage(int page)
{
    m_pages->setCurrentIndex(page);
}

int frmOptions::currentPage() const
{
    return m_pages->currentIndex();
}

void frmOptions::selectOrAdd(QComboBox& list, const QString& value)
{
    int index = list.findText(value, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index < 0) {
        list.addItem(value);
        index = list.count() - 1;
    }
    list.setCurrentIndex(index);
}

int frmOptions::portOf(const QString& text, int fallback)
{
    const std::int32_t port = shell::ToLong(text, fallback);
    return port >= 1 && port <= 65535 ? port : fallback;
}

void frmOptions::Command1_Click()
{
    const QString name = m_text1->text().trimmed();
    const QString folder = m_text2->text().trimmed();
    // A name the settings file would read back as another key (or as none) is refused.
    if (!usableSheetName(name)) {
        shell::SystemBeep();
        return;
    }
    shell::storeSetting(kSheet, name, folder);
    const QString line = name + kArrow + folder;
    const auto existing = m_list1->findItems(name + kArrow, Qt::MatchStartsWith);
    if (existing.isEmpty())
        m_list1->addItem(line);
    else
        existing.first()->setText(line);
    if (m_combo2->findText(name, Qt::MatchExactly | Qt::MatchCaseSensitive) < 0)
        m_combo2->addItem(name);
    m_text1->clear();
    m_text2->clear();
}

void frmOptions::accept()
{
    shell::storeSetting(kGeneral, QStringLiteral("DefaultPrinter"), m_combo1->currentText());
    shell::storeSetting(kGeneral, QStringLiteral("DefaultPathName"), m_combo2->currentText());
    shell::storeSetting(kGeneral, QStringLiteral("FDPNSW"),
        m_lastOption == 1 ? QStringLiteral("DPN") : QStringLiteral("CD"));
    const QString server = QStringLiteral("server");
    shell::storeSetting(
        server, QStringLiteral("http"), QString::number(portOf(m_txHTTP[0]->text(), 80)));
    shell::storeSetting(
        server, QStringLiteral("ftp"), QString::number(portOf(m_txHTTP[1]->text(), 21)));
    shell::storeSetting(kGeneral, QStringLiteral("DPI"), m_combo3->currentText());
    shell::storeSetting(
        QStringLiteral("menu"), QStringLiteral("fontsize"), m_combo4->currentText());
    if (m_clickMarker) {
        for (int i = 0; i < 4; ++i)
            shell::storeSetting(kReg, kRegKeys[i], shell::flagText(m_check1[i]->isChecked()));
        shell::RegisterShell();
    }
    QDialog::accept();
}

}
