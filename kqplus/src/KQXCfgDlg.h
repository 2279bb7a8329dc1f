#pragma once
// The designer's device configuration dialog (which bill field feeds each input
// of a computation) and the prompt before printing a bill whose payment password
// is missing.

#include "DialogParts.h"
#include "KQXFieldCfg.h"

#include <QString>
#include <QStringList>

#include <array>

class IDoxPage;
class QComboBox;

namespace kqplus
{

// Without a stored map: the page's field (index into fields) that each map entry
// preselects, from the default words in the fields' names; -1 leaves the first
// item. A later matching field wins; each field matches only its first word.
std::array<int, kMapEntryCount> GuessFieldMap(const QStringList& fields);

class CKQXCfgDlg : public HeaderDialog
{
public:
    explicit CKQXCfgDlg(IDoxPage* page, QWidget* parent = nullptr);

    CKQXFieldCfg& Config() { return config_; }
    void accept() override;
    void OnDelete();

private:
    QComboBox* Combo(MapEntry entry) const { return combos_[static_cast<size_t>(entry)]; }
    static bool Optional(MapEntry entry) { return entry == MapEntry::CredenceNo || entry == MapEntry::BizType; }

    CKQXFieldCfg config_;
    QComboBox* bizType_ = nullptr;
    std::array<QComboBox*, kMapEntryCount> combos_{};
};

class CKQXQueryDlg : public HeaderDialog
{
public:
    explicit CKQXQueryDlg(QWidget* parent = nullptr);
};

} // namespace kqplus
