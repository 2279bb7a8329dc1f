#include "Prompter.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QString>

namespace dox::platform {
namespace {

QString Q(const std::wstring& s) { return QString::fromStdWString(s); }

class QtPrompter : public Prompter {
public:
    int MessageBox(QWidget* parent, const std::wstring& text, const std::wstring& caption,
                   unsigned type) override
    {
        QMessageBox box(parent);
        box.setText(Q(text));
        box.setWindowTitle(Q(caption));
        switch (type & 0xF0) {
        case kMbIconError: box.setIcon(QMessageBox::Critical); break;
        case kMbIconQuestion: box.setIcon(QMessageBox::Question); break;
        case kMbIconWarning: box.setIcon(QMessageBox::Warning); break;
        case kMbIconInformation: box.setIcon(QMessageBox::Information); break;
        default: break;
        }
        struct Button { QMessageBox::StandardButton qt; int id; };
        std::vector<Button> buttons;
        switch (type & 0x0F) {
        case kMbOkCancel: buttons = {{QMessageBox::Ok, kIdOk}, {QMessageBox::Cancel, kIdCancel}}; break;
        case kMbYesNoCancel:
            buttons = {{QMessageBox::Yes, kIdYes}, {QMessageBox::No, kIdNo}, {QMessageBox::Cancel, kIdCancel}};
            break;
        case kMbYesNo: buttons = {{QMessageBox::Yes, kIdYes}, {QMessageBox::No, kIdNo}}; break;
        default: buttons = {{QMessageBox::Ok, kIdOk}}; break;
        }
        QMessageBox::StandardButtons all;
        for (const Button& b : buttons) all |= b.qt;
        box.setStandardButtons(all);
        box.setDefaultButton(buttons.front().qt);
        const int pressed = box.exec();
        for (const Button& b : buttons)
            if (pressed == b.qt) return b.id;
        // Closed by the title bar: Windows answers Cancel where there is one, else OK/No.
        for (const Button& b : buttons)
            if (b.id == kIdCancel) return kIdCancel;
        return buttons.back().id;
    }

    bool FileDialog(QWidget* parent, const FileDialogRequest& request,
                    std::vector<std::wstring>* chosen) override
    {
        QFileDialog dialog(parent, Q(request.title), Q(request.initialPath),
                           Q(QtFilterFromWindows(request.filter)));
        dialog.setOption(QFileDialog::DontUseNativeDialog, true);
        dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        dialog.setFileMode(request.save || !request.mustExist
                               ? QFileDialog::AnyFile
                               : (request.multiple ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile));
        if (!request.defaultSuffix.empty()) dialog.setDefaultSuffix(Q(request.defaultSuffix));
        if (!request.okText.empty()) dialog.setLabelText(QFileDialog::Accept, Q(request.okText));
        const QStringList filters = dialog.nameFilters();
        if (request.filterIndex > 0 && request.filterIndex <= filters.size())
            dialog.selectNameFilter(filters[request.filterIndex - 1]);
        if (dialog.exec() != QDialog::Accepted) return false;
        chosen->clear();
        for (const QString& f : dialog.selectedFiles()) chosen->push_back(f.toStdWString());
        return !chosen->empty();
    }

    bool FolderDialog(QWidget* parent, const std::wstring& title, const std::wstring& initialPath,
                      std::wstring* chosen) override
    {
        QFileDialog dialog(parent, Q(title), Q(initialPath));
        dialog.setOption(QFileDialog::DontUseNativeDialog, true);
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setOption(QFileDialog::ShowDirsOnly, true);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
        *chosen = dialog.selectedFiles().front().toStdWString();
        return true;
    }
};

Prompter* g_installed = nullptr;

} // namespace

Prompter& CurrentPrompter()
{
    static QtPrompter qtPrompter;
    return g_installed ? *g_installed : qtPrompter;
}

ScopedPrompter::ScopedPrompter(Prompter* prompter) : previous_(g_installed) { g_installed = prompter; }
ScopedPrompter::~ScopedPrompter() { g_installed = previous_; }

int ScriptedPrompter::MessageBox(QWidget*, const std::wstring& text, const std::wstring& caption,
                                 unsigned type)
{
    messages.push_back({text, caption, type});
    if (onMessage) onMessage(messages.back());
    if (answers.empty()) return kIdCancel;
    const int answer = answers.front();
    answers.pop_front();
    return answer;
}

bool ScriptedPrompter::FileDialog(QWidget*, const FileDialogRequest& request,
                                  std::vector<std::wstring>* chosen)
{
    fileRequests.push_back(request);
    if (files.empty()) return false;
    *chosen = files.front();
    files.pop_front();
    return !chosen->empty();
}

bool ScriptedPrompter::FolderDialog(QWidget*, const std::wstring&, const std::wstring&,
                                    std::wstring* chosen)
{
    if (folders.empty()) return false;
    *chosen = folders.front();
    folders.pop_front();
    return !chosen->empty();
}

std::wstring QtFilterFromWindows(const std::wstring& filter)
{
    // Pairs of description and pattern list, '|' separated, ended by "||".
    std::vector<std::wstring> parts;
    std::wstring current;
    for (wchar_t c : filter) {
        if (c == L'|') {
            parts.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.empty()) parts.push_back(current);
    std::wstring out;
    for (size_t i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].empty() && parts[i + 1].empty()) break;
        std::wstring patterns = parts[i + 1];
        for (wchar_t& c : patterns)
            if (c == L';') c = L' ';
        if (!out.empty()) out += L";;";
        out += parts[i] + L" (" + patterns + L")";
    }
    return out;
}

} // namespace dox::platform
