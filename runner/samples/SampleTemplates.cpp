#include "SampleTemplates.h"

#include "ByteStream.h"
#include "DoxCheckControl.h"
#include "DoxControl.h"
#include "DoxDataAttribute.h"
#include "DoxEditControl.h"
#include "DoxFrameControl.h"
#include "DoxLabelControl.h"
#include "DoxLayer.h"
#include "DoxPage.h"
#include "DoxTableControl.h"
#include "IDoxAttrib.h"
#include "IDoxCore.h"
#include "IDoxDocument.h"
#include "IDoxImageData.h"
#include "KQXFieldCfg.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace samples
{

namespace
{

// 亿 to 分.
constexpr int kAmountCells = 11;

std::wstring Join(const std::wstring& folder, const std::wstring& name) { return folder + L"/" + name; }

// Positions in 0.1 mm from the page's top-left corner, y downwards.
RECT Box(int x, int y, int w, int h)
{
    RECT r;
    r.left = x;
    r.top = -y;
    r.right = x + w;
    r.bottom = -(y + h);
    return r;
}

class Builder
{
public:
    // A pre-printed form shows its labels on screen only: the paper has them already.
    Builder(IDoxPage* page, bool preprinted, std::wstring* reason)
        : layer_(static_cast<DoxPage*>(page)->GetLayer(0)), preprinted_(preprinted), reason_(reason)
    {
    }

    DoxLabelControl* Label(const RECT& r, const wchar_t* text, const wchar_t* size = L"10")
    {
        auto* label = static_cast<DoxLabelControl*>(Make(DoxKindLabel, r));
        if (!label) return nullptr;
        Check(label->Text().SetValueText(text));
        Check(label->Font().Size().SetValueText(size));
        if (preprinted_) Check(label->Printable().SetValueText(L"否"));
        return label;
    }

    // The ruled amount boxes of a form without a background picture, each under its
    // unit (亿 ... 分).
    void AmountGrid(const RECT& boxes, int unitHeight)
    {
        RECT r = boxes;
        r.bottom = r.top;
        r.top += unitHeight;
        if (DoxLabelControl* units = Label(r, L"亿千百十万千百十元角分", L"8")) {
            Check(units->Split().ColumnItem().SetValueText(std::to_wstring(kAmountCells).c_str()));
            Check(units->Align().HAlignItem().SetValueText(L"居中"));
        }
        Outline(r, kAmountCells);
        Outline(boxes, kAmountCells);
    }

    // A field the clerk fills: it takes its place in the fill-in order.
    DoxEditControl* Field(const RECT& r, const wchar_t* name, const wchar_t* type)
    {
        DoxEditControl* edit = Shown(r, name, type);
        if (edit) inputs_.push_back(edit);
        return edit;
    }

    // A field that only shows a value (a sum, the capitals): no fill-in order, since
    // the clerk never types into it.
    DoxEditControl* Shown(const RECT& r, const wchar_t* name, const wchar_t* type)
    {
        auto* edit = static_cast<DoxEditControl*>(Make(DoxKindEdit, r));
        if (!edit) return nullptr;
        Check(edit->DataAttribute().FieldName().SetValueText(name));
        Check(edit->DataAttribute().FieldType().SetValueText(type));
        Check(edit->Font().Size().SetValueText(L"11"));
        return edit;
    }

    // A field under the name its label shows.
    DoxEditControl* Named(const RECT& label, const RECT& field, const wchar_t* name, const wchar_t* type)
    {
        Label(label, name);
        return Field(field, name, type);
    }

    // A call of a function list of the field: "SUM" with "明细.金额", say.
    void Call(DoxDataFunctionAttribItem& functions, const wchar_t* function, const wchar_t* parameter)
    {
        const int32_t index = functions.GetElementCount();
        Check(functions.AddElement());
        IDoxAttribSet* call = functions.GetElementCount() == index + 1 ? functions.GetElement(index) : nullptr;
        IDoxAttrib* group = call && call->GetCount() == 1 ? call->GetAt(0) : nullptr;
        Check(group && group->GetChildCount() == 2 && group->GetChild(0)->SetValueText(function) &&
              group->GetChild(1)->SetValueText(parameter));
    }

    // Money is rounded to fen, and so it is stored and listed with its two
    // decimals (1007.30).
    void Money(DoxDataAttribute& data) { Call(data.FilterItem(), L"ROUND", L"0.01"); }

    // Amount boxes: one digit per cell (the amount in fen, so no cell holds a decimal
    // point), filled from the right, each digit in the middle of its cell.
    DoxEditControl* AmountBoxes(const RECT& r, const wchar_t* name)
    {
        DoxEditControl* edit = Field(r, name, L"数值");
        if (!edit) return nullptr;
        Money(edit->DataAttribute());
        Check(edit->Split().ColumnItem().SetValueText(std::to_wstring(kAmountCells).c_str()));
        Check(edit->Split().Style().SetValueText(L"右端"));
        Check(edit->Format().Format().SetValueText(L"X100"));
        Check(edit->Align().HAlignItem().SetValueText(L"居中"));
        Check(edit->Align().VAlignItem().SetValueText(L"居中"));
        return edit;
    }

    // The amount in capitals, shown from the same field as the boxes: the clerk types
    // the amount once, into the boxes.
    DoxEditControl* Capitals(const RECT& r, const wchar_t* name)
    {
        DoxEditControl* edit = Shown(r, name, L"数值");
        if (!edit) return nullptr;
        Check(edit->Format().Format().SetValueText(L"<中文大写金额>"));
        Check(edit->Editable().SetValueText(L"否"));
        return edit;
    }

    // A box that stands for one value of a text field; boxes of one field are a choice.
    DoxCheckControl* CheckBox(const RECT& r, const wchar_t* name, const wchar_t* value)
    {
        auto* box = static_cast<DoxCheckControl*>(Make(DoxKindCheck, r));
        if (!box) return nullptr;
        Check(box->DataAttribute().FieldName().SetValueText(name));
        Check(box->DataAttribute().FieldType().SetValueText(L"文本"));
        Check(box->CheckValue().Param().SetValueText(value));
        Check(box->Font().Size().SetValueText(L"12"));
        inputs_.push_back(box);
        return box;
    }

    // A ruled box (a label's or a field's border is for the screen only), printed
    // unless the paper has it already.
    void Outline(const RECT& r, int columns = 1)
    {
        auto* frame = static_cast<DoxFrameControl*>(Make(DoxKindFrame, r));
        if (!frame) return;
        Check(frame->Split().ColumnItem().SetValueText(std::to_wstring(columns).c_str()));
        if (preprinted_) Check(frame->Printable().SetValueText(L"否"));
    }

    // The form's name in the middle of the page's width.
    void Title(const wchar_t* text, int pageWidth, int y, int width)
    {
        if (DoxLabelControl* title = Label(Box((pageWidth - width) / 2, y, width, 90), text, L"18"))
            Check(title->Align().HAlignItem().SetValueText(L"居中"));
    }

    struct Column {
        const wchar_t* name;
        const wchar_t* type;
        int width;
    };
    DoxTableControl* Table(const RECT& r, const wchar_t* tableName, const std::vector<Column>& columns, int rows)
    {
        auto* table = static_cast<DoxTableControl*>(Make(DoxKindTable, r));
        if (!table) return nullptr;
        Check(table->TableAttribute().TableName().SetValueText(tableName));
        for (size_t c = 0; c < columns.size(); ++c) {
            Check(table->Columns().AddElement());
            DoxTableCol* column = table->Column(static_cast<int>(c));
            Check(column->Data().FieldName().SetValueText(columns[c].name));
            Check(column->Data().FieldType().SetValueText(columns[c].type));
        }
        // The widths (typed in millimetres) once all columns stand: each moves the
        // line after it.
        for (size_t c = 0; c + 1 < columns.size(); ++c)
            Check(table->Column(static_cast<int>(c))->Base().SizeItem().SetValueText(
                std::to_wstring(columns[c].width / 10).c_str()));
        for (int i = 0; i < rows; ++i) Check(table->Rows().AddElement());
        inputs_.push_back(table);
        return table;
    }

    // Fill-in orders as the clerk reads the form: top to bottom, left to right.
    bool Finish()
    {
        std::vector<std::pair<RECT, DoxControl*>> placed;
        for (DoxControl* control : inputs_) {
            RECT r;
            control->GetRect(&r);
            placed.emplace_back(r, control);
        }
        std::stable_sort(placed.begin(), placed.end(), [](const auto& a, const auto& b) {
            // y grows upwards: the higher top comes first.
            return a.first.top != b.first.top ? a.first.top > b.first.top : a.first.left < b.first.left;
        });
        int order = 1;
        for (auto& [r, control] : placed) control->SetTabIndex(order++);
        return ok_;
    }

    void Check(bool done)
    {
        if (!done) Fail(L"an attribute was refused");
    }

private:
    DoxControl* Make(int32_t kind, const RECT& r)
    {
        DoxControl* control = layer_->CreateControl(kind, &r);
        if (!control) Fail(L"a control could not be made");
        return control;
    }
    void Fail(const wchar_t* why)
    {
        if (ok_ && reason_) *reason_ = why;
        ok_ = false;
    }

    DoxLayer* layer_;
    bool preprinted_;
    std::wstring* reason_;
    std::vector<DoxControl*> inputs_;
    bool ok_ = true;
};

// The blank form of a transfer cheque, as a scan would show it: 10 pixels a millimetre.
QByteArray ChequeBackground()
{
    QImage image(2300, 800, QImage::Format_RGB32);
    // Ten pixels a millimetre, so the picture covers the 230 by 80 mm page.
    image.setDotsPerMeterX(10000);
    image.setDotsPerMeterY(10000);
    image.fill(QColor(0xE8, 0xF4, 0xEA));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor ink(0x2F, 0x7D, 0x4A);
    p.setPen(QPen(ink, 4));
    p.drawRect(20, 20, 2260, 760);
    QFont title = p.font();
    title.setPixelSize(64);
    title.setBold(true);
    p.setFont(title);
    p.drawText(QRect(0, 40, 2300, 90), Qt::AlignCenter, QStringLiteral("中国工商银行  转账支票"));
    p.setPen(QPen(ink, 2));
    for (int y : {170, 270, 470, 570, 670}) p.drawLine(40, y, 2260, y);
    // The amount grid: eleven boxes for 亿 to 分 under a band of their units, across
    // the payee's and the capitals' rows.
    p.drawLine(40, 370, 1360, 370);
    p.drawLine(1360, 320, 2240, 320);
    for (int i = 0; i <= 11; ++i) p.drawLine(1360 + i * 80, 270, 1360 + i * 80, 470);
    QFont small = p.font();
    small.setPixelSize(30);
    small.setBold(false);
    p.setFont(small);
    const char* units[] = {"亿", "千", "百", "十", "万", "千", "百", "十", "元", "角", "分"};
    for (int i = 0; i < 11; ++i)
        p.drawText(QRect(1360 + i * 80, 275, 80, 40), Qt::AlignCenter, QString::fromUtf8(units[i]));
    p.end();
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

bool TransferCheque(IDoxPage* page, std::wstring* reason)
{
    if (static_cast<DoxPage*>(page)->SetBackgroundImage(plat::ByteStream(ChequeBackground()), L"转账支票.png") != 1) {
        *reason = L"the cheque background was refused";
        return false;
    }
    Builder b(page, true, reason);
    b.Named(Box(60, 190, 200, 60), Box(280, 190, 600, 60), L"出票日期", L"日期");
    b.Named(Box(60, 290, 200, 60), Box(280, 290, 1000, 60), L"收款人", L"文本");
    b.Label(Box(60, 390, 200, 60), L"人民币(大写)");
    b.Capitals(Box(280, 390, 1000, 60), L"金额");
    // The background's grid: eleven boxes of 8 mm from 136 mm, under their units.
    b.AmountBoxes(Box(1360, 320, 880, 150), L"金额");
    b.Named(Box(60, 490, 200, 60), Box(280, 490, 1000, 60), L"用途", L"文本");
    b.Named(Box(60, 590, 200, 60), Box(280, 590, 1000, 60), L"出票人账号", L"文本");
    return b.Finish();
}

bool VoucherPage(IDoxPage* page, const wchar_t* copy, std::wstring* reason)
{
    Builder b(page, true, reason);
    b.Title(L"银行进账单", 2100, 60, 800);
    b.Label(Box(1500, 80, 500, 60), copy);
    b.Named(Box(100, 200, 250, 60), Box(360, 200, 700, 60), L"出票人全称", L"文本");
    b.Named(Box(1100, 200, 250, 60), Box(1360, 200, 700, 60), L"收款人全称", L"文本");
    b.Named(Box(100, 300, 250, 60), Box(360, 300, 700, 60), L"出票人账号", L"文本");
    b.Named(Box(1100, 300, 250, 60), Box(1360, 300, 700, 60), L"收款人账号", L"文本");
    b.Label(Box(100, 400, 250, 60), L"人民币(大写)");
    b.Capitals(Box(360, 400, 900, 60), L"金额");
    const RECT boxes = Box(1300, 400, 770, 60);
    b.AmountGrid(boxes, 36);
    b.AmountBoxes(boxes, L"金额");
    b.Named(Box(100, 500, 250, 60), Box(360, 500, 500, 60), L"日期", L"日期");
    return b.Finish();
}

bool ExpenseClaim(IDoxPage* page, std::wstring* reason)
{
    // Printed on plain paper: the labels are the form.
    Builder b(page, false, reason);
    b.Title(L"费用报销单", 2100, 60, 800);
    b.Named(Box(100, 180, 200, 60), Box(300, 180, 500, 60), L"报销人", L"文本");
    b.Named(Box(900, 180, 200, 60), Box(1100, 180, 500, 60), L"部门", L"文本");
    // One heading per column, over the column it names.
    const std::vector<Builder::Column> columns = {{L"摘要", L"文本", 900}, {L"类别", L"文本", 400}, {L"金额", L"数值", 500}};
    int x = 100;
    for (const Builder::Column& column : columns) {
        if (DoxLabelControl* heading = b.Label(Box(x, 260, column.width, 60), column.name))
            b.Check(heading->Align().HAlignItem().SetValueText(L"居中"));
        b.Outline(Box(x, 260, column.width, 60));
        x += column.width;
    }
    b.Outline(Box(100, 320, 1800, 350));
    if (DoxTableControl* table = b.Table(Box(100, 320, 1800, 350), L"明细", columns, 5)) {
        // A blank keeps each text off the ruling of its cell.
        for (int c = 0; c < 2; ++c) b.Check(table->Column(c)->Format().Prefix().SetValueText(L" "));
        DoxTableCol* amount = table->Column(2);
        b.Money(amount->Data());
        b.Check(amount->Align().HAlignItem().SetValueText(L"右对齐"));
        b.Check(amount->Format().Format().SetValueText(L"#,##0.00"));
        b.Check(amount->Format().Suffix().SetValueText(L" "));
    }
    // The total is the sum of the rows, in figures under the amounts and in capitals.
    b.Label(Box(100, 680, 1300, 60), L"合计");
    if (DoxEditControl* total = b.Shown(Box(1400, 680, 500, 60), L"合计", L"数值")) {
        b.Check(total->Align().HAlignItem().SetValueText(L"右对齐"));
        b.Check(total->Format().Format().SetValueText(L"#,##0.00"));
        b.Check(total->Format().Suffix().SetValueText(L" "));
        b.Check(total->Editable().SetValueText(L"否"));
        b.Call(total->DataAttribute().ExecuteItem(), L"SUM", L"明细.金额");
        b.Money(total->DataAttribute());
    }
    b.Label(Box(100, 760, 300, 60), L"合计(大写)");
    b.Capitals(Box(400, 760, 1500, 60), L"合计");
    b.Label(Box(100, 860, 200, 60), L"付款方式");
    for (const auto& [x, value] : {std::pair{310, L"现金"}, std::pair{510, L"转账"}}) {
        b.Outline(Box(x, 870, 40, 40));
        b.CheckBox(Box(x, 870, 40, 40), L"付款方式", value);
        b.Label(Box(x + 50, 860, 120, 60), value);
    }
    return b.Finish();
}

bool PasswordCheque(IDoxPage* page, std::wstring* reason)
{
    Builder b(page, true, reason);
    b.Title(L"支付密码转账支票", 2300, 50, 1000);
    b.Named(Box(100, 170, 200, 60), Box(320, 170, 600, 60), L"日期", L"日期");
    b.Named(Box(1100, 170, 180, 60), Box(1300, 170, 880, 60), L"号码", L"文本");
    b.Named(Box(100, 260, 200, 60), Box(320, 260, 700, 60), L"账号", L"文本");
    b.Named(Box(1100, 260, 180, 60), Box(1300, 260, 880, 60), L"业务", L"文本");
    b.Label(Box(100, 390, 200, 60), L"人民币(大写)");
    b.Capitals(Box(320, 390, 760, 60), L"金额");
    const RECT boxes = Box(1300, 390, 880, 60);
    b.AmountGrid(boxes, 36);
    b.AmountBoxes(boxes, L"金额");
    b.Named(Box(100, 480, 200, 60), Box(320, 480, 700, 60), L"密码", L"文本");
    if (!b.Finish()) return false;
    kqplus::CKQXFieldCfg map(page);
    const kqplus::MapEntry entries[] = {kqplus::MapEntry::Account, kqplus::MapEntry::Date,
                                        kqplus::MapEntry::Money,   kqplus::MapEntry::PayCode,
                                        kqplus::MapEntry::CredenceNo, kqplus::MapEntry::BizType};
    for (kqplus::MapEntry entry : entries) map.SetName(entry, std::wstring(L"主表.") + kqplus::MapEntryDefault(entry));
    if (map.SaveToPage() != 1) {
        *reason = L"the field map was not stored";
        return false;
    }
    return true;
}

struct Recipe {
    SampleTemplate sample;
    std::vector<std::pair<const wchar_t*, SIZE>> pages;
    std::function<bool(IDoxDocument*, std::wstring*)> fill;
};

const std::vector<Recipe>& Recipes()
{
    static const std::vector<Recipe> recipes = {
        {{L"转账支票.dxt", 1},
         {{L"转账支票", SIZE{2300, 800}}},
         [](IDoxDocument* d, std::wstring* r) { return TransferCheque(d->GetPage(0), r); }},
        {{L"银行进账单.dxt", 2},
         {{L"回单", SIZE{2100, 900}}, {L"收账通知", SIZE{2100, 900}}},
         [](IDoxDocument* d, std::wstring* r) {
             return VoucherPage(d->GetPage(0), L"第一联 回单", r) && VoucherPage(d->GetPage(1), L"第二联 收账通知", r);
         }},
        {{L"费用报销单.dxt", 1},
         {{L"报销单", SIZE{2100, 1000}}},
         [](IDoxDocument* d, std::wstring* r) { return ExpenseClaim(d->GetPage(0), r); }},
        {{L"支付密码支票.dxt", 1},
         {{L"支票", SIZE{2300, 800}}},
         [](IDoxDocument* d, std::wstring* r) { return PasswordCheque(d->GetPage(0), r); }},
    };
    return recipes;
}

// The first page's preview, shrunk to an icon of 96 by 96.
bool StoreIcon(IDoxCore* core, const std::wstring& path, std::wstring* reason)
{
    IDoxImageData* preview = core->GetTemplatePreview(path.c_str());
    QImage picture;
    if (preview) {
        if (preview->GetData()) picture.loadFromData(preview->GetData(), static_cast<int>(preview->GetSize()));
        preview->Release();
    }
    if (picture.isNull()) {
        *reason = L"no preview for the icon";
        return false;
    }
    QImage icon(96, 96, QImage::Format_ARGB32);
    icon.fill(Qt::white);
    {
        const QImage scaled = picture.scaled(94, 94, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        QPainter p(&icon);
        p.drawImage((96 - scaled.width()) / 2, (96 - scaled.height()) / 2, scaled);
    }
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    icon.save(&buffer, "PNG");
    IDoxDocument* document = core->OpenTemplate(path.c_str());
    if (!document) {
        *reason = core->GetLastErrorText();
        return false;
    }
    const bool stored =
        document->SetIconFromData(png.constData(), static_cast<uint32_t>(png.size())) == 1 && document->Save() == 1;
    document->Release();
    if (!stored) *reason = L"the icon was not stored";
    return stored;
}

} // namespace

const std::vector<SampleTemplate>& SampleTemplates()
{
    static const std::vector<SampleTemplate> list = [] {
        std::vector<SampleTemplate> out;
        for (const Recipe& recipe : Recipes()) out.push_back(recipe.sample);
        return out;
    }();
    return list;
}

bool MakeSampleTemplates(IDoxCore* core, const std::wstring& folder, std::wstring* reason)
{
    for (const Recipe& recipe : Recipes()) {
        const std::wstring path = Join(folder, recipe.sample.fileName);
        std::remove(QString::fromStdWString(path).toLocal8Bit().constData());
        IDoxDocument* document =
            core->CreateTemplate(path.c_str(), recipe.pages[0].first, recipe.pages[0].second.cx, recipe.pages[0].second.cy);
        if (!document) {
            *reason = core->GetLastErrorText();
            return false;
        }
        bool ok = true;
        for (size_t i = 1; ok && i < recipe.pages.size(); ++i)
            ok = document->AddPage(recipe.pages[i].first, recipe.pages[i].second.cx, recipe.pages[i].second.cy) != nullptr;
        if (!ok) *reason = core->GetLastErrorText();
        ok = ok && recipe.fill(document, reason);
        if (ok && document->Save() != 1) {
            *reason = core->GetLastErrorText();
            ok = false;
        }
        document->Release();
        if (!ok || !StoreIcon(core, path, reason)) {
            *reason = recipe.sample.fileName + L": " + *reason;
            return false;
        }
    }
    return true;
}

} // namespace samples
