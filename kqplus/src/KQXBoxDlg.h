#pragma once
// The payment-password computation dialog: takes account, business type, date,
// credence number and amount from the bill (through the field map), lets the
// operators check and complete them and type their passwords, has the device
// compute the password on a worker thread and writes the results into the bill.
// It ends with OK only after a successful computation.

#include "DialogParts.h"
#include "KQXFieldCfg.h"
#include "KQRequest.h"

#include <QString>

#include <optional>

class IDoxPage;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QPushButton;

namespace kqplus
{

class CDigitEdit;
class CMoneyEdit;
class CTipStatic;

// What the operator entered, as the checks before a computation see it.
struct ComputeForm {
    std::wstring account;
    int bizType = -1; // -1: none selected
    std::wstring credenceNo;
    bool amountValid = false;
    int64_t fen = 0; // -1: no amount
    std::wstring signerNumber, signerPassword;
    bool auditor = false;
    std::wstring auditorNumber, auditorPassword;
    bool authoriser = false;
    std::wstring authoriserNumber, authoriserPassword;
};

// The first check that fails: the text shown and the control that gets the focus.
struct FormRefusal {
    std::wstring text;
    int controlId = 0;
};
std::optional<FormRefusal> CheckComputeForm(const ComputeForm& form);

class CKQXBoxDlg : public HeaderDialog
{
public:
    explicit CKQXBoxDlg(IDoxPage* page, QWidget* parent = nullptr);
    ~CKQXBoxDlg() override;

    // Runs the checks and, when they pass, the device; 1 after the password was
    // written into the bill, 0 (the password shown, to be copied) when the bill's
    // payment-password field would not keep it.
    int OnCalculate();
    void OnReadSerial();

    CKQXDataCfg& Config() { return config_; }
    ComputeForm Form();

    void accept() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Build();
    void Open();
    void UpdateEnableStates();
    void OnAccountLeft();
    void OnCredenceLeft();
    void OnAmountChanged();
    void OnBizTypeChanged();
    void ShowRefusal(const FormRefusal& refusal);
    int SelectedPort() const;
    std::wstring Name(MapEntry entry) const { return config_.Name(entry); }
    // Writes the results into the bill; false when its payment-password field did
    // not take the password.
    bool WriteBill(const ComputeForm& form, const QString& password);

    IDoxPage* page_;
    CKQXDataCfg config_;
    CDigitEdit* account_ = nullptr;
    QComboBox* bizType_ = nullptr;
    QDateEdit* date_ = nullptr;
    CDigitEdit* credence_ = nullptr;
    CMoneyEdit* amount_ = nullptr;
    QLabel* capital_ = nullptr;
    CDigitEdit* signerNumber_ = nullptr;
    CDigitEdit* signerPassword_ = nullptr;
    QCheckBox* auditor_ = nullptr;
    CDigitEdit* auditorNumber_ = nullptr;
    QWidget* auditorSpin_ = nullptr;
    CDigitEdit* auditorPassword_ = nullptr;
    QCheckBox* authoriser_ = nullptr;
    CDigitEdit* authoriserNumber_ = nullptr;
    QWidget* authoriserSpin_ = nullptr;
    CDigitEdit* authoriserPassword_ = nullptr;
    QComboBox* port_ = nullptr;
    CTipStatic* tip_ = nullptr;
};

} // namespace kqplus
