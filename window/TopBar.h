#pragma once

#include <QString>
#include <QWidget>
#include <array>

class QLabel;
class QLineEdit;

namespace vorlix::window {

// The top bar ("SBar"): the tool labels, the label "場所：" with the file name box ("Text2"),
// and the four status texts at its right end in two columns (pointer and selection, zoom and
// page). A status column is left out when it would cover the file name box.
class TopBar final : public QWidget {
    Q_OBJECT

public:
    // Room kept right of the file name box for the status texts, in pixels.
    static constexpr int StatusRoom = 220;
    static constexpr int MinimumNameWidth = 160;

    explicit TopBar(QWidget* parent = nullptr);

    [[nodiscard]] QLineEdit& nameBox() { return *m_name; }
    // The tool labels: 0 "場所：", then "≫", "∥", "≪", "▲", "▼", "－", "＋", and the tool tips
    // that say what each one does.
    [[nodiscard]] QLabel& toolLabel(int index) { return *m_labels.at(index); }
    static const std::array<const char16_t*, 8> LabelCaptions;
    static const std::array<const char16_t*, 8> LabelTips;

    // Stores and draws one status text (slot 0 to 3); slot -1 redraws all four.
    void ShowStatus(int slot, const QString& text = {});
    [[nodiscard]] const QString& statusText(int slot) const { return m_status.at(slot); }
    // Whether a status column (0 or 1) is drawn at the bar's present width.
    [[nodiscard]] bool columnShown(int column) const;

signals:
    // A click on tool label 1 to 7.
    void toolClicked(int index);
    // Enter in the file name box.
    void nameEntered(const QString& name);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    [[nodiscard]] QRect columnRect(int column) const;
    void setBorder(QLabel* hovered);

    std::array<QLabel*, 8> m_labels {};
    QLineEdit* m_name;
    std::array<QString, 4> m_status;
};

}
