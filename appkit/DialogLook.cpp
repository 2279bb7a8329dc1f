#include "DialogLook.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QFileDialog>
#include <QHeaderView>
#include <QLayout>
#include <QPointer>
#include <QTreeView>

namespace
{

// The buttons of a dialog's title bar: without CustomizeWindowHint the window manager
// is left to decide and gives a dialog the buttons of a main window.
constexpr Qt::WindowFlags kDropped =
    Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint | Qt::WindowContextHelpButtonHint;
constexpr Qt::WindowFlags kKept =
    Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;

void FitFileColumns(QFileDialog* dialog)
{
    // The detail view's size, type and date columns follow their widest text, so that
    // "2026/12/11 00:24" is shown whole; the name column keeps the rest.
    for (QTreeView* view : dialog->findChildren<QTreeView*>()) {
        QHeaderView* header = view->header();
        for (int column = 1; column < header->count(); ++column)
            header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    }
}

// A minimum size of the dialog's own, not the one its layout sets.
bool NamesItsMinimumSize(QDialog* dialog)
{
    const QSize minimum = dialog->minimumSize();
    if (minimum.isEmpty())
        return false;
    QLayout* layout = dialog->layout();
    return !layout || minimum != layout->totalMinimumSize();
}

class DialogLook : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        if ((type != QEvent::Polish && type != QEvent::Show) || !watched->isWidgetType())
            return false;
        auto* dialog = qobject_cast<QDialog*>(watched);
        if (!dialog || !dialog->isWindow())
            return false;
        if (type == QEvent::Polish) {
            // Polish comes before a window is first shown: the flags are in place when
            // the window manager first sees it. overrideWindowFlags never hides it.
            const Qt::WindowFlags flags = dialog->windowFlags();
            const Qt::WindowFlags wanted = (flags & ~kDropped) | kKept;
            if (wanted != flags)
                dialog->overrideWindowFlags(wanted);
        } else if (auto* files = qobject_cast<QFileDialog*>(dialog)) {
            // The file dialog sets up its columns until it shows.
            FitFileColumns(files);
        } else if (!NamesItsMinimumSize(dialog) && !dialog->isMaximized()) {
            // A dialog is as large as its controls: window managers that do not read
            // the buttons asked for (openbox) drop maximise for a window that cannot be
            // resized. One that names a smaller minimum size is meant to be resized.
            // The show event comes before the window is mapped.
            dialog->setFixedSize(dialog->size());
        }
        return false;
    }
};

QPointer<DialogLook>& Installed()
{
    static QPointer<DialogLook> look;
    return look;
}

} // namespace

void UseDesktopDialogLook(const QIcon& programIcon)
{
    if (!programIcon.isNull())
        QApplication::setWindowIcon(programIcon);
    if (Installed() || !qApp)
        return;
    Installed() = new DialogLook(qApp);
    qApp->installEventFilter(Installed());
}
