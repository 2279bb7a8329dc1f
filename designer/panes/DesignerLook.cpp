#include "DesignerLook.h"

#include "SystemColors.h"

#include <QPainter>

#include <algorithm>
#include <iterator>

namespace designer
{

namespace
{

CFont MakeFont(bool bold)
{
    LOGFONTW lf;
    lf.lfHeight = -MulDiv(9, 96, 72);
    lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    lf.lfCharSet = 1; // DEFAULT_CHARSET
    const wchar_t face[] = L"宋体";
    std::copy(std::begin(face), std::end(face), lf.lfFaceName);
    CFont font;
    font.CreateFontIndirect(lf);
    return font;
}

} // namespace

const CFont* InterfaceFont(bool bold)
{
    static const CFont regular = MakeFont(false);
    static const CFont heavy = MakeFont(true);
    return bold ? &heavy : &regular;
}

QFont InterfaceQFont(bool bold)
{
    QFont font(QStringLiteral("宋体"));
    font.setPointSize(9);
    font.setBold(bold);
    return font;
}

COLORREF FaceColor() { return GetSysColor(COLOR_BTNFACE); }

void PaintHintBand(QWidget* dialog, const QString& hint)
{
    QPainter p(dialog);
    plat::PaintHeaderBand(p, dialog->width(), hint, {InterfaceQFont(true)});
}

} // namespace designer
