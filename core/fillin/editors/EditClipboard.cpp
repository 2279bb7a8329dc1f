#include "EditClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace
{
class QtClipboard : public EditClipboard
{
public:
    bool SetText(const std::wstring& text) override
    {
        QClipboard* clipboard = QGuiApplication::clipboard();
        if (!clipboard)
            return false;
        const QString value = QString::fromStdWString(text);
        clipboard->setText(value);
        return clipboard->text() == value;
    }
    bool HasText() override
    {
        QClipboard* clipboard = QGuiApplication::clipboard();
        const QMimeData* data = clipboard ? clipboard->mimeData() : nullptr;
        return data && data->hasText();
    }
    bool GetText(std::wstring& text) override
    {
        if (!HasText())
            return false;
        text = QGuiApplication::clipboard()->text().toStdWString();
        return true;
    }
};

EditClipboard* current = nullptr;
} // namespace

EditClipboard& SystemEditClipboard()
{
    static QtClipboard clipboard;
    return clipboard;
}

EditClipboard* SetEditClipboard(EditClipboard* clipboard)
{
    EditClipboard* previous = current;
    current = clipboard;
    return previous;
}

EditClipboard& CurrentEditClipboard()
{
    return current ? *current : SystemEditClipboard();
}
