#include "DoxPageWindow.h"

#include <QApplication>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QInputMethod>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QTransform>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>
#include <utility>

#include "ByteStream.h"
#include "DoxControl.h"
#include "DoxDC.h"
#include "DoxPage.h"
#include "DrawUnits.h"
#include "IDoxImageData.h"
#include "IDoxPage.h"
#include "IDoxWindowUISink.h"
#include "KeyRepeat.h"
#include "Messages.h"
#include "ModuleError.h"
#include "PictureRoutines.h"
#include "SystemColors.h"
#include "WindowDC.h"

#include <cstdlib>

namespace
{
constexpr uint32_t kWsVisible = 0x10000000;
const wchar_t kNoApplication[] = L"创建填单窗口失败：程序没有图形界面。";
const wchar_t kNoWindow[] = L"创建填单窗口失败。";

uint32_t MouseFlags(const QMouseEvent* event)
{
    return plat::KeyStateFromQt(event->modifiers(), event->buttons());
}

SIZE PixelsOf(int cx, int cy)
{
    SIZE size{cx, cy};
    TenthMmToPixels(100, &size);
    return size;
}
} // namespace

// ---------------------------------------------------------------- page client

DoxPageClient::DoxPageClient(DoxPageWindow* pageWindow, QWidget* parent)
    : QWidget(parent), pageWindow_(pageWindow)
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setCursor(Qt::ArrowCursor);
    plat::AskForDetectableAutoRepeat();
}

DoxPageClient::~DoxPageClient()
{
    runner_.Detach();
    editor_.TearDown();
    tip_.Destroy();
}

bool DoxPageClient::CreateParts()
{
    return editor_.Create(this) && tip_.Create(this) && runner_.CreateTools(this, &editor_, &tip_);
}

void DoxPageClient::SetUISink(IDoxWindowUISink* sink)
{
    sink_ = sink;
    pageWindow_->SetUISink(sink);
    pageWindow_->NClient()->SetUISink(sink);
    pageWindow_->NClient()->update();
}

QWidget* DoxPageClient::GetHwnd()
{
    return pageWindow_;
}

void DoxPageClient::MoveWindow(int x, int y, int cx, int cy)
{
    pageWindow_->setGeometry(x, y, cx, cy);
}

void DoxPageClient::EndEdit(int commit)
{
    // The host saves or leaves the bill (Ctrl+S, Ctrl+N, a toolbar button): what is
    // being composed goes with the field's value.
    FinishComposition();
    if (commit)
        runner_.CloseEdit();
    else
        runner_.CancelEdit();
    SyncInputMethod();
}

void DoxPageClient::PaintToDC(CDC* dc)
{
    if (dc)
        pageWindow_->PaintCorner(*dc);
}

void DoxPageClient::UpdateLayout()
{
    if (!page_)
        return;
    SIZE size{0, 0};
    page_->GetSize(&size);
    pageWindow_->SetPageSize(size.cx, size.cy);
    // Drawn by the first paint: a template opens with its bill list, whose first rows
    // then show without waiting for a page-sized picture nobody sees yet.
    backBufferStale_ = true;
    update();
}

void DoxPageClient::Copy()
{
    if (IsEditing())
        editor_.Edit().Copy();
}

void DoxPageClient::Paste()
{
    if (IsEditing())
        editor_.Edit().Paste();
}

void DoxPageClient::Cut()
{
    if (IsEditing())
        editor_.Edit().Cut();
}

void DoxPageClient::SelectAll()
{
    if (IsEditing())
        editor_.Edit().SelectAll();
}

int DoxPageClient::IsEditing()
{
    return editor_.IsShown() && (editor_.GetStyle() & DoxEditorHost::TextEditor) ? 1 : 0;
}

IDoxPage* DoxPageClient::GetPage()
{
    return page_;
}

int DoxPageClient::AttachPage(IDoxPage* page)
{
    if (!page || page_)
        return 0;
    if (!runner_.Attach(page))
        return 0;
    page_ = page;
    UpdateLayout();
    SyncInputMethod();
    return 1;
}

void DoxPageClient::DetachPage()
{
    runner_.Detach();
    page_ = nullptr;
    pageWindow_->SetPageSize(0, 0);
    backBuffer_.DeleteObject();
    backBufferStale_ = false;
    editor_.SetTarget(nullptr, false);
    tip_.Hide();
    SyncInputMethod();
}

int DoxPageClient::IsBackgroundVisible()
{
    return showBackground_ ? 1 : 0;
}

void DoxPageClient::ShowBackground(int show)
{
    if ((show != 0) == showBackground_)
        return;
    showBackground_ = show != 0;
    // Without a page there is no buffer: the flag is kept for the next one. A buffer
    // still to be built takes the flag when it is.
    if (!backBuffer_.IsCreated() || backBufferStale_)
        return;
    RedrawBackBuffer();
    update();
}

void DoxPageClient::FinalRelease()
{
    runner_.Detach();
    // The outer window owns this client: deleting it deletes all three windows.
    delete pageWindow_;
}

void DoxPageClient::EnsureBackBuffer()
{
    if (!backBufferStale_)
        return;
    backBufferStale_ = false;
    RebuildBackBuffer();
}

void DoxPageClient::RebuildBackBuffer()
{
    backBuffer_.DeleteObject();
    if (!backBuffer_.CreateBitmap(std::max(1, width()), std::max(1, height())))
        return;
    RedrawBackBuffer();
}

void DoxPageClient::RedrawBackBuffer()
{
    CDC mem;
    if (!mem.CreateCompatibleDC(nullptr))
        return;
    mem.SelectObject(&backBuffer_);
    const SIZE size = backBuffer_.GetSize();
    const RECT client{0, 0, size.cx, size.cy};
    mem.FillSolidRect(client, GetSysColor(COLOR_WINDOW));
    if (showBackground_ && page_) {
        // A picture that cannot be streamed or decoded is simply not drawn.
        plat::ByteStream stream;
        auto* doxPage = dynamic_cast<DoxPage*>(page_);
        ImageHolder picture;
        if (doxPage && doxPage->LoadBackgroundStream(stream) && GdiplusBitmapFromStream(picture, stream.Bytes())) {
            if (page_->GetBackgroundStretch())
                GdiplusDrawImageRect(&mem, picture, 0, 0, size.cx, size.cy);
            else
                GdiplusDrawImage(&mem, picture, 0, 0);
        }
    }
    CBrush black;
    black.CreateSolidBrush(0);
    mem.FrameRect(client, black);
    mem.DeleteDC();
}

void DoxPageClient::InvalidatePixels(const RECT& rect, bool /*now*/)
{
    const QRect area(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    if (area.isEmpty())
        return;
    pendingUpdate_ |= area;
    if (updateQueued_)
        return;
    updateQueued_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            updateQueued_ = false;
            update(std::exchange(pendingUpdate_, QRect()));
            // A field or the editor changed without a key or click of ours (the host
            // made a new bill, committed the edit): the input method follows.
            SyncInputMethod();
        },
        Qt::QueuedConnection);
}

bool DoxPageClient::ShowsChanges()
{
    // A hidden window paints whole when it shows, and Qt repaints a window whole
    // when its painting resumes.
    return isVisible() && updatesEnabled();
}

void DoxPageClient::ValidatePixels(const RECT& /*rect*/)
{
    // Qt keeps no update region to take an area out of; the next paint simply
    // paints it again from the same state.
}

RECT DoxPageClient::ToPixels(const RECT& rect)
{
    if (!mapping_)
        mapping_ = MakeClientDCX(2, 100);
    RECT px = rect;
    mapping_->LPtoDP(&px);
    return RECT{std::min(px.left, px.right), std::min(px.top, px.bottom), std::max(px.left, px.right),
                std::max(px.top, px.bottom)};
}

POINT DoxPageClient::ToLogical(QPoint point) const
{
    if (!mapping_)
        mapping_ = MakeClientDCX(2, 100);
    POINT p{point.x(), point.y()};
    mapping_->DPtoLP(&p);
    return p;
}

void DoxPageClient::SetPointer(DoxRunCursor cursor)
{
    setCursor(cursor == DoxRunCursor::IBeam ? Qt::IBeamCursor : Qt::ArrowCursor);
}

void DoxPageClient::CommitOnLeave()
{
    if (!page_ || runner_.TabList().empty() || !runner_.GetCurrentField())
        return;
    runner_.CloseEdit();
}

bool DoxPageClient::event(QEvent* event)
{
    // The client wants every key, Tab and Shift+Tab included (DLGC_WANTALLKEYS).
    if (event->type() == QEvent::KeyPress) {
        keyPressEvent(static_cast<QKeyEvent*>(event));
        return true;
    }
    if (event->type() == QEvent::FocusAboutToChange &&
        static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason && !editor_.IsPopupOpen()) {
        // The input method is still the page's: the composition ends in its own field
        // before the list, the search box or a dialog takes the keys.
        FinishComposition();
    }
    if (event->type() == QEvent::ShortcutOverride) {
        // Plain keys and the editor's own Ctrl+C, Ctrl+V and Ctrl+X are the page's;
        // the host's shortcuts (Ctrl+S, Ctrl+P, Alt+..., the function keys, and
        // Shift+Insert and Shift+Delete, its paste and cut) stay the host's.
        auto* key = static_cast<QKeyEvent*>(event);
        const bool modified = key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
        const bool clipboard = IsEditing() && key->modifiers() == Qt::ControlModifier &&
                               (key->key() == Qt::Key_C || key->key() == Qt::Key_V || key->key() == Qt::Key_X);
        const bool functionKey = key->key() >= Qt::Key_F1 && key->key() <= Qt::Key_F35;
        const bool shiftedEdit = (key->modifiers() & Qt::ShiftModifier) &&
                                 (key->key() == Qt::Key_Insert || key->key() == Qt::Key_Delete);
        if ((!modified && !functionKey && !shiftedEdit) || clipboard) {
            event->accept();
            return true;
        }
    }
    return QWidget::event(event);
}

void DoxPageClient::paintEvent(QPaintEvent* /*event*/)
{
    try {
        EnsureBackBuffer();
        DoxPaintDC dc(this);
        if (backBuffer_.IsCreated())
            backBuffer_.BlitTo(&dc);
        else
            dc.FillSolidRect(RECT{0, 0, width(), height()}, GetSysColor(COLOR_WINDOW));
        runner_.Paint(dc);
        dc.SetMapMode(MM_TEXT);
        editor_.Paint(dc);
        tip_.Paint(dc);
    } catch (const DoxResourceException&) {
        // Nothing to paint into: the next paint tries again.
    }
    PaintPreedit();
}

QRect DoxPageClient::PreeditRect() const
{
    const QRect caret = editor_.CaretRect();
    return QRect(caret.topLeft(), QSize(QFontMetrics(editor_.EditorQFont()).horizontalAdvance(preedit_), caret.height()));
}

void DoxPageClient::PaintPreedit()
{
    if (preedit_.isEmpty() || !IsEditing())
        return;
    // The text being composed shows where it will go, underlined, over what follows
    // the caret; the input method's own window shows the candidates below it.
    QPainter painter(this);
    const QFont font = editor_.EditorQFont();
    painter.setFont(font);
    const QRect area = PreeditRect();
    const QFontMetrics metrics(font);
    painter.fillRect(area, Qt::white);
    painter.setPen(Qt::black);
    const int baseline = area.top() + (area.height() + metrics.ascent() - metrics.descent()) / 2;
    painter.drawText(QPoint(area.left(), baseline), preedit_);
    painter.drawLine(area.left(), area.bottom(), area.right(), area.bottom());
    if (preeditCaret_)
        painter.fillRect(InputCursorRect(), Qt::black);
}

void DoxPageClient::ButtonDown(QPoint point, uint32_t flags, bool right)
{
    heldKeys_.clear();
    setFocus(Qt::MouseFocusReason);
    const int x = point.x();
    const int y = point.y();
    if (!right) {
        if (editor_.OnLButtonDown(flags, x, y))
            return;
        tip_.OnLButtonDown(flags, x, y);
    } else if (editor_.OnRButtonDown(flags, x, y)) {
        return;
    }
    // A composition belongs to the field it was typed in: it ends there before the
    // click can move the editor, so the clicked field starts clean.
    FinishComposition();
    const POINT at = ToLogical(point);
    auto dc = MakeClientDCX(2, 100);
    const QPointer<DoxPageClient> alive(this);
    if (!runner_.OnClick(dc.get(), flags, at.x, at.y) && alive)
        runner_.CloseEdit();
    if (alive)
        SyncInputMethod();
}

void DoxPageClient::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton || event->button() == Qt::RightButton)
        ButtonDown(event->position().toPoint(), MouseFlags(event), event->button() == Qt::RightButton);
}

void DoxPageClient::mouseReleaseEvent(QMouseEvent* event)
{
    const uint32_t flags = MouseFlags(event);
    const QPoint p = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        editor_.OnLButtonUp(flags, p.x(), p.y());
        tip_.OnLButtonUp(flags, p.x(), p.y());
    } else if (event->button() == Qt::RightButton) {
        if (!editor_.OnRButtonUp(flags, p.x(), p.y()) && sink_)
            sink_->OnRButtonUp(flags, p.x(), p.y());
    }
}

void DoxPageClient::mouseDoubleClickEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    if (event->button() == Qt::LeftButton)
        editor_.OnLButtonDblClk(MouseFlags(event), p.x(), p.y());
}

void DoxPageClient::mouseMoveEvent(QMouseEvent* event)
{
    const uint32_t flags = MouseFlags(event);
    const QPoint p = event->position().toPoint();
    if (editor_.OnMouseMove(flags, p.x(), p.y()) || tip_.OnMouseMove(flags, p.x(), p.y()))
        return;
    const POINT at = ToLogical(p);
    auto dc = MakeClientDCX(2, 100);
    if (!runner_.OnMouseMove(dc.get(), flags, at.x, at.y))
        setCursor(Qt::ArrowCursor);
}

void DoxPageClient::leaveEvent(QEvent* event)
{
    // The parts' hover ends with the mouse leaving the page.
    editor_.MouseLeftHost(0, -1, -1);
    tip_.MouseLeftHost(0, -1, -1);
    QWidget::leaveEvent(event);
}

void DoxPageClient::HandleKeyDown(uint32_t key, uint32_t keyState)
{
    if (tip_.IsShown() && tip_.GetFocusPart() == &tip_)
        tip_.OnKeyDown(key, 1, keyState);
    if (editor_.KeyDown(key, 1, keyState))
        return;
    switch (key) {
    case plat::VK_TAB:
        if (keyState & plat::MK_SHIFT)
            runner_.FocusPrev();
        else
            runner_.FocusNext();
        break;
    case plat::VK_RETURN:
        if (editor_.IsShown())
            runner_.CloseEdit();
        else
            runner_.OpenEdit();
        break;
    case plat::VK_ESCAPE:
        runner_.CancelEdit();
        break;
    case plat::VK_PRIOR:
    case plat::VK_NEXT:
        pageWindow_->DoKeyScroll(key);
        break;
    default:
        break;
    }
}

void DoxPageClient::HandleKeyPress(QKeyEvent* event)
{
    if (!event->isAutoRepeat())
        heldKeys_.insert(event->key());
    uint32_t key = plat::VirtualKeyFromQt(event->key());
    uint32_t state = plat::KeyStateFromQt(event->modifiers(), QApplication::mouseButtons());
    if (event->key() == Qt::Key_Backtab) {
        key = plat::VK_TAB;
        state |= plat::MK_SHIFT;
    }
    // Characters go to the editor that was open when the key went down: the Enter
    // that opens an editor is not typed into it.
    const bool editing = editor_.IsShown();
    if (key)
        HandleKeyDown(key, state);
    uint32_t chars[16];
    const int count = plat::CharsOfKeyEvent(event, chars, 16);
    if (!editing && !editor_.IsShown() && IsTyping(event, chars, count)) {
        // A character on the framed field with no editor open is the start of its
        // value: the editor opens as Enter would open it, and the character goes in.
        runner_.OpenEdit();
        if (!editor_.IsShown())
            return;
    } else if (!editing || !editor_.IsShown()) {
        return;
    }
    for (int i = 0; i < count; ++i)
        editor_.Char(chars[i], 1, state);
}

void DoxPageClient::keyPressEvent(QKeyEvent* event)
{
    // A key may open a popup whose loop sees the page go.
    const QPointer<DoxPageClient> alive(this);
    HandleKeyPress(event);
    // The key may have opened, closed or moved the editor: the input method learns
    // before the next key whether and where to compose.
    if (alive)
        SyncInputMethod();
}

bool DoxPageClient::IsTyping(const QKeyEvent* event, const uint32_t* chars, int count)
{
    if (count <= 0 || (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
        return false;
    return std::all_of(chars, chars + count, [](uint32_t ch) { return ch >= 0x20 && ch != 0x7F; });
}

void DoxPageClient::keyReleaseEvent(QKeyEvent* event)
{
    // A held key repeats its press, not its release (the X server is asked for that;
    // where it cannot, Qt marks the release of each repeat). A release whose press
    // this page did not see, or whose hold a click or a focus change ended, belongs
    // to no field here: a Space held over a click would tick the clicked box again.
    if (event->isAutoRepeat() || !heldKeys_.remove(event->key()))
        return;
    const uint32_t state = plat::KeyStateFromQt(event->modifiers(), QApplication::mouseButtons());
    editor_.KeyUp(plat::VirtualKeyFromQt(event->key()), 1, state);
}

void DoxPageClient::focusOutEvent(QFocusEvent* event)
{
    heldKeys_.clear();
    // A popup of the editor (history list, calendar, context menu) keeps the edit.
    if (event->reason() != Qt::PopupFocusReason && !editor_.IsPopupOpen())
        CommitOnLeave();
    SyncInputMethod();
    QWidget::focusOutEvent(event);
}

void DoxPageClient::focusInEvent(QFocusEvent* event)
{
    heldKeys_.clear();
    QWidget::focusInEvent(event);
    // Qt asked the input method's questions as the focus came; the answers hold from
    // here on, and are told again whenever they change.
    imEnabled_ = TakesText();
    imCursor_ = InputCursorRect();
    imOrigin_ = QPoint(-1, -1);
    SyncInputMethod();
}

void DoxPageClient::inputMethodEvent(QInputMethodEvent* event)
{
    if (finishing_ && !IsEditing()) {
        // What the input method hands back of a composition whose editor has gone
        // belongs to no field: the current field is another one by now.
        event->accept();
        return;
    }
    // A composition on the framed field starts its value, as a typed character does.
    const bool input = !event->preeditString().isEmpty() || !event->commitString().isEmpty();
    if (!IsEditing() && input && !editor_.IsShown())
        runner_.OpenEdit();
    if (!IsEditing()) {
        event->ignore();
        SyncInputMethod();
        return;
    }
    const bool preedit = !event->preeditString().isEmpty();
    if (preedit && !composing_) {
        composing_ = true;
        editor_.ImeStartComposition();
    }
    // The typed text may open the history list, whose loop may see the page go.
    const QPointer<DoxPageClient> alive(this);
    const std::wstring result = event->commitString().toStdWString();
    if (!result.empty())
        editor_.ImeResult(result);
    if (!alive)
        return;
    preedit_ = event->preeditString();
    preeditCursor_ = static_cast<int>(preedit_.size());
    preeditCaret_ = true;
    for (const QInputMethodEvent::Attribute& attribute : event->attributes()) {
        if (attribute.type == QInputMethodEvent::Cursor) {
            preeditCursor_ = std::clamp(attribute.start, 0, static_cast<int>(preedit_.size()));
            // A cursor of no length is one the input method wants hidden.
            preeditCaret_ = attribute.length != 0;
        }
    }
    if (!preedit && (composing_ || !result.empty())) {
        composing_ = false;
        if (finishing_) {
            // The field is being left: no history list drops down over it, where its
            // loop would take the keys meant for the next field.
            editor_.Edit().XEditWindow::OnImeEndComposition();
        } else {
            editor_.ImeEndComposition();
        }
        if (!alive)
            return;
    }
    event->accept();
    update();
    SyncInputMethod();
}

bool DoxPageClient::TakesText()
{
    if (IsEditing())
        return true;
    if (editor_.IsShown() || !page_)
        return false;
    // A framed text field takes the input method's text too: it opens its editor.
    DoxControlBase* field = runner_.GetCurrentField();
    return field && field->GetControl() && field->GetControl()->GetKindId() != DoxKindCheck;
}

QRect DoxPageClient::InputCursorRect()
{
    if (!IsEditing())
        return QRect();
    if (preedit_.isEmpty())
        return editor_.CaretRect();
    const QRect area = PreeditRect();
    const int x = area.left() + QFontMetrics(editor_.EditorQFont()).horizontalAdvance(preedit_.left(preeditCursor_));
    return QRect(x, area.top(), 1, area.height());
}

void DoxPageClient::FinishComposition()
{
    if (!composing_ || finishing_)
        return;
    const QPointer<DoxPageClient> alive(this);
    if (hasFocus()) {
        // As a line edit that loses the keyboard: the input method hands what it shows
        // to the open editor, if it keeps such text (fcitx does), and forgets the
        // composition, so that no key or late commit of it reaches the next field.
        finishing_ = true;
        QGuiApplication::inputMethod()->reset();
        if (!alive)
            return;
        finishing_ = false;
    }
    if (!composing_)
        return;
    // The input method dropped the composition (or the editor closed under it): it
    // is dropped here too.
    composing_ = false;
    preedit_.clear();
    if (IsEditing())
        editor_.Edit().XEditWindow::OnImeEndComposition();
    update();
}

void DoxPageClient::SyncInputMethod()
{
    // The editor closed in the middle of a composition (the host ended the edit, a
    // popup's loop closed it): what was being composed is dropped with it.
    if (composing_ && !IsEditing())
        FinishComposition();
    const bool enabled = TakesText();
    const QRect cursor = InputCursorRect();
    // Qt places the answers by where the page was when it took the focus, and learns
    // of the page's own moves only: the page moves with its scroll bars and with the
    // host's layout, so the input method is told where the page is now.
    const QPoint origin = mapTo(window(), QPoint(0, 0));
    if (enabled == imEnabled_ && cursor == imCursor_ && origin == imOrigin_)
        return;
    imEnabled_ = enabled;
    imCursor_ = cursor;
    imOrigin_ = origin;
    if (!hasFocus())
        return;
    QInputMethod* method = QGuiApplication::inputMethod();
    method->setInputItemTransform(QTransform::fromTranslate(origin.x(), origin.y()));
    method->setInputItemRectangle(rect());
    method->update(Qt::ImEnabled | Qt::ImCursorRectangle | Qt::ImFont | Qt::ImHints);
}

QVariant DoxPageClient::inputMethodQuery(Qt::InputMethodQuery query) const
{
    auto* self = const_cast<DoxPageClient*>(this);
    switch (query) {
    case Qt::ImEnabled:
        return self->TakesText();
    case Qt::ImCursorRectangle:
        return self->InputCursorRect();
    case Qt::ImFont:
        return self->editor_.EditorQFont();
    default:
        return QWidget::inputMethodQuery(query);
    }
}

// ---------------------------------------------------------------- non-client

DoxPageNClient::DoxPageNClient(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void DoxPageNClient::paintEvent(QPaintEvent* /*event*/)
{
    try {
        CPaintDCX dc(this);
        const RECT rect{0, 0, width(), height()};
        if (sink_)
            sink_->OnEraseBackground(&dc, &rect);
        else
            dc.FillSolidRect(rect, GetSysColor(COLOR_BTNFACE));
    } catch (const DoxResourceException&) {
    }
}

void DoxPageNClient::mousePressEvent(QMouseEvent* event)
{
    // A click beside the page reaches the page client: it takes the focus and
    // commits the open edit.
    auto* window = static_cast<DoxPageWindow*>(parentWidget());
    window->mousePressEvent(event);
}

// ---------------------------------------------------------------- outer window

DoxPageWindow::DoxPageWindow() : DoxScrollBarWindow(nullptr) {}
DoxPageWindow::~DoxPageWindow() = default;

bool DoxPageWindow::Create(IDoxPage* page, uint32_t style, const QRect* rect, QWidget* parent, uint32_t id)
{
    if (parent)
        setParent(parent);
    if (rect)
        setGeometry(*rect);
    setObjectName(QString::number(id));
    setFocusPolicy(Qt::StrongFocus);
    CreateBars();
    nclient_ = new DoxPageNClient(this);
    client_ = new DoxPageClient(this, nclient_);
    if (!client_->CreateParts())
        return false;
    created_ = true;
    client_->AttachPage(page);
    Layout();
    if (style & kWsVisible)
        show();
    return true;
}

void DoxPageWindow::SetPageSize(int cx, int cy)
{
    // A 1 mm margin at the right and the bottom.
    SetScrollSizes(2, 100, cx + 10, cy + 10, 0, 0, 0, 0);
    if (!created_)
        return;
    const SIZE page = PixelsOf(cx, cy);
    client_->resize(page.cx + 1, page.cy + 1);
    Layout();
}

void DoxPageWindow::UpdateScroll()
{
    if (created_)
        UpdateBars(width(), height(), GetSystemMetrics(SM_CXVSCROLL), GetSystemMetrics(SM_CYHSCROLL));
}

void DoxPageWindow::Layout()
{
    if (!created_)
        return;
    UpdateScroll();
    const int barWidth = GetSystemMetrics(SM_CXVSCROLL);
    const int barHeight = GetSystemMetrics(SM_CYHSCROLL);
    const bool needV = VBar()->isEnabled();
    const bool needH = HBar()->isEnabled();
    const int w = std::max(0, width() - (needV ? barWidth : 0));
    const int h = std::max(0, height() - (needH ? barHeight : 0));
    nclient_->setGeometry(0, 0, w, h);
    if (needV)
        VBar()->setGeometry(width() - barWidth, 0, barWidth, h);
    if (needH)
        HBar()->setGeometry(0, height() - barHeight, w, barHeight);
    PlaceClient();
    update();
}

void DoxPageWindow::PlaceClient()
{
    if (!created_)
        return;
    const int w = nclient_->width();
    const int h = nclient_->height();
    const int x = w < client_->width() ? -HBar()->value() : (w - client_->width()) / 2;
    const int y = h < client_->height() ? -VBar()->value() : (h - client_->height()) / 2;
    client_->move(x, y);
}

void DoxPageWindow::DoScrollWindow(int /*dx*/, int /*dy*/)
{
    // The bars hold the positions; the client follows them when they change.
    if (client_)
        client_->update();
}

void DoxPageWindow::DoUpdateWindow()
{
    if (nclient_)
        nclient_->update();
}

void DoxPageWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Layout();
}

void DoxPageWindow::focusInEvent(QFocusEvent* /*event*/)
{
    if (client_)
        client_->setFocus(Qt::OtherFocusReason);
}

void DoxPageWindow::mousePressEvent(QMouseEvent* event)
{
    if (!client_ || (event->button() != Qt::LeftButton && event->button() != Qt::RightButton))
        return;
    const QPoint global = event->globalPosition().toPoint();
    client_->ButtonDown(client_->mapFromGlobal(global), MouseFlags(event), event->button() == Qt::RightButton);
}

IDoxPageWindow* CreateDoxPageWindow(IDoxPage* page, uint32_t style, const QRect* rect, QWidget* parent,
                                    uint32_t id)
{
    ClearModuleError();
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
        SetModuleError(kNoApplication);
        return nullptr;
    }
    auto* window = new DoxPageWindow;
    if (!window->Create(page, style, rect, parent, id)) {
        delete window;
        SetModuleError(kNoWindow);
        return nullptr;
    }
    return window->Client();
}
