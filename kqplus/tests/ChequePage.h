#pragma once
// A cheque template as the printing program opens it: the template file with its
// field map beside the bill database, the page's runner attached so that its
// fields take values. Field names are "主表.<name>".

#include "TestSupport.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class IDoxCore;
class IDoxDocument;
class IDoxPage;
class DoxPageRunner;

namespace kqtest
{

struct ChequeField {
    const wchar_t* name; // without the table
    const wchar_t* type; // "文本", "数值", "日期", "日期时间"
};

// 账号, 日期, 金额, 密码, 号码 and 业务, as a cheque has them.
std::vector<ChequeField> ChequeFields();

class ChequePage
{
public:
    // withMap: the template carries the field map of the six fields; complex:
    // the template is opened with the bill database (the printing program), else
    // left closed for OpenTemplate (the designer).
    explicit ChequePage(const std::vector<ChequeField>& fields = ChequeFields(), bool withMap = true,
                        bool complex = true);
    ~ChequePage();
    ChequePage(const ChequePage&) = delete;
    ChequePage& operator=(const ChequePage&) = delete;

    // The complex document's page (template file and bill database).
    IDoxPage* Page() const { return page_; }
    // The template opened on its own, writable, as the designer has it (only one
    // at a time: the file is locked while it is open).
    IDoxPage* OpenTemplate();
    void CloseTemplate();
    // A second complex document over the same files, to read what was stored.
    IDoxPage* Reopen();

    std::wstring Text(const wchar_t* field) const;
    bool Set(const wchar_t* field, const wchar_t* text);

    const doxtest::TempDir& Dir() const { return dir_; }
    std::wstring TemplatePath() const { return (dir_ / "cheque.dxt").wstring(); }
    std::wstring DatabasePath() const { return (dir_ / "doxcore.db").wstring(); }

private:
    doxtest::TempDir dir_;
    IDoxCore* core_ = nullptr;
    IDoxDocument* document_ = nullptr;
    std::unique_ptr<DoxPageRunner> runner_;
    IDoxPage* page_ = nullptr;
    IDoxDocument* template_ = nullptr;
    std::vector<IDoxDocument*> others_;
    std::vector<std::unique_ptr<DoxPageRunner>> otherRunners_;
};

// Runs steps on whatever modal dialog comes up next while the code under test
// waits in it: each step gets the active modal widget.
class ModalScript
{
public:
    using Step = std::function<void(QWidget*)>;
    explicit ModalScript(std::vector<Step> steps);
    ~ModalScript();
    // Dialogs that came up, by window title, in order.
    const std::vector<QString>& Seen() const { return seen_; }

private:
    void Poll();
    std::vector<Step> steps_;
    std::vector<QString> seen_;
    QPointer<QWidget> last_;
    class QTimer* timer_;
};

// The child of a dialog with a numeric id.
template <class W> W* Control(QWidget* dialog, int id)
{
    return dialog->findChild<W*>(QString::number(id));
}

} // namespace kqtest
