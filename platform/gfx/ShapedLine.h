#pragma once
// One line of text shaped once: its advance and its glyphs come from the same layout,
// so a text placed by its width is not shaped a second time to be drawn.
//
// A line meant for a raster painter (a window, an image) whose characters all shape on
// their own (Chinese ideographs and punctuation, fullwidth forms, digits and plain
// punctuation) is put together from each character's glyph kept per font, the glyph
// and the font Qt's own layout chose for it; any other text is laid out in full. A grid
// repaints a screen of such cells at every key of a search, and the full layout of a
// cell costs as much as drawing its glyphs.

#include <QFont>
#include <QString>
#include <QTextLayout>
#include <memory>
#include <optional>
#include <vector>

class QPaintDevice;
class QPainter;

namespace plat
{

class KeptGlyphs;

class ShapedLine
{
public:
    // What will draw the line: glyphs kept per font are used only for a raster painter
    // (a printer's engine is given the text itself, which it keeps in its output).
    enum class Target { Any, Raster };

    ShapedLine(const QString& text, const QFont& font, const QPaintDevice* device, Target target = Target::Any);
    ShapedLine(const ShapedLine&) = delete;
    ShapedLine& operator=(const ShapedLine&) = delete;

    // The advance of the whole line, trailing blanks included.
    double Width() const { return width_; }

    // Draws with the painter's pen, the baseline's left end at (x, baseline).
    void Draw(QPainter* painter, double x, double baseline) const;

    // Whether the line was put together from kept glyphs rather than laid out.
    bool FromKeptGlyphs() const { return !layout_; }

    // Cuts a line of kept glyphs wider than `width` to the text QFontMetricsF::elidedText
    // gives for Qt::ElideRight, and that text's glyphs: `text` becomes the cut text.
    // False, the line as it was, when only the layout can cut it.
    bool ElideRight(QString& text, double width);

    // Off: every line is laid out in full (the way the kept glyphs are checked against).
    static void SetKeptGlyphsEnabled(bool enabled);

private:
    // Puts the line together from kept glyphs; false when a character needs the layout.
    bool Assemble(const QString& text);

    struct Glyph {
        quint32 index;
        int advance; // 1/64 px
        int face;
    };

    std::optional<QTextLayout> layout_;
    QTextLine line_;
    std::shared_ptr<KeptGlyphs> kept_;
    const QPaintDevice* device_ = nullptr;
    std::vector<Glyph> glyphs_;
    double width_ = 0.0;
};

} // namespace plat
