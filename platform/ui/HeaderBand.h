#pragma once
// The white band across the top of the programs' and the plug-in's dialogs, with one
// line of text in the band's blue. One painter, so every dialog shows the same band.

#include <QColor>
#include <QFont>
#include <QString>

class QPainter;

namespace plat
{

constexpr int kHeaderBandHeight = 54;

// The band's text colour, RGB(2, 102, 170) (COLORREF 0xAA6602).
QColor HeaderBandTextColour();

// What a dialog family keeps of its own: the font of the line, where the line may run
// (pixels from the left and right edges) and the rule under the band.
struct HeaderBandLook {
    enum class Rule {
        None,    // the band ends in the dialog's face
        Sunken,  // a dark line over a light one, the theme's etched edge
        Grey,    // one light grey line
    };
    QFont font;
    int left = 10;
    int right = 50;
    Rule rule = Rule::None;
};

// Paints the band over the top of a surface `width` pixels wide; the text is cut at
// the end of its room, never wrapped.
void PaintHeaderBand(QPainter& painter, int width, const QString& text, const HeaderBandLook& look);

} // namespace plat
