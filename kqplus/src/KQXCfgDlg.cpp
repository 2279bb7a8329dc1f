#include "KQXCfgDlg.h"

#include "IDoxDocElement.h"
#include "IDoxPage.h"
#include "Prompter.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace kqplus
{

namespace
{

const QString kCfgTitle = QStringLiteral("KQ密码器配置");
const wchar_t kDeleteQuestion[] = L"确定要删除KQX密码器配置信息吗？\n删除了KQX密码器配置信息将会导致KQX联机计算功能无法使用。";
const wchar_t kSaveFailed[] = L"保存KQ密码器配置信息失败：无法写入模板页面。";

bool StartsWithIgnoringAsciiCase(const QString& text, const QString& prefix)
{
    if (prefix.size() > text.size())
        return false;
    for (qsizetype i = 0; i < prefix.size(); ++i) {
        QChar a = text[i], b = prefix[i];
        if (a.unicode() < 128)
            a = a.toLower();
        if (b.unicode() < 128)
            b = b.toLower();
        if (a != b)
            return false;
    }
    return true;
}

// The first item whose text begins with name (an empty name: the first item); -1
// when there is none.
int FindPrefix(const QComboBox* combo, const QString& name)
{
    for (int i = 0; i < combo->count(); ++i) {
        if (StartsWithIgnoringAsciiCase(combo->itemText(i), name))
            return i;
    }
    return -1;
}

} // namespace

std::array<int, kMapEntryCount> GuessFieldMap(const QStringList& fields)
{
    std::array<int, kMapEntryCount> chosen;
    chosen.fill(-1);
    for (qsizetype i = 0; i < fields.size(); ++i) {
        for (int e = 0; e < kMapEntryCount; ++e) {
            if (fields[i].contains(QString::fromWCharArray(MapEntryDefault(static_cast<MapEntry>(e))))) {
                chosen[static_cast<size_t>(e)] = static_cast<int>(i);
                break;
            }
        }
    }
    return chosen;
}

CKQXCfgDlg::CKQXCfgDlg(IDoxPage* page, QWidget* parent)
    : HeaderDialog(kCfgTitle, QStringLiteral("票据类型和KQ密码器字段映射设置。"), parent), config_(page)
{
    bizType_ = WithId(new QComboBox(this), 2009);
    const int ids[kMapEntryCount] = {2022, 2028, 2029, 2032, 2033, 2034};
    const wchar_t* labels[kMapEntryCount] = {L"账号(&A)：",     L"签发日期(&D)：", L"金额(&M)：",
                                             L"支付密码(&C)：", L"凭证号码(&N)：", L"业务种类(&B)："};
    for (int e = 0; e < kMapEntryCount; ++e)
        combos_[static_cast<size_t>(e)] = WithId(new QComboBox(this), ids[e]);
    auto* remove = WithId(new QPushButton(QStringLiteral("删除配置信息(&R)"), this), 2035);
    remove->setAutoDefault(false);
    auto* ok = WithId(new QPushButton(QStringLiteral("确定"), this), 1);
    auto* cancel = WithId(new QPushButton(QStringLiteral("取消"), this), 2);
    ok->setDefault(true);
    cancel->setAutoDefault(false);

    auto* bill = new QGroupBox(QStringLiteral("票据字段"), this);
    auto* billGrid = new QGridLayout(bill);
    auto* type = new QLabel(QStringLiteral("凭证类型(&T)："));
    type->setBuddy(bizType_);
    billGrid->addWidget(type, 0, 0);
    billGrid->addWidget(bizType_, 0, 1);
    auto* data = new QGroupBox(QStringLiteral("数据字段"), this);
    auto* dataGrid = new QGridLayout(data);
    for (int e = 0; e < kMapEntryCount; ++e) {
        auto* label = new QLabel(QString::fromWCharArray(labels[e]));
        label->setBuddy(combos_[static_cast<size_t>(e)]);
        QGridLayout* grid = e < 4 ? billGrid : dataGrid;
        const int row = e < 4 ? e + 1 : e - 4;
        grid->addWidget(label, row, 0);
        grid->addWidget(combos_[static_cast<size_t>(e)], row, 1);
        grid->setColumnStretch(1, 1);
    }
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(remove);
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* all = new QVBoxLayout(this);
    all->setContentsMargins(12, kHeaderHeight + 10, 12, 10);
    all->addWidget(bill);
    all->addWidget(data);
    all->addLayout(buttons);
    // 246 x 215 dialog units.
    resize(370, 350);

    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(remove, &QPushButton::clicked, this, [this] { OnDelete(); });

    // Initialisation.
    const int loaded = config_.LoadFromPage();
    for (int i = 0; i < kBizTypeCount; ++i)
        bizType_->addItem(QString::fromWCharArray(kBizTypeNames[i]), i);
    bizType_->setCurrentIndex(bizType_->findData(config_.BizType()));
    for (int e = 0; e < kMapEntryCount; ++e) {
        if (Optional(static_cast<MapEntry>(e)))
            combos_[static_cast<size_t>(e)]->addItem(QString());
    }
    QStringList fields;
    if (page) {
        const int n = page->GetFieldCount();
        for (int i = 0; i < n; ++i)
            fields << QString::fromWCharArray(page->GetFieldName(i));
    }
    for (QComboBox* combo : combos_)
        combo->addItems(fields);

    if (loaded) {
        // A stored name the page no longer has leaves its combo without a selection.
        for (int e = 0; e < kMapEntryCount; ++e) {
            QComboBox* combo = combos_[static_cast<size_t>(e)];
            combo->setCurrentIndex(
                FindPrefix(combo, QString::fromStdWString(config_.Name(static_cast<MapEntry>(e)))));
        }
    } else {
        const std::array<int, kMapEntryCount> guess = GuessFieldMap(fields);
        for (int e = 0; e < kMapEntryCount; ++e) {
            QComboBox* combo = combos_[static_cast<size_t>(e)];
            const int offset = Optional(static_cast<MapEntry>(e)) ? 1 : 0;
            const int field = guess[static_cast<size_t>(e)];
            combo->setCurrentIndex(field < 0 ? (combo->count() > 0 ? 0 : -1) : field + offset);
        }
    }
}

void CKQXCfgDlg::accept()
{
    config_.SetBizType(bizType_->currentIndex() < 0 ? 0 : bizType_->currentData().toInt());
    for (int e = 0; e < kMapEntryCount; ++e)
        config_.SetName(static_cast<MapEntry>(e), combos_[static_cast<size_t>(e)]->currentText().toStdWString());
    if (!config_.SaveToPage()) {
        dox::platform::CurrentPrompter().MessageBox(this, kSaveFailed, kCfgTitle.toStdWString(),
                                                    dox::platform::kMbOk | dox::platform::kMbIconInformation);
        return;
    }
    HeaderDialog::accept();
}

void CKQXCfgDlg::OnDelete()
{
    const int answer = dox::platform::CurrentPrompter().MessageBox(
        this, kDeleteQuestion, kCfgTitle.toStdWString(), dox::platform::kMbOkCancel | dox::platform::kMbIconQuestion);
    if (answer != dox::platform::kIdOk)
        return;
    if (IDoxPage* page = config_.Page()) {
        if (page->HasUserElement(L"kqxfieldmap", 0)) {
            if (IDoxDocElement* element = page->GetUserElement(L"kqxfieldmap", 0))
                element->Remove();
        }
    }
    HeaderDialog::accept();
}

CKQXQueryDlg::CKQXQueryDlg(QWidget* parent)
    : HeaderDialog(QStringLiteral("KQ密码器联机计算"), QStringLiteral("KQ密码器联机计算支付密码。"), parent)
{
    auto* question = new QLabel(
        QStringLiteral("票据中包含支付密码，并且支付密码没有填写，是否启动KQ密码器联机计算支付密码？"), this);
    question->setWordWrap(true);
    auto* hint = new QLabel(QStringLiteral("如需要使用KQ密码器联机计算功能，请正确地连接KQ密码器和PC机。"), this);
    hint->setWordWrap(true);
    hint->setStyleSheet(QStringLiteral("color: rgb(100, 100, 100);"));
    auto* yes = WithId(new QPushButton(dox::platform::AnswerCaption(dox::platform::kIdYes), this), 1);
    auto* no = WithId(new QPushButton(dox::platform::AnswerCaption(dox::platform::kIdNo), this), 2);
    yes->setDefault(true);
    no->setAutoDefault(false);
    dox::platform::AnswerFromKeyboard(this, no);
    connect(yes, &QPushButton::clicked, this, &QDialog::accept);
    connect(no, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(yes);
    buttons->addWidget(no);
    auto* all = new QVBoxLayout(this);
    all->setContentsMargins(16, kHeaderHeight + 14, 16, 10);
    all->addWidget(question);
    all->addSpacing(8);
    all->addWidget(hint);
    all->addStretch();
    all->addLayout(buttons);
    // 243 x 133 dialog units.
    resize(365, 216);
}

} // namespace kqplus
