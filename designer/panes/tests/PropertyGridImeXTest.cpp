// A property grid cell typed into in Chinese through a real input method (fcitx5
// with its pinyin engine) on a real X server.

#include "LoopLook.h"
#include "PaneFixture.h"
#include "PropertyView.h"
#include "XServer.h"

#include <QLineEdit>
#include <gtest/gtest.h>

namespace
{

using namespace doxtest;
using panetest::CoreTest;

class PropertyGridImeX : public CoreTest
{
};

TEST_F(PropertyGridImeX, PinyinComposesInACellAndTheAttributeTakesTheChinese)
{
    DOX_REQUIRE_INPUT_METHOD();
    ASSERT_NE(OpenDesign(), nullptr);
    Draw(0, QPoint(60, 60), QPoint(260, 100));
    ASSERT_NE(sink.last, nullptr);
    QWidget host;
    auto* grid = new CPropertyView;
    RECT r{};
    grid->Create(0x50800000, r, &host, 101);
    grid->setGeometry(0, 0, 360, 700);
    host.resize(360, 700);
    grid->FillProperties(sink.last);
    ASSERT_TRUE(ShowAndActivate(&host));
    ASSERT_TRUE(WaitForInputMethod(&host));
    int row = -1;
    for (int i = 0; i < grid->GetCount() && row < 0; ++i)
        if (auto* item = dynamic_cast<CPropertyItem*>(grid->GetItem(i)))
            if (std::wstring(item->Attrib()->GetCaption()) == L"提示")
                row = i;
    ASSERT_GE(row, 0);
    IDoxAttrib* tip = dynamic_cast<CPropertyItem*>(grid->GetItem(row))->Attrib();
    RECT cell{};
    grid->GetItemRect(row, &cell);

    // A click opens the cell's editor, which runs until Enter: the typing happens
    // from inside it.
    QString composed;
    LoopLook look(
        [&] {
            auto* line = grid->findChild<QLineEdit*>();
            return line && line->isVisible() && line->hasFocus();
        },
        [&] {
            auto* line = grid->findChild<QLineEdit*>();
            xinput::Type("zhongguo");
            xinput::Chord({"space"});
            WaitFor([&] { return line->text() == QStringLiteral("中国"); }, 10000);
            composed = line->text();
            xinput::Chord({"Return"});
        });
    xinput::Click(grid->mapToGlobal(QPoint(120, (cell.top + cell.bottom) / 2)));
    ASSERT_TRUE(WaitFor([&] { return look.Done(); }, 10000)) << "the cell opened no editor";
    EXPECT_EQ(composed, QStringLiteral("中国"));
    EXPECT_TRUE(WaitFor([&] { return std::wstring(tip->GetValueText()) == L"中国"; }))
        << QString::fromWCharArray(tip->GetValueText()).toStdString();
    grid->Clear();
}

} // namespace
