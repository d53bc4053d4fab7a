#include "window/About.h"

#include "shell/InitFile.h"
#include "shell/ModuleState.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace vorlix::window {

namespace {

    // The program's name as its settings file is named.
    QString executableName()
    {
        const auto& settings = shell::moduleState().SettingsFile;
        return settings ? settings->ApprExeName() : QStringLiteral("vorlix");
    }

}

About::About(QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(executableName() + QStringLiteral("のバージョン情報"));
    m_image1 = new QLabel(this);
    m_image1->setObjectName(QStringLiteral("Image1"));
    m_image1->setFixedSize(64, 64);
    m_image1->setAlignment(Qt::AlignCenter);

    auto* texts = new QVBoxLayout;
    const auto values = labelTexts();
    for (int i = 0; i < 4; ++i) {
        m_label[i] = new QLabel(values[i], this);
        m_label[i]->setObjectName(QStringLiteral("Label1_%1").arg(i));
        m_label[i]->setTextInteractionFlags(Qt::TextSelectableByMouse);
        texts->addWidget(m_label[i]);
    }
    QFont product = m_label[0]->font();
    product.setBold(true);
    product.setPointSizeF(product.pointSizeF() * 1.5);
    m_label[0]->setFont(product);

    auto* top = new QHBoxLayout;
    top->addWidget(m_image1, 0, Qt::AlignTop);
    top->addSpacing(12);
    top->addLayout(texts, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    // The keys belong to the box itself: Escape and Enter close it, no other key does.
    buttons->button(QDialogButtonBox::Ok)->setFocusPolicy(Qt::NoFocus);
    connect(buttons, &QDialogButtonBox::accepted, this, &About::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void About::setIconRes(const QPixmap& picture)
{
    QPixmap scaled = picture.scaled(
        m_image1->size() * devicePixelRatioF(), Qt::KeepAspectRatio, Qt::SmoothTransformation);
    scaled.setDevicePixelRatio(devicePixelRatioF());
    m_image1->setPixmap(scaled);
}

QString About::versionText(int major, int minor, int revision)
{
    return QStringLiteral("Version %1.%2  Build %3").arg(major).arg(minor).arg(revision);
}

std::array<QString, 4> About::labelTexts()
{
    return {
        QStringLiteral("Vorlix"),
        versionText(VORLIX_VERSION_MAJOR, VORLIX_VERSION_MINOR, VORLIX_VERSION_PATCH),
        QStringLiteral("Copyright (C) Vorlix"),
        QStringLiteral("テキストから帳票を組んで印刷します"),
    };
}

void About::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        accept();
        break;
    default:
        event->accept();
        break;
    }
}

}
