// The property grid and its value dialogs on the attributes of real controls: edits go
// through the attribute's parser, refusals bring the old value back, defaults are
// drawn regular and changes bold, groups collapse, and the collection dialog keeps its
// numbering while columns come and go.

#include "PaneFixture.h"
#include "FakeAttrib.h"
#include "PropertyDialogs.h"
#include "PropertySink.h"
#include "PropertyView.h"
#include "LoopLook.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <memory>

using panetest::CoreTest;

namespace
{

class PropertyGridTest : public CoreTest
{
protected:
    void SetUp() override
    {
        CoreTest::SetUp();
        grid = new CPropertyView;
        RECT r{};
        grid->Create(0x50800000, r, &host, 101);
        grid->setGeometry(0, 0, 360, 700);
        host.resize(360, 700);
    }
    void TearDown() override
    {
        grid->Clear();
        CoreTest::TearDown();
    }

    // A table control drawn and selected; its columns attribute.
    IDoxAttrib* TableColumns()
    {
        if (!OpenDesign())
            return nullptr;
        Draw(5, QPoint(40, 40), QPoint(400, 200));
        return sink.last ? Find(sink.last, L"列") : nullptr;
    }

    void ShowGrid(IDoxAttribSet* set)
    {
        grid->FillProperties(set);
        host.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
    }

    // A control of the tool drawn and its attributes shown in the grid; the index of
    // its row with the caption (-1 when there is none).
    int DrawAndShow(int tool, QPoint from, QPoint to, const wchar_t* caption)
    {
        if (!OpenDesign())
            return -1;
        Draw(tool, from, to);
        if (!sink.last)
            return -1;
        ShowGrid(sink.last);
        return RowOf(caption);
    }

    int RowOf(const wchar_t* caption) const
    {
        for (int i = 0; i < grid->GetCount(); ++i)
            if (auto* row = dynamic_cast<CPropertyItem*>(grid->GetItem(i)))
                if (std::wstring(row->Attrib()->GetCaption()) == caption)
                    return i;
        return -1;
    }

    QPoint At(int row, int x) const
    {
        RECT r{};
        grid->GetItemRect(row, &r);
        return QPoint(x, (r.top + r.bottom) / 2);
    }

    // Clicks the value of an edit row and types the text into the in-place editor.
    void Type(int row, const QString& text)
    {
        QTimer::singleShot(0, [this, text] {
            auto* line = grid->findChild<QLineEdit*>();
            ASSERT_NE(line, nullptr);
            line->selectAll();
            QTest::keyClick(line, Qt::Key_Delete);
            QTest::keyClicks(line, text);
            QTest::keyClick(line, Qt::Key_Return);
        });
        QTest::mouseClick(grid, Qt::LeftButton, {}, At(row, 120));
    }

    QWidget host;
    CPropertyView* grid = nullptr;
};

TEST_F(PropertyGridTest, TypedValuesGoThroughTheAttributeAndARefusalBringsTheOldValueBack)
{
    const int row = DrawAndShow(0, QPoint(60, 60), QPoint(260, 100), L"大小");
    ASSERT_GE(row, 0);
    auto* item = dynamic_cast<CPropertyEditItem*>(grid->GetItem(row));
    ASSERT_NE(item, nullptr);
    IDoxAttrib* size = item->Attrib();
    const std::wstring before = size->GetValueText();

    struct Case {
        const char* typed;
        bool accepted;
    };
    const Case cases[] = {{"abc", false}, {"14", true}, {"1x", false}, {"12", true}};
    std::wstring held = before;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        const size_t shown = prompter.messages.size();
        Type(row, QString::fromUtf8(c.typed));
        if (c.accepted) {
            held = QString::fromUtf8(c.typed).toStdWString();
            EXPECT_EQ(prompter.messages.size(), shown);
        } else {
            // The attribute's own refusal, then the value it still holds.
            ASSERT_EQ(prompter.messages.size(), shown + 1);
            EXPECT_EQ(prompter.messages.back().text, std::wstring(size->GetErrorText()));
            EXPECT_FALSE(prompter.messages.back().text.empty());
        }
        EXPECT_EQ(std::wstring(item->Value().GetText()), held);
        EXPECT_EQ(std::wstring(size->GetValueText()), held);
    }
}

// A person's click is a press and a release that both reach the list while the
// editor the press opened is running: the release must leave the editor open. It
// stays until Enter, Esc, Tab or a press elsewhere.
TEST_F(PropertyGridTest, AClickOpensTheEditorAndItsReleaseLeavesItOpen)
{
    const int row = DrawAndShow(0, QPoint(60, 60), QPoint(260, 100), L"大小");
    ASSERT_GE(row, 0);
    IDoxAttrib* size = dynamic_cast<CPropertyItem*>(grid->GetItem(row))->Attrib();
    const std::wstring before = size->GetValueText();
    struct Case {
        const char* how;
        int key; // 0: a press on another row
        bool kept;
    } const cases[] = {
        {"Enter", Qt::Key_Return, true},
        {"Tab", Qt::Key_Tab, true},
        {"Esc", Qt::Key_Escape, false},
        {"a press elsewhere", 0, true},
    };
    const int other = row > 0 ? row - 1 : row + 1; // its caption takes a press and does nothing
    int typed = 20;
    std::wstring held = before;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        const QString text = QString::number(++typed);
        bool openAfterRelease = false;
        // The release comes first. The look comes at the second turn of the editor's
        // loop after it: a release that ended the loop has made the loop return by
        // then, so an editor still found is one the release left open.
        bool released = false;
        int turns = 0;
        QTimer::singleShot(0, [&] {
            QTest::mouseRelease(grid, Qt::LeftButton, {}, At(row, 120));
            released = true;
        });
        doxtest::LoopLook look([&] { return released && ++turns >= 2; }, [&] {
            QPointer<QLineEdit> line = grid->findChild<QLineEdit*>();
            openAfterRelease = line && line->isVisible();
            if (!line) return;
            line->selectAll();
            QTest::keyClicks(line, text);
            if (c.key)
                QTest::keyClick(line, Qt::Key(c.key));
            else
                QTest::mousePress(grid, Qt::LeftButton, {}, At(other, 30));
        });
        QTest::mousePress(grid, Qt::LeftButton, {}, At(row, 120));
        if (!c.key) QTest::mouseRelease(grid, Qt::LeftButton, {}, At(other, 30));
        EXPECT_TRUE(openAfterRelease);
        if (c.kept) held = text.toStdWString();
        EXPECT_EQ(std::wstring(size->GetValueText()), held);
        EXPECT_EQ(grid->findChild<QLineEdit*>(), nullptr);
    }
}

// A check box drawn anew has no value for its tick: the grid shows that empty value
// as something to fill in, and an ordinary value once typed.
TEST_F(PropertyGridTest, ACheckBoxWithoutAValueShowsItsEmptyValueAsAProblem)
{
    const int row = DrawAndShow(4, QPoint(60, 60), QPoint(90, 90), L"值");
    ASSERT_GE(row, 0);
    auto* item = dynamic_cast<CPropertyEditItem*>(grid->GetItem(row));
    ASSERT_NE(item, nullptr);
    auto ground = [&] {
        grid->repaint();
        return QColor(grid->grab().toImage().pixel(At(row, 300)));
    };
    EXPECT_TRUE(item->IsValueMissing());
    EXPECT_TRUE(item->IsValueBold());
    EXPECT_EQ(ground(), QColor(255, 222, 222));
    grid->grab().save(panetest::ShotPath(dir, "grid_check_value_missing.png"));
    // Other empty texts of other controls are not problems.
    const int text = RowOf(L"字段");
    if (text >= 0) {
        EXPECT_FALSE(dynamic_cast<CPropertyItem*>(grid->GetItem(text))->IsValueMissing());
    }

    Type(row, QStringLiteral("1"));
    EXPECT_EQ(std::wstring(item->Attrib()->GetValueText()), L"1");
    EXPECT_FALSE(item->IsValueMissing());
    EXPECT_EQ(ground(), QColor(Qt::white));
}

TEST_F(PropertyGridTest, AValueEqualToItsDefaultIsRegularAndAChangedOneBold)
{
    FakeAttrib text(L"前缀", DOX_ATTRIB_KIND_TEXT);
    text.defaultText = L"Abc";
    FakeSet set({&text});
    ShowGrid(&set);
    auto* item = dynamic_cast<CPropertyEditItem*>(grid->GetItem(0));
    ASSERT_NE(item, nullptr);
    struct Case {
        const char* typed;
        bool bold;
    };
    const Case cases[] = {{"Abc", false}, {"xyz", true}, {"ABC", false}, {"", true}, {"abc", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        Type(0, QString::fromUtf8(c.typed));
        EXPECT_EQ(item->IsValueBold(), c.bold);
    }
    // The bold value covers more of the row than the same text in the regular font.
    auto ink = [&] {
        const QImage shot = grid->grab().toImage();
        const QPoint mid = At(0, 0);
        int dark = 0;
        for (int x = 72; x < 200; ++x)
            for (int y = mid.y() - 6; y <= mid.y() + 6; ++y)
                dark += qGray(shot.pixel(x, y)) < 128;
        return dark;
    };
    Type(0, QStringLiteral("ABC"));
    const int regular = ink();
    text.defaultText = L"other";
    grid->update();
    const int bold = ink();
    EXPECT_GT(bold, regular);
}

TEST_F(PropertyGridTest, CollapsingAGroupHidesItsChildrenAndExpandingShowsThemAgain)
{
    FakeAttrib a(L"甲", DOX_ATTRIB_KIND_TEXT), b(L"乙", DOX_ATTRIB_KIND_CHOICE, {L"1", L"2"}), c(L"丙", DOX_ATTRIB_KIND_TEXT);
    FakeAttrib collection(L"集合", DOX_ATTRIB_KIND_COLLECTION);
    FakeGroup group(L"组", {&a, &b});
    FakeSet set({&group, &c, &collection}); // a collection at the top level is skipped
    ShowGrid(&set);
    ASSERT_EQ(grid->GetCount(), 4);
    auto* head = dynamic_cast<CPropertyGroupItem*>(grid->GetItem(0));
    ASSERT_NE(head, nullptr);
    auto visible = [&] {
        std::vector<int> shown;
        for (int i = 0; i < grid->GetCount(); ++i) {
            RECT r{};
            if (grid->GetItemRect(i, &r))
                shown.push_back(i);
        }
        return shown;
    };
    EXPECT_EQ(visible(), (std::vector<int>{0, 1, 2, 3}));
    QTest::mouseClick(grid, Qt::LeftButton, {}, At(0, 7)); // the mark
    EXPECT_FALSE(head->IsExpanded());
    EXPECT_EQ(visible(), (std::vector<int>{0, 3}));
    QTest::mouseDClick(grid, Qt::LeftButton, {}, At(0, 100)); // the caption
    EXPECT_TRUE(head->IsExpanded());
    EXPECT_EQ(visible(), (std::vector<int>{0, 1, 2, 3}));
}

TEST_F(PropertyGridTest, CSValuesSplitAtCommasAndJoinWithoutEmptyParts)
{
    FakeAttrib cs(L"取值", DOX_ATTRIB_KIND_CSVALUE, {L"甲", L"乙"});
    FakeGroup group(L"组", {&cs});
    FakeSet set({&group});
    cs.value = L"a,,b";
    ShowGrid(&set);
    auto* row = dynamic_cast<CPropertyCSValueItem*>(grid->GetItem(1));
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(std::wstring(row->Combo(0).GetText()), L"a");
    EXPECT_EQ(std::wstring(row->Combo(1).GetText()), L"");
    EXPECT_EQ(std::wstring(row->Combo(2).GetText()), L"b");
    EXPECT_EQ(std::wstring(row->Combo(3).GetText()), L"");
    row->Combo(5).SetText(L"c");
    row->OnWid_Changed(205);
    EXPECT_EQ(cs.value, L"a,b,c");
    EXPECT_EQ(std::wstring(row->Combo(1).GetText()), L"b");
}

TEST_F(PropertyGridTest, TableColumnsKeepTheirNumberingThroughAddAndDelete)
{
    IDoxAttrib* columns = TableColumns();
    ASSERT_NE(columns, nullptr);
    ASSERT_EQ(columns->GetType() & DOX_ATTRIB_KIND_MASK, static_cast<uint32_t>(DOX_ATTRIB_KIND_COLLECTION));
    auto dialog = std::make_unique<CPropertyColloctDlg>(columns);
    dialog->show();
    QListWidget* list = dialog->List();
    auto lines = [&] {
        std::vector<std::wstring> texts;
        for (int i = 0; i < list->count(); ++i)
            texts.push_back(list->item(i)->text().toStdWString());
        return texts;
    };
    auto* add = dialog->findChild<QToolButton*>(QStringLiteral("1001"));
    auto* remove = dialog->findChild<QToolButton*>(QStringLiteral("1002"));
    ASSERT_TRUE(add && remove);
    const int start = columns->GetElementCount();
    EXPECT_EQ(list->count(), start);
    for (int i = 0; i < 3; ++i)
        QTest::mouseClick(add, Qt::LeftButton);
    ASSERT_EQ(columns->GetElementCount(), start + 3);
    const std::wstring name = columns->GetElement(0)->GetName();
    auto line = [&](int n) { return name + std::to_wstring(n); };
    std::vector<std::wstring> expected;
    for (int i = 1; i <= start + 3; ++i)
        expected.push_back(line(i));
    EXPECT_EQ(lines(), expected);
    EXPECT_EQ(list->currentRow(), start + 2);
    EXPECT_GT(dialog->Grid()->GetCount(), 0);

    // Deleting the first line keeps the others' numbers; a new line takes the count + 1,
    // which may repeat a number still shown.
    list->setCurrentRow(0);
    QTest::mouseClick(remove, Qt::LeftButton);
    expected.erase(expected.begin());
    EXPECT_EQ(lines(), expected);
    EXPECT_EQ(list->currentRow(), 0);
    QTest::mouseClick(add, Qt::LeftButton);
    expected.push_back(line(start + 3));
    EXPECT_EQ(lines(), expected);
    EXPECT_EQ(columns->GetElementCount(), static_cast<int>(expected.size()));

    // The lines numbered by position when the dialog opens again.
    {
        CPropertyColloctDlg again(columns);
        std::vector<std::wstring> renumbered;
        for (int i = 0; i < again.List()->count(); ++i)
            renumbered.push_back(again.List()->item(i)->text().toStdWString());
        std::vector<std::wstring> byPosition;
        for (int i = 1; i <= columns->GetElementCount(); ++i)
            byPosition.push_back(line(i));
        EXPECT_EQ(renumbered, byPosition);
    }

    // Deleting every line leaves an empty list and an empty grid.
    while (list->count() > 0) {
        list->setCurrentRow(list->count() - 1);
        QTest::mouseClick(remove, Qt::LeftButton);
    }
    EXPECT_EQ(columns->GetElementCount(), 0);
    EXPECT_EQ(dialog->Grid()->GetCount(), 0);

    // While open it hears the design window's changes; closing unlinks it.
    EXPECT_TRUE(dialog->IsRegistered());
    dialog->resize(100, 100);
    EXPECT_GE(dialog->width(), 400);
    EXPECT_GE(dialog->height(), 300);
    dialog->accept();
    EXPECT_FALSE(dialog->IsRegistered());
}

TEST_F(PropertyGridTest, SeveralChoicesAreJoinedOnOkAndARefusalKeepsTheDialogOpen)
{
    FakeAttrib choice(L"多选", DOX_ATTRIB_KIND_CHOICE | DOX_ATTRIB_MULTI, {L"甲", L"乙", L"丙"});
    choice.value = L"甲,,乙";
    choice.refuse = L"丙";
    CPropertyMultiDlg dialog(&choice);
    dialog.show();
    QListWidget* chosen = dialog.Chosen();
    ASSERT_EQ(chosen->count(), 2); // the empty part is not shown
    EXPECT_EQ(chosen->item(1)->text(), QStringLiteral("乙"));

    dialog.Options()->setCurrentIndex(2);
    dialog.Add();
    dialog.accept();
    EXPECT_TRUE(dialog.isVisible());
    ASSERT_FALSE(prompter.messages.empty());
    EXPECT_EQ(prompter.messages.back().text, L"不接受这个值");
    EXPECT_EQ(prompter.messages.back().type, 64u);
    EXPECT_EQ(choice.value, L"甲,,乙");

    chosen->setCurrentRow(2);
    dialog.Delete();
    EXPECT_EQ(chosen->currentRow(), 1); // the last line was deleted: the new last
    dialog.Options()->setCurrentIndex(0);
    dialog.Add();
    dialog.accept();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(choice.value, L"甲,乙,甲");
}

TEST(PropertySinkList, NodesArePrependedOnceAndUnlinkedByPointer)
{
    struct Counter : designer::PropertySink {
        void RefreshProperties() override { order->push_back(id); }
        int id = 0;
        std::vector<int>* order = nullptr;
    };
    std::vector<int> order;
    Counter sinks[3];
    designer::PropertySinkNode nodes[3];
    designer::PropertySinkNode* head = nullptr;
    for (int i = 0; i < 3; ++i) {
        sinks[i].id = i;
        sinks[i].order = &order;
        nodes[i].sink = &sinks[i];
        designer::RegisterPropertySink(&nodes[i], &head);
    }
    designer::RegisterPropertySink(&nodes[1], &head); // already in: not again
    designer::RefreshPropertySinks(head);
    EXPECT_EQ(order, (std::vector<int>{2, 1, 0}));

    designer::UnregisterPropertySink(&nodes[1]);
    EXPECT_EQ(nodes[1].next, nullptr);
    EXPECT_EQ(nodes[1].head, nullptr);
    order.clear();
    designer::RefreshPropertySinks(head);
    EXPECT_EQ(order, (std::vector<int>{2, 0}));
    designer::UnregisterPropertySink(&nodes[1]); // not linked: nothing happens
    designer::UnregisterPropertySink(&nodes[2]);
    designer::UnregisterPropertySink(&nodes[0]);
    EXPECT_EQ(head, nullptr);
}

} // namespace

namespace
{

TEST_F(PropertyGridTest, ScreenshotOfASelectedSplitControl)
{
    IDoxAttrib* columns = TableColumns();
    ASSERT_NE(columns, nullptr);
    columns->AddElement();
    columns->AddElement();
    CPropertyPane pane;
    pane.resize(300, 720);
    pane.FillProperties(sink.last);
    pane.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&pane));
    const int groups = [&] {
        int n = 0;
        for (int i = 0; i < pane.View()->GetCount(); ++i)
            n += dynamic_cast<CPropertyGroupItem*>(pane.View()->GetItem(i)) != nullptr;
        return n;
    }();
    EXPECT_GT(groups, 1);
    const QImage shot = pane.grab().toImage();
    shot.save(panetest::ShotPath(dir, "property_grid.png"));
    // The name strip is white and the first group row is drawn in the face colour.
    EXPECT_EQ(shot.pixelColor(2, 2), QColor(Qt::white));
    RECT first{};
    pane.View()->GetItemRect(0, &first);
    EXPECT_NE(shot.pixelColor(200, 25 + (first.top + first.bottom) / 2), QColor(Qt::white));
}

} // namespace
