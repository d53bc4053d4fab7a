#pragma once

// Every operation a page records, once. OPERATION(Name, member, parameters, arguments) generates
// the operation enum of PageRecord (whose dump writes Name with a lower-case first letter), the
// pure virtual Device::member, the recorder that stores the call and the replay that hands it
// back to any Device (the text dump and the painter). The arguments repeat the parameter names
// for the recorder. All coordinates are device units of the page's reference device.
#define VORLIX_ENUMERATE_PAGE_OPERATIONS(OPERATION)                                                \
    OPERATION(MoveTo, moveTo, (int x, int y), (x, y))                                              \
    /* Draws from the current point to (x, y), which becomes the current point. */                 \
    OPERATION(LineTo, lineTo, (int x, int y), (x, y))                                              \
    /* An outline with the pen, the inside with the brush. */                                      \
    OPERATION(Rectangle, rectangle, (int left, int top, int right, int bottom),                    \
        (left, top, right, bottom))                                                                \
    /* Fills without outline, pen and brush untouched. */                                          \
    OPERATION(FillRect, fillRect, (int left, int top, int right, int bottom, ColorRef color),      \
        (left, top, right, bottom, color))                                                         \
    OPERATION(                                                                                     \
        Ellipse, ellipse, (int left, int top, int right, int bottom), (left, top, right, bottom))  \
    /* Counter-clockwise arc of the ellipse in the box, from the start ray to the end ray. */      \
    OPERATION(Arc, arc,                                                                            \
        (int left, int top, int right, int bottom, int xStart, int yStart, int xEnd, int yEnd),    \
        (left, top, right, bottom, xStart, yStart, xEnd, yEnd))                                    \
    /* Text anchored at the top left of its cell, turned by the font's escapement. */              \
    OPERATION(TextOut, textOut, (int x, int y, const QString& text), (x, y, text))                 \
    OPERATION(SelectFont, selectFont, (const LogFont& font), (font))                               \
    OPERATION(SelectPen, selectPen, (const PenDesc& pen), (pen))                                   \
    OPERATION(SelectBrush, selectBrush, (const BrushDesc& brush), (brush))                         \
    /* The device's initial font and pen: what a fresh page starts with. */                        \
    OPERATION(InitialFont, selectInitialFont, (), ())                                              \
    OPERATION(InitialPen, selectInitialPen, (), ())                                                \
    /* Clips later drawing to the rectangle (normalised); an empty rectangle clips everything. */  \
    OPERATION(SetClip, setClip, (const DeviceRect& rect), (rect))                                  \
    OPERATION(ClearClip, clearClip, (), ())                                                        \
    /* The source part (0, 0, srcWidth, srcHeight) of the image stretched into the box at (x, y)   \
       of the signed size (width, height); a negative size mirrors. */                             \
    OPERATION(StretchImage, stretchImage,                                                          \
        (int x, int y, int width, int height, const QImage& image, int srcWidth, int srcHeight),   \
        (x, y, width, height, image, srcWidth, srcHeight))                                         \
    /* The bars of a symbol filled in their colour, pen and brush untouched (see BarPattern). */   \
    OPERATION(FillBars, fillBars, (const BarPattern& bars), (bars))
