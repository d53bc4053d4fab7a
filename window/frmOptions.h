#pragma once

#include <QDialog>
#include <QStringList>
#include <array>

class QAction;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QStackedWidget;

namespace vorlix::window {

// The options dialog "vorlixの設定": the settings of the program on three pages, chosen by three
// menu items. Everything is read from the settings file when the dialog is made; OK writes it
// back and, when a check box of the association page was clicked, writes the association again.
// Sheet folders added with "追加" are written at once, also when the dialog is then cancelled.
class frmOptions final : public QDialog {
    Q_OBJECT

public:
    // The pages, in the order of their menu items.
    enum Page { Standard = 0, PathNames = 1, Association = 2 };

    // printers: the installed printers in the system's order.
    explicit frmOptions(
        QWidget* parent = nullptr, const QStringList& printers = installedPrinters());

    [[nodiscard]] static QStringList installedPrinters();

    // Shows one page and hides the other two.
    void showPage(int page);
    [[nodiscard]] int currentPage() const;

    // Selects the entry equal to value, or adds value and selects it.
    static void selectOrAdd(QComboBox& list, const QString& value);
    // A port typed into a box: a whole number from 1 to 65535, else the fallback.
    [[nodiscard]] static int portOf(const QString& text, int fallback);

    void accept() override;

private:
    void buildMenu();
    QWidget* buildStandardPage();
    QWidget* buildPathPage();
    QWidget* buildLinkPage();
    void Form_Load(const QStringList& printers);
    void loadSheets();
    void Command1_Click();

    QStackedWidget* m_pages = nullptr;
    std::array<QAction*, 3> m_pageItems {};
    QComboBox* m_combo1 = nullptr;
    QComboBox* m_combo2 = nullptr;
    QComboBox* m_combo3 = nullptr;
    QComboBox* m_combo4 = nullptr;
    std::array<QLineEdit*, 2> m_txHTTP {};
    std::array<QRadioButton*, 2> m_option1 {};
    QListWidget* m_list1 = nullptr;
    QLineEdit* m_text1 = nullptr;
    QLineEdit* m_text2 = nullptr;
    std::array<QCheckBox*, 4> m_check1 {};
    // The index of the last option button selected: 1 stands for "DPN", 0 for "CD".
    int m_lastOption = 1;
    // True once the user has clicked any check box of the association page.
    bool m_clickMarker = false;
};

}
