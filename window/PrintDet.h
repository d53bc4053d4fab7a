#pragma once

#include "shell/Log.h"

#include <QDialog>
#include <QString>
#include <array>
#include <cstdint>

class QComboBox;
class QLineEdit;
class QRadioButton;

namespace vorlix::window {

// The modal "印刷の詳細" dialog: the printer, the paper and the orientation of the document, and
// the chosen printer's position corrections in tenths of a millimetre, kept in the settings
// section named after the printer. The caller sets PaperSize and Orientation, runs the dialog
// and reads every property back after OK. Switching the printer in the list makes it the current
// printer and shows its stored corrections; OK keeps the corrections as typed and stores them for
// the chosen printer. Closing the dialog any other way changes nothing (the previous printer is
// current again).
class PrintDet final : public QDialog {
    Q_OBJECT
    shell::LifeLog m_life { QStringLiteral("PrintDet") };

public:
    explicit PrintDet(QWidget* parent = nullptr);

    [[nodiscard]] std::int16_t PaperSize() const { return m_paperSize; }
    void setPaperSize(std::int16_t code) { m_paperSize = code; }
    // 1 portrait, 2 landscape.
    [[nodiscard]] std::int16_t Orientation() const { return m_orientation; }
    void setOrientation(std::int16_t orientation) { m_orientation = orientation; }
    [[nodiscard]] std::int32_t PaperLeftLag() const { return m_paperLeftLag; }
    [[nodiscard]] std::int32_t PaperTopLag() const { return m_paperTopLag; }
    // The chosen printer; empty when none is installed.
    [[nodiscard]] const QString& DeviceName() const { return m_deviceName; }

    // Fills the lists and boxes from the properties, the installed printers and the settings
    // (done once, when the dialog is first shown).
    void Form_Load();

    // The caption of a paper that the paper list does not hold: its width and height in whole
    // millimetres from twips, as "210x297mm".
    [[nodiscard]] static QString paperCaption(double widthTwips, double heightTwips);

    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildControls();
    void fillPrinters();
    void fillPapers();
    // Shows the corrections stored for the current printer; with changePrinter the printer of
    // the list becomes the current one first.
    void refresh(bool changePrinter);
    void Combo_Click(int index);
    void Option1_Click(int index);
    void Command1_Click();

    std::array<QComboBox*, 2> m_combo {};
    std::array<QRadioButton*, 2> m_option1 {};
    std::array<QLineEdit*, 2> m_text2 {};
    // The orientation chosen, as text: "1" or "2".
    QString m_orientationTag = QStringLiteral("1");
    bool m_loaded = false;

    std::int16_t m_paperSize = 9;
    std::int16_t m_orientation = 1;
    std::int32_t m_paperLeftLag = 0;
    std::int32_t m_paperTopLag = 0;
    QString m_deviceName;

    // The printer and its paper before the dialog, current again when it is closed without OK.
    QString m_previousPrinter;
    std::int32_t m_previousPaper = 9;
    std::int32_t m_previousOrientation = 1;
};

}
