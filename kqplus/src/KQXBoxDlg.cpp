#include "KQXBoxDlg.h"

#include "AmountText.h"
#include "Clock.h"
#include "EditBoxes.h"
#include "IDoxPage.h"
#include "IDoxValue.h"
#include "TipStatic.h"
#include "WaitPopup.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QEvent>
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

enum : int {
    kSignerNumber = 2000,
    kSignerSpin = 2001,
    kAuditorCheck = 2002,
    kAuditorNumber = 2003,
    kAuditorSpin = 2004,
    kAuthoriserCheck = 2005,
    kAuthoriserNumber = 2006,
    kAuthoriserSpin = 2007,
    kAccount = 2008,
    kBizType = 2009,
    kDate = 2011,
    kCredence = 2012,
    kAmount = 2013,
    kCapital = 2014,
    kSignerPassword = 2015,
    kAuditorPassword = 2016,
    kAuthoriserPassword = 2017,
    kPort = 2018,
    kReadSerial = 2019,
    kTip = 2021,
};

const wchar_t kCheckElements[] = L"请核验各个计算要素";
const wchar_t kInvalidAccount[] = L"无效的账号";
const wchar_t kPasswordLabel[] = L"支付密码:";
const wchar_t kPasswordNotWritten[] = L"支付密码无法写入票据（配置的支付密码字段不能保存它），请手工抄写:";
const wchar_t kDeviceNumberLabel[] = L"密码器编号：";

bool AllDigits(const std::wstring& text)
{
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9')
            return false;
    }
    return true;
}

// An operator number box holds 1-16.
bool IsOperatorNumber(const std::wstring& text)
{
    if (text.empty() || text.size() > 2 || !AllDigits(text))
        return false;
    const int n = std::stoi(text);
    return n >= 1 && n <= 16;
}

int OperatorNumber(const std::wstring& text)
{
    return IsOperatorNumber(text) ? std::stoi(text) : 1;
}

QLabel* Label(const wchar_t* text, QWidget* buddy = nullptr)
{
    auto* label = new QLabel(QString::fromWCharArray(text));
    if (buddy)
        label->setBuddy(buddy);
    return label;
}

} // namespace

std::optional<FormRefusal> CheckComputeForm(const ComputeForm& form)
{
    const std::wstring numberRange = L"您只能在这里输入1到16的数值。";
    if (form.account.empty())
        return FormRefusal{L"请输入账号", kAccount};
    if (form.bizType < 0)
        return FormRefusal{L"请选择业务种类", kBizType};
    if (form.credenceNo.empty())
        return FormRefusal{L"请输入凭证号码", kCredence};
    if (!form.amountValid)
        return FormRefusal{L"请输入金额", kAmount};
    if (form.signerPassword.size() != 6)
        return FormRefusal{L"请输入6位签发员口令", kSignerPassword};
    if (form.auditor && form.auditorPassword.size() != 6)
        return FormRefusal{L"请输入6位审核员口令", kAuditorPassword};
    if (form.authoriser && form.authoriserPassword.size() != 6 && form.authoriserPassword.size() != 8)
        return FormRefusal{L"请输入6位授权员口令或者8位的授权卡口令", kAuthoriserPassword};
    if (form.bizType > 4)
        return FormRefusal{L"请选择业务种类", kBizType};
    if (form.fen == kNoAmount && form.bizType != 0)
        return FormRefusal{L"只有支票支持无金额", kAmount};
    if (form.fen == 0)
        return FormRefusal{L"金额不能为0，请输入金额", kAmount};
    // An emptied operator number would reach the device as a wrong operator.
    if (!IsOperatorNumber(form.signerNumber))
        return FormRefusal{numberRange, kSignerNumber};
    if (form.auditor && !IsOperatorNumber(form.auditorNumber))
        return FormRefusal{numberRange, kAuditorNumber};
    if (form.authoriser && !IsOperatorNumber(form.authoriserNumber))
        return FormRefusal{numberRange, kAuthoriserNumber};
    return std::nullopt;
}

CKQXBoxDlg::CKQXBoxDlg(IDoxPage* page, QWidget* parent)
    : HeaderDialog(QStringLiteral("KQ密码器联机计算"), QStringLiteral("KQ支付密码联机计算。"), parent), page_(page),
      config_(page)
{
    Build();
    Open();
}

CKQXBoxDlg::~CKQXBoxDlg()
{
    // The boxes go after this object: what they report on the way (the amount box
    // completes its text when it loses the focus) must not reach it any more.
    account_->removeEventFilter(this);
    credence_->removeEventFilter(this);
    for (QObject* child : findChildren<QObject*>())
        QObject::disconnect(child, nullptr, this, nullptr);
}

void CKQXBoxDlg::Build()
{
    account_ = WithId(new CDigitEdit(this, 32), kAccount);
    bizType_ = WithId(new QComboBox(this), kBizType);
    date_ = WithId(new QDateEdit(this), kDate);
    date_->setCalendarPopup(true);
    date_->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    credence_ = WithId(new CDigitEdit(this, 8), kCredence);
    amount_ = WithId(new CMoneyEdit(this), kAmount);
    capital_ = WithId(new QLabel(this), kCapital);

    signerNumber_ = WithId(new CDigitEdit(this, 2), kSignerNumber);
    signerPassword_ = WithId(new CDigitEdit(this, 6), kSignerPassword);
    auditor_ = WithId(new QCheckBox(QStringLiteral("审核员代码："), this), kAuditorCheck);
    auditorNumber_ = WithId(new CDigitEdit(this, 2), kAuditorNumber);
    auditorPassword_ = WithId(new CDigitEdit(this, 6), kAuditorPassword);
    authoriser_ = WithId(new QCheckBox(QStringLiteral("授权员代码："), this), kAuthoriserCheck);
    authoriserNumber_ = WithId(new CDigitEdit(this, 2), kAuthoriserNumber);
    authoriserPassword_ = WithId(new CDigitEdit(this, 8), kAuthoriserPassword);
    for (CDigitEdit* number : {signerNumber_, auditorNumber_, authoriserNumber_}) {
        number->SetRange(1, 16);
        number->setFixedWidth(36);
    }
    for (CDigitEdit* password : {signerPassword_, auditorPassword_, authoriserPassword_})
        password->setEchoMode(QLineEdit::Password);
    auto* signerSpin = WithId(new UpDown(signerNumber_, 1, 16, this), kSignerSpin);
    auditorSpin_ = WithId(new UpDown(auditorNumber_, 1, 16, this), kAuditorSpin);
    authoriserSpin_ = WithId(new UpDown(authoriserNumber_, 1, 16, this), kAuthoriserSpin);

    port_ = WithId(new QComboBox(this), kPort);
    auto* readSerial = WithId(new QPushButton(QStringLiteral("获取密码器编号"), this), kReadSerial);
    readSerial->setAutoDefault(false);
    tip_ = WithId(new CTipStatic(this), kTip);
    tip_->setMinimumHeight(40);
    auto* calculate = WithId(new QPushButton(QStringLiteral("计算"), this), 1);
    auto* cancel = WithId(new QPushButton(QStringLiteral("取消"), this), 2);
    calculate->setDefault(true);
    cancel->setAutoDefault(false);

    auto* bill = new QGridLayout;
    bill->addWidget(Label(L"账号(&A)：", account_), 0, 0);
    bill->addWidget(account_, 0, 1, 1, 4);
    bill->addWidget(Label(L"业务种类(&B)：", bizType_), 1, 0);
    bill->addWidget(bizType_, 1, 1);
    bill->addWidget(Label(L"签发日期(&D)：", date_), 1, 2);
    bill->addWidget(date_, 1, 3, 1, 2);
    bill->addWidget(Label(L"凭证号码(&C)：", credence_), 2, 0);
    bill->addWidget(credence_, 2, 1);
    bill->addWidget(Label(L"金额(&M)：", amount_), 2, 2);
    bill->addWidget(amount_, 2, 3);
    bill->addWidget(Label(L"元"), 2, 4);
    bill->addWidget(Label(L"金额大写："), 3, 0);
    bill->addWidget(capital_, 3, 1, 1, 4);
    bill->setColumnStretch(1, 1);
    bill->setColumnStretch(3, 1);

    auto* operators = new QGroupBox(this);
    auto* grid = new QGridLayout(operators);
    auto addRow = [grid](int row, QWidget* head, CDigitEdit* number, QWidget* spin, const wchar_t* passwordText,
                         CDigitEdit* password) {
        grid->addWidget(head, row, 0);
        auto* numberBox = new QHBoxLayout;
        numberBox->setSpacing(0);
        numberBox->addWidget(number);
        numberBox->addWidget(spin);
        numberBox->addStretch();
        grid->addLayout(numberBox, row, 1);
        grid->addWidget(Label(passwordText, password), row, 2);
        grid->addWidget(password, row, 3);
    };
    addRow(0, Label(L"签发员代码："), signerNumber_, signerSpin, L"签发员口令：", signerPassword_);
    addRow(1, auditor_, auditorNumber_, auditorSpin_, L"审核员口令：", auditorPassword_);
    addRow(2, authoriser_, authoriserNumber_, authoriserSpin_, L"授权员口令：", authoriserPassword_);
    auto* note = Label(L"授权员口令为6位\n授权卡口令为8位");
    note->setStyleSheet(QStringLiteral("color: rgb(100, 100, 100);"));
    grid->addWidget(note, 3, 2, 1, 2);
    grid->setColumnStretch(3, 1);

    auto* device = new QHBoxLayout;
    device->addWidget(Label(L"连接端口：", port_));
    device->addWidget(port_, 1);
    device->addWidget(readSerial);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(calculate);
    buttons->addWidget(cancel);

    auto* all = new QVBoxLayout(this);
    all->setContentsMargins(12, kHeaderHeight + 10, 12, 10);
    all->addLayout(bill);
    all->addWidget(operators);
    all->addLayout(device);
    all->addWidget(tip_);
    all->addLayout(buttons);
    // 360 x 269 dialog units.
    resize(540, 440);

    account_->installEventFilter(this);
    credence_->installEventFilter(this);
    connect(amount_, &QLineEdit::textChanged, this, [this] { OnAmountChanged(); });
    connect(bizType_, &QComboBox::currentIndexChanged, this, [this] { OnBizTypeChanged(); });
    connect(auditor_, &QCheckBox::toggled, this, [this] { UpdateEnableStates(); });
    connect(authoriser_, &QCheckBox::toggled, this, [this] { UpdateEnableStates(); });
    connect(readSerial, &QPushButton::clicked, this, [this] { OnReadSerial(); });
    connect(calculate, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void CKQXBoxDlg::Open()
{
    config_.LoadFromPage();
    config_.Load();

    signerNumber_->SetCheckedText(QStringLiteral("1"));
    auditorNumber_->SetCheckedText(QStringLiteral("1"));
    authoriserNumber_->SetCheckedText(QStringLiteral("1"));

    SPEnumator ports;
    ports.Enumerate();
    for (const SP& port : ports.Ports())
        port_->addItem(QString::fromStdWString(port.name), port.number);
    port_->setCurrentIndex(port_->count() > 0 ? 0 : -1);

    {
        const QSignalBlocker quiet(bizType_);
        for (int i = 0; i < kBizTypeCount; ++i)
            bizType_->addItem(QString::fromWCharArray(kBizTypeNames[i]), i);
        bizType_->setCurrentIndex(bizType_->findData(config_.BizType()));
    }

    const wchar_t* tip = kCheckElements;
    IDoxValue* v = page_ ? page_->GetFieldValue(Name(MapEntry::Account).c_str(), 0) : nullptr;
    if (v && v->GetType() == 1) {
        const std::wstring account = v->GetText();
        if (AllDigits(account))
            account_->SetCheckedText(QString::fromStdWString(account.substr(0, 32)));
        else
            tip = kInvalidAccount;
    }

    // A bill's date is a calendar date: shown as it is stored, never moved by a
    // time zone.
    plat::SystemTime day = plat::LocalNow();
    v = page_ ? page_->GetFieldValue(Name(MapEntry::Date).c_str(), 0) : nullptr;
    if (v && v->GetType() == 3) {
        plat::SystemTime stored;
        if (plat::FileTimeToSystemTime(v->GetTime(), stored))
            day = stored;
    }
    date_->setDate(QDate(day.year, day.month, day.day));

    v = page_ ? page_->GetFieldValue(Name(MapEntry::CredenceNo).c_str(), 0) : nullptr;
    if (v && v->GetType() == 1)
        credence_->SetCheckedText(QString::fromWCharArray(v->GetText()));
    else
        credence_->SetCheckedText(QString::fromStdWString(config_.FormatNextCredenceNo(account_->text().toStdWString())));

    amount_->SetCheck([this](const std::wstring& text, std::wstring& message) {
        // Only a field the bill has can judge the amount: an unmapped or vanished
        // money field would refuse every amount as an unknown field.
        const std::wstring& money = Name(MapEntry::Money);
        if (!page_ || money.empty() || !page_->GetFieldValue(money.c_str(), 0))
            return 1;
        IDoxValueTest* test = page_->TestFieldText(money.c_str(), 0, text.c_str());
        if (!test)
            return 1;
        message = test->GetMessage();
        return test->GetResult() ? 1 : 0;
    });
    v = page_ ? page_->GetFieldValue(Name(MapEntry::Money).c_str(), 0) : nullptr;
    if (v && v->GetType() == 2) {
        // A number the box cannot hold leaves it empty, so the checks ask for one.
        if (std::optional<int64_t> fen = FenFromNumber(v->GetNumber()))
            amount_->SetValue(*fen);
    } else {
        amount_->SetValue(kNoAmount);
    }

    UpdateEnableStates();
    tip_->Show(CTipStatic::Information, QString::fromWCharArray(tip));
}

void CKQXBoxDlg::UpdateEnableStates()
{
    const bool auditor = auditor_->isChecked();
    auditorNumber_->setEnabled(auditor);
    auditorSpin_->setEnabled(auditor);
    auditorPassword_->setEnabled(auditor);
    const bool authoriser = authoriser_->isChecked();
    authoriserNumber_->setEnabled(authoriser);
    authoriserSpin_->setEnabled(authoriser);
    authoriserPassword_->setEnabled(authoriser);
}

bool CKQXBoxDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut) {
        if (watched == account_)
            OnAccountLeft();
        else if (watched == credence_)
            OnCredenceLeft();
    }
    return HeaderDialog::eventFilter(watched, event);
}

void CKQXBoxDlg::OnAccountLeft()
{
    IDoxValue* v = page_ ? page_->GetFieldValue(Name(MapEntry::CredenceNo).c_str(), 0) : nullptr;
    if (!v || v->GetType() != 1)
        credence_->SetCheckedText(QString::fromStdWString(config_.FormatNextCredenceNo(account_->text().toStdWString())));
}

void CKQXBoxDlg::OnCredenceLeft()
{
    const QString text = credence_->text();
    if (text.size() < 8)
        credence_->SetCheckedText(QString(8 - text.size(), QLatin1Char('0')) + text);
}

void CKQXBoxDlg::OnAmountChanged()
{
    int64_t fen = 0;
    if (amount_->IsNoAmount() || !amount_->Value(fen)) {
        capital_->clear();
        return;
    }
    capital_->setText(QString::fromStdWString(AmountToCapital(FormatFen(fen))));
}

void CKQXBoxDlg::OnBizTypeChanged()
{
    int64_t fen = 0;
    if (bizType_->currentIndex() == 0) {
        if (!amount_->IsNoAmount() && amount_->Value(fen) && fen == 0)
            amount_->SetValue(kNoAmount);
    } else if (amount_->IsNoAmount()) {
        amount_->SetValue(0);
    }
}

ComputeForm CKQXBoxDlg::Form()
{
    ComputeForm form;
    form.account = account_->text().toStdWString();
    form.bizType = bizType_->currentIndex() < 0 ? -1 : bizType_->currentData().toInt();
    form.credenceNo = credence_->text().toStdWString();
    form.amountValid = !amount_->text().isEmpty() && amount_->Value(form.fen);
    form.signerNumber = signerNumber_->text().toStdWString();
    form.signerPassword = signerPassword_->text().toStdWString();
    form.auditor = auditor_->isChecked();
    form.auditorNumber = auditorNumber_->text().toStdWString();
    form.auditorPassword = auditorPassword_->text().toStdWString();
    form.authoriser = authoriser_->isChecked();
    form.authoriserNumber = authoriserNumber_->text().toStdWString();
    form.authoriserPassword = authoriserPassword_->text().toStdWString();
    return form;
}

void CKQXBoxDlg::ShowRefusal(const FormRefusal& refusal)
{
    tip_->Show(CTipStatic::Error, QString::fromStdWString(refusal.text));
    if (QWidget* control = findChild<QWidget*>(QString::number(refusal.controlId)))
        control->setFocus(Qt::OtherFocusReason);
}

int CKQXBoxDlg::SelectedPort() const
{
    return port_->currentIndex() < 0 ? 0 : port_->currentData().toInt();
}

int CKQXBoxDlg::OnCalculate()
{
    const ComputeForm form = Form();
    if (std::optional<FormRefusal> refusal = CheckComputeForm(form)) {
        ShowRefusal(*refusal);
        return 0;
    }
    const QDate day = date_->date();
    CalcInput input;
    input.account = form.account;
    input.bizType = form.bizType;
    input.credenceNo = form.credenceNo;
    input.year = day.year();
    input.month = day.month();
    input.day = day.day();
    input.fen = form.fen;

    KQXWaitConnKQCalc job(SelectedPort());
    if (!BuildRequest(input, job.Request())) {
        tip_->Show(CTipStatic::Error, QString::fromWCharArray(kCheckElements));
        return 0;
    }
    Operators operators;
    operators.signer = {OperatorNumber(form.signerNumber), form.signerPassword};
    if (form.auditor)
        operators.auditor = Operator{OperatorNumber(form.auditorNumber), form.auditorPassword};
    if (form.authoriser)
        operators.authoriser = Operator{OperatorNumber(form.authoriserNumber), form.authoriserPassword};
    BuildAuthBlock(operators, job.Auth());

    int ok = 0;
    {
        CWait wait(job, this);
        ok = wait.Run();
    }
    if (!ok) {
        tip_->Show(CTipStatic::Error, QString::fromStdWString(FromGbk(GetErrorCodeText())));
        return 0;
    }
    // The bill keeps the credence number the device computed with: eight digits,
    // as the request carried it, not the shorter text that was typed.
    ComputeForm sent = form;
    sent.credenceNo = std::wstring(job.Request().credenceNo, job.Request().credenceNo + sizeof job.Request().credenceNo);
    credence_->SetCheckedText(QString::fromStdWString(sent.credenceNo));
    const QString password = QString::fromStdWString(DashedPassword(job.Result()));
    config_.SetUsedCredenceNo(sent.account, std::stoi(sent.credenceNo));
    if (!WriteBill(sent, password)) {
        // The device has used the number; the password is shown to be copied, but
        // the bill does not count as having it.
        config_.Save();
        tip_->Show(CTipStatic::Result, QString::fromWCharArray(kPasswordNotWritten), password);
        return 0;
    }
    tip_->Show(CTipStatic::Result, QString::fromWCharArray(kPasswordLabel), password);
    return 1;
}

bool CKQXBoxDlg::WriteBill(const ComputeForm& form, const QString& password)
{
    if (!page_)
        return false;
    const std::wstring date = date_->date().toString(QStringLiteral("yyyy-MM-dd")).toStdWString();
    const std::pair<MapEntry, std::wstring> values[] = {
        {MapEntry::Account, form.account},
        {MapEntry::Date, date},
        {MapEntry::Money, form.fen == kNoAmount ? std::wstring() : FormatFen(form.fen)},
        {MapEntry::PayCode, password.toStdWString()},
        {MapEntry::CredenceNo, form.credenceNo},
        {MapEntry::BizType, kBizTypeNames[form.bizType]},
    };
    for (const auto& [entry, text] : values) {
        if (!Name(entry).empty() && entry != MapEntry::PayCode)
            page_->SetFieldText(Name(entry).c_str(), 0, text.c_str());
    }
    // The password goes last, so no other entry mapped onto the same field
    // overwrites it, and it must be read back as written.
    const std::wstring& paycode = Name(MapEntry::PayCode);
    if (paycode.empty() || !page_->SetFieldText(paycode.c_str(), 0, password.toStdWString().c_str()))
        return false;
    IDoxValue* written = page_->GetFieldValue(paycode.c_str(), 0);
    return written && written->GetType() == 1 && QString::fromWCharArray(written->GetText()) == password;
}

void CKQXBoxDlg::OnReadSerial()
{
    KQXWaitReadKQSN job(SelectedPort());
    int ok = 0;
    {
        CWait wait(job, this);
        ok = wait.Run();
    }
    if (ok)
        tip_->Show(CTipStatic::Result, QString::fromWCharArray(kDeviceNumberLabel),
                   QString::fromStdWString(DeviceNumberText(job.Id())));
    else
        tip_->Show(CTipStatic::Error, QString::fromStdWString(FromGbk(GetErrorCodeText())));
}

void CKQXBoxDlg::accept()
{
    if (!OnCalculate())
        return;
    config_.Save();
    HeaderDialog::accept();
}

} // namespace kqplus
