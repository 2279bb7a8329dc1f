#include "MyGridCtrl.h"

#include "GridFind.h"
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
#include <cstring>
#include <cwchar>
#include <iterator>

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

void MyGridCells::BlockFree::operator()(char* block) const
{
    brindle::GiveCellBlock(block);
}

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
    std::unique_ptr<char[], BlockFree> block(brindle::TakeCellBlock(kEndsAt + count * endSize + bytes));
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

void MyGridCells::Assign(const std::string_view* texts, size_t count)
{
    Pack(texts, count);
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

MyGridCtrl::MyGridCtrl(QWidget* parent) : MyScrollWindow(parent), find_(std::make_unique<GridFind>()) {}

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
    LayOutRows();
    leader_->update();
    client_->update();
}

void MyGridCtrl::RelayoutRowsAppended(int shownBefore)
{
    if (!created_)
        return;
    // The rows that came in are shown after every row shown before them, where the
    // new-row line was: a list scrolled above that place shows the same rows as
    // before, and only its scroll bar changes. A million bills come in some eight
    // hundred parts; painting the whole list for each kept the clerk's keys waiting.
    const int top = GetVScrollPos();
    const bool seen = shownBefore * client_->rowHeight - top < client_->height();
    LayOutRows();
    if (seen || GetVScrollPos() != top) {
        leader_->update();
        client_->update();
    }
}

void MyGridCtrl::LayOutRows()
{
    int shown = static_cast<int>(client_->Shown().size());
    SetScrollSizes(MM_TEXT, SIZE{header_->TotalWidth(), (shown + 1) * client_->rowHeight}, SIZE{0, 0},
                   SIZE{0, 0});
    // A header that moves or changes width (a bar came or went) is painted by the move.
    PlacePanes();
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
    find_->RowsAdded(client_->rows.size());
    return GetItemCount() - 1;
}

MyGridItem* MyGridCtrl::CellsToChange(int row)
{
    MyGridItem* item = Row(row);
    if (item)
        find_->CellsChanged(row);
    return item;
}

int MyGridCtrl::SetItemText(int row, int column, const wchar_t* text)
{
    MyGridItem* item = column < 0 ? nullptr : CellsToChange(row);
    if (item)
        item->cells.Set(column, text);
    return item ? 1 : 0;
}

int MyGridCtrl::SetItemTexts(int row, const std::wstring* texts, int count)
{
    MyGridItem* item = count < 0 ? nullptr : CellsToChange(row);
    if (item)
        item->cells.Assign(texts, static_cast<size_t>(count));
    return item ? 1 : 0;
}

int MyGridCtrl::SetItemTexts(int row, const std::string_view* texts, int count)
{
    MyGridItem* item = count < 0 ? nullptr : CellsToChange(row);
    if (item)
        item->cells.Assign(texts, static_cast<size_t>(count));
    return item ? 1 : 0;
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
    find_->RowDeleted(row);
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
            find_->RowDeleted(static_cast<int>(kept));
            if (static_cast<int>(kept) < placedRows_)
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
    find_->Stale();
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
    find_->Forget();
    placedRows_ = 0;
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

int MyGridCtrl::Find(int column, const wchar_t* text)
{
    std::string needle;
    if (text)
        AppendUtf8(needle, text, std::wcslen(text));
    bool changed = find_->Run(*client_, column, GetColumnCount(), std::move(needle));
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

int MyGridCtrl::PlaceNewRows(int first)
{
    find_->MeetNewRows(*client_, first);
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
    find_->RowsMoved(GetItemCount());
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
