#include "SampleTemplates.h"

#include "ByteStream.h"
#include "DoxControl.h"
#include "DoxEditControl.h"
#include "DoxLabelControl.h"
#include "DoxLayer.h"
#include "DoxPage.h"
#include "DoxTableControl.h"
#include "IDoxCore.h"
#include "IDoxDocument.h"
#include "IDoxImageData.h"
#include "KQXFieldCfg.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>

#include <cstdio>
#include <functional>

namespace samples
{

namespace
{

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
    Builder(IDoxPage* page, std::wstring* reason) : layer_(static_cast<DoxPage*>(page)->GetLayer(0)), reason_(reason) {}

    void Label(const RECT& r, const wchar_t* text, const wchar_t* size = L"10")
    {
        auto* label = static_cast<DoxLabelControl*>(Make(DoxKindLabel, r));
        if (!label) return;
        Check(label->Text().SetValueText(text));
        Check(label->Font().Size().SetValueText(size));
    }

    DoxEditControl* Field(const RECT& r, const wchar_t* name, const wchar_t* type)
    {
        auto* edit = static_cast<DoxEditControl*>(Make(DoxKindEdit, r));
        if (!edit) return nullptr;
        Check(edit->DataAttribute().FieldName().SetValueText(name));
        Check(edit->DataAttribute().FieldType().SetValueText(type));
        Check(edit->Font().Size().SetValueText(L"11"));
        return edit;
    }

    // Amount boxes: one cell per digit, filled from the right.
    DoxEditControl* AmountBoxes(const RECT& r, const wchar_t* name, int cells)
    {
        DoxEditControl* edit = Field(r, name, L"数值");
        if (!edit) return nullptr;
        Check(edit->Split().ColumnItem().SetValueText(std::to_wstring(cells).c_str()));
        Check(edit->Split().Style().SetValueText(L"右端"));
        return edit;
    }

    DoxEditControl* Capitals(const RECT& r, const wchar_t* name)
    {
        DoxEditControl* edit = Field(r, name, L"数值");
        if (edit) Check(edit->Format().Format().SetValueText(L"<中文大写金额>"));
        return edit;
    }

    DoxTableControl* Table(const RECT& r, const wchar_t* tableName,
                           const std::vector<std::pair<const wchar_t*, const wchar_t*>>& columns, int rows)
    {
        auto* table = static_cast<DoxTableControl*>(Make(DoxKindTable, r));
        if (!table) return nullptr;
        Check(table->TableAttribute().TableName().SetValueText(tableName));
        for (size_t c = 0; c < columns.size(); ++c) {
            Check(table->Columns().AddElement());
            DoxTableCol* column = table->Column(static_cast<int>(c));
            Check(column->Data().FieldName().SetValueText(columns[c].first));
            Check(column->Data().FieldType().SetValueText(columns[c].second));
        }
        for (int i = 0; i < rows; ++i) Check(table->Rows().AddElement());
        return table;
    }

    bool Ok() const { return ok_; }

private:
    DoxControl* Make(int32_t kind, const RECT& r)
    {
        DoxControl* control = layer_->CreateControl(kind, &r);
        if (!control) Fail(L"a control could not be made");
        return control;
    }
    void Check(bool done)
    {
        if (!done) Fail(L"an attribute was refused");
    }
    void Fail(const wchar_t* why)
    {
        if (ok_ && reason_) *reason_ = why;
        ok_ = false;
    }

    DoxLayer* layer_;
    std::wstring* reason_;
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
    for (int y : {170, 270, 370, 470, 570, 670}) p.drawLine(40, y, 2260, y);
    // The amount grid: eleven boxes for 亿 to 分.
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
    Builder b(page, reason);
    b.Label(Box(60, 190, 200, 60), L"出票日期");
    b.Field(Box(280, 190, 600, 60), L"出票日期", L"日期");
    b.Label(Box(60, 290, 200, 60), L"收款人");
    b.Field(Box(280, 290, 1000, 60), L"收款人", L"文本");
    b.Label(Box(60, 390, 200, 60), L"人民币(大写)");
    b.Capitals(Box(280, 390, 1000, 60), L"大写金额");
    b.AmountBoxes(Box(1360, 320, 880, 140), L"金额", 11);
    b.Label(Box(60, 490, 200, 60), L"用途");
    b.Field(Box(280, 490, 1000, 60), L"用途", L"文本");
    b.Label(Box(60, 590, 200, 60), L"出票人账号");
    b.Field(Box(280, 590, 1000, 60), L"出票人账号", L"文本");
    return b.Ok();
}

bool VoucherPage(IDoxPage* page, const wchar_t* copy, std::wstring* reason)
{
    Builder b(page, reason);
    b.Label(Box(700, 60, 800, 90), L"银行进账单", L"18");
    b.Label(Box(1500, 80, 500, 60), copy);
    b.Label(Box(100, 200, 250, 60), L"出票人全称");
    b.Field(Box(360, 200, 700, 60), L"出票人全称", L"文本");
    b.Label(Box(1100, 200, 250, 60), L"收款人全称");
    b.Field(Box(1360, 200, 700, 60), L"收款人全称", L"文本");
    b.Label(Box(100, 300, 250, 60), L"出票人账号");
    b.Field(Box(360, 300, 700, 60), L"出票人账号", L"文本");
    b.Label(Box(1100, 300, 250, 60), L"收款人账号");
    b.Field(Box(1360, 300, 700, 60), L"收款人账号", L"文本");
    b.Label(Box(100, 400, 250, 60), L"金额(大写)");
    b.Capitals(Box(360, 400, 900, 60), L"金额");
    b.Label(Box(100, 500, 250, 60), L"日期");
    b.Field(Box(360, 500, 500, 60), L"日期", L"日期");
    return b.Ok();
}

bool ExpenseClaim(IDoxPage* page, std::wstring* reason)
{
    Builder b(page, reason);
    b.Label(Box(700, 60, 800, 90), L"费用报销单", L"18");
    b.Label(Box(100, 180, 200, 60), L"报销人");
    b.Field(Box(300, 180, 500, 60), L"报销人", L"文本");
    b.Label(Box(900, 180, 200, 60), L"部门");
    b.Field(Box(1100, 180, 500, 60), L"部门", L"文本");
    b.Label(Box(100, 270, 1800, 50), L"摘要                              类别                  金额");
    b.Table(Box(100, 330, 1800, 400), L"明细", {{L"摘要", L"文本"}, {L"类别", L"文本"}, {L"金额", L"数值"}}, 5);
    b.Label(Box(100, 760, 300, 60), L"合计(大写)");
    b.Capitals(Box(400, 760, 900, 60), L"合计");
    return b.Ok();
}

bool PasswordCheque(IDoxPage* page, std::wstring* reason)
{
    Builder b(page, reason);
    b.Label(Box(600, 50, 1000, 90), L"支付密码转账支票", L"18");
    const std::pair<const wchar_t*, const wchar_t*> fields[] = {{L"账号", L"文本"}, {L"日期", L"日期"},
                                                                {L"金额", L"数值"}, {L"密码", L"文本"},
                                                                {L"号码", L"文本"}, {L"业务", L"文本"}};
    int y = 180;
    for (const auto& field : fields) {
        b.Label(Box(100, y, 200, 60), field.first);
        if (std::wstring(field.first) == L"金额")
            b.AmountBoxes(Box(320, y, 880, 60), field.first, 11);
        else
            b.Field(Box(320, y, 700, 60), field.first, field.second);
        y += 90;
    }
    if (!b.Ok()) return false;
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
