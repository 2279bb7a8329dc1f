#pragma once
// A cupsd of the test's own: configuration, socket, spool, logs and the PDF files of
// its cups-pdf queues all under one scratch folder, reached through CUPS_SERVER set to
// its socket, stopped when the object goes away. Nothing of the machine's own CUPS is
// used or changed: cups-pdf reads its settings from /etc/cups only, so cupsd runs in a
// mount namespace of its own that shows the test's folder there; where the machine
// gives no namespaces, the queue's own settings file is put into /etc/cups and taken
// away again.

#include <QProcess>
#include <QString>
#include <QStringList>

#include <filesystem>

namespace cupstest
{

class PrivateCupsd
{
public:
    // Starts cupsd under folder (which is made readable for the lp user that runs
    // CUPS's filters).
    explicit PrivateCupsd(const std::filesystem::path& folder);
    ~PrivateCupsd();
    PrivateCupsd(const PrivateCupsd&) = delete;
    PrivateCupsd& operator=(const PrivateCupsd&) = delete;

    // Empty while it runs; else why cupsd cannot run here.
    const QString& Unavailable() const { return unavailable_; }
    // What to set CUPS_SERVER to.
    QString Socket() const;

    // A cups-pdf queue whose PDF files go to PdfFolder().
    bool AddCupsPdfQueue(const QString& name, QString* output);
    // A queue of a driver CUPS ships (lpadmin -m model) printing into a file.
    bool AddFileQueue(const QString& name, const QString& model, const QString& file, QString* output);
    QString PdfFolder() const;

    // Waits until no job is pending or printing; false after timeoutMs.
    bool WaitUntilIdle(int timeoutMs);
    // The ids of a queue's jobs that completed.
    QStringList CompletedJobs(const QString& queue);
    // The end of the scheduler's log, for failure messages.
    QString LogTail() const;

private:
    bool Start(bool ownNamespace);
    void Stop();
    QString Tool(const QString& program, const QStringList& arguments, int* exitCode) const;
    QString Path(const char* name) const;

    std::filesystem::path folder_;
    QString unavailable_;
    QProcess cupsd_;
    bool ownNamespace_ = false;
    QStringList placedSettings_; // cups-pdf settings files put into /etc/cups
};

} // namespace cupstest
