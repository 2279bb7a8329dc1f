#pragma once
// One line of text shaped once: its advance and its glyphs come from the same layout,
// so a text placed by its width is not shaped a second time to be drawn.

#include <QFont>
#include <QString>
#include <QTextLayout>

class QPaintDevice;
class QPainter;

namespace plat
{

class ShapedLine
{
public:
    ShapedLine(const QString& text, const QFont& font, const QPaintDevice* device);
    ShapedLine(const ShapedLine&) = delete;
    ShapedLine& operator=(const ShapedLine&) = delete;

    // The advance of the whole line, trailing blanks included.
    double Width() const { return line_.isValid() ? line_.horizontalAdvance() : 0.0; }

    // Draws with the painter's pen, the baseline's left end at (x, baseline).
    void Draw(QPainter* painter, double x, double baseline) const;

private:
    QTextLayout layout_;
    QTextLine line_;
};

} // namespace plat
