#include "render/EMF.h"

#include "render/PageRecorder.h"
#include "render/TextLayout.h"
#include "shell/Checked.h"

namespace vorlix::render {

SlotContext EMF::slotContext()
{
    return { dc(), *m_metrics, m_mapping.referenceDpi(), m_mapping.fontScale(),
        m_mapping.penScale(), m_mapping.isPreview() };
}

TextLayout EMF::textLayout()
{
    return { dc(), m_dev, m_slots.direction(), m_slots.currentDescription() };
}

void EMF::setFontType(
    std::int32_t n, QString& faceName, double size, std::int32_t flags, std::int32_t orientation)
{
    m_slots.setFontType(n, faceName, size, flags, orientation, slotContext());
}

void EMF::FontNo(std::int32_t n)
{
    m_slots.FontNo(n, slotContext());
}

std::int32_t EMF::FontSize() const
{
    return shell::checked::rnd(m_slots.currentFont().size);
}

std::int32_t EMF::FontStyle() const
{
    return m_slots.currentFont().flags;
}

double EMF::FontOrientation() const
{
    return m_slots.description(m_slots.FontNo()).lfEscapement / 10.0;
}

QString EMF::FontName() const
{
    return m_slots.currentFont().faceName;
}

std::int32_t EMF::FontHeight()
{
    return dc().textExtent(QStringLiteral("H")).height();
}

void EMF::setPenType(std::int32_t n, std::int32_t width, std::int32_t color, std::int32_t style)
{
    m_slots.setPenType(n, width, color, style, slotContext());
}

void EMF::PenNo(std::int32_t n)
{
    m_slots.PenNo(n, slotContext());
}

std::int32_t EMF::PenWidth() const
{
    return m_slots.currentPen().width;
}

std::int32_t EMF::PenColor() const
{
    return m_slots.currentPen().color;
}

std::int32_t EMF::PenStyle() const
{
    return m_slots.currentPen().style;
}

void EMF::LPK(QString& text, std::int32_t width)
{
    textLayout().LPK(text, width < 1 ? std::nullopt : std::optional(m_mapping.LenX(width)));
}

void EMF::AlignedText(const QString& text, TextAlign align)
{
    textLayout().alignedText(text, align);
}

void EMF::PrintLn(QString& text, std::int32_t width)
{
    textLayout().PrintLn(text, width < 1 ? std::nullopt : std::optional(m_mapping.LenX(width)));
}

}
