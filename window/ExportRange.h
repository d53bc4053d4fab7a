#pragma once

#include <QDialog>
#include <cstdint>

class QRadioButton;
class QSpinBox;

namespace vorlix::window {

// The page range of an export, as the printer dialog offers it: every page, or the pages from
// one number to another. The numbers stay within the document's pages and "to" never falls
// below "from".
class ExportRange final : public QDialog {
    Q_OBJECT

public:
    // Starts with the range from..to of pageCount pages; a range narrower than the document is
    // shown chosen, otherwise "every page" is.
    ExportRange(
        std::int32_t pageCount, std::int32_t from, std::int32_t to, QWidget* parent = nullptr);

    // The pages chosen; every page is 1 to the page count.
    [[nodiscard]] std::int32_t FromPage() const;
    [[nodiscard]] std::int32_t ToPage() const;

private:
    void buildControls(std::int32_t pageCount);

    QRadioButton* m_all = nullptr;
    QRadioButton* m_range = nullptr;
    QSpinBox* m_from = nullptr;
    QSpinBox* m_to = nullptr;
    std::int32_t m_pageCount = 1;
};

}
