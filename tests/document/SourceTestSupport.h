#pragma once

#include "document/PreviewTarget.h"
#include "document/SourceEditor.h"
#include "render/PageRecord.h"
#include "render/PrinterObject.h"
#include "shell/CodePage.h"
#include "tests/support/ScopedModuleState.h"
#include "tests/support/TempEnvironment.h"

#include <QDir>
#include <QString>
#include <gtest/gtest.h>
#include <memory>

namespace vorlix::test {

// An editor that is just a string with a selection.
class StringEditor final : public document::SourceEditor {
public:
    [[nodiscard]] QString text() const override { return m_text; }
    void setText(const QString& text) override
    {
        m_text = text;
        m_start = 0;
        m_length = 0;
    }
    [[nodiscard]] int selectionStart() const override { return m_start; }
    void setSelectionStart(int position) override
    {
        m_start = position;
        m_length = 0;
    }
    [[nodiscard]] int selectionLength() const override { return m_length; }
    void setSelectionLength(int length) override { m_length = length; }
    void replaceSelection(const QString& text) override
    {
        m_text.replace(m_start, m_length, text);
        m_start += static_cast<int>(text.size());
        m_length = 0;
    }
    void setFontSize(int points) override { fontSize = points; }

    int fontSize = 0;

private:
    QString m_text;
    int m_start = 0;
    int m_length = 0;
};

// A preview box that keeps the page it was given and its size.
class PictureBox final : public document::PreviewTarget {
public:
    void setPicture(std::shared_ptr<const render::PageRecord> page) override
    {
        picture = std::move(page);
        ++pictures;
    }
    void setWidthTwips(double twips) override { boxWidth = twips; }
    void setHeightTwips(double twips) override { boxHeight = twips; }
    void clearPicture() override { picture.reset(); }
    [[nodiscard]] double widthTwips() const override { return boxWidth; }

    std::shared_ptr<const render::PageRecord> picture;
    int pictures = 0;
    double boxWidth = 0.0;
    double boxHeight = 0.0;
};

// A first start in a temporary home that is also the current folder: a new settings file with
// every default, the unattended print mode (nobody answers messages), and files of the test's
// own in CP932.
class SourceFixture : public ::testing::Test {
protected:
    SourceFixture()
        : m_oldDir(QDir::currentPath())
    {
        QDir::setCurrent(env.root());
        state.startSettings();
    }
    ~SourceFixture() override
    {
        QDir::setCurrent(m_oldDir);
        render::PrinterObject::current().setExportFile(QString());
    }
    // Writes a file into the temporary home and returns its path.
    QString file(const QString& name, const QString& text) const
    {
        const QString path = env.root() + u'/' + name;
        writeFileBytes(path, shell::toCp932(text));
        return path;
    }

    TempEnvironment env;
    ScopedModuleState state { shell::RunModes::Print };

private:
    QString m_oldDir;
};

}
