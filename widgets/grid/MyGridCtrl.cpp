#include "MyGridCtrl.h"

#include "Messages.h"
#include "MyCanvas.h"
#include "RowSlabs.h"
#include "RowSort.h"
#include "SystemColors.h"
#include "WidDraw.h"
#include "WidGeometry.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QProxyStyle>
#include <QScrollBar>
#include <QStyleFactory>
#include <QStyleOption>
#include <QtMath>
#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <cwchar>
#include <functional>
#include <iterator>
#include <mutex>
#include <numeric>
#include <thread>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

using brindle::MakeRect;
using brindle::RectContains;
using brindle::RectHeight;
using brindle::RectWidth;

namespace
{

// The raised or sunken button face of the header, leader and corner.
void EraseButton(CDC& dc, const RECT& r, int state)
{
    dc.FillSolidRect(r, GetSysColor(COLOR_BTNFACE));
    if (state > 0)
        Draw3dRect(dc, r, GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_BTNSHADOW));
    else if (state < 0)
        Draw3dRect(dc, r, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNSHADOW));
}

} // namespace

// ---- Cells.

namespace
{

uint32_t CodePoint(wchar_t w)
{
    auto c = static_cast<uint32_t>(w);
    return c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF) ? 0xFFFD : c;
}

// Appends the text as UTF-8, sized once (a cell is encoded for every row read).
void AppendUtf8(std::string& out, const wchar_t* text, size_t length)
{
    size_t bytes = 0;
    for (size_t i = 0; i < length; ++i) {
        const uint32_t c = CodePoint(text[i]);
        bytes += c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
    }
    const size_t at = out.size();
    out.resize(at + bytes);
    auto* p = reinterpret_cast<unsigned char*>(out.data() + at);
    for (size_t i = 0; i < length; ++i) {
        const uint32_t c = CodePoint(text[i]);
        if (c < 0x80) {
            *p++ = static_cast<unsigned char>(c);
        } else if (c < 0x800) {
            *p++ = static_cast<unsigned char>(0xC0 | (c >> 6));
            *p++ = static_cast<unsigned char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            *p++ = static_cast<unsigned char>(0xE0 | (c >> 12));
            *p++ = static_cast<unsigned char>(0x80 | ((c >> 6) & 0x3F));
            *p++ = static_cast<unsigned char>(0x80 | (c & 0x3F));
        } else {
            *p++ = static_cast<unsigned char>(0xF0 | (c >> 18));
            *p++ = static_cast<unsigned char>(0x80 | ((c >> 12) & 0x3F));
            *p++ = static_cast<unsigned char>(0x80 | ((c >> 6) & 0x3F));
            *p++ = static_cast<unsigned char>(0x80 | (c & 0x3F));
        }
    }
}

// The characters of UTF-8 text as AppendUtf8 wrote it, one at a time.
template <typename Each> void ForEachCodePoint(std::string_view bytes, Each each)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* end = p + bytes.size();
    while (p < end) {
        uint32_t c = *p++;
        int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
        if (extra)
            c &= 0x3F >> extra;
        for (; extra > 0 && p < end; --extra)
            c = (c << 6) | (*p++ & 0x3F);
        each(c);
    }
}

// Decodes what AppendUtf8 wrote.
std::wstring FromUtf8(std::string_view bytes)
{
    std::wstring out;
    out.reserve(bytes.size());
    ForEachCodePoint(bytes, [&out](uint32_t c) { out += static_cast<wchar_t>(c); });
    return out;
}

// The block: a 32-bit word with the cell count (the top bit set when the cell ends
// are 32-bit, else they are 16-bit), the end offset of each cell in the text, the text.
constexpr uint32_t kWideEnds = 0x80000000u;
constexpr size_t kEndsAt = 4;

// The bit of a pair of neighbouring characters in a mask. A bill's row is mostly
// amounts, dates and account numbers: the hundred pairs of two digits would fill a
// hashed mask on their own and hide the few pairs of a name among them, so each has
// a bit of its own, and every other pair shares the rest of the bits by a hash (the
// top bits of a multiplicative hash are the well mixed ones).
constexpr uint32_t kDigitPairs = 100;

uint32_t PairBit(uint32_t first, uint32_t second)
{
    const uint32_t tens = first - '0';
    const uint32_t units = second - '0';
    if (tens < 10 && units < 10)
        return tens * 10 + units;
    const uint32_t hash = first * 0x9E3779B1u + second * 0x85EBCA77u;
    constexpr uint64_t kShared = MyGridCells::PairMask::kBits - kDigitPairs;
    return kDigitPairs + static_cast<uint32_t>((uint64_t{hash} * kShared) >> 32);
}

// The pairs of neighbouring characters of a row's texts, or of a search text: one byte
// a bit, so that no pair waits for the one before to be written, folded into a mask at
// the end.
struct PairSet {
    alignas(16) uint8_t seen[MyGridCells::PairMask::kBits] = {};

    // A row as it comes in, from its wide texts, without decoding what was just encoded.
    void Add(const std::wstring& text)
    {
        for (size_t i = 1; i < text.size(); ++i)
            seen[PairBit(CodePoint(text[i - 1]), CodePoint(text[i]))] = 1;
    }

    void Add(std::string_view utf8)
    {
        bool first = true;
        uint32_t previous = 0;
        ForEachCodePoint(utf8, [&](uint32_t c) {
            if (!first)
                seen[PairBit(previous, c)] = 1;
            first = false;
            previous = c;
        });
    }

    MyGridCells::PairMask Mask() const
    {
        MyGridCells::PairMask mask;
#if defined(__SSE2__)
        // Sixteen bytes of 0 or 1 at a time: their low bit moved to the top, then taken.
        for (size_t at = 0; at < MyGridCells::PairMask::kBits; at += 16) {
            const __m128i bytes = _mm_load_si128(reinterpret_cast<const __m128i*>(seen + at));
            const auto bits = static_cast<uint32_t>(_mm_movemask_epi8(_mm_slli_epi16(bytes, 7)));
            mask.bits[at >> 6] |= uint64_t{bits} << (at & 63);
        }
#else
        for (size_t bit = 0; bit < MyGridCells::PairMask::kBits; ++bit)
            mask.bits[bit >> 6] |= uint64_t{seen[bit]} << (bit & 63);
#endif
        return mask;
    }
};

uint32_t BlockHeader(const char* block)
{
    uint32_t header = 0;
    if (block)
        std::memcpy(&header, block, sizeof header);
    return header;
}

uint32_t CellEnd(const char* block, uint32_t header, size_t column)
{
    if (header & kWideEnds) {
        uint32_t end;
        std::memcpy(&end, block + kEndsAt + column * 4, 4);
        return end;
    }
    uint16_t end;
    std::memcpy(&end, block + kEndsAt + column * 2, 2);
    return end;
}

// The first place at or after `from` where the needle starts in the text, npos. Most
// CJK characters share a few lead bytes, so a search keyed on the needle's first byte
// stops every few bytes; keyed on its first and last bytes at once, sixteen places a
// step, it leaves few places to compare.
size_t FindBytes(std::string_view text, std::string_view needle, size_t from)
{
    const size_t m = needle.size();
    const size_t n = text.size();
    if (m == 0 || from > n || n - from < m)
        return m == 0 && from <= n ? from : std::string_view::npos;
    if (m == 1) {
        const void* hit = std::memchr(text.data() + from, static_cast<unsigned char>(needle[0]), n - from);
        return hit ? static_cast<size_t>(static_cast<const char*>(hit) - text.data())
                   : std::string_view::npos;
    }
#if defined(__SSE2__)
    const char* t = text.data();
    const __m128i first = _mm_set1_epi8(needle[0]);
    const __m128i last = _mm_set1_epi8(needle[m - 1]);
    // A step reads the bytes from `at` to `at + m + 14`, all inside the text.
    size_t at = from;
    for (; at + m + 15 <= n; at += 16) {
        const __m128i heads = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t + at));
        const __m128i tails = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t + at + m - 1));
        auto places = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(heads, first), _mm_cmpeq_epi8(tails, last))));
        for (; places != 0; places &= places - 1) {
            const size_t place = at + static_cast<size_t>(__builtin_ctz(places));
            if (std::memcmp(t + place + 1, needle.data() + 1, m - 2) == 0)
                return place;
        }
    }
    from = at;
#endif
    return text.find(needle, from);
}

} // namespace

MyGridCells::MyGridCells(const MyGridCells& other)
{
    *this = other;
}

MyGridCells& MyGridCells::operator=(const MyGridCells& other)
{
    if (this == &other)
        return *this;
    std::vector<std::string_view> cells(other.size());
    for (size_t i = 0; i < cells.size(); ++i)
        cells[i] = other.View(static_cast<int>(i));
    Pack(cells.data(), cells.size(), &other.pairs_);
    return *this;
}

size_t MyGridCells::size() const
{
    return BlockHeader(block_.get()) & ~kWideEnds;
}

std::string_view MyGridCells::View(int column) const
{
    const char* block = block_.get();
    const uint32_t header = BlockHeader(block);
    const size_t count = header & ~kWideEnds;
    if (column < 0 || static_cast<size_t>(column) >= count)
        return {};
    const char* text = block + kEndsAt + count * ((header & kWideEnds) ? 4 : 2);
    const uint32_t begin = column == 0 ? 0 : CellEnd(block, header, column - 1);
    return std::string_view(text + begin, CellEnd(block, header, column) - begin);
}

bool MyGridCells::Contains(std::string_view text) const
{
    return text.empty() || FindHit(text, -1, nullptr).at != nullptr;
}

MyGridCells::Hit MyGridCells::FindHit(std::string_view text, int column, const char* from) const
{
    const char* block = block_.get();
    const uint32_t header = BlockHeader(block);
    const size_t count = header & ~kWideEnds;
    if (text.empty() || count == 0 || column < -1 || (column >= 0 && static_cast<size_t>(column) >= count))
        return {};
    // One search over the row's whole text (or up to the end of the column's cell);
    // a match that runs over the end of its cell does not count, and neither can any
    // later one starting in that cell, so the search goes on from the next cell.
    const char* bytes = block + kEndsAt + count * ((header & kWideEnds) ? 4 : 2);
    size_t cell = column < 0 ? 0 : static_cast<size_t>(column);
    const size_t first = cell == 0 ? 0 : CellEnd(block, header, cell - 1);
    const std::string_view all(bytes, CellEnd(block, header, column < 0 ? count - 1 : cell));
    for (size_t at = FindBytes(all, text, from ? static_cast<size_t>(from - bytes) : first);
         at != std::string_view::npos;) {
        while (CellEnd(block, header, cell) <= at)
            ++cell;
        const size_t end = CellEnd(block, header, cell);
        if (at + text.size() <= end)
            return Hit{bytes + at, static_cast<uint32_t>(end - at)};
        at = FindBytes(all, text, end);
    }
    return {};
}

std::wstring MyGridCells::Text(int column) const
{
    return FromUtf8(View(column));
}

void MyGridCells::Pack(const std::string_view* cells, size_t count, const PairMask* pairs)
{
    if (count == 0) {
        clear();
        return;
    }
    size_t bytes = 0;
    for (size_t i = 0; i < count; ++i)
        bytes += cells[i].size();
    const bool wide = bytes > 0xFFFF;
    const size_t endSize = wide ? 4 : 2;
    std::unique_ptr<char[]> block(new char[kEndsAt + count * endSize + bytes]);
    const uint32_t header = static_cast<uint32_t>(count) | (wide ? kWideEnds : 0);
    std::memcpy(block.get(), &header, 4);
    char* text = block.get() + kEndsAt + count * endSize;
    uint32_t end = 0;
    for (size_t i = 0; i < count; ++i) {
        if (!cells[i].empty())
            std::memcpy(text + end, cells[i].data(), cells[i].size());
        end += static_cast<uint32_t>(cells[i].size());
        if (wide) {
            std::memcpy(block.get() + kEndsAt + i * 4, &end, 4);
        } else {
            const auto end16 = static_cast<uint16_t>(end);
            std::memcpy(block.get() + kEndsAt + i * 2, &end16, 2);
        }
    }
    if (pairs) {
        pairs_ = *pairs;
    } else {
        PairSet set;
        for (size_t i = 0; i < count; ++i)
            set.Add(cells[i]);
        pairs_ = set.Mask();
    }
    block_ = std::move(block);
}

MyGridCells::PairMask MyGridCells::PairsOf(std::string_view text)
{
    PairSet set;
    set.Add(text);
    return set.Mask();
}

bool MyGridCells::MayHold(const PairMask& pairs) const
{
    uint64_t missing = 0;
    for (size_t i = 0; i < std::size(pairs.bits); ++i)
        missing |= pairs.bits[i] & ~pairs_.bits[i];
    return missing == 0;
}

void MyGridCells::Assign(const std::wstring* texts, size_t count)
{
    // Encoded into one scratch text first, so the row takes a single allocation.
    thread_local std::string scratch;
    thread_local std::vector<size_t> ends;
    scratch.clear();
    ends.clear();
    for (size_t i = 0; i < count; ++i) {
        AppendUtf8(scratch, texts[i].data(), texts[i].size());
        ends.push_back(scratch.size());
    }
    std::vector<std::string_view> cells(count);
    PairSet pairs;
    for (size_t i = 0; i < count; ++i) {
        const size_t begin = i == 0 ? 0 : ends[i - 1];
        cells[i] = std::string_view(scratch).substr(begin, ends[i] - begin);
        pairs.Add(texts[i]);
    }
    const PairMask mask = pairs.Mask();
    Pack(cells.data(), count, &mask);
}

void MyGridCells::Set(int column, const wchar_t* text)
{
    if (column < 0)
        return;
    std::string encoded;
    if (text)
        AppendUtf8(encoded, text, std::wcslen(text));
    const size_t count = std::max(size(), static_cast<size_t>(column) + 1);
    std::vector<std::string_view> cells(count);
    for (size_t i = 0; i < count; ++i)
        cells[i] = static_cast<int>(i) == column ? std::string_view(encoded) : View(static_cast<int>(i));
    Pack(cells.data(), count);
}

// ---- Rows.

void* MyGridItem::operator new(size_t size)
{
    return brindle::TakeRowSlot(size);
}

void MyGridItem::operator delete(void* row, size_t size)
{
    brindle::GiveRowSlot(row, size);
}

std::wstring MyGridItem::Text(int column) const
{
    return cells.Text(column);
}

int MyGridItem::Compare(const MyGridItem& other, int column, bool ascending) const
{
    int cmp = cells.View(column).compare(other.cells.View(column));
    return ascending ? cmp < 0 : cmp > 0;
}

int MyGridItem::Find(int column, const wchar_t* text) const
{
    if (!text || !*text)
        return 1;
    std::string needle;
    AppendUtf8(needle, text, std::wcslen(text));
    return FindUtf8(column, needle);
}

int MyGridItem::FindUtf8(int column, std::string_view text) const
{
    if (text.empty())
        return 1;
    if (column == -1)
        return cells.Contains(text) ? 1 : 0;
    if (column < 0 || column >= grid_->GetColumnCount())
        return 0;
    return cells.FindHit(text, column, nullptr).at ? 1 : 0;
}

// ---- The grid.

namespace
{

// The grid's scroll bars are drawn in the application's style, in bands of fewer lines
// than Qt's raster engine hands to its thread pool. The engine splits every fill, line
// and gradient of 96 lines or more into parts for the pool's threads and waits for them;
// that hand-over was nearly all of a bar's paint: 0.65 ms for an unclipped Fusion bar
// 1,000 px long, 0.1 ms for a 180 px one. A bar no taller than a band is drawn clipped
// to itself (unclipped, even a short bar takes the engine's slower unclipped paths); a
// taller one is drawn into an image a band high at a time, each band the whole bar
// drawn with the image's edges for its clip, and the bands are put in place. Drawn
// band by band on the bar's own painter, clipped to each band in turn, a Fusion bar
// lost its slider. A search key repaints the bars whenever the number of rows shown
// changes.
class ClippedBarStyle : public QProxyStyle
{
public:
    explicit ClippedBarStyle(QStyle* base, QObject* parent) : QProxyStyle(base) { setParent(parent); }

    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                            const QWidget* widget) const override
    {
        if (control != CC_ScrollBar) {
            QProxyStyle::drawComplexControl(control, option, painter, widget);
            return;
        }
        const QRect bar = option->rect;
        if (bar.height() <= kBandLines) {
            painter->save();
            painter->setClipRect(bar, painter->hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
            QProxyStyle::drawComplexControl(control, option, painter, widget);
            painter->restore();
            return;
        }
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        const QSize bandSize(qCeil(bar.width() * ratio), qCeil(kBandLines * ratio));
        if (band_.size() != bandSize || band_.devicePixelRatioF() != ratio) {
            band_ = QImage(bandSize, QImage::Format_ARGB32_Premultiplied);
            band_.setDevicePixelRatio(ratio);
        }
        for (int top = bar.top(); top <= bar.bottom(); top += kBandLines) {
            band_.fill(Qt::transparent);
            {
                QPainter bandPainter(&band_);
                bandPainter.translate(-bar.left(), -top);
                QProxyStyle::drawComplexControl(control, option, &bandPainter, widget);
            }
            const int lines = std::min(kBandLines, bar.bottom() + 1 - top);
            painter->drawImage(QRect(bar.left(), top, bar.width(), lines), band_,
                               QRectF(0, 0, bar.width() * ratio, lines * ratio));
        }
    }

private:
    static constexpr int kBandLines = 64;
    mutable QImage band_;
};

} // namespace

MyGridCtrl::MyGridCtrl(QWidget* parent) : MyScrollWindow(parent) {}

MyGridCtrl::~MyGridCtrl()
{
    if (MyGetCapture() == this)
        MyReleaseCapture();
}

int MyGridCtrl::Create(uint32_t style, const RECT& r, QWidget* parent, unsigned id)
{
    if (created_)
        return 0;
    MyScrollWindow::Create(style & ~WS_VISIBLE, r, parent, static_cast<int>(id));
    setAttribute(Qt::WA_OpaquePaintEvent);
    vbar_ = new QScrollBar(Qt::Vertical, this);
    hbar_ = new QScrollBar(Qt::Horizontal, this);
    // Made after the bars, so it is deleted after them (a parent deletes its children
    // in the order they came).
    QStyle* barStyle = nullptr;
    if (QStyle* base = QStyleFactory::create(QApplication::style()->name()))
        barStyle = new ClippedBarStyle(base, this);
    for (QScrollBar* bar : {vbar_, hbar_}) {
        if (barStyle)
            bar->setStyle(barStyle);
        bar->setFocusPolicy(Qt::NoFocus);
        bar->setEnabled(false);
        bar->hide();
        ConnectScrollBar(bar);
    }
    header_ = new MyGridHeader(this);
    leader_ = new MyGridLeader(this);
    client_ = new MyGridClient(this);
    created_ = 1;
    MeasureFont();
    SetScrollSizes(MM_TEXT, SIZE{0, 0}, SIZE{0, 0}, SIZE{0, 0});
    PlacePanes();
    if (style & WS_VISIBLE)
        show();
    return 1;
}

void MyGridCtrl::MeasureFont()
{
    if (!created_)
        return;
    QImage probe(1, 1, QImage::Format_ARGB32_Premultiplied);
    CDC dc;
    dc.AttachImage(&probe);
    if (const CFont* font = OnGetFont())
        dc.SelectObject(*font);
    int cy = dc.GetTextExtent(L"ABC").cy;
    header_->headerHeight = cy + 10;
    client_->rowHeight = std::max(1, cy + 9);
}

void MyGridCtrl::SetGridFont(const CFont* font)
{
    hasFont_ = font && font->IsCreated();
    if (hasFont_)
        font_ = *font;
    MeasureFont();
    if (created_) {
        UpdateScroll();
        PlacePanes();
    }
}

const CFont* MyGridCtrl::OnGetFont()
{
    return hasFont_ ? &font_ : nullptr;
}

int MyGridCtrl::RowHeight() const
{
    return client_ ? client_->rowHeight : 20;
}

int MyGridCtrl::HeaderHeight() const
{
    return header_ ? header_->headerHeight : 20;
}

RECT MyGridCtrl::HeaderRect() const
{
    int v = vbar_ && vbar_->isEnabled() ? const_sbsize_cx() : 0;
    return MakeRect(leader_->leaderWidth, 0, width() - v, header_->headerHeight);
}

RECT MyGridCtrl::LeaderRect() const
{
    int hb = hbar_ && hbar_->isEnabled() ? const_sbsize_cy() : 0;
    return MakeRect(0, header_->headerHeight, leader_->leaderWidth, height() - hb);
}

RECT MyGridCtrl::RowsRect() const
{
    int v = vbar_ && vbar_->isEnabled() ? const_sbsize_cx() : 0;
    int hb = hbar_ && hbar_->isEnabled() ? const_sbsize_cy() : 0;
    return MakeRect(leader_->leaderWidth, header_->headerHeight, width() - v, height() - hb);
}

void MyGridCtrl::PlacePanes()
{
    if (!created_)
        return;
    auto place = [](QWidget* w, const RECT& r) {
        w->setGeometry(r.left, r.top, std::max(0, RectWidth(r)), std::max(0, RectHeight(r)));
    };
    place(header_, HeaderRect());
    place(leader_, LeaderRect());
    place(client_, RowsRect());
    int v = const_sbsize_cx();
    int hb = const_sbsize_cy();
    int hbCount = hbar_->isEnabled() ? hb : 0;
    int vCount = vbar_->isEnabled() ? v : 0;
    hbar_->setGeometry(0, height() - hb, std::max(0, width() - vCount), hb);
    vbar_->setGeometry(width() - v, 0, v, std::max(0, height() - hbCount));
}

void MyGridCtrl::Relayout()
{
    if (!created_)
        return;
    RelayoutRows();
    header_->update();
}

void MyGridCtrl::RelayoutRows()
{
    if (!created_)
        return;
    RelayoutRowsInPlace();
    // The panes are painted once, with the focus row in view.
    ScrollRowIntoView(client_->focus, false);
}

void MyGridCtrl::RelayoutRowsInPlace()
{
    if (!created_)
        return;
    int shown = static_cast<int>(client_->Shown().size());
    SetScrollSizes(MM_TEXT, SIZE{header_->TotalWidth(), (shown + 1) * client_->rowHeight}, SIZE{0, 0},
                   SIZE{0, 0});
    // A header that moves or changes width (a bar came or went) is painted by the move.
    PlacePanes();
    leader_->update();
    client_->update();
}

void MyGridCtrl::resizeEvent(QResizeEvent*)
{
    if (!created_)
        return;
    UpdateScroll();
    PlacePanes();
}

// ---- Scrolling.

void MyGridCtrl::UpdateScroll()
{
    if (!created_)
        return;
    SIZE area{width() - leader_->leaderWidth, height() - header_->headerHeight};
    SIZE range;
    POINT pos;
    SIZE need;
    SIZE bars{const_sbsize_cx(), const_sbsize_cy()};
    if (!CalcScrollState(area, bars, range, pos, need) || (!need.cx && !need.cy)) {
        // The titles move only when the columns were scrolled sideways; a header that
        // grows into a bar's place is painted by its resize.
        const bool titlesMove = GetHScrollPos() != 0;
        SetHScrollPos(0, 0);
        SetVScrollPos(0, 0);
        EnableHScrollBar(0);
        EnableVScrollBar(0);
        PlacePanes();
        RepaintRows();
        if (titlesMove)
            header_->update();
        return;
    }
    if (need.cx)
        area.cy -= bars.cy;
    if (need.cy)
        area.cx -= bars.cx;
    SIZE total = GetTotalSize();
    {
        QSignalBlocker bv(vbar_);
        QSignalBlocker bh(hbar_);
        vbar_->setRange(0, std::max(0, total.cy - area.cy));
        vbar_->setPageStep(std::max(1, area.cy));
        vbar_->setSingleStep(std::max(1, client_->rowHeight));
        hbar_->setRange(0, std::max(0, total.cx - area.cx));
        hbar_->setPageStep(std::max(1, area.cx));
        hbar_->setSingleStep(std::max(1, GetLineSize().cx));
    }
    EnableHScrollBar(need.cx);
    EnableVScrollBar(need.cy);
    POINT clamped{std::clamp<int>(pos.x, 0, hbar_->maximum()), std::clamp<int>(pos.y, 0, vbar_->maximum())};
    ScrollToPosition(clamped);
    PlacePanes();
}

int MyGridCtrl::IsVScrollBarEnabled()
{
    return vbar_ && vbar_->isEnabled() ? 1 : 0;
}

int MyGridCtrl::IsHScrollBarEnabled()
{
    return hbar_ && hbar_->isEnabled() ? 1 : 0;
}

int MyGridCtrl::GetVScrollPos()
{
    return vbar_ ? vbar_->value() : 0;
}

int MyGridCtrl::SetVScrollPos(int pos, int)
{
    if (!vbar_)
        return 0;
    int old = vbar_->value();
    QSignalBlocker block(vbar_);
    vbar_->setValue(pos);
    return old;
}

int MyGridCtrl::GetVScrollLimit()
{
    return vbar_ ? vbar_->maximum() : 0;
}

int MyGridCtrl::GetVScrollTrackPos()
{
    return vbar_ ? vbar_->sliderPosition() : 0;
}

void MyGridCtrl::EnableVScrollBar(int enable)
{
    vbar_->setEnabled(enable != 0);
    vbar_->setVisible(enable != 0);
}

int MyGridCtrl::GetHScrollPos()
{
    return hbar_ ? hbar_->value() : 0;
}

int MyGridCtrl::SetHScrollPos(int pos, int)
{
    if (!hbar_)
        return 0;
    int old = hbar_->value();
    QSignalBlocker block(hbar_);
    hbar_->setValue(pos);
    return old;
}

int MyGridCtrl::GetHScrollLimit()
{
    return hbar_ ? hbar_->maximum() : 0;
}

int MyGridCtrl::GetHScrollTrackPos()
{
    return hbar_ ? hbar_->sliderPosition() : 0;
}

void MyGridCtrl::EnableHScrollBar(int enable)
{
    hbar_->setEnabled(enable != 0);
    hbar_->setVisible(enable != 0);
}

// The panes read the scroll positions when they paint, so moving the content is a
// repaint of the panes that moved.
void MyGridCtrl::DoScrollWindow(int dx, int dy)
{
    if (!created_)
        return;
    header_->DoScrollWindow(dx, 0);
    leader_->DoScrollWindow(0, dy);
    client_->DoScrollWindow(dx, dy);
}

void MyGridCtrl::DoUpdateWindow()
{
    if (!created_)
        return;
    header_->repaint();
    leader_->repaint();
    client_->repaint();
}

void MyGridCtrl::ScrollIntoView(int row)
{
    ScrollRowIntoView(row, true);
}

void MyGridCtrl::ScrollRowIntoView(int row, bool paintNow)
{
    if (!created_)
        return;
    int y = -GetVScrollPos() + client_->OrdinalOf(row) * client_->rowHeight;
    int paneHeight = client_->height();
    int dy = 0;
    if (y + client_->rowHeight > paneHeight)
        dy = y + client_->rowHeight - paneHeight;
    else if (y < 0)
        dy = y;
    if (dy == 0)
        return;
    if (paintNow)
        DoScroll(SIZE{0, dy}, 1);
    else
        ScrollToPosition(
            POINT{GetHScrollPos(), std::clamp(GetVScrollPos() + dy, 0, std::max(0, GetVScrollLimit()))});
}

void MyGridCtrl::RepaintRows()
{
    if (!created_)
        return;
    leader_->update();
    client_->update();
}

// ---- Columns.

int MyGridCtrl::AddColumn(const wchar_t* title, int width, unsigned format)
{
    GridColumn c;
    c.title = title ? title : L"";
    c.width = width;
    c.format = format;
    header_->columns.push_back(c);
    return GetColumnCount() - 1;
}

int MyGridCtrl::SetColumn(int index, const wchar_t* title, int width, unsigned format)
{
    if (index < 0 || index >= GetColumnCount())
        return 0;
    GridColumn& c = header_->columns[index];
    c.title = title ? title : L"";
    c.width = width;
    c.format = format;
    c.sortMark = 0;
    return 1;
}

int MyGridCtrl::DeleteColumn(int index)
{
    if (index < 0 || index >= GetColumnCount())
        return 0;
    header_->columns.erase(header_->columns.begin() + index);
    return 1;
}

int MyGridCtrl::DeleteAllColumns()
{
    header_->columns.clear();
    return 1;
}

int MyGridCtrl::GetColumnCount() const
{
    return header_ ? static_cast<int>(header_->columns.size()) : 0;
}

std::wstring MyGridCtrl::GetColumnText(int index) const
{
    if (index < 0 || index >= GetColumnCount())
        return std::wstring();
    return header_->columns[index].title;
}

int MyGridCtrl::GetColumnWidth(int index) const
{
    if (index < 0 || index >= GetColumnCount())
        return 0;
    return header_->columns[index].width;
}

int MyGridCtrl::GetColumnSortMark(int index) const
{
    if (index < 0 || index >= GetColumnCount())
        return 0;
    return header_->columns[index].sortMark;
}

// ---- Rows.

MyGridItem* MyGridCtrl::Row(int row) const
{
    if (!client_ || row < 0 || row >= static_cast<int>(client_->rows.size()))
        return nullptr;
    return client_->rows[row].get();
}

int MyGridCtrl::AddItem(const wchar_t* text, uint64_t data)
{
    auto item = std::make_unique<MyGridItem>(this);
    if (text)
        item->cells.Set(0, text);
    item->data = data;
    client_->rows.push_back(std::move(item));
    client_->Appended();
    MakeNoteRoom();
    return GetItemCount() - 1;
}

int MyGridCtrl::SetItemText(int row, int column, const wchar_t* text)
{
    MyGridItem* item = Row(row);
    if (!item || column < 0)
        return 0;
    item->cells.Set(column, text);
    if (row < foundRows_)
        filterValid_ = false;
    return 1;
}

int MyGridCtrl::SetItemTexts(int row, const std::wstring* texts, int count)
{
    MyGridItem* item = Row(row);
    if (!item || count < 0)
        return 0;
    item->cells.Assign(texts, static_cast<size_t>(count));
    if (row < foundRows_)
        filterValid_ = false;
    return 1;
}

std::wstring MyGridCtrl::GetItemText(int row, int column) const
{
    MyGridItem* item = Row(row);
    return item ? item->Text(column) : std::wstring();
}

int MyGridCtrl::SetItemData(int row, uint64_t data)
{
    MyGridItem* item = Row(row);
    if (!item)
        return 0;
    item->data = data;
    dataHint_ = -1;
    return 1;
}

uint64_t MyGridCtrl::GetItemData(int row) const
{
    MyGridItem* item = Row(row);
    return item ? item->data : 0;
}

int MyGridCtrl::FindItemData(uint64_t data) const
{
    // The bill list asks for the same bill's row key after key while it is hidden: the
    // row last found is its first while no row moved or changed its word since.
    const int count = GetItemCount();
    if (dataHint_ >= 0 && dataHint_ < count && client_->rows[static_cast<size_t>(dataHint_)]->data == data)
        return dataHint_;
    // Every row is a block of its own: the ones some steps ahead are asked for early.
    for (int i = 0; i < count; ++i) {
        if (i + 16 < count)
            __builtin_prefetch(client_->rows[static_cast<size_t>(i) + 16].get());
        if (client_->rows[static_cast<size_t>(i)]->data == data) {
            dataHint_ = i;
            return i;
        }
    }
    return -1;
}

int MyGridCtrl::DeleteItem(int row)
{
    MyGridItem* item = Row(row);
    if (!item)
        return 0;
    if (item->visible && item->checked)
        --client_->checkCount;
    if (row < foundRows_)
        --foundRows_;
    if (row < placedRows_)
        --placedRows_;
    client_->rows.erase(client_->rows.begin() + row);
    client_->Reshuffled();
    dataHint_ = -1;
    if (client_->focus == row) {
        // The focused bill is gone: the new-row line takes the focus, never a neighbour.
        client_->focus = -1;
        client_->newRow.focus = 1;
    } else if (client_->focus > row) {
        --client_->focus;
    }
    return 1;
}

int MyGridCtrl::DeleteItems(const std::vector<int>& doomed)
{
    std::vector<char> gone(client_->rows.size(), 0);
    int count = 0;
    for (int row : doomed) {
        if (row >= 0 && row < GetItemCount() && !gone[row]) {
            gone[row] = 1;
            ++count;
        }
    }
    if (count == 0)
        return 0;
    // One pass: the rows that stay close up in their order, and the focus index
    // follows its row as it does for one deletion at a time.
    int focus = client_->focus;
    bool focusGone = false;
    size_t kept = 0;
    for (size_t i = 0; i < client_->rows.size(); ++i) {
        MyGridItem& item = *client_->rows[i];
        if (gone[i]) {
            if (item.visible && item.checked)
                --client_->checkCount;
            if (static_cast<int>(i) < foundRows_)
                --foundRows_;
            if (static_cast<int>(i) < placedRows_)
                --placedRows_;
            if (static_cast<int>(i) == client_->focus)
                focusGone = true;
            continue;
        }
        if (static_cast<int>(i) == client_->focus)
            focus = static_cast<int>(kept);
        client_->rows[kept++] = std::move(client_->rows[i]);
    }
    client_->rows.resize(kept);
    client_->Reshuffled();
    dataHint_ = -1;
    if (focusGone) {
        client_->focus = -1;
        client_->newRow.focus = 1;
    } else if (client_->focus >= 0) {
        client_->focus = focus;
    }
    return count;
}

int MyGridCtrl::DeleteItemText(int row)
{
    MyGridItem* item = Row(row);
    if (!item)
        return 0;
    item->cells.clear();
    item->data = 0;
    dataHint_ = -1;
    filterValid_ = false;
    SetCheck(*item, 0);
    if (!item->visible) {
        item->visible = 1;
        client_->Reshuffled();
    }
    item->focus = 0;
    if (client_->focus == row) {
        client_->focus = -1;
        client_->newRow.focus = 1;
    }
    return 1;
}

int MyGridCtrl::DeleteAllItems()
{
    filterValid_ = false;
    filterText_.clear();
    foundRows_ = 0;
    placedRows_ = 0;
    findScratch_.reset();
    dataHint_ = -1;
    client_->rows.clear();
    client_->Reshuffled();
    client_->checkCount = 0;
    client_->focus = -1;
    client_->newRow.focus = 1;
    return 1;
}

int MyGridCtrl::GetItemCount() const
{
    return client_ ? static_cast<int>(client_->rows.size()) : 0;
}

int MyGridCtrl::IsItemVisible(int row) const
{
    MyGridItem* item = Row(row);
    return item ? item->visible : 0;
}

int MyGridCtrl::IsItemChecked(int row) const
{
    MyGridItem* item = Row(row);
    return item ? item->checked : 0;
}

void MyGridCtrl::SetCheck(MyGridItem& item, int check)
{
    check = check ? 1 : 0;
    if (!item.visible || item.checked == check)
        return;
    item.checked = check;
    client_->checkCount += check ? 1 : -1;
}

int MyGridCtrl::GetCheckCount() const
{
    return client_ ? client_->checkCount : 0;
}

int MyGridCtrl::GetCheckNext(int after) const
{
    for (int i = std::max(0, after + 1); i < GetItemCount(); ++i)
        if (client_->rows[i]->checked)
            return i;
    return -1;
}

int MyGridCtrl::SetCheckItem(int row, int check)
{
    MyGridItem* item = Row(row);
    if (!item || !item->visible)
        return 0;
    SetCheck(*item, check);
    RepaintRows();
    return 1;
}

int MyGridCtrl::SetCheckAll(int check)
{
    for (auto& item : client_->rows)
        SetCheck(*item, check);
    RepaintRows();
    return 1;
}

int MyGridCtrl::ReverseItemCheck(int row)
{
    MyGridItem* item = Row(row);
    if (!item || !item->visible)
        return 0;
    SetCheck(*item, !item->checked);
    RepaintRows();
    return 1;
}

int MyGridCtrl::GetFocusItem() const
{
    return client_ ? client_->focus : -1;
}

int MyGridCtrl::SetFocusItem(int row)
{
    if (!created_)
        return 0;
    MoveFocus(row, true);
    return 1;
}

void MyGridCtrl::MoveFocus(int row, bool paintNow)
{
    int old = client_->focus;
    if (MyGridItem* item = Row(old)) {
        if (item->visible)
            item->focus = 0;
    } else {
        client_->newRow.focus = 0;
    }
    MyGridItem* item = Row(row);
    if (item && item->visible) {
        client_->focus = row;
        item->focus = 1;
    } else {
        client_->focus = row < 0 || row >= GetItemCount() ? -1 : row;
        client_->newRow.focus = 1;
    }
    ScrollRowIntoView(client_->focus, paintNow);
    RepaintRows();
    OnFocusedItemChanged();
}

int MyGridCtrl::RefreshFocus()
{
    client_->focus = -1;
    for (int i = 0; i < GetItemCount(); ++i) {
        if (client_->rows[i]->focus) {
            client_->focus = i;
            break;
        }
    }
    return client_->focus;
}

namespace
{

// A few threads that stay, for a find over many rows. The walk waits on memory, row
// after row, far more than it computes, so stretches of rows tested on several
// threads at once go about as many times faster. A part reads and marks its own
// rows only, never a widget; the thread that asked waits for every part and puts
// their counts and lists together in row order.
class RowPool
{
public:
    static RowPool& Get()
    {
        static RowPool pool;
        return pool;
    }

    RowPool(const RowPool&) = delete;
    RowPool& operator=(const RowPool&) = delete;

    // Runs work(0) .. work(parts - 1), on the pool and on the calling thread; returns
    // once every part is done.
    void Run(size_t parts, const std::function<void(size_t)>& work)
    {
        // One find at a time uses the threads.
        std::lock_guard<std::mutex> one(runMutex_);
        if (threads_.empty() || parts < 2) {
            for (size_t part = 0; part < parts; ++part)
                work(part);
            return;
        }
        {
            std::lock_guard<std::mutex> lock(mutex_);
            work_ = &work;
            parts_ = parts;
            next_.store(0);
            done_ = 0;
            ++generation_;
        }
        wake_.notify_all();
        const size_t mine = Take(work);
        std::unique_lock<std::mutex> lock(mutex_);
        done_ += mine;
        // A thread that took this work may still be on its way out of it.
        finished_.wait(lock, [this] { return done_ == parts_ && busy_ == 0; });
        work_ = nullptr;
    }

private:
    // The calling thread and up to seven more: a find is a burst of a few milliseconds
    // that the operator waits on, and a walk over a hundred thousand rows still goes
    // faster on eight cores than on four before the memory is the limit.
    static constexpr unsigned kThreads = 8;

    RowPool()
    {
        const unsigned count = std::min(std::max(1u, std::thread::hardware_concurrency()), kThreads);
        for (unsigned i = 1; i < count; ++i)
            threads_.emplace_back([this] { Serve(); });
    }

    ~RowPool()
    {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stop_ = true;
        }
        wake_.notify_all();
        for (std::thread& thread : threads_)
            thread.join();
    }

    size_t Take(const std::function<void(size_t)>& work)
    {
        size_t count = 0;
        for (size_t part = next_.fetch_add(1); part < parts_; part = next_.fetch_add(1)) {
            work(part);
            ++count;
        }
        return count;
    }

    void Serve()
    {
        uint64_t seen = 0;
        std::unique_lock<std::mutex> lock(mutex_);
        for (;;) {
            wake_.wait(lock, [&] { return stop_ || (work_ && generation_ != seen); });
            if (stop_)
                return;
            seen = generation_;
            const std::function<void(size_t)>* work = work_;
            ++busy_;
            lock.unlock();
            const size_t count = Take(*work);
            lock.lock();
            --busy_;
            done_ += count;
            if (done_ == parts_ && busy_ == 0)
                finished_.notify_one();
        }
    }

    std::vector<std::thread> threads_;
    std::mutex runMutex_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable finished_;
    const std::function<void(size_t)>* work_ = nullptr;
    size_t parts_ = 0;
    std::atomic<size_t> next_{0};
    size_t done_ = 0;
    int busy_ = 0;
    uint64_t generation_ = 0;
    bool stop_ = false;
};

// Below this many rows a find is one walk on the calling thread: waking the pool
// would cost more than it saves.
constexpr size_t kPoolRows = 4096;
// A part of a find on the pool: small enough that the threads finish together.
constexpr size_t kPartRows = 1024;
// A find over some thousands of rows (a key after the first few) is cut finer: eleven
// parts on eight threads leave most threads idle for the last three, and the rows that
// fail at their notes, the ones read, lie unevenly.
constexpr size_t kFewestParts = 64;
constexpr size_t kLeastPartRows = 128;

} // namespace

// A find over many rows. The rows that pass are written over the list being walked
// (the shown rows when narrowing, else a list of every row), each stretch of it from
// its own start, then closed up. Beside each row, where its text was found and the
// bytes from there on: the next key, which only adds to the text, is checked against
// those first, and only a row that fails there is read (the rows are separate blocks
// all over memory; these notes are one line a row, side by side, in row order).
struct MyGridCtrl::FindScratch {
    static constexpr size_t kSeenBytes = 48;
    struct Seen {
        const char* at;
        uint32_t left;
        // The bytes from `at` on, as far as its cell goes.
        char bytes[kSeenBytes];
    };
    // The notes lie in blocks of a thousand that stay, each made and its pages touched
    // as the grid grows past it, so the rows of a long list pay for their notes' memory
    // while they come in. Made at the first key instead, a hundred thousand fresh notes
    // cost more in page faults than the walk that writes them (2 ms against 0.8 ms).
    static constexpr size_t kNoteShift = 10;
    static constexpr size_t kBlockNotes = size_t{1} << kNoteShift;
    Seen& Note(size_t row) { return notes[row >> kNoteShift][row & (kBlockNotes - 1)]; }
    void MakeRoom(size_t count)
    {
        // Made zeroed, which touches every page of the block now.
        while (notes.size() * kBlockNotes < count)
            notes.push_back(std::make_unique<Seen[]>(kBlockNotes));
    }
    // Notes for `count` rows, from the first; those already there are written over by
    // the walk that asks.
    void UseNotes(size_t count)
    {
        MakeRoom(count);
        seenCount = count;
    }
    // A row's note as it was before a key found its text further on in the row.
    struct Moved {
        int row;
        Seen note;
    };
    struct Part {
        size_t passed = 0;
        // The rows shown or hidden, and the ticks taken off the rows hidden.
        size_t changed = 0;
        int unticked = 0;
        // When narrowing: the rows this part hid, in order, and the notes it moved.
        std::vector<int> hidden;
        std::vector<Moved> moved;
        // When extending: the places of the part's rows that fail at their notes (the
        // part's own, not a thread's: a thread's list costs a call for its address at
        // every use from a shared library).
        std::vector<uint32_t> failing;
    };
    // A key that narrowed the find: the text before it, the rows it hid and the notes
    // it moved. Taking the key back (BackSpace) shows exactly those rows again and puts
    // the notes back, without reading a row: a row hidden by the key that made the text
    // T+c holds T. The lists are the parts' own, taken as they are, one stretch of the
    // rows after another in row order: a key may hide a million rows.
    struct Step {
        std::string text;
        std::vector<std::vector<int>> hidden;
        std::vector<std::vector<Moved>> moved;
        // The key only added to the end of the text: the notes before it are the
        // notes after it with the moved ones put back.
        bool notesKept = false;
    };
    std::vector<Part> parts;
    std::vector<int> rows;
    std::vector<std::unique_ptr<Seen[]>> notes;
    size_t seenCount = 0;
    // The shown rows with the rows a BackSpace shows again, merged (kept for its room).
    std::vector<int> merged;
    // The notes are those of the shown rows, one for each row by its index, for the
    // last find's text and column, while the client's shuffles stay at this count.
    bool seenValid = false;
    uint64_t shuffles = 0;
    // The keys since the last find that looked at every row, oldest first; they hold
    // while no cell changed and the rows kept their places and number (the shuffles).
    std::vector<Step> steps;
};

void MyGridCtrl::MakeNoteRoom()
{
    // A short list's notes are made at its first key: they cost next to nothing then.
    const size_t count = client_->rows.size();
    if (count < kPoolRows)
        return;
    if (!findScratch_)
        findScratch_ = std::make_unique<FindScratch>();
    findScratch_->MakeRoom(count);
}

int MyGridCtrl::Find(int column, const wchar_t* text)
{
    std::string needle;
    if (text)
        AppendUtf8(needle, text, std::wcslen(text));
    if (!findScratch_)
        findScratch_ = std::make_unique<FindScratch>();
    FindScratch& scratch = *findScratch_;
    const auto& rows = client_->rows;
    // The keys kept hold only over the very rows they looked at.
    if (!filterValid_ || column != filterColumn_ || scratch.shuffles != client_->Shuffles())
        scratch.steps.clear();
    // A text some key was typed after (BackSpace, or a selection of the last keys
    // deleted) is what was shown before that key: the rows it and the keys after it
    // hid are shown again, and no row is read.
    size_t takeBack = scratch.steps.size();
    while (takeBack > 0 && scratch.steps[takeBack - 1].text != needle)
        --takeBack;
    bool changed = false;
    if (takeBack > 0) {
        std::vector<int>& shown = scratch.rows;
        shown = client_->Shown();
        std::vector<int>& merged = scratch.merged;
        for (size_t s = scratch.steps.size(); s-- > takeBack - 1;) {
            FindScratch::Step& step = scratch.steps[s];
            const std::vector<std::vector<int>>& stretches = step.hidden;
            size_t count = 0;
            for (const std::vector<int>& hidden : stretches)
                count += hidden.size();
            // The rows are separate blocks: the ones some steps ahead are asked for
            // early, and many rows are shared out over the pool's threads.
            const std::function<void(size_t)> show = [&](size_t part) {
                const std::vector<int>& hidden = stretches[part];
                for (size_t i = 0; i < hidden.size(); ++i) {
                    if (i + 16 < hidden.size())
                        __builtin_prefetch(rows[static_cast<size_t>(hidden[i + 16])].get(), 1);
                    rows[static_cast<size_t>(hidden[i])]->visible = 1;
                }
            };
            if (count < kPoolRows) {
                for (size_t part = 0; part < stretches.size(); ++part)
                    show(part);
            } else {
                RowPool::Get().Run(stretches.size(), show);
            }
            if (count > 0) {
                changed = true;
                merged.resize(shown.size() + count);
                if (merged.size() == rows.size()) {
                    // Every row is shown again (a text each row holds, the empty one
                    // among them): the list is the rows in their order, no merge needed.
                    std::iota(merged.begin(), merged.end(), 0);
                } else {
                    auto from = shown.cbegin();
                    auto to = merged.begin();
                    for (const std::vector<int>& hidden : stretches) {
                        const auto below = std::lower_bound(from, shown.cend(), hidden.back());
                        to = std::merge(from, below, hidden.begin(), hidden.end(), to);
                        from = below;
                    }
                    std::copy(from, shown.cend(), to);
                }
                shown.swap(merged);
            }
            for (const std::vector<FindScratch::Moved>& stretch : step.moved)
                for (const FindScratch::Moved& moved : stretch)
                    scratch.Note(static_cast<size_t>(moved.row)) = moved.note;
            scratch.seenValid = scratch.seenValid && step.notesKept;
        }
        scratch.steps.resize(takeBack - 1);
        if (changed)
            client_->Reshuffled();
        client_->SetShown(shown);
    } else {
        changed = Filter(column, needle);
    }
    scratch.shuffles = client_->Shuffles();
    filterValid_ = true;
    filterColumn_ = column;
    filterText_ = std::move(needle);
    foundRows_ = GetItemCount();
    // Only the focus row carries the focus mark, and a hidden row loses it.
    const int old = client_->focus;
    const int focus = old >= 0 && old < GetItemCount() && client_->rows[old]->focus ? old : -1;
    changed = changed || focus != old || (focus < 0 && !client_->newRow.focus);
    client_->focus = focus;
    if (changed) {
        // Painted with the next paint of the rows, not at once: a caller lays the rows
        // out again first, and that paint would be thrown away.
        MoveFocus(focus, false);
        return 1;
    }
    // Nothing on screen changed: the rows are not painted again.
    ScrollIntoView(focus);
    OnFocusedItemChanged();
    return 0;
}

bool MyGridCtrl::Filter(int column, const std::string& needle)
{
    FindScratch& scratch = *findScratch_;
    // A text that holds the last one (a key typed at the end of the search) can only
    // hide more: only the rows still shown need a look, unless a cell changed since.
    const bool narrowing =
        filterValid_ && column == filterColumn_ && needle.find(filterText_) != std::string::npos;
    if (!narrowing)
        scratch.steps.clear();
    // What a row is tested on, settled here: the threads never ask the grid.
    enum class Test { All, Text, None };
    const Test test = needle.empty()                                               ? Test::All
                      : column == -1 || (column >= 0 && column < GetColumnCount()) ? Test::Text
                                                                                   : Test::None;
    const auto& rows = client_->rows;
    // A text that starts with the last one is found, in a row, no earlier than where
    // the last one was.
    const bool extending = narrowing && test == Test::Text && scratch.seenValid &&
                           scratch.shuffles == client_->Shuffles() &&
                           needle.compare(0, filterText_.size(), filterText_) == 0 &&
                           scratch.seenCount == rows.size();
    std::vector<int>& order = scratch.rows;
    if (narrowing) {
        client_->Shown();
        order.swap(client_->shown_);
    } else {
        order.resize(rows.size());
        for (size_t i = 0; i < order.size(); ++i)
            order[i] = static_cast<int>(i);
    }
    if (!extending)
        scratch.UseNotes(rows.size());
    const size_t count = order.size();
    const size_t parts = count < kPoolRows ? 1
                                           : std::max((count + kPartRows - 1) / kPartRows,
                                                      std::min(kFewestParts, count / kLeastPartRows));
    if (scratch.parts.size() < parts)
        scratch.parts.resize(parts);
    const std::string_view want(needle);
    // A text of two characters or more: most rows that cannot hold it say so in their
    // mask, and their text is not read.
    const MyGridCells::PairMask pairs = MyGridCells::PairsOf(want);
    const bool masked = test == Test::Text && !pairs.empty();
    // Asking for a row some steps ahead: first the row (its flags and mask, one line),
    // then, once the row is in, its text if the mask lets it be read.
    const auto prefetchRow = [](const MyGridItem& item) { __builtin_prefetch(&item); };
    const auto mayHold = [&](const MyGridItem& item) { return !masked || item.cells.MayHold(pairs); };
    const auto prefetchText = [&](const MyGridItem& item) {
        if (mayHold(item))
            item.cells.Prefetch();
    };
    const std::function<void(size_t)> walk = [&](size_t part) {
        FindScratch::Part& out = scratch.parts[part];
        out.changed = 0;
        out.unticked = 0;
        out.hidden.clear();
        out.moved.clear();
        // A row is shown or hidden by the part that looks at it; the check count and
        // the shown list are put together by the thread that asked.
        const auto mark = [&out](MyGridItem& item, bool show) {
            ++out.changed;
            if (show) {
                item.visible = 1;
                return;
            }
            if (item.visible && item.checked) {
                item.checked = 0;
                ++out.unticked;
            }
            item.focus = 0;
            item.visible = 0;
        };
        const size_t begin = count * part / parts;
        const size_t end = count * (part + 1) / parts;
        size_t passed = begin;
        // When extending, the notes are checked first, side by side in memory; the rows
        // that fail there are the only ones read, and those are asked for some steps
        // ahead, like every row of a full walk.
        std::vector<uint32_t>& failing = out.failing;
        failing.clear();
        if (extending) {
            for (size_t k = begin; k < end; ++k) {
                const FindScratch::Seen& note = scratch.Note(static_cast<size_t>(order[k]));
                bool holds = false;
                if (note.left >= want.size()) {
                    if (want.size() <= FindScratch::kSeenBytes)
                        holds = std::memcmp(note.bytes, want.data(), want.size()) == 0;
                    else
                        holds = std::memcmp(note.at, want.data(), want.size()) == 0;
                }
                if (!holds)
                    failing.push_back(static_cast<uint32_t>(k));
            }
            failing.push_back(static_cast<uint32_t>(end));
        }
        size_t nextFailing = 0;
        // The rows are a hundred thousand separate blocks: asking for the ones some
        // steps ahead, the row first and its text once the row is in, keeps the walk
        // from waiting on memory at every row.
        for (size_t k = begin; k < end; ++k) {
            const int row = order[k];
            FindScratch::Seen& note = scratch.Note(static_cast<size_t>(row));
            bool show = false;
            if (extending) {
                // Every row here is shown and was found at its note: only the rows that
                // fail there are read.
                show = k != failing[nextFailing];
                if (!show) {
                    ++nextFailing;
                    if (nextFailing + 32 + 1 < failing.size())
                        prefetchRow(*rows[static_cast<size_t>(order[failing[nextFailing + 32]])]);
                    if (nextFailing + 16 + 1 < failing.size())
                        prefetchText(*rows[static_cast<size_t>(order[failing[nextFailing + 16]])]);
                    MyGridItem& item = *rows[static_cast<size_t>(row)];
                    MyGridCells::Hit hit;
                    if (mayHold(item)) {
                        hit = item.cells.FindHit(want, column, note.at + 1);
                        show = hit.at != nullptr;
                    }
                    if (show) {
                        // Found further on: the note as it was goes with the key, for
                        // BackSpace to put back.
                        out.moved.push_back(FindScratch::Moved{row, note});
                        note.at = hit.at;
                        note.left = hit.left;
                        std::memcpy(note.bytes, hit.at, std::min<size_t>(hit.left, FindScratch::kSeenBytes));
                    } else {
                        mark(item, false);
                        out.hidden.push_back(row);
                    }
                }
            } else {
                if (k + 32 < end)
                    prefetchRow(*rows[static_cast<size_t>(order[k + 32])]);
                if (k + 16 < end)
                    prefetchText(*rows[static_cast<size_t>(order[k + 16])]);
                MyGridItem& item = *rows[static_cast<size_t>(row)];
                MyGridCells::Hit hit;
                if (test == Test::Text) {
                    if (mayHold(item)) {
                        hit = item.cells.FindHit(want, column, nullptr);
                        show = hit.at != nullptr;
                    }
                } else {
                    show = test == Test::All;
                }
                // A hidden row has no check and no focus mark; only a row whose marks
                // change is written to.
                if (show ? item.visible != 1 : item.visible != 0 || item.focus != 0)
                    mark(item, show);
                if (!show && narrowing)
                    out.hidden.push_back(row);
                // The notes serve a text only; a row hidden keeps the note it had.
                if (show && test == Test::Text) {
                    note.at = hit.at;
                    note.left = hit.left;
                    std::memcpy(note.bytes, hit.at, std::min<size_t>(hit.left, FindScratch::kSeenBytes));
                }
            }
            if (show)
                order[passed++] = row;
        }
        out.passed = passed - begin;
    };
    // A grid of a few rows never starts the pool's threads.
    if (parts < 2)
        walk(0);
    else
        RowPool::Get().Run(parts, walk);
    // The parts' rows closed up: the rows now shown, in their order, taken as they are
    // instead of another walk over every row.
    FindScratch::Step step;
    if (narrowing) {
        step.text = filterText_;
        step.notesKept = extending;
    }
    size_t shown = 0;
    bool changed = false;
    for (size_t part = 0; part < parts; ++part) {
        FindScratch::Part& out = scratch.parts[part];
        const size_t begin = count * part / parts;
        if (shown != begin && out.passed > 0)
            std::memmove(order.data() + shown, order.data() + begin, out.passed * sizeof(int));
        shown += out.passed;
        changed = changed || out.changed > 0;
        client_->checkCount -= out.unticked;
        if (narrowing && !out.hidden.empty()) {
            step.hidden.emplace_back();
            step.hidden.back().swap(out.hidden);
        }
        if (narrowing && !out.moved.empty()) {
            step.moved.emplace_back();
            step.moved.back().swap(out.moved);
        }
    }
    if (narrowing)
        scratch.steps.push_back(std::move(step));
    if (changed)
        client_->Reshuffled();
    order.resize(shown);
    client_->SetShown(order);
    scratch.seenValid = test == Test::Text;
    return changed;
}

void MyGridCtrl::FindNewRows(int from)
{
    const int count = GetItemCount();
    from = std::clamp(from, 0, count);
    foundRows_ = count;
    if (from == count || filterText_.empty())
        return;
    bool hid = false;
    for (int i = from; i < count; ++i) {
        MyGridItem& item = *client_->rows[static_cast<size_t>(i)];
        if (!item.visible || item.FindUtf8(filterColumn_, filterText_))
            continue;
        SetCheck(item, 0);
        item.visible = 0;
        item.focus = 0;
        hid = true;
        if (client_->focus == i) {
            client_->focus = -1;
            client_->newRow.focus = 1;
        }
    }
    if (!hid)
        return;
    // The rows before `from` keep their places in the visible list; only its tail is
    // made again.
    if (client_->shownValid_) {
        std::vector<int>& shown = client_->shown_;
        shown.erase(std::lower_bound(shown.begin(), shown.end(), from), shown.end());
        for (int i = from; i < count; ++i)
            if (client_->rows[static_cast<size_t>(i)]->visible)
                shown.push_back(i);
    }
    ++client_->shuffles_;
}

int MyGridCtrl::PlaceNewRows(int first)
{
    FindNewRows(first);
    auto& rows = client_->rows;
    const size_t count = rows.size();
    // Rows the program added on its own since the last placing (a bill saved) are
    // put in order with them, so that the rows before stay sorted.
    first = std::clamp(std::min(first, placedRows_), 0, static_cast<int>(count));
    placedRows_ = static_cast<int>(count);
    if (static_cast<size_t>(first) == count)
        return 0;
    int column = -1;
    for (size_t i = 0; i < header_->columns.size(); ++i)
        if (header_->columns[i].sortMark != 0)
            column = static_cast<int>(i);
    if (column < 0)
        return 0;
    const bool ascending = header_->columns[static_cast<size_t>(column)].sortMark == -1;
    const auto before = [column, ascending](const std::unique_ptr<MyGridItem>& a,
                                            const std::unique_ptr<MyGridItem>& b) {
        return a->Compare(*b, column, ascending) != 0;
    };
    // The new rows sorted among themselves, then merged from the back: each finds its
    // place among the sorted rows by a binary search, and the rows after it move up
    // as one stretch, so a part costs its rows' searches and one move of the list's
    // tail, not a comparison for every row listed.
    std::vector<std::unique_ptr<MyGridItem>> added(std::make_move_iterator(rows.begin() + first),
                                                   std::make_move_iterator(rows.end()));
    brindle::IntroSortRows(added, before);
    const MyGridItem* focused = Row(client_->focus);
    size_t sorted = static_cast<size_t>(first); // rows [0, sorted) not yet moved
    size_t write = count;
    for (size_t j = added.size(); j-- > 0;) {
        // After the equal rows already listed, as a sort that keeps ties in their order.
        const size_t place = static_cast<size_t>(
            std::upper_bound(rows.begin(), rows.begin() + static_cast<std::ptrdiff_t>(sorted), added[j],
                             before) -
            rows.begin());
        const size_t stretch = sorted - place;
        std::move_backward(rows.begin() + static_cast<std::ptrdiff_t>(place),
                           rows.begin() + static_cast<std::ptrdiff_t>(sorted),
                           rows.begin() + static_cast<std::ptrdiff_t>(write));
        write -= stretch;
        sorted = place;
        rows[--write] = std::move(added[j]);
    }
    client_->Reshuffled();
    dataHint_ = -1;
    if (focused) {
        for (size_t i = 0; i < count; ++i) {
            if (rows[i].get() == focused) {
                client_->focus = static_cast<int>(i);
                break;
            }
        }
    }
    return 1;
}

void MyGridCtrl::DoSort(int column, bool ascending)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    // The rows move: a change to any of them makes the last find stale.
    foundRows_ = GetItemCount();
    placedRows_ = GetItemCount();
    brindle::IntroSortRows(client_->rows,
                           [column, ascending](const std::unique_ptr<MyGridItem>& a,
                                               const std::unique_ptr<MyGridItem>& b) {
                               return a->Compare(*b, column, ascending) != 0;
                           });
    client_->Reshuffled();
    dataHint_ = -1;
    RefreshFocus();
    ScrollIntoView(client_->focus);
    RepaintRows();
    QApplication::restoreOverrideCursor();
}

void MyGridCtrl::HeaderClick(int column)
{
    if (column < 0 || column >= GetColumnCount())
        return;
    GridColumn& c = header_->columns[column];
    c.sortMark = c.sortMark == -1 ? 1 : -1;
    DoSort(column, c.sortMark == -1);
}

// ---- Mouse and keys.

int MyGridCtrl::HitTestRow(QPoint p)
{
    int x0 = -GetHScrollPos();
    int x1 = x0 + header_->TotalWidth();
    if (p.x() < x0 || p.x() > x1)
        return -1;
    return client_->RowAtY(p.y());
}

void MyGridCtrl::LeaderPress(int row)
{
    setFocus(Qt::MouseFocusReason);
    leader_->pressed = row;
    if (row >= 0) {
        ReverseItemCheck(row);
        SetFocusItem(row);
    }
    leader_->update();
}

void MyGridCtrl::ClientPress(QPoint pt, bool right)
{
    setFocus(Qt::MouseFocusReason);
    int row = HitTestRow(pt);
    SetFocusItem(row);
    if (right && row >= 0)
        OnRButtonUpItem(client_->mapToGlobal(pt));
}

void MyGridCtrl::mousePressEvent(QMouseEvent* event)
{
    QPoint p = event->position().toPoint();
    if (event->button() == Qt::LeftButton && p.x() < leader_->leaderWidth && p.y() < header_->headerHeight) {
        cornerPressed_ = 1;
        MySetCapture(this);
        update(0, 0, leader_->leaderWidth, header_->headerHeight);
    }
}

void MyGridCtrl::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !cornerPressed_)
        return;
    cornerPressed_ = 0;
    MyReleaseCapture();
    update(0, 0, leader_->leaderWidth, header_->headerHeight);
    QPoint p = event->position().toPoint();
    if (p.x() >= 0 && p.x() < leader_->leaderWidth && p.y() >= 0 && p.y() < header_->headerHeight)
        SetCheckAll(GetCheckCount() <= 0 ? 1 : 0);
}

void MyGridCtrl::keyPressEvent(QKeyEvent* event)
{
    uint32_t vk = plat::VirtualKeyFromQt(event->key());
    bool ctrl = (event->modifiers() & Qt::ControlModifier) && !(event->modifiers() & Qt::ShiftModifier);
    const std::vector<int>& shown = client_->Shown();
    int focus = client_->focus;
    if (vk == plat::VK_DOWN) {
        if (shown.empty())
            return;
        if (ctrl) {
            SetFocusItem(shown.back());
            return;
        }
        if (focus < 0 || focus >= GetItemCount()) {
            SetFocusItem(shown.front());
            return;
        }
        int ordinal = client_->OrdinalOf(focus);
        SetFocusItem(shown[std::min<int>(ordinal + 1, static_cast<int>(shown.size()) - 1)]);
        return;
    }
    if (vk == plat::VK_UP) {
        if (shown.empty())
            return;
        if (ctrl) {
            SetFocusItem(shown.front());
            return;
        }
        if (focus < 0 || focus >= GetItemCount()) {
            SetFocusItem(shown.back());
            return;
        }
        int ordinal = client_->OrdinalOf(focus);
        SetFocusItem(shown[std::max(ordinal - 1, 0)]);
        return;
    }
    MyScrollWindow::keyPressEvent(event);
}

void MyGridCtrl::focusInEvent(QFocusEvent*)
{
    if (!created_)
        return;
    SetFocusItem(client_->focus);
    RepaintRows();
}

void MyGridCtrl::focusOutEvent(QFocusEvent*)
{
    RepaintRows();
}

// ---- Painting of the grid's own parts: the corner and the square between the bars.

void MyGridCtrl::paintEvent(QPaintEvent*)
{
    if (!created_)
        return;
    // The panes and bars cover the rest: only the corner and the square between the
    // bars are the grid's own.
    RECT corner = MakeRect(0, 0, leader_->leaderWidth, header_->headerHeight);
    {
        MyPaintCanvas dc(this, &corner, 0);
        OnEraseCossBkgrnd(dc, corner, cornerPressed_ ? -1 : 1);
    }
    if (vbar_->isEnabled() && hbar_->isEnabled()) {
        RECT square = MakeRect(width() - const_sbsize_cx(), height() - const_sbsize_cy(), width(), height());
        MyPaintCanvas dc(this, &square, 0);
        dc.FillSolidRect(square, GetSysColor(COLOR_BTNFACE));
    }
}

// ---- Paint hooks.

void MyGridCtrl::OnEraseCossBkgrnd(CDC& dc, const RECT& r, int state)
{
    EraseButton(dc, r, state);
}

COLORREF MyGridCtrl::OnEraseHeaderButton(CDC& dc, const RECT& r, int state)
{
    EraseButton(dc, r, state);
    return GetSysColor(COLOR_BTNTEXT);
}

void MyGridCtrl::OnEraseHeaderBkgrnd(CDC& dc, const RECT& r)
{
    dc.FillSolidRect(r, GetSysColor(COLOR_BTNFACE));
}

void MyGridCtrl::OnDrawHeaderBottom(CDC& dc, const RECT& r)
{
    Draw3dRect(dc, r, GetSysColor(COLOR_3DDKSHADOW), GetSysColor(COLOR_3DDKSHADOW));
}

void MyGridCtrl::OnDrawHeaderSeparator(CDC& dc, const RECT& r)
{
    Draw3dRect(dc, r, GetSysColor(COLOR_3DDKSHADOW), GetSysColor(COLOR_3DDKSHADOW));
}

COLORREF MyGridCtrl::OnEraseLeaderButton(CDC& dc, const RECT& r, int state)
{
    EraseButton(dc, r, state);
    return GetSysColor(COLOR_BTNTEXT);
}

COLORREF MyGridCtrl::OnEraseLeaderBkgrnd(CDC& dc, const RECT& r)
{
    dc.FillSolidRect(r, GetSysColor(COLOR_BTNFACE));
    return GetSysColor(COLOR_BTNTEXT);
}

void MyGridCtrl::OnDrawLeaderRight(CDC& dc, const RECT& r)
{
    Draw3dRect(dc, r, GetSysColor(COLOR_3DDKSHADOW), GetSysColor(COLOR_3DDKSHADOW));
}

void MyGridCtrl::OnDrawLeaderSeparator(CDC& dc, const RECT& r)
{
    Draw3dRect(dc, r, GetSysColor(COLOR_3DDKSHADOW), GetSysColor(COLOR_3DDKSHADOW));
}

COLORREF MyGridCtrl::OnDrawItemHighlight(CDC& dc, const RECT& r, int focused)
{
    if (!focused) {
        dc.FillSolidRect(r, GetSysColor(COLOR_BACKGROUND));
        return GetSysColor(COLOR_HIGHLIGHTTEXT);
    }
    if (hasFocus() || isAncestorOf(QApplication::focusWidget())) {
        dc.FillSolidRect(r, GetSysColor(COLOR_HIGHLIGHT));
        return GetSysColor(COLOR_HIGHLIGHTTEXT);
    }
    dc.FillSolidRect(r, GetSysColor(COLOR_INACTIVEBORDER));
    return GetSysColor(COLOR_BTNTEXT);
}

COLORREF MyGridCtrl::OnEraseItemBkgrnd(CDC& dc, const RECT& r)
{
    dc.FillSolidRect(r, GetSysColor(COLOR_WINDOW));
    return GetSysColor(COLOR_WINDOWTEXT);
}

void MyGridCtrl::OnDrawItemSeparator(CDC& dc, const RECT& r)
{
    Draw3dRect(dc, r, GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_BTNFACE));
}

void MyGridCtrl::OnEraseClientBkgrnd(CDC& dc, const RECT& r)
{
    dc.FillSolidRect(r, GetSysColor(COLOR_WINDOW));
}

void MyGridCtrl::OnFocusedItemChanged() {}
void MyGridCtrl::OnRButtonUpItem(QPoint) {}
