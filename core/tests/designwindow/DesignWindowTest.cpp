// The design window driven the way a template author drives it: QTest drags, keys
// and the wheel on the canvas of a real IDoxDesignWindow over a template page, the
// interface's commands, the control clipboard and the rulers' mouse mark.

#include <gtest/gtest.h>

#include <functional>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QImage>
#include <QProcess>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

#include <array>
#include <cmath>
#include <optional>
#include <string>

#include "ByteStream.h"
#include "DocElement.h"
#include "DoxControl.h"
#include "DoxControlClipboard.h"
#include "DoxControlKinds.h"
#include "DoxCore.h"
#include "DoxDesignWindow.h"
#include "DoxDocument.h"
#include "DoxLayer.h"
#include "DoxPage.h"
#include "DoxPageRunner.h"
#include "DoxPageWindow.h"
#include "DrawUnits.h"
#include "IDoxAttrib.h"
#include "IDoxDocument.h"
#include "IDoxPage.h"
#include "Prompter.h"
#include "TestSupport.h"

namespace
{

constexpr uint32_t kVisible = 0x10000000;

class RecordingSink : public IDoxDesignWindowSink
{
public:
    void OnSelectionChanged(IDoxAttribSet* attributes) override
    {
        ++selections;
        last = attributes;
        name = attributes ? attributes->GetName() : L"(null)";
    }
    void OnModified() override { ++modified; }

    int selections = 0;
    IDoxAttribSet* last = nullptr;
    std::wstring name;
    int modified = 0;
};

// The clipboard in memory: what was put on it, and how often.
class MemoryClipboard : public ControlClipboard
{
public:
    bool SetData(const QByteArray& bytes) override
    {
        ++sets;
        data = bytes;
        has = true;
        return true;
    }
    bool HasData() override { return has; }
    bool GetData(QByteArray& bytes) override
    {
        bytes = data;
        return has;
    }

    QByteArray data;
    bool has = false;
    int sets = 0;
};

// The canvas pixel of 0.1 mm at 100 %.
int TenthToPixel(int tenth)
{
    return static_cast<int>(std::lround(tenth * ScreenDpi / 254.0));
}

// 0.1 mm (y up) of a canvas pixel at a zoom, computed from the screen resolution.
int TenthMm(int pixel, int zoom)
{
    return static_cast<int>(std::lround(pixel * 254.0 * 100.0 / (ScreenDpi * zoom)));
}

// A form picture: a pale green paper with a blue frame and a few printed captions.
QString FormPicture(const std::wstring& path)
{
    QImage form(700, 450, QImage::Format_RGB32);
    form.fill(QColor(214, 236, 214));
    form.setDotsPerMeterX(3780);
    form.setDotsPerMeterY(3780);
    QPainter p(&form);
    p.setPen(QPen(QColor(40, 80, 160), 4));
    p.drawRect(10, 10, 680, 430);
    QFont font(QStringLiteral("WenQuanYi Zen Hei"));
    font.setPixelSize(28);
    p.setFont(font);
    p.drawText(30, 70, QStringLiteral("转账凭证"));
    p.drawText(30, 160, QStringLiteral("金额"));
    p.drawText(30, 250, QStringLiteral("收款人"));
    p.end();
    const QString file = QString::fromStdWString(path);
    form.save(file);
    return file;
}

// A scanned form covering a page of 210 x 148 mm at a resolution given in pixels a
// millimetre: pale paper, a red square from (30, 20) to (40, 30) mm and a blue one from
// (170, 120) to (180, 130) mm. Kept as PNG bytes with the resolution, the way a template
// stores a picture it was handed ready-made.
QByteArray ScannedForm(int pixelsPerMm)
{
    QImage form(210 * pixelsPerMm, 148 * pixelsPerMm, QImage::Format_RGB32);
    form.setDotsPerMeterX(pixelsPerMm * 1000);
    form.setDotsPerMeterY(pixelsPerMm * 1000);
    form.fill(QColor(232, 244, 234));
    QPainter p(&form);
    p.fillRect(30 * pixelsPerMm, 20 * pixelsPerMm, 10 * pixelsPerMm, 10 * pixelsPerMm, QColor(255, 0, 0));
    p.fillRect(170 * pixelsPerMm, 120 * pixelsPerMm, 10 * pixelsPerMm, 10 * pixelsPerMm, QColor(0, 0, 255));
    p.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    form.save(&buffer, "PNG");
    return bytes;
}

// The bounding box of the pixels close to a pure colour (empty when none).
QRect BoxOf(const QImage& image, QRgb colour)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            if (std::abs(qRed(pixel) - qRed(colour)) < 60 && std::abs(qGreen(pixel) - qGreen(colour)) < 60 &&
                std::abs(qBlue(pixel) - qBlue(colour)) < 60)
                box |= QRect(x, y, 1, 1);
        }
    return box;
}

// Where screenshots go: DOX_SCREENSHOT_DIR when set (run under Xvfb to look at
// them), else the test's scratch folder.
QString ShotPath(const doxtest::TempDir& dir, const char* name)
{
    const QByteArray folder = qgetenv("DOX_SCREENSHOT_DIR");
    const QString base = folder.isEmpty() ? QString::fromStdString(dir.path().string()) : QString::fromUtf8(folder);
    return base + "/" + QString::fromUtf8(name);
}

// The PDF's first page as an image (pdftoppm at 50 dpi).
QImage PdfImage(const QString& pdf)
{
    const QString stem = pdf + ".page";
    QProcess::execute(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("50"), QStringLiteral("-png"),
                                                   QStringLiteral("-singlefile"), pdf, stem});
    return QImage(stem + ".png");
}

// The template XML of a saved document.
QByteArray TemplateXmlOf(IDoxDocument* document)
{
    auto* doc = dynamic_cast<DoxDocument*>(document);
    DocElement* element = doc ? doc->GetElement(L"doc_dxtemplate", 0) : nullptr;
    if (!element || !element->GetData())
        return {};
    return QByteArray(reinterpret_cast<const char*>(element->GetData()), static_cast<int>(element->GetSize()));
}

class DesignWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        home_.emplace("HOME", dir_.path().string());
        config_.emplace("XDG_CONFIG_HOME", (dir_ / ".config").string());
        ASSERT_TRUE(QDir().mkpath(Documents()));
        core_ = CreateDoxCore(500, 0);
        ASSERT_NE(core_, nullptr);
        previousClipboard_ = SetControlClipboard(&clipboard_);
        document_ = core_->CreateTemplate(Path("t.dxt").c_str(), L"凭证", 2100, 1480);
        ASSERT_NE(document_, nullptr) << core_->GetLastErrorText();
        page_ = static_cast<DoxPage*>(document_->GetPage(0));
    }
    void TearDown() override
    {
        SetControlClipboard(previousClipboard_);
        if (window_)
            window_->Release();
        if (document_)
            document_->Release();
        if (core_)
            core_->Release();
    }

    std::wstring Path(const char* name) const { return (dir_ / name).wstring(); }
    QString Documents() const { return QString::fromStdString((dir_ / "Documents").string()); }

    DoxDesignClient* Open(IDoxPage* page, QSize size = QSize(900, 600))
    {
        const QRect rect(0, 0, size.width(), size.height());
        window_ = core_->CreateDesignWindow(page, kVisible, &rect, nullptr, 1);
        EXPECT_NE(window_, nullptr) << core_->GetLastErrorText();
        if (!window_)
            return nullptr;
        window_->SetDesignSink(&sink_);
        QWidget* outer = window_->GetHwnd();
        outer->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(outer));
        auto* client = dynamic_cast<DoxDesignClient*>(window_);
        client->setFocus();
        return client;
    }

    // Drags on the canvas from one pixel to another.
    static void Drag(QWidget* canvas, QPoint from, QPoint to)
    {
        QTest::mousePress(canvas, Qt::LeftButton, {}, from);
        QTest::mouseMove(canvas, (from + to) / 2);
        QTest::mouseMove(canvas, to);
        QTest::mouseRelease(canvas, Qt::LeftButton, {}, to);
    }

    static RECT RectOf(DoxControl* control)
    {
        RECT rect{};
        static_cast<GrabObjectCore*>(control)->GetRect(&rect);
        return rect;
    }

    // Two controls of a kind, one above the other (the second stays selected).
    std::array<DoxControl*, 2> DrawTwo(DoxDesignClient* client, int tool)
    {
        return {Draw(client, tool, {40, 40}, {200, 80}), Draw(client, tool, {40, 120}, {200, 160})};
    }

    DoxControl* Draw(DoxDesignClient* client, int tool, QPoint from, QPoint to)
    {
        DoxLayer* layer = page_->GetCurrentLayer();
        const size_t before = layer->Controls().size();
        window_->SetTool(tool);
        Drag(client, from, to);
        EXPECT_EQ(layer->Controls().size(), before + 1);
        return layer->Controls().size() > before ? layer->Controls().back() : nullptr;
    }

    doxtest::TempDir dir_;
    std::optional<doxtest::ScopedEnv> home_;
    std::optional<doxtest::ScopedEnv> config_;
    IDoxCore* core_ = nullptr;
    IDoxDocument* document_ = nullptr;
    DoxPage* page_ = nullptr;
    IDoxDesignWindow* window_ = nullptr;
    RecordingSink sink_;
    MemoryClipboard clipboard_;
    ControlClipboard* previousClipboard_ = nullptr;
};

} // namespace

TEST_F(DesignWindowTest, DraggingWithAToolMakesOneControlOfItsKindAtTheDraggedRectangle)
{
    DoxDesignClient* client = Open(page_);
    ASSERT_NE(client, nullptr);
    struct Case {
        int tool;
        int zoom;
        QPoint from;
        QPoint to;
    };
    const Case cases[] = {
        {DoxKindEdit, 100, {40, 30}, {200, 60}},
        {DoxKindLabel, 150, {300, 40}, {220, 90}}, // dragged up and left
        {DoxKindLine, 50, {20, 200}, {120, 230}},
        {DoxKindCheck, 125, {400, 300}, {440, 330}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tool);
        ASSERT_EQ(window_->SetZoom(c.zoom), c.zoom);
        const int modified = sink_.modified;
        DoxControl* control = Draw(client, c.tool, c.from, c.to);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->GetKindId(), c.tool);
        const RECT rect = RectOf(control);
        const int left = std::min(c.from.x(), c.to.x());
        const int right = std::max(c.from.x(), c.to.x());
        const int top = std::min(c.from.y(), c.to.y());
        const int bottom = std::max(c.from.y(), c.to.y());
        EXPECT_NEAR(rect.left, TenthMm(left, c.zoom), 1);
        EXPECT_NEAR(rect.right, TenthMm(right, c.zoom), 1);
        EXPECT_NEAR(rect.top, -TenthMm(top, c.zoom), 1);
        EXPECT_NEAR(rect.bottom, -TenthMm(bottom, c.zoom), 1);
        EXPECT_EQ(window_->GetTool(), 8);
        EXPECT_EQ(document_->IsModified(), 1);
        EXPECT_GT(sink_.modified, modified);
        EXPECT_EQ(client->FeedbackCount(), 0u);
    }

    // Esc with a tool only goes back to the pointer.
    window_->SetTool(DoxKindTable);
    QTest::keyClick(client, Qt::Key_Escape);
    EXPECT_EQ(window_->GetTool(), 8);
}

TEST_F(DesignWindowTest, ZoomStepsAndCtrlWheel)
{
    DoxDesignClient* client = Open(page_);
    ASSERT_NE(client, nullptr);
    struct Case {
        const char* what;
        int start;
        std::function<int()> step;
        int expected;
    };
    const Case cases[] = {
        {"49 is refused", 100, [&] { return window_->SetZoom(49); }, 100},
        {"151 is refused", 100, [&] { return window_->SetZoom(151); }, 100},
        {"50 is taken", 100, [&] { return window_->SetZoom(50); }, 50},
        {"150 is taken", 100, [&] { return window_->SetZoom(150); }, 150},
        {"24 is no step", 100, [&] { return window_->ZoomBy(24); }, 100},
        {"-30 is one step down", 100, [&] { return window_->ZoomBy(-30); }, 75},
        {"60 is two steps up", 100, [&] { return window_->ZoomBy(60); }, 150},
        {"a step past 150 is not taken", 150, [&] { return window_->ZoomBy(25); }, 150},
        {"a step below 50 is not taken", 50, [&] { return window_->ZoomBy(-25); }, 50},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        window_->SetZoom(c.start);
        EXPECT_EQ(c.step(), c.expected);
        EXPECT_EQ(window_->GetZoom(), c.expected);
    }

    // The canvas follows the zoom: the page in pixels.
    window_->SetZoom(100);
    const int width100 = client->width();
    window_->SetZoom(150);
    EXPECT_NEAR(client->width(), width100 * 3 / 2, 2);

    // Ctrl + wheel on the canvas steps by 25 and stops at the ends.
    auto wheel = [&](int delta) {
        const QPoint at(50, 50);
        QWheelEvent event(at, client->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::ControlModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(client, &event);
    };
    window_->SetZoom(100);
    wheel(120);
    EXPECT_EQ(window_->GetZoom(), 125);
    wheel(-120);
    wheel(-120);
    EXPECT_EQ(window_->GetZoom(), 75);
    window_->SetZoom(150);
    wheel(120);
    EXPECT_EQ(window_->GetZoom(), 150);
}

TEST_F(DesignWindowTest, TheSelectionSinkHearsNoneOneOrHowMany)
{
    DoxDesignClient* client = Open(page_);
    ASSERT_NE(client, nullptr);
    DoxControl* a = Draw(client, DoxKindEdit, {40, 40}, {200, 80});
    DoxControl* b = Draw(client, DoxKindEdit, {40, 120}, {200, 160});
    ASSERT_TRUE(a && b);

    QTest::keyClick(client, Qt::Key_Escape);
    window_->RefreshSelection();
    EXPECT_EQ(sink_.name, L"无控件");
    ASSERT_NE(sink_.last, nullptr);
    EXPECT_EQ(sink_.last->GetCount(), 0);
    EXPECT_EQ(window_->GetSelectedCount(), 0);

    QTest::keyClick(client, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(window_->GetSelectedCount(), 2);
    window_->RefreshSelection();
    EXPECT_EQ(sink_.name, L"多个控件(2)");
    EXPECT_GT(sink_.last->GetCount(), 0);

    // One control: its own attribute set.
    QTest::keyClick(client, Qt::Key_Escape);
    QTest::mouseClick(client, Qt::LeftButton, {}, QPoint(120, 60));
    EXPECT_EQ(window_->GetSelectedCount(), 1);
    window_->RefreshSelection();
    EXPECT_EQ(sink_.last, static_cast<IDoxAttribSet*>(static_cast<DoxAttribSet*>(a)));
}

TEST_F(DesignWindowTest, PastesLandAStepFurtherEachTimeAndANewCopyStartsAgain)
{
    DoxDesignClient* client = Open(page_);
    ASSERT_NE(client, nullptr);
    DoxControl* original = Draw(client, DoxKindLine, {40, 40}, {200, 80});
    ASSERT_NE(original, nullptr);
    const RECT at = RectOf(original);
    DoxLayer* layer = page_->GetCurrentLayer();

    ASSERT_EQ(window_->GetSelectedCount(), 1);
    window_->Copy();
    EXPECT_EQ(clipboard_.sets, 1);
    EXPECT_TRUE(clipboard_.data.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"));
    EXPECT_TRUE(clipboard_.data.contains("<dox:clipbord>"));
    EXPECT_EQ(window_->CanPaste(), 1);

    const int step = DoxPage::kPasteStep;
    for (int offset : {step, 2 * step, 3 * step}) {
        SCOPED_TRACE(offset);
        window_->Paste();
        DoxControl* pasted = layer->Controls().back();
        ASSERT_NE(pasted, original);
        const RECT r = RectOf(pasted);
        EXPECT_EQ(r.left, at.left + offset);
        EXPECT_EQ(r.top, at.top - offset); // y up: further down is smaller
    }
    EXPECT_EQ(layer->Controls().size(), 4u);

    // A new copy starts one step off again.
    QTest::keyClick(client, Qt::Key_Escape);
    QTest::mouseClick(client, Qt::LeftButton, {}, QPoint(120, 60));
    ASSERT_EQ(window_->GetSelectedCount(), 1);
    RECT copied{};
    client->GetPrimary()->GetObject()->GetRect(&copied);
    window_->Copy();
    window_->Paste();
    EXPECT_EQ(RectOf(layer->Controls().back()).left, copied.left + step);
    EXPECT_EQ(RectOf(layer->Controls().back()).top, copied.top - step);
}

// Whatever was selected or merely current before, a paste leaves exactly the pasted
// controls selected, so a Delete right after it takes the copies and nothing else.
TEST_F(DesignWindowTest, APasteSelectsExactlyThePastedControls)
{
    struct Case {
        const char* what;
        bool copyBoth;
        bool deselectBeforePaste; // a click on an empty spot: the original stays current
        size_t pasted;
    };
    const Case cases[] = {
        {"one copied, then deselected", false, true, 1},
        {"one copied and still selected", false, false, 1},
        {"two copied, then deselected", true, true, 2},
        {"two copied and still selected", true, false, 2},
    };
    DoxDesignClient* client = Open(page_);
    ASSERT_NE(client, nullptr);
    const auto [a, b] = DrawTwo(client, DoxKindCheck);
    ASSERT_TRUE(a && b);
    DoxLayer* layer = page_->GetCurrentLayer();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QTest::keyClick(client, Qt::Key_Escape);
        if (c.copyBoth)
            QTest::keyClick(client, Qt::Key_A, Qt::ControlModifier);
        else
            QTest::mouseClick(client, Qt::LeftButton, {}, QPoint(120, 60));
        ASSERT_EQ(window_->GetSelectedCount(), c.copyBoth ? 2 : 1);
        window_->Copy();
        if (c.deselectBeforePaste) {
            QTest::mouseClick(client, Qt::LeftButton, {}, QPoint(400, 300));
            ASSERT_EQ(window_->GetSelectedCount(), 0);
        }
        window_->Paste();
        ASSERT_EQ(layer->Controls().size(), 2 + c.pasted);
        EXPECT_EQ(window_->GetSelectedCount(), static_cast<int>(c.pasted));
        ASSERT_NE(client->GetPrimary(), nullptr);
        GrabObjectCore* primary = client->GetPrimary()->GetObject();
        EXPECT_NE(primary, static_cast<GrabObjectCore*>(a));
        EXPECT_NE(primary, static_cast<GrabObjectCore*>(b));

        QTest::keyClick(client, Qt::Key_Delete);
        ASSERT_EQ(layer->Controls().size(), 2u);
        EXPECT_EQ(layer->Controls()[0], a);
        EXPECT_EQ(layer->Controls()[1], b);
    }
}

// The copy lands one step off its original and above it: a click where the two overlap
// takes the copy, not the original under it.
TEST_F(DesignWindowTest, APastedCopyIsTakenByAClickOverItsOriginal)
{
    DoxDesignClient* client = Open(page_);
    ASSERT_NE(client, nullptr);
    DoxControl* original = Draw(client, DoxKindLabel, {40, 40}, {200, 80});
    ASSERT_NE(original, nullptr);
    window_->Copy();
    window_->Paste();
    DoxLayer* layer = page_->GetCurrentLayer();
    ASSERT_EQ(layer->Controls().size(), 2u);
    DoxControl* copy = layer->Controls().back();
    QTest::keyClick(client, Qt::Key_Escape);
    QTest::mouseClick(client, Qt::LeftButton, {}, QPoint(120, 60));
    ASSERT_NE(client->GetPrimary(), nullptr);
    EXPECT_EQ(client->GetPrimary()->GetObject(), static_cast<GrabObjectCore*>(copy));
    EXPECT_EQ(window_->GetSelectedCount(), 1);
}

TEST_F(DesignWindowTest, TheClipboardIsReplacedOnlyByCompleteDataAndReadToItsLength)
{
    DoxDesignClient* client = Open(page_);
    ASSERT_NE(client, nullptr);
    DoxControl* original = Draw(client, DoxKindLine, {40, 40}, {200, 80});
    ASSERT_NE(original, nullptr);
    DoxLayer* layer = page_->GetCurrentLayer();
    window_->Copy();
    const QByteArray good = clipboard_.data;
    ASSERT_FALSE(good.isEmpty());

    // Nothing selected: the clipboard keeps what it had.
    QTest::keyClick(client, Qt::Key_Escape);
    clipboard_.data = "kept";
    clipboard_.sets = 0;
    window_->Copy();
    EXPECT_EQ(clipboard_.sets, 0);
    EXPECT_EQ(clipboard_.data, QByteArray("kept"));

    struct Case {
        const char* what;
        QByteArray data;
        size_t created;
    };
    QByteArray foreign = good;
    foreign.replace("dox:clipbord", "dox:clipboard");
    QByteArray unknownKind = good;
    unknownKind.replace("<dox:clipbord>", "<dox:clipbord><dox:control id=\"nosuchcontrol\"/>");
    const Case cases[] = {
        {"the whole data", good, 1},
        {"a foreign root", foreign, 0},
        {"the data cut short is not read past its length", good.left(good.size() - 12), 0},
        {"not XML", QByteArray("\x01\x02<<", 4), 0},
        {"an unknown kind is skipped", unknownKind, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const size_t before = layer->Controls().size();
        clipboard_.data = c.data;
        window_->Paste();
        EXPECT_EQ(layer->Controls().size(), before + c.created);
    }
}

TEST_F(DesignWindowTest, ExactlyOneRulerMarkAfterRepaintsAndMoves)
{
    DoxDesignClient* client = Open(page_);
    ASSERT_NE(client, nullptr);
    auto* window = static_cast<DoxDesignWindow*>(window_->GetHwnd());
    // Red marks in a ruler's picture: columns (horizontal) or rows (vertical).
    auto marks = [](DoxRulerWindow* ruler) {
        ruler->repaint();
        const QImage image = ruler->grab().toImage().convertToFormat(QImage::Format_RGB32);
        std::vector<int> found;
        const int along = ruler->IsVertical() ? image.height() : image.width();
        for (int i = 0; i < along; ++i) {
            const QRgb rgb = ruler->IsVertical() ? image.pixel(2, i) : image.pixel(i, 2);
            if ((rgb & 0xFFFFFF) == 0xFF0000)
                found.push_back(i);
        }
        return found;
    };
    // Before the mouse has been over the canvas there is no mark at all.
    window->repaint();
    EXPECT_TRUE(marks(window->HRuler()).empty());
    EXPECT_TRUE(marks(window->VRuler()).empty());
    const QPoint points[] = {{100, 80}, {101, 80}, {300, 200}, {300, 200}};
    for (QPoint p : points) {
        QTest::mouseMove(client, p);
        window->repaint();
        const std::vector<int> h = marks(window->HRuler());
        const std::vector<int> v = marks(window->VRuler());
        ASSERT_EQ(h.size(), 1u);
        ASSERT_EQ(v.size(), 1u);
        EXPECT_NEAR(h[0], p.x(), 1);
        EXPECT_NEAR(v[0], p.y(), 1);
    }

    // A page 210 mm wide: labels 0 to 21 on the horizontal ruler's range.
    EXPECT_EQ(window->HRuler()->RangeEnd(), 2200);
    window->resize(1400, 600);
    window->HRuler()->repaint();
    const std::vector<int>& labels = window->HRuler()->Labels();
    ASSERT_FALSE(labels.empty());
    EXPECT_EQ(labels.front(), 0);
    EXPECT_EQ(labels.back(), 21);
}

TEST_F(DesignWindowTest, LayerCallsOutsideTheLayersAreRefused)
{
    ASSERT_NE(Open(page_), nullptr);
    const int count = window_->GetLayerCount();
    for (int index : {-1, count, count + 5}) {
        SCOPED_TRACE(index);
        EXPECT_EQ(window_->GetLayerName(index), nullptr);
        EXPECT_EQ(window_->GetLayerState(index), 0);
        EXPECT_EQ(window_->SetLayerState(index, 2), 0);
        EXPECT_EQ(window_->IsLayerLocked(index), 0);
        window_->SetLayerLocked(index, 1);
        EXPECT_EQ(window_->RenameLayer(index, L"x"), 0);
        EXPECT_EQ(window_->RemoveLayer(index), 0);
    }
    EXPECT_EQ(window_->AddLayer(nullptr), 0);
    EXPECT_EQ(window_->AddLayer(L""), 0);
    EXPECT_EQ(window_->RenameLayer(0, L""), 0);
    EXPECT_STREQ(core_->GetLastErrorText(), L"层名不能为空");
    EXPECT_EQ(window_->SetPageName(nullptr), 0);
    EXPECT_STREQ(core_->GetLastErrorText(), L"页面名不能为空。");
    EXPECT_EQ(window_->GetLayerCount(), count);
    EXPECT_EQ(window_->AttachPage(nullptr), 0);
}

TEST_F(DesignWindowTest, ASecondWindowOnTheSamePageIsRefused)
{
    DoxDesignClient* first = Open(page_);
    ASSERT_NE(first, nullptr);
    const QRect rect(0, 0, 400, 300);
    IDoxDesignWindow* second = core_->CreateDesignWindow(nullptr, 0, &rect, nullptr, 2);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->AttachPage(page_), 0);
    EXPECT_EQ(second->GetPage(), nullptr);
    second->Release();
    // The first window still shows the page and draws on it.
    EXPECT_EQ(page_->GetView(), static_cast<GrabWindow*>(first));
    EXPECT_NE(Draw(first, DoxKindFrame, {30, 30}, {120, 90}), nullptr);
    window_->DetachPage();
    EXPECT_EQ(page_->GetView(), nullptr);

    // An attach the engine refuses (no objects are taken while numbering the fill-in
    // order) leaves the page without a view.
    window_->SetTabOrderMode(1);
    EXPECT_EQ(window_->AttachPage(page_), 0);
    EXPECT_EQ(page_->GetView(), nullptr);
    window_->SetTabOrderMode(0);
    EXPECT_EQ(window_->AttachPage(page_), 1);
}

TEST_F(DesignWindowTest, KeysMoveSizeDeleteAndCutTheSelection)
{
    DoxDesignClient* client = Open(page_);
    ASSERT_NE(client, nullptr);
    DoxControl* control = Draw(client, DoxKindFrame, {100, 100}, {300, 200});
    ASSERT_NE(control, nullptr);
    struct Case {
        const char* what;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int dx, dy, dw, dh; // y down
    };
    const Case cases[] = {
        {"Right moves by 10", Qt::Key_Right, Qt::NoModifier, 10, 0, 0, 0},
        {"Ctrl+Shift+Down moves by 5", Qt::Key_Down, Qt::ControlModifier | Qt::ShiftModifier, 0, 5, 0, 0},
        {"Ctrl+Right widens by 10", Qt::Key_Right, Qt::ControlModifier, 0, 0, 10, 0},
        {"Shift+Up lowers by 5", Qt::Key_Up, Qt::ShiftModifier, 0, 0, 0, -5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const RECT before = RectOf(control);
        QTest::keyClick(client, c.key, c.modifiers);
        const RECT after = RectOf(control);
        EXPECT_EQ(after.left - before.left, c.dx);
        EXPECT_EQ(before.top - after.top, c.dy);
        EXPECT_EQ((after.right - after.left) - (before.right - before.left), c.dw);
        EXPECT_EQ((after.top - after.bottom) - (before.top - before.bottom), c.dh);
    }

    DoxLayer* layer = page_->GetCurrentLayer();
    QTest::keyClick(client, Qt::Key_X, Qt::ControlModifier);
    EXPECT_TRUE(layer->Controls().empty());
    EXPECT_EQ(clipboard_.sets, 1);
    window_->Paste();
    ASSERT_EQ(layer->Controls().size(), 1u);
    // The paste lands one step off the cut control, which had moved 10 right.
    const int step = static_cast<int>(std::lround(DoxPage::kPasteStep * ScreenDpi / 254.0));
    QTest::mouseClick(client, Qt::LeftButton, {}, QPoint(100, 100) + QPoint(1, 1) * (8 + step));
    QTest::keyClick(client, Qt::Key_Delete);
    EXPECT_TRUE(layer->Controls().empty());
    EXPECT_EQ(document_->IsModified(), 1);
}

// A Delete takes the selection and selects nothing in its place: a second Delete, as a
// person presses it when the first seemed not to take, removes nothing, wherever the
// deleted controls stood in the fill-in order. Tab then goes on from where they stood.
TEST_F(DesignWindowTest, DeleteLeavesNothingSelectedSoASecondDeleteRemovesNothing)
{
    DoxDesignClient* client = Open(page_);
    ASSERT_NE(client, nullptr);
    DoxLayer* layer = page_->GetCurrentLayer();
    // Three frames far apart, in fill-in order; the points are their middles.
    const RECT rects[] = {{100, -100, 500, -300}, {1000, -600, 1400, -800}, {1600, -1100, 2000, -1300}};
    const QPoint middles[] = {{TenthToPixel(300), TenthToPixel(200)},
                              {TenthToPixel(1200), TenthToPixel(700)},
                              {TenthToPixel(1800), TenthToPixel(1200)}};
    struct Case {
        const char* what;
        std::vector<int> deleted;
        int tabTo; // the control Tab selects afterwards
    };
    const Case cases[] = {
        {"the first", {0}, 1},
        {"the middle one", {1}, 2},
        {"the last", {2}, 0},
        {"the last two", {1, 2}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<DoxControl*> controls;
        for (const RECT& rect : rects)
            controls.push_back(layer->CreateControl(DoxKindFrame, &rect));
        QTest::keyClick(client, Qt::Key_Escape);
        for (size_t i = 0; i < c.deleted.size(); ++i)
            QTest::mouseClick(client, Qt::LeftButton, i ? Qt::ShiftModifier : Qt::NoModifier,
                              middles[c.deleted[i]]);
        ASSERT_EQ(window_->GetSelectedCount(), static_cast<int>(c.deleted.size()));

        QTest::keyClick(client, Qt::Key_Delete);
        ASSERT_EQ(layer->Controls().size(), 3 - c.deleted.size());
        EXPECT_EQ(window_->GetSelectedCount(), 0);
        EXPECT_EQ(client->GetPrimary(), nullptr);
        EXPECT_EQ(sink_.name, L"无控件");
        QTest::keyClick(client, Qt::Key_Delete);
        EXPECT_EQ(layer->Controls().size(), 3 - c.deleted.size());

        QTest::keyClick(client, Qt::Key_Tab);
        ASSERT_NE(client->GetPrimary(), nullptr);
        EXPECT_EQ(client->GetPrimary()->GetObject(), static_cast<GrabObjectCore*>(controls[c.tabTo]));

        QTest::keyClick(client, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(client, Qt::Key_Delete);
        ASSERT_TRUE(layer->Controls().empty());
    }
}

TEST_F(DesignWindowTest, ACommandOnManySelectedControlsIsReportedOnce)
{
    DoxDesignClient* client = Open(page_);
    ASSERT_NE(client, nullptr);
    DoxLayer* layer = page_->GetCurrentLayer();
    const int count = 30;
    for (int i = 0; i < count; ++i) {
        const RECT rect{100 + (i % 5) * 300, -(100 + (i / 5) * 150), 350 + (i % 5) * 300,
                        -(200 + (i / 5) * 150)};
        ASSERT_NE(layer->CreateControl(DoxKindFrame, &rect), nullptr) << i;
    }
    ASSERT_EQ(layer->Controls().size(), static_cast<size_t>(count));
    QTest::keyClick(client, Qt::Key_A, Qt::ControlModifier);
    ASSERT_EQ(window_->GetSelectedCount(), count);

    std::vector<RECT> before;
    for (DoxControl* control : layer->Controls())
        before.push_back(RectOf(control));
    struct Case {
        const char* what;
        std::function<void()> run;
    };
    const Case cases[] = {
        {"Right arrow", [&] { QTest::keyClick(client, Qt::Key_Right); }},
        {"Ctrl+Shift+Down moves by 5",
         [&] { QTest::keyClick(client, Qt::Key_Down, Qt::ControlModifier | Qt::ShiftModifier); }},
        {"align left", [&] { window_->AlignLeft(); }},
        {"align top", [&] { window_->AlignTop(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        sink_.modified = 0;
        sink_.selections = 0;
        c.run();
        EXPECT_EQ(sink_.modified, 1);
        EXPECT_LE(sink_.selections, 1);
        EXPECT_EQ(window_->GetSelectedCount(), count);
        if (&c == &cases[0]) {
            // The key moved every selected control, not only the one reported.
            for (size_t i = 0; i < before.size(); ++i)
                EXPECT_EQ(RectOf(layer->Controls()[i]).left, before[i].left + 10) << i;
        }
    }
    EXPECT_EQ(RectOf(layer->Controls()[1]).left, RectOf(layer->Controls()[0]).left);
    EXPECT_EQ(RectOf(layer->Controls()[count - 1]).top, RectOf(layer->Controls()[0]).top);

    // A property set across the selection through the sink's attribute set: every
    // control takes it, and the sink hears of it once.
    window_->RefreshSelection();
    ASSERT_NE(sink_.last, nullptr);
    IDoxAttrib* colour = nullptr;
    for (int a = 0; a < sink_.last->GetCount() && !colour; ++a) {
        IDoxAttrib* attribute = sink_.last->GetAt(a);
        for (int c = 0; c < attribute->GetChildCount() && !colour; ++c) {
            if (std::wstring(attribute->GetChild(c)->GetCaption()) == L"前景色")
                colour = attribute->GetChild(c);
        }
    }
    ASSERT_NE(colour, nullptr);
    sink_.modified = 0;
    ASSERT_TRUE(colour->SetValueText(L"#00000255"));
    EXPECT_EQ(sink_.modified, 1);
    EXPECT_EQ(std::wstring(colour->GetValueText()), L"#00000255");

    // Opening the page in a new window tells the sink of the selection once.
    window_->Release();
    const QRect area(0, 0, 900, 600);
    window_ = core_->CreateDesignWindow(nullptr, kVisible, &area, nullptr, 1);
    ASSERT_NE(window_, nullptr);
    window_->SetDesignSink(&sink_);
    sink_.modified = 0;
    sink_.selections = 0;
    ASSERT_EQ(window_->AttachPage(page_), 1);
    EXPECT_EQ(sink_.selections, 1);
    EXPECT_EQ(sink_.modified, 0);
}

TEST_F(DesignWindowTest, ABackgroundPictureWhoseSizeIsRefusedChangesNothing)
{
    ASSERT_NE(Open(page_), nullptr);
    // 2400 pixels at 96 dpi are 635 mm: wider than any page may be.
    QImage wide(2400, 300, QImage::Format_RGB32);
    wide.fill(Qt::cyan);
    wide.setDotsPerMeterX(3780);
    wide.setDotsPerMeterY(3780);
    const QString widePath = QString::fromStdWString(Path("wide.png"));
    ASSERT_TRUE(wide.save(widePath));
    EXPECT_EQ(window_->SetBackgroundPicture(widePath.toStdWString().c_str(), 1), 0);
    EXPECT_EQ(page_->HasBackgroundImage(), 0);
    EXPECT_EQ(page_->Cx(), 2100);

    // A picture that fits gives the page its size.
    QImage fits(600, 400, QImage::Format_RGB32);
    fits.fill(Qt::yellow);
    fits.setDotsPerMeterX(3780);
    fits.setDotsPerMeterY(3780);
    const QString fitsPath = QString::fromStdWString(Path("fits.png"));
    ASSERT_TRUE(fits.save(fitsPath));
    EXPECT_EQ(window_->SetBackgroundPicture(fitsPath.toStdWString().c_str(), 1), 1);
    EXPECT_EQ(page_->HasBackgroundImage(), 1);
    EXPECT_NEAR(page_->Cx(), 600 * 254 / 96, 2);
    EXPECT_NEAR(page_->Cy(), 400 * 254 / 96, 2);
}

TEST_F(DesignWindowTest, ATemplateDesignedThroughTheWindowSavesReopensAndPrintsTheSame)
{
    DoxDesignClient* client = Open(page_);
    ASSERT_NE(client, nullptr);
    Draw(client, DoxKindEdit, {60, 60}, {260, 90});
    Draw(client, DoxKindLabel, {300, 70}, {420, 100});
    Draw(client, DoxKindFrame, {40, 150}, {460, 260});
    window_->SelectAll();
    ASSERT_EQ(window_->GetSelectedCount(), 3);
    window_->AlignTop();
    window_->SameHeight();
    ASSERT_EQ(window_->AddLayer(L"批注"), 1);
    const int added = window_->FindLayerIndex(L"批注");
    ASSERT_GE(added, 0);
    window_->SetLayerLocked(added, 1);
    ASSERT_EQ(window_->RenameLayer(added, L"批注层"), 1);
    EXPECT_STREQ(window_->GetLayerName(added), L"批注层");
    EXPECT_EQ(window_->IsLayerLocked(added), 1);
    ASSERT_EQ(window_->SetBackgroundPicture(FormPicture(Path("form.png")).toStdWString().c_str(), 0), 1)
        << core_->GetLastErrorText();
    ASSERT_EQ(document_->Save(), 1) << core_->GetLastErrorText();
    const QByteArray written = TemplateXmlOf(document_);
    ASSERT_FALSE(written.isEmpty());
    EXPECT_TRUE(written.contains("批注层"));

    // Printed from the design window's page.
    window_->RebuildVisibleLayers();
    QImage designed;
    {
        DoxPageRunner runner;
        ASSERT_EQ(runner.Attach(page_), 1);
        ASSERT_EQ(page_->Print(L"PDF", nullptr, 0, 0, 1, 0, 1), 1) << core_->GetLastErrorText();
        designed = PdfImage(Documents() + "/凭证.pdf");
        QFile::remove(Documents() + "/凭证.pdf");
    }
    ASSERT_FALSE(designed.isNull());
    // The paper's green is printed with the background.
    const QColor paper = designed.pixelColor(designed.width() / 10, designed.height() * 3 / 10);
    EXPECT_NEAR(paper.green(), 236, 8);
    EXPECT_LT(paper.red(), 225);
    // The file is the designer's while it is open: close window and document first.
    window_->Release();
    window_ = nullptr;
    document_->Release();
    document_ = nullptr;

    IDoxDocument* reopened = core_->OpenTemplate(Path("t.dxt").c_str());
    ASSERT_NE(reopened, nullptr) << core_->GetLastErrorText();
    ASSERT_EQ(reopened->SaveAs(Path("again.dxt").c_str()), 1) << core_->GetLastErrorText();
    EXPECT_EQ(TemplateXmlOf(reopened), written);
    IDoxPage* again = reopened->GetPage(0);
    again->ViewAllLayers();
    QImage printedAgain;
    {
        DoxPageRunner runner;
        ASSERT_EQ(runner.Attach(again), 1);
        ASSERT_EQ(again->Print(L"PDF", nullptr, 0, 0, 1, 0, 1), 1) << core_->GetLastErrorText();
        printedAgain = PdfImage(Documents() + "/凭证.pdf");
    }
    reopened->Release();
    EXPECT_EQ(printedAgain, designed);
}

TEST_F(DesignWindowTest, ScreenshotsWithRulersBackgroundAndSelectedControls)
{
    DoxDesignClient* client = Open(page_, QSize(900, 560));
    ASSERT_NE(client, nullptr);
    ASSERT_EQ(window_->SetBackgroundPicture(FormPicture(Path("form.png")).toStdWString().c_str(), 0), 1);
    Draw(client, DoxKindEdit, {150, 140}, {400, 175});
    Draw(client, DoxKindEdit, {150, 225}, {400, 260});
    Draw(client, DoxKindCheck, {450, 140}, {480, 170});
    window_->SelectAll();
    QWidget* outer = window_->GetHwnd();
    auto* window = static_cast<DoxDesignWindow*>(outer);
    for (int zoom : {100, 150}) {
        SCOPED_TRACE(zoom);
        ASSERT_EQ(window_->SetZoom(zoom), zoom);
        QTest::mouseMove(client, QPoint(200, 120));
        QTest::qWait(30);
        const QImage shot = outer->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const std::string name = "design-window-" + std::to_string(zoom) + ".png";
        ASSERT_TRUE(shot.save(ShotPath(dir_, name.c_str())));
        // The paper's green on the canvas, the rulers' grey band, and the green
        // handles of the primary selection.
        const QPoint canvas = client->mapTo(outer, QPoint(0, 0));
        const QColor paper = shot.pixelColor(canvas + QPoint(60, 300 * zoom / 100));
        EXPECT_NEAR(paper.red(), 214, 3);
        EXPECT_NEAR(paper.green(), 236, 3);
        EXPECT_NEAR(paper.blue(), 214, 3);
        const QRgb band = shot.pixel(300, 3);
        EXPECT_GT(qRed(band), 0xD0);
        int green = 0;
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x)
                if ((shot.pixel(x, y) & 0xFFFFFF) == 0x00FF00)
                    ++green;
        EXPECT_GT(green, 20);
        EXPECT_EQ(window->HRuler()->Labels().front(), 0);
    }
}

TEST_F(DesignWindowTest, PrintGridPrintsOnePageWithTheGridOnlyWhileSnapping)
{
    ASSERT_NE(Open(page_), nullptr);
    const QString pdf = Documents() + "/print grid.pdf";
    struct Case {
        const char* what;
        int snap;
        bool lines;
    };
    const Case cases[] = {{"snap off: an empty page", 0, false}, {"snap on: the grid", 1, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QFile::remove(pdf);
        window_->SetSnapToGrid(c.snap);
        ASSERT_EQ(window_->PrintGrid(L"PDF"), 1) << core_->GetLastErrorText();
        const QImage image = PdfImage(pdf);
        ASSERT_FALSE(image.isNull());
        int grey = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixelColor(x, y).lightness() < 245)
                    ++grey;
        EXPECT_EQ(grey > 100, c.lines) << grey;
    }
    EXPECT_EQ(window_->PrintGrid(L"no such printer"), 0);
    EXPECT_STRNE(core_->GetLastErrorText(), L"");
}

TEST_F(DesignWindowTest, PageSizeAndBasePointGoThroughThePageAndMoveTheCanvas)
{
    DoxDesignClient* client = Open(page_);
    ASSERT_NE(client, nullptr);
    auto* window = static_cast<DoxDesignWindow*>(window_->GetHwnd());

    EXPECT_EQ(window_->SetPageBasePoint(300, 200), 1);
    EXPECT_EQ(page_->Bpx(), 300);
    EXPECT_EQ(page_->Bpy(), -200);
    EXPECT_EQ(client->GetBasePoint().x, 300);
    EXPECT_EQ(client->GetBasePoint().y, -200);
    EXPECT_EQ(window_->SetPageBasePoint(7000, 0), 0);
    EXPECT_STREQ(core_->GetLastErrorText(), L"页面基点无效");
    EXPECT_EQ(page_->Bpx(), 300);

    const int width = client->width();
    EXPECT_EQ(window_->SetPageSize(2100, 1480), 1);
    EXPECT_EQ(window_->SetPageSize(100, 1480), 0);
    EXPECT_STREQ(core_->GetLastErrorText(), L"页面SIZE无效");
    EXPECT_EQ(client->width(), width);
    EXPECT_EQ(window_->SetPageSize(1050, 1480), 1);
    EXPECT_NEAR(client->width(), width / 2, 1);
    EXPECT_EQ(window->HRuler()->RangeEnd(), 1150);
    EXPECT_EQ(window->VRuler()->RangeEnd(), 1580);
}

// The design canvas places a page's background picture where the fill-in window (and so
// the printed page) places it: at the picture's physical size from its own resolution,
// whatever its pixel count, scaled by the zoom; stretched pictures cover the page.
TEST_F(DesignWindowTest, TheBackgroundLandsWhereTheFillInWindowPutsItAtEveryZoom)
{
    struct Case {
        int pixelsPerMm;
        int stretch;
    };
    const Case cases[] = {{10, 0}, {4, 0}, {10, 1}};
    ASSERT_EQ(page_->Cx(), 2100);
    ASSERT_EQ(page_->Cy(), 1480);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pixelsPerMm);
        SCOPED_TRACE(c.stretch);
        QByteArray form = ScannedForm(c.pixelsPerMm);
        if (c.stretch) {
            // Half the page's size at its resolution: only stretching makes it cover the page.
            QImage half = QImage::fromData(form).scaled(1050, 740);
            half.setDotsPerMeterX(c.pixelsPerMm * 1000);
            half.setDotsPerMeterY(c.pixelsPerMm * 1000);
            form.clear();
            QBuffer buffer(&form);
            buffer.open(QIODevice::WriteOnly);
            half.save(&buffer, "PNG");
        }
        ASSERT_EQ(page_->SetBackgroundImage(plat::ByteStream(form), L"form.png"), 1);
        page_->SetRead(page_->PageId().c_str(), page_->GetName(), page_->Cx(), page_->Cy(), page_->Bpx(),
                       page_->Bpy(), c.stretch, page_->Bkpic().c_str());

        // The fill-in window shows the page at true size.
        const QRect rect(0, 0, 1000, 700);
        IDoxPageWindow* fillIn = core_->CreatePageWindow(page_, kVisible, &rect, nullptr, 1);
        ASSERT_NE(fillIn, nullptr) << core_->GetLastErrorText();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(fillIn->GetHwnd()));
        const QImage filled =
            dynamic_cast<DoxPageClient*>(fillIn)->grab().toImage().convertToFormat(QImage::Format_RGB32);
        fillIn->Release();
        const QRect red = BoxOf(filled, qRgb(255, 0, 0));
        const QRect blue = BoxOf(filled, qRgb(0, 0, 255));
        ASSERT_FALSE(red.isEmpty());
        ASSERT_FALSE(blue.isEmpty());
        // 30 mm across in screen pixels, as a check on the fill-in window itself.
        EXPECT_NEAR(red.left(), 300 * ScreenDpi / 254.0, 2);

        DoxDesignClient* client = Open(page_, QSize(1000, 700));
        ASSERT_NE(client, nullptr);
        for (int zoom : {100, 150, 50}) {
            SCOPED_TRACE(zoom);
            ASSERT_EQ(window_->SetZoom(zoom), zoom);
            QTest::qWait(10);
            const QImage designed = client->grab().toImage().convertToFormat(QImage::Format_RGB32);
            const QRect redThere = BoxOf(designed, qRgb(255, 0, 0));
            const QRect blueThere = BoxOf(designed, qRgb(0, 0, 255));
            ASSERT_FALSE(redThere.isEmpty());
            ASSERT_FALSE(blueThere.isEmpty());
            const double scale = zoom / 100.0;
            const int slack = zoom == 100 ? 2 : 3;
            EXPECT_NEAR(redThere.left(), red.left() * scale, slack);
            EXPECT_NEAR(redThere.top(), red.top() * scale, slack);
            EXPECT_NEAR(blueThere.right(), blue.right() * scale, slack);
            EXPECT_NEAR(blueThere.bottom(), blue.bottom() * scale, slack);
        }
        // A page layout composes again at the zoom that holds: still in place.
        window_->UpdateLayout(0, 0);
        const QImage recomposed = client->grab().toImage().convertToFormat(QImage::Format_RGB32);
        EXPECT_NEAR(BoxOf(recomposed, qRgb(0, 0, 255)).right(), blue.right() * 0.5, 2);
        window_->Release();
        window_ = nullptr;
    }
}

TEST_F(DesignWindowTest, AHugePasteIsToldOnceAndOneBeyondThePageIsRefused)
{
    DoxDesignClient* client = Open(page_);
    ASSERT_NE(client, nullptr);
    ASSERT_NE(Draw(client, DoxKindLine, {40, 40}, {200, 80}), nullptr);
    window_->Copy();
    const QByteArray good = clipboard_.data;
    const int open = good.indexOf("<dox:control");
    const int close = good.lastIndexOf("</dox:clipbord>");
    ASSERT_GT(open, 0);
    const QByteArray one = good.mid(open, close - open);
    auto many = [&](int n) {
        QByteArray data = good.left(open);
        for (int i = 0; i < n; ++i)
            data += one;
        return data + good.mid(close);
    };
    DoxLayer* layer = page_->GetCurrentLayer();
    dox::platform::ScriptedPrompter prompter;
    dox::platform::ScopedPrompter scope(&prompter);

    // 3,000 controls: all pasted and selected, and the design window is told of the
    // new selection once (its attribute merge over the whole selection made a paste
    // grow with the square of its controls).
    clipboard_.data = many(3000);
    const int told = sink_.selections;
    window_->Paste();
    EXPECT_EQ(layer->Controls().size(), 3001u);
    EXPECT_GE(window_->GetSelectedCount(), 3000);
    EXPECT_EQ(sink_.selections - told, 1);
    EXPECT_TRUE(prompter.messages.empty());

    // More than the page holds: nothing is pasted and the operator is told why.
    clipboard_.data = many(kMaxPageControls - 3000);
    window_->Paste();
    EXPECT_EQ(layer->Controls().size(), 3001u);
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_NE(prompter.messages[0].text.find(L"最多容纳 10000 个控件"), std::wstring::npos);
    EXPECT_NE(prompter.messages[0].text.find(L"已有 3001 个"), std::wstring::npos);
}

namespace
{

// The attribute of a set with this caption, searching groups too (a group's item may
// have the group's caption); null if none.
IDoxAttrib* FindAttrib(IDoxAttribSet* set, const wchar_t* caption)
{
    for (int i = 0; set && i < set->GetCount(); ++i) {
        IDoxAttrib* attrib = set->GetAt(i);
        const bool group = (attrib->GetType() & DOX_ATTRIB_KIND_MASK) == DOX_ATTRIB_KIND_GROUP;
        if (!group && std::wstring(attrib->GetCaption()) == caption)
            return attrib;
        for (int j = 0; j < attrib->GetChildCount(); ++j)
            if (std::wstring(attrib->GetChild(j)->GetCaption()) == caption)
                return attrib->GetChild(j);
    }
    return nullptr;
}

IDoxAttribSet* SetOf(DoxControl* control)
{
    return static_cast<IDoxAttribSet*>(static_cast<DoxAttribSet*>(control));
}

// A canvas pixel of a length in 0.1 mm at 100 %.
int Pixel(int tenthMm)
{
    return static_cast<int>(std::lround(tenthMm * ScreenDpi / 254.0));
}

} // namespace

// What the window reports selected, the property pane's set and what the keys move
// or delete are one and the same after every click.
TEST_F(DesignWindowTest, ThePaneAndTheKeysFollowWhatTheWindowReportsSelected)
{
    DoxDesignClient* client = Open(page_);
    ASSERT_NE(client, nullptr);
    const auto [a, b] = DrawTwo(client, DoxKindLabel);
    ASSERT_TRUE(a && b);
    DoxLayer* layer = page_->GetCurrentLayer();
    auto expectSelected = [&](int count, IDoxAttribSet* shown, const char* step) {
        SCOPED_TRACE(step);
        EXPECT_EQ(window_->GetSelectedCount(), count);
        if (shown)
            EXPECT_EQ(sink_.last, shown);
        else
            EXPECT_EQ(sink_.name, count == 0 ? L"无控件" : L"多个控件(" + std::to_wstring(count) + L")");
    };

    QTest::mouseClick(client, Qt::LeftButton, {}, QPoint(120, 60));
    expectSelected(1, SetOf(a), "a clicked");
    QTest::mouseClick(client, Qt::LeftButton, {}, QPoint(600, 400));
    expectSelected(0, nullptr, "a click beside the controls");
    const RECT before = RectOf(a);
    QTest::keyClick(client, Qt::Key_Right);
    QTest::keyClick(client, Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(client, Qt::Key_Delete);
    ASSERT_EQ(layer->Controls().size(), 2u);
    EXPECT_EQ(RectOf(a).left, before.left);
    EXPECT_EQ(RectOf(a).bottom, before.bottom);

    QTest::mouseClick(client, Qt::LeftButton, {}, QPoint(120, 60));
    expectSelected(1, SetOf(a), "a clicked again");
    QTest::keyClick(client, Qt::Key_Escape);
    expectSelected(0, nullptr, "Esc");
    QTest::keyClick(client, Qt::Key_Return);
    expectSelected(1, SetOf(a), "Enter shows the marks again");

    QTest::keyClick(client, Qt::Key_A, Qt::ControlModifier);
    expectSelected(2, nullptr, "Ctrl+A");
    // A click without a move on the first of the two selects it alone.
    QTest::mouseClick(client, Qt::LeftButton, {}, QPoint(120, 60));
    expectSelected(1, SetOf(a), "one of two clicked");
    Drag(client, QPoint(120, 60), QPoint(160, 60));
    expectSelected(1, SetOf(a), "dragged alone");
    EXPECT_GT(RectOf(a).left, before.left);
    EXPECT_EQ(RectOf(b).left, TenthMm(40, 100));
}

// A position typed into the property grid, a command or a paste: the handles are
// where the control now is, and its right handle sizes it there.
TEST_F(DesignWindowTest, HandlesFollowARectangleChangedFromTheAttributes)
{
    DoxDesignClient* client = Open(page_);
    ASSERT_NE(client, nullptr);
    DoxControl* control = Draw(client, DoxKindFrame, {100, 100}, {300, 200});
    ASSERT_NE(control, nullptr);
    IDoxAttrib* x = FindAttrib(SetOf(control), L"x");
    ASSERT_NE(x, nullptr);
    const RECT drawn = RectOf(control);
    // The grid shows the position in millimetres from the base point.
    const std::wstring moved = std::to_wstring(std::stoi(x->GetValueText()) + 30);
    ASSERT_EQ(x->SetValueText(moved.c_str()), 1) << x->GetErrorText();
    const RECT typed = RectOf(control);
    ASSERT_NEAR(typed.left, drawn.left + 300, 10);
    client->repaint();

    const QPoint east(Pixel(typed.right) + 2, // the handle lies just outside the edge
                      Pixel(-(typed.top + typed.bottom) / 2));
    QTest::mouseMove(client, east);
    EXPECT_EQ(client->cursor().shape(), Qt::SizeHorCursor);
    // A handle follows a mouse that stays near the edge: small steps, as a hand moves.
    QTest::mousePress(client, Qt::LeftButton, {}, east);
    for (int dx = 5; dx <= 60; dx += 5)
        QTest::mouseMove(client, east + QPoint(dx, 0));
    QTest::mouseRelease(client, Qt::LeftButton, {}, east + QPoint(60, 0));
    const RECT sized = RectOf(control);
    EXPECT_EQ(sized.left, typed.left);
    EXPECT_NEAR(sized.right - typed.right, TenthMm(60, 100), 3);
}

// The cursor of a handle gives way to the tool's once the mouse leaves the handle.
TEST_F(DesignWindowTest, TheCursorIsResetOnEveryMoveOffAHandle)
{
    DoxDesignClient* client = Open(page_);
    ASSERT_NE(client, nullptr);
    ASSERT_NE(Draw(client, DoxKindFrame, {100, 100}, {300, 200}), nullptr);
    const Qt::CursorShape tool = client->cursor().shape();
    struct Case {
        QPoint over;
        Qt::CursorShape shape;
    } const cases[] = {
        {{300, 150}, Qt::SizeHorCursor}, {{600, 400}, tool},       {{200, 100}, Qt::SizeVerCursor},
        {{40, 300}, tool},               {{300, 200}, Qt::SizeFDiagCursor}, {{350, 260}, tool},
    };
    for (const Case& c : cases) {
        QTest::mouseMove(client, c.over);
        EXPECT_EQ(client->cursor().shape(), c.shape) << c.over.x() << "," << c.over.y();
    }
}

// Delete or Ctrl+X while a control is dragged waits for the drag: no outline is
// left behind and the control lands where it was dropped.
TEST_F(DesignWindowTest, KeysThatRemoveControlsWaitForTheDragToEnd)
{
    DoxDesignClient* client = Open(page_);
    ASSERT_NE(client, nullptr);
    DoxLayer* layer = page_->GetCurrentLayer();
    for (QKeyCombination key : {QKeyCombination(Qt::Key_Delete), QKeyCombination(Qt::ControlModifier, Qt::Key_X)}) {
        SCOPED_TRACE(key.key());
        DoxControl* control = Draw(client, DoxKindFrame, {100, 100}, {300, 200});
        ASSERT_NE(control, nullptr);
        const RECT before = RectOf(control);
        QTest::mousePress(client, Qt::LeftButton, {}, QPoint(200, 150));
        QTest::mouseMove(client, QPoint(220, 150));
        QTest::mouseMove(client, QPoint(240, 150));
        EXPECT_GT(client->FeedbackCount(), 0u);
        QTest::keyClick(client, key.key(), key.keyboardModifiers());
        QTest::mouseRelease(client, Qt::LeftButton, {}, QPoint(240, 150));
        EXPECT_EQ(client->FeedbackCount(), 0u);
        ASSERT_EQ(layer->Controls().size(), 1u);
        EXPECT_GT(RectOf(control).left, before.left);
        // After the drag the key does what it says.
        QTest::keyClick(client, key.key(), key.keyboardModifiers());
        EXPECT_TRUE(layer->Controls().empty());
    }
}

// A paste that makes nothing leaves the selection as it was.
TEST_F(DesignWindowTest, APasteThatMakesNothingKeepsTheSelection)
{
    DoxDesignClient* client = Open(page_);
    ASSERT_NE(client, nullptr);
    const auto [a, b] = DrawTwo(client, DoxKindFrame);
    ASSERT_TRUE(a && b);
    DoxLayer* layer = page_->GetCurrentLayer();
    struct Case {
        const char* what;
        bool both;
    } const cases[] = {{"one selected", false}, {"two selected", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.both)
            QTest::keyClick(client, Qt::Key_A, Qt::ControlModifier);
        const int count = window_->GetSelectedCount();
        ASSERT_EQ(count, c.both ? 2 : 1);
        clipboard_.data = "<dox:clipbord><dox:control id=\"nosuchcontrol\"/></dox:clipbord>";
        clipboard_.has = true;
        window_->Paste();
        EXPECT_EQ(layer->Controls().size(), 2u);
        EXPECT_EQ(window_->GetSelectedCount(), count);
        EXPECT_FALSE(client->GetPrimary()->MarksHidden());
    }
}

// A text cut at its box reads as another text (a capital amount as a smaller sum): the
// design window and the fill-in window of a designing program mark it with a red
// corner; a text that fits has none.
TEST_F(DesignWindowTest, ATextThatDoesNotFitItsBoxIsMarked)
{
    DoxDesignClient* client = Open(page_);
    ASSERT_NE(client, nullptr);
    DoxControl* label = Draw(client, DoxKindLabel, {40, 40}, {150, 70});
    ASSERT_NE(label, nullptr);
    IDoxAttrib* text = FindAttrib(SetOf(label), L"文本");
    ASSERT_NE(text, nullptr);
    QTest::keyClick(client, Qt::Key_Escape);
    // Marked pixels near the box's top right corner.
    auto marked = [](const QImage& image, QPoint corner) {
        int n = 0;
        for (int y = corner.y(); y < corner.y() + 12; ++y)
            for (int x = corner.x() - 12; x < corner.x(); ++x)
                n += image.valid(x, y) && (image.pixel(x, y) & 0xFFFFFF) == 0xE60000;
        return n;
    };
    struct Case {
        const wchar_t* text;
        bool fits;
    } const cases[] = {
        {L"壹万贰仟叁佰肆拾伍元陆角柒分", false},
        {L"壹万", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fits);
        ASSERT_TRUE(text->SetValueText(c.text)) << text->GetErrorText();
        const QImage designed = client->grab().toImage().convertToFormat(QImage::Format_RGB32);
        EXPECT_EQ(marked(designed, QPoint(150, 41)) > 0, !c.fits);
    }

    // The test page: the layers to show, then the page in a fill-in window.
    ASSERT_TRUE(text->SetValueText(cases[0].text));
    window_->RebuildVisibleLayers();
    window_->DetachPage();
    const QRect rect(0, 0, 800, 500);
    IDoxPageWindow* fillIn = core_->CreatePageWindow(page_, kVisible, &rect, nullptr, 2);
    ASSERT_NE(fillIn, nullptr) << core_->GetLastErrorText();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(fillIn->GetHwnd()));
    auto* filled = dynamic_cast<DoxPageClient*>(fillIn);
    const QImage shown = filled->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const RECT box = RectOf(label);
    const QPoint corner(Pixel(box.right), Pixel(-box.top));
    EXPECT_GT(marked(shown, corner + QPoint(1, 0)), 0);
    fillIn->Release();
}

// The author's example: a capital amount in a 58 mm box at 14 points. 12345.67 does not
// fit and is marked on the designer's test page; in a box twice as wide it fits.
TEST_F(DesignWindowTest, ACapitalAmountCutAtItsBoxIsMarkedOnTheTestPage)
{
    ASSERT_NE(Open(page_), nullptr); // the program designs templates
    const std::wstring db = Path("amount.db");
    IDoxDocument* bills = core_->CreateConnection(db.c_str(), L"支票", 2100, 990);
    ASSERT_NE(bills, nullptr) << core_->GetLastErrorText();
    auto* page = static_cast<DoxPage*>(bills->GetPage(0));
    RECT at{100, -100, 680, -200};
    DoxControl* amount = page->GetLayer(0)->CreateControl(DoxKindEdit, &at);
    ASSERT_NE(amount, nullptr);
    struct Set {
        const wchar_t* caption;
        const wchar_t* value;
    } const settings[] = {{L"字段", L"金额"}, {L"类型", L"数值"}, {L"格式", L"<中文大写金额>"}, {L"大小", L"14"}};
    for (const Set& set : settings) {
        IDoxAttrib* attrib = FindAttrib(SetOf(amount), set.caption);
        ASSERT_NE(attrib, nullptr) << QString::fromWCharArray(set.caption).toStdString();
        ASSERT_TRUE(attrib->SetValueText(set.value)) << QString::fromWCharArray(set.caption).toStdString();
    }
    page->ViewAllLayers();
    for (int width : {580, 1200}) {
        SCOPED_TRACE(width);
        RECT box{100, -100, 100 + width, -200};
        static_cast<GrabObjectCore*>(amount)->SetRect(box);
        const QRect rect(0, 0, 800, 500);
        IDoxPageWindow* fillIn = core_->CreatePageWindow(page, kVisible, &rect, nullptr, 2);
        ASSERT_NE(fillIn, nullptr) << core_->GetLastErrorText();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(fillIn->GetHwnd()));
        ASSERT_EQ(page->SetFieldText(L"主表.金额", 0, L"12345.67"), 1);
        auto* filled = dynamic_cast<DoxPageClient*>(fillIn);
        filled->repaint();
        const QImage shown = filled->grab().toImage().convertToFormat(QImage::Format_RGB32);
        int marked = 0;
        for (int y = Pixel(-box.top); y < Pixel(-box.top) + 12; ++y)
            for (int x = Pixel(box.right) - 12; x <= Pixel(box.right); ++x)
                marked += shown.valid(x, y) && (shown.pixel(x, y) & 0xFFFFFF) == 0xE60000;
        EXPECT_EQ(marked > 0, width == 580);
        fillIn->Release();
    }
    bills->Release();
}
