#include "ShapedLine.h"

#include <QCoreApplication>
#include <QGlyphRun>
#include <QPaintDevice>
#include <QPainter>
#include <QPointF>
#include <QRawFont>
#include <QTextOption>
#include <QThread>
#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <memory>
#include <unordered_map>
#include <vector>

namespace plat
{

namespace
{

bool gKeptGlyphs = true;

void LayOut(QTextLayout& layout, QTextLine& line)
{
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.setCacheEnabled(true);
    layout.beginLayout();
    line = layout.createLine();
    if (line.isValid()) {
        // A line without a width of its own: it is never aligned within one, and the
        // layout never looks for a glyph's overhang past its edge (a narrow width made
        // it measure the bounding box of every glyph of every text).
        line.setLineWidth(std::numeric_limits<double>::max());
        line.setPosition(QPointF(0, 0));
    }
    layout.endLayout();
}

// Han ideographs never kern, join or take marks in the fonts a bill is written in,
// so two of them side by side are the two glyphs each gives alone.
bool IsIdeograph(char16_t c)
{
    return (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF);
}

// Digits, plain punctuation, Chinese punctuation and fullwidth forms: each is one glyph
// of its own, but a font may kern one against its neighbour, so every pair with one of
// them is checked once against the layout before it is put together from kept glyphs.
bool IsSign(char16_t c)
{
    return (c >= 0x20 && c <= 0x40) || (c >= 0x3000 && c <= 0x3029) || (c >= 0x3030 && c <= 0x303F) ||
           (c >= 0xFF01 && c <= 0xFF5E) || (c >= 0xFFE0 && c <= 0xFFE6);
}

bool SameFace(const QRawFont& a, const QRawFont& b)
{
    return a == b || (a.familyName() == b.familyName() && a.styleName() == b.styleName() &&
                      a.pixelSize() == b.pixelSize() && a.weight() == b.weight() && a.style() == b.style() &&
                      a.hintingPreference() == b.hintingPreference());
}

int Fixed(double v)
{
    return static_cast<int>(std::lround(v * 64));
}

struct LaidGlyph {
    QRawFont face;
    quint32 index;
    int x; // 1/64 px from the line's start
};

// The glyphs the full layout gives a text, from left to right, and its advance; false
// when any glyph stands off the baseline or runs right to left.
bool LayOutGlyphs(const QString& text, const QFont& font, const QPaintDevice* device, std::vector<LaidGlyph>& out,
                  int& advance)
{
    QTextLayout layout(text, font, device);
    QTextLine line;
    LayOut(layout, line);
    if (!line.isValid())
        return false;
    const QList<QGlyphRun> runs = layout.glyphRuns();
    const double baseline = line.ascent();
    for (const QGlyphRun& run : runs) {
        if (run.isRightToLeft())
            return false;
        const QList<quint32> indexes = run.glyphIndexes();
        const QList<QPointF> positions = run.positions();
        if (indexes.size() != positions.size())
            return false;
        for (qsizetype i = 0; i < indexes.size(); ++i) {
            if (positions[i].y() != baseline)
                return false;
            out.push_back({run.rawFont(), indexes[i], Fixed(positions[i].x())});
        }
    }
    // The runs come font by font, not in the line's order.
    std::stable_sort(out.begin(), out.end(), [](const LaidGlyph& a, const LaidGlyph& b) { return a.x < b.x; });
    advance = Fixed(line.horizontalAdvance());
    return true;
}

struct Kept {
    quint32 index = 0;
    int advance = 0; // 1/64 px
    int face = -1;   // -1: the character is never put together from kept glyphs
    bool known = false;
};

} // namespace

// What one font (at one resolution) gives each character alone, and which pairs of
// characters are the same side by side as alone.
class KeptGlyphs
{
public:
    KeptGlyphs(const QFont& font, int dpi) : font_(font), dpi_(dpi), primary_(QRawFont::fromFont(font)) {}

    bool Is(const QFont& font, int dpi) const { return dpi == dpi_ && font == font_; }

    const Kept& Of(char16_t c, const QPaintDevice* device)
    {
        std::unique_ptr<Kept[]>& page = pages_[c >> 8];
        if (!page)
            page.reset(new Kept[256]);
        Kept& g = page[c & 0xFF];
        if (!g.known) {
            g.known = true;
            std::vector<LaidGlyph> laid;
            int advance = 0;
            const char16_t one[1] = {c};
            if (LayOutGlyphs(QString(reinterpret_cast<const QChar*>(one), 1), font_, device, laid, advance) &&
                laid.size() == 1 && laid[0].x == 0 && (IsIdeograph(c) || SameFace(laid[0].face, primary_))) {
                // A sign that the font itself lacks is drawn from a fallback font that
                // may depend on the text around it; only the font's own are kept.
                g.index = laid[0].index;
                g.advance = advance;
                g.face = FaceOf(laid[0].face);
            }
        }
        return g;
    }

    // Whether a then b lay out as a's glyph followed by b's.
    bool Independent(char16_t a, char16_t b, const QPaintDevice* device)
    {
        if (a < 0x41 && b < 0x41) {
            signed char& known = asciiPairs_[(a - 0x20) * 33 + (b - 0x20)];
            if (!known)
                known = Check(a, b, device) ? 1 : -1;
            return known > 0;
        }
        const quint32 key = (quint32(a) << 16) | b;
        auto it = pairs_.find(key);
        if (it != pairs_.end())
            return it->second;
        if (pairs_.size() >= kPairsKept)
            pairs_.clear();
        const bool independent = Check(a, b, device);
        pairs_.emplace(key, independent);
        return independent;
    }

    const QRawFont& Face(int face) const { return faces_[static_cast<size_t>(face)]; }

private:
    static constexpr size_t kPairsKept = 1 << 16;

    int FaceOf(const QRawFont& raw)
    {
        for (size_t i = 0; i < faces_.size(); ++i)
            if (SameFace(faces_[i], raw))
                return static_cast<int>(i);
        faces_.push_back(raw);
        return static_cast<int>(faces_.size()) - 1;
    }

    bool Check(char16_t a, char16_t b, const QPaintDevice* device)
    {
        const Kept& ga = Of(a, device);
        const Kept& gb = Of(b, device);
        if (ga.face < 0 || gb.face < 0)
            return false;
        std::vector<LaidGlyph> laid;
        int advance = 0;
        const char16_t two[2] = {a, b};
        return LayOutGlyphs(QString(reinterpret_cast<const QChar*>(two), 2), font_, device, laid, advance) &&
               laid.size() == 2 && advance == ga.advance + gb.advance && laid[0].x == 0 &&
               laid[0].index == ga.index && SameFace(laid[0].face, Face(ga.face)) && laid[1].x == ga.advance &&
               laid[1].index == gb.index && SameFace(laid[1].face, Face(gb.face));
    }

    QFont font_;
    int dpi_;
    QRawFont primary_;
    std::vector<QRawFont> faces_;
    std::array<std::unique_ptr<Kept[]>, 256> pages_;
    signed char asciiPairs_[33 * 33] = {};
    std::unordered_map<quint32, bool> pairs_;
};

namespace
{

// The fonts of the GUI thread's painting, the last used first. They are let go with
// the application, whose font engines they hold.
std::vector<std::shared_ptr<KeptGlyphs>>* gFonts = nullptr;

void ForgetFonts()
{
    delete gFonts;
    gFonts = nullptr;
}

std::shared_ptr<KeptGlyphs> KeptGlyphsOf(const QFont& font, const QPaintDevice* device)
{
    const QCoreApplication* app = QCoreApplication::instance();
    if (!gKeptGlyphs || !app || QThread::currentThread() != app->thread())
        return nullptr;
    const int dpi = device ? device->logicalDpiY() : 0;
    if (!gFonts) {
        gFonts = new std::vector<std::shared_ptr<KeptGlyphs>>;
        qAddPostRoutine(ForgetFonts);
    }
    std::vector<std::shared_ptr<KeptGlyphs>>& fonts = *gFonts;
    for (size_t i = 0; i < fonts.size(); ++i) {
        if (fonts[i]->Is(font, dpi)) {
            if (i > 0)
                std::swap(fonts[i], fonts[0]);
            return fonts[0];
        }
    }
    constexpr size_t kFontsKept = 16;
    if (fonts.size() >= kFontsKept)
        fonts.pop_back();
    fonts.insert(fonts.begin(), std::make_shared<KeptGlyphs>(font, dpi));
    return fonts[0];
}

} // namespace

bool ShapedLine::Assemble(const QString& text)
{
    const qsizetype n = text.size();
    const char16_t* s = reinterpret_cast<const char16_t*>(text.utf16());
    glyphs_.clear();
    int x = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = s[i];
        const bool ideograph = IsIdeograph(c);
        if (!ideograph && !IsSign(c))
            return false;
        const Kept& g = kept_->Of(c, device_);
        if (g.face < 0)
            return false;
        if (i > 0 && !(ideograph && IsIdeograph(s[i - 1])) && !kept_->Independent(s[i - 1], c, device_))
            return false;
        glyphs_.push_back({g.index, g.advance, g.face});
        x += g.advance;
    }
    width_ = x / 64.0;
    return true;
}

ShapedLine::ShapedLine(const QString& text, const QFont& font, const QPaintDevice* device, Target target)
    : device_(device)
{
    // Spacing and lines through the text are the layout's to draw.
    if (target == Target::Raster && font.letterSpacing() == 0 && font.wordSpacing() == 0 && !font.underline() &&
        !font.strikeOut() && !font.overline()) {
        kept_ = KeptGlyphsOf(font, device);
        if (kept_ && Assemble(text))
            return;
        kept_.reset();
        glyphs_.clear();
    }
    layout_.emplace(text, font, device);
    LayOut(*layout_, line_);
    width_ = line_.isValid() ? line_.horizontalAdvance() : 0.0;
}

bool ShapedLine::ElideRight(QString& text, double width)
{
    if (layout_ || !kept_)
        return false;
    const int boxWidth = Fixed(width);
    int whole = 0;
    for (const Glyph& g : glyphs_)
        whole += g.advance;
    // Too short to cut, or it fits: the text stays whole.
    if (glyphs_.size() <= 1 || whole <= boxWidth)
        return true;
    // The font's own ellipsis character takes the place of the cut characters.
    constexpr char16_t kEllipsis = 0x2026;
    const Kept& ellipsis = kept_->Of(kEllipsis, device_);
    if (ellipsis.face < 0)
        return false;
    const int available = boxWidth - ellipsis.advance;
    if (available < 0) {
        text.clear();
        glyphs_.clear();
        width_ = 0.0;
        return true;
    }
    // Characters are taken while the ones taken stay narrower than the room; the one
    // that reaches it is cut away with the rest.
    size_t pos = 0;
    int taken = 0;
    for (size_t next = 0;;) {
        pos = next++;
        taken += glyphs_[pos].advance;
        if (!(next < glyphs_.size() && taken < available))
            break;
    }
    const char16_t last = pos > 0 ? text[static_cast<qsizetype>(pos) - 1].unicode() : 0;
    if (pos > 0 && !kept_->Independent(last, kEllipsis, device_))
        return false;
    text.truncate(static_cast<qsizetype>(pos));
    text.append(QChar(kEllipsis));
    glyphs_.resize(pos);
    glyphs_.push_back({ellipsis.index, ellipsis.advance, ellipsis.face});
    int x = 0;
    for (const Glyph& g : glyphs_)
        x += g.advance;
    width_ = x / 64.0;
    return true;
}

void ShapedLine::Draw(QPainter* painter, double x, double baseline) const
{
    if (layout_) {
        if (line_.isValid())
            line_.draw(painter, QPointF(x, baseline - line_.ascent()));
        return;
    }
    // One run for each stretch of glyphs from one font. Kept lines are only made and
    // drawn on the GUI thread, and the run and its lists are used again line after line
    // (the run lets go of them after each, so they are filled without a copy).
    static QGlyphRun run;
    static QList<quint32> indexes;
    static QList<QPointF> positions;
    int at = 0;
    for (size_t i = 0; i < glyphs_.size();) {
        const int face = glyphs_[i].face;
        size_t end = i;
        while (end < glyphs_.size() && glyphs_[end].face == face)
            ++end;
        indexes.resize(static_cast<qsizetype>(end - i));
        positions.resize(static_cast<qsizetype>(end - i));
        quint32* index = indexes.data();
        QPointF* position = positions.data();
        for (size_t k = i; k < end; ++k) {
            *index++ = glyphs_[k].index;
            *position++ = QPointF(at / 64.0, 0.0);
            at += glyphs_[k].advance;
        }
        run.setRawFont(kept_->Face(face));
        run.setGlyphIndexes(indexes);
        run.setPositions(positions);
        painter->drawGlyphRun(QPointF(x, baseline), run);
        run.clear();
        i = end;
    }
}

void ShapedLine::SetKeptGlyphsEnabled(bool enabled)
{
    gKeptGlyphs = enabled;
}

} // namespace plat
