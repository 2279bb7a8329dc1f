#pragma once
// The small modal dialog of a backup or a restore: a progress bar (id 1004) and a
// Cancel button (id 2). A worker thread does the archive work and reports by posted
// events; the dialog closes when the worker has reported, never before.

#include "BackupRestore.h"

#include <QDialog>

#include <atomic>
#include <functional>
#include <string>
#include <thread>

class QProgressBar;
class QPushButton;

class CProgressDlg : public QDialog
{
public:
    // Messages from the worker: the result (wParam 1 success, 2 failure) and the
    // progress bar's range (lParam = upper bound) and position (wParam).
    static constexpr unsigned kWorkerDone = 0x0400 + 20;
    static constexpr unsigned kSetRange = 0x0400 + 1;
    static constexpr unsigned kSetPosition = 0x0400 + 2;

    // backup: 1 backup, 0 restore, of the data folder to or from the archive.
    CProgressDlg(int backup, std::wstring archivePath, std::wstring dataDirectory, QWidget* parent = nullptr);
    ~CProgressDlg() override;

    // IDOK (1) after success, IDCANCEL (2) after failure (GetReason tells why).
    int DoModal() { return exec(); }
    const std::wstring& GetReason() const { return reason_; }

    // Tests: see BackupRestore::stepHook (called on the worker thread).
    void SetStepHook(std::function<bool()> hook) { stepHook_ = std::move(hook); }
    bool CancelRequested() const { return cancel_.load(); }

protected:
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;
    // Escape and the close button only ask the worker to stop, like Cancel.
    void reject() override;
    void closeEvent(QCloseEvent* event) override;

private:
    void Work();
    void Post(unsigned message, uintptr_t wParam, intptr_t lParam = 0);

    int backup_;
    std::wstring archivePath_;
    std::wstring dataDirectory_;
    std::wstring reason_;
    std::wstring workerReason_; // written by the worker before it reports
    std::atomic<bool> cancel_{false};
    std::function<bool()> stepHook_;
    std::thread worker_;
    bool started_ = false;
    QProgressBar* progress_;
    QPushButton* cancelButton_;
};
