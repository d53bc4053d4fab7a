#include "window/PrintDet.h"

#include "render/FontSubstitutions.h"
#include "render/PrinterObject.h"
#include "shell/Common.h"
#include "shell/Convert.h"
#include "shell/Setting.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <utility>

namespace vorlix::window {

using render::PrinterObject;

namespace {

    constexpr double kTwipsPerMm = 56.7;

    QString printerSection(const QString& deviceName)
    {
        return deviceName.isEmpty() ? shell::kNoPrinterSection : deviceName;
    }

}

PrintDet::PrintDet(QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("印刷の詳細"));
    render::installFontSubstitutions();
    setFont(QFont(QStringLiteral("ＭＳ 明朝"), font().pointSize()));
    buildControls();
}

void PrintDet::buildControls()
{
    auto* grid = new QGridLayout;
    const QString labels[] = { QStringLiteral("プリンタ名："), QStringLiteral("用紙の種類：") };
    for (int i = 0; i < 2; ++i) {
        m_combo[i] = new QComboBox(this);
        m_combo[i]->setObjectName(QStringLiteral("Combo%1").arg(i));
        auto* label = new QLabel(labels[i], this);
        label->setBuddy(m_combo[i]);
        grid->addWidget(label, i, 0);
        grid->addWidget(m_combo[i], i, 1);
    }
    m_combo[0]->setMinimumContentsLength(24);
    m_combo[0]->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    connect(m_combo[0], &QComboBox::currentIndexChanged, this, &PrintDet::Combo_Click);

    auto* orientation = new QGroupBox(QStringLiteral("印刷の向き"), this);
    auto* orientationLayout = new QVBoxLayout(orientation);
    const QString captions[] = { QStringLiteral("縦長"), QStringLiteral("横長") };
    for (int i = 0; i < 2; ++i) {
        m_option1[i] = new QRadioButton(captions[i], orientation);
        m_option1[i]->setObjectName(QStringLiteral("Option1_%1").arg(i));
        orientationLayout->addWidget(m_option1[i]);
        connect(m_option1[i], &QRadioButton::toggled, this, [this, i](bool checked) {
            if (checked)
                Option1_Click(i);
        });
    }

    auto* corrections = new QGroupBox(QStringLiteral("印刷位置の補正(1/10mm)"), this);
    auto* correctionLayout = new QGridLayout(corrections);
    const QString boxes[] = { QStringLiteral("左右誤差："), QStringLiteral("上下誤差：") };
    for (int i = 0; i < 2; ++i) {
        m_text2[i] = new QLineEdit(corrections);
        m_text2[i]->setObjectName(QStringLiteral("Text2_%1").arg(i));
        m_text2[i]->setMaxLength(11);
        auto* label = new QLabel(boxes[i], corrections);
        label->setBuddy(m_text2[i]);
        correctionLayout->addWidget(label, i, 0);
        correctionLayout->addWidget(m_text2[i], i, 1);
    }

    auto* groups = new QHBoxLayout;
    groups->addWidget(orientation);
    groups->addWidget(corrections);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("Command1"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &PrintDet::Command1_Click);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(groups);
    layout->addWidget(buttons);
}

QString PrintDet::paperCaption(double widthTwips, double heightTwips)
{
    const auto mm = [](double twips) {
        return QString::number(shell::roundHalfEven(twips / kTwipsPerMm), 'f', 0);
    };
    return mm(widthTwips) + u'x' + mm(heightTwips) + QStringLiteral("mm");
}

void PrintDet::showEvent(QShowEvent* event)
{
    if (!m_loaded)
        Form_Load();
    QDialog::showEvent(event);
}

void PrintDet::Form_Load()
{
    m_loaded = false;
    const auto& printer = PrinterObject::current();
    m_previousPrinter = printer.DeviceName();
    m_previousPaper = printer.PaperSize();
    m_previousOrientation = printer.Orientation();
    fillPrinters();
    fillPapers();
    const bool landscape = m_orientation == 2;
    m_option1[landscape ? 1 : 0]->setChecked(true);
    m_orientationTag = landscape ? QStringLiteral("2") : QStringLiteral("1");
    m_loaded = true;
    refresh(false);
}

void PrintDet::fillPrinters()
{
    QComboBox* list = m_combo[0];
    list->clear();
    const QString current = PrinterObject::current().DeviceName();
    const QStringList names = QPrinterInfo::availablePrinterNames();
    for (int i = 0; i < names.size(); ++i)
        list->addItem(names[i], i);
    // No entry is chosen when the current printer is none of them.
    list->setCurrentIndex(static_cast<int>(names.indexOf(current)));
    // Without any printer the list says so; paper, orientation and the corrections of the
    // printer without a name can still be chosen.
    list->setEnabled(!names.isEmpty());
    list->setPlaceholderText(names.isEmpty() ? QStringLiteral("プリンタがありません") : QString());
}

void PrintDet::fillPapers()
{
    QComboBox* list = m_combo[1];
    list->clear();
    int chosen = -1;
    for (const auto& paper : shell::kPaperNames) {
        list->addItem(QString::fromUtf16(paper.name), paper.code);
        if (paper.code == m_paperSize)
            chosen = list->count() - 1;
    }
    if (chosen >= 0) {
        list->setCurrentIndex(chosen);
        return;
    }
    // A paper the list does not name is shown by its size, as the printer has it (upright), and
    // chosen.
    auto& printer = PrinterObject::current();
    printer.setPaperSize(m_paperSize);
    double width = printer.pageWidthTwips();
    double height = printer.pageHeightTwips();
    if (printer.Orientation() == 2)
        std::swap(width, height);
    list->addItem(paperCaption(width, height), printer.PaperSize());
    list->setCurrentIndex(list->count() - 1);
}

void PrintDet::refresh(bool changePrinter)
{
    if (!m_loaded)
        return;
    auto& printer = PrinterObject::current();
    if (changePrinter && m_combo[0]->currentIndex() >= 0)
        printer.SelectPrinter(m_combo[0]->currentText());
    const QString section = printerSection(printer.DeviceName());
    m_text2[0]->setText(
        QString::number(shell::printerSettingLong(section, QStringLiteral("PaperLeftLag"))));
    m_text2[1]->setText(
        QString::number(shell::printerSettingLong(section, QStringLiteral("PaperTopLag"))));
}

void PrintDet::Combo_Click(int)
{
    refresh(true);
}

void PrintDet::Option1_Click(int index)
{
    m_orientationTag = QString::number(index + 1);
}

void PrintDet::Command1_Click()
{
    auto& printer = PrinterObject::current();
    m_deviceName = m_combo[0]->currentIndex() >= 0 ? m_combo[0]->currentText() : QString();
    if (!m_deviceName.isEmpty())
        printer.SelectPrinter(m_deviceName);
    if (m_combo[1]->currentIndex() >= 0)
        m_paperSize = static_cast<std::int16_t>(m_combo[1]->currentData().toInt());
    m_orientation = shell::ToInteger(m_orientationTag, 1);
    // The corrections stay as typed (text that is no number counts as 0) and belong to the
    // chosen printer from now on.
    m_paperLeftLag = shell::ToLong(m_text2[0]->text(), 0);
    m_paperTopLag = shell::ToLong(m_text2[1]->text(), 0);
    const QString section = printerSection(m_deviceName);
    shell::storeSetting(section, QStringLiteral("PaperLeftLag"), QString::number(m_paperLeftLag));
    shell::storeSetting(section, QStringLiteral("PaperTopLag"), QString::number(m_paperTopLag));
    printer.setPaperSize(m_paperSize);
    printer.setOrientation(m_orientation);
    accept();
}

void PrintDet::reject()
{
    if (m_loaded) {
        auto& printer = PrinterObject::current();
        if (printer.DeviceName() != m_previousPrinter)
            printer.SelectPrinter(m_previousPrinter);
        printer.setPaperSize(m_previousPaper);
        printer.setOrientation(m_previousOrientation);
    }
    QDialog::reject();
}

}
