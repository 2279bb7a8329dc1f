#include "CProgressDlg.h"

#include "UIMessage.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QProgressBar>
#include <QPushButton>
#include <QShowEvent>

#include <system_error>

namespace
{

// Dialog units of the dialog font (6 x 13 pixels per 4 x 8 units at 96 dpi).
int DluX(int x) { return (x * 6 + 2) / 4; }
int DluY(int y) { return (y * 13 + 4) / 8; }

} // namespace

CProgressDlg::CProgressDlg(int backup, std::wstring archivePath, std::wstring dataDirectory, QWidget* parent)
    : QDialog(parent),
      backup_(backup),
      archivePath_(std::move(archivePath)),
      dataDirectory_(std::move(dataDirectory)),
      progress_(new QProgressBar(this)),
      cancelButton_(new QPushButton(QStringLiteral("取消"), this))
{
    setWindowTitle(backup_ ? QStringLiteral("正在备份...") : QStringLiteral("正在恢复..."));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setFixedSize(DluX(210), DluY(46));
    progress_->setObjectName(QStringLiteral("1004"));
    progress_->setGeometry(DluX(7), DluY(7), DluX(196), DluY(12));
    progress_->setRange(0, 100);
    progress_->setValue(0);
    progress_->setTextVisible(false);
    cancelButton_->setObjectName(QStringLiteral("2"));
    cancelButton_->setGeometry(DluX(153), DluY(25), DluX(50), DluY(14));
    connect(cancelButton_, &QPushButton::clicked, this, [this] { cancel_ = true; });
}

CProgressDlg::~CProgressDlg()
{
    // A dialog never leaves its worker running: it waits for the worker to end.
    if (worker_.joinable()) worker_.join();
}

void CProgressDlg::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (started_) return;
    started_ = true;
    try {
        worker_ = std::thread([this] { Work(); });
    } catch (const std::system_error&) {
        // No thread: the dialog ends at once as failed.
        QMetaObject::invokeMethod(this, [this] { done(2); }, Qt::QueuedConnection);
    }
}

void CProgressDlg::Post(unsigned message, uintptr_t wParam, intptr_t lParam)
{
    QCoreApplication::postEvent(this, new UIMessageEvent(message, wParam, lParam));
}

void CProgressDlg::Work()
{
    BackupRestore job(dataDirectory_, archivePath_);
    job.onRange = [this](int total) { Post(kSetRange, 0, total); };
    job.onPosition = [this](int done) { Post(kSetPosition, static_cast<uintptr_t>(done)); };
    job.stepHook = stepHook_;
    const bool ok = backup_ ? job.RunBackup(cancel_) : job.RunRestore();
    workerReason_ = job.Reason();
    Post(kWorkerDone, ok ? 1 : 2);
}

bool CProgressDlg::event(QEvent* event)
{
    if (auto* message = dynamic_cast<UIMessageEvent*>(event)) {
        switch (message->Message()) {
        case kSetRange:
            progress_->setRange(0, static_cast<int>(message->LParam()));
            return true;
        case kSetPosition:
            progress_->setValue(static_cast<int>(message->WParam()));
            return true;
        case kWorkerDone:
            if (worker_.joinable()) worker_.join(); // it has nothing left to do
            reason_ = workerReason_;
            done(message->WParam() == 1 ? 1 : 2);
            return true;
        default: break;
        }
    }
    return QDialog::event(event);
}

void CProgressDlg::reject() { cancel_ = true; }

void CProgressDlg::closeEvent(QCloseEvent* event)
{
    cancel_ = true;
    event->ignore();
}
