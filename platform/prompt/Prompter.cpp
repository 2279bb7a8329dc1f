#include "Prompter.h"

#include <QAbstractButton>
#include <QDialog>
#include <QFileDialog>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMessageBox>
#include <QPointer>
#include <QString>

namespace dox::platform {
namespace {

QString Q(const std::wstring& s) { return QString::fromStdWString(s); }

// Watches the keys that reach the dialog itself: those its focused button left alone.
class KeyboardAnswers : public QObject {
public:
    KeyboardAnswers(QDialog* dialog, QAbstractButton* cancelling)
        : QObject(dialog), dialog_(dialog), cancelling_(cancelling)
    {
        dialog->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != dialog_ || event->type() != QEvent::KeyPress) return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
        if (key->key() == Qt::Key_Escape) {
            if (!cancelling_) return false;
            cancelling_->click();
            return true;
        }
        for (QAbstractButton* button : dialog_->findChildren<QAbstractButton*>()) {
            if (!button->isVisible() || !button->isEnabled()) continue;
            const QKeySequence mnemonic = QKeySequence::mnemonic(button->text());
            if (!mnemonic.isEmpty() && mnemonic[0].key() == key->key()) {
                button->click();
                return true;
            }
        }
        return false;
    }

private:
    QDialog* dialog_;
    QPointer<QAbstractButton> cancelling_;
};

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
        // The captions are ours, not the translation's that may be missing: the
        // mnemonics are what a clerk answers with.
        for (const Button& b : buttons) box.button(b.qt)->setText(AnswerCaption(b.id));
        box.setDefaultButton(buttons.front().qt);
        // Esc and the title bar's close give the cancelling answer: Cancel where there
        // is one, else No, else the only button.
        QAbstractButton* cancelling = box.button(buttons.back().qt);
        for (const Button& b : buttons)
            if (b.id == kIdCancel) cancelling = box.button(b.qt);
        box.setEscapeButton(cancelling);
        AnswerFromKeyboard(&box, cancelling);
        const int pressed = box.exec();
        for (const Button& b : buttons)
            if (pressed == b.qt) return b.id;
        for (const Button& b : buttons)
            if (box.button(b.qt) == cancelling) return b.id;
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

QString AnswerCaption(int answer)
{
    switch (answer) {
    case kIdYes: return QStringLiteral("是(&Y)");
    case kIdNo: return QStringLiteral("否(&N)");
    case kIdCancel: return QStringLiteral("取消");
    default: return QStringLiteral("确定");
    }
}

void AnswerFromKeyboard(QDialog* dialog, QAbstractButton* cancelling)
{
    if (dialog) new KeyboardAnswers(dialog, cancelling);
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
