#pragma once
// Device calls take seconds. Each one runs as a job on a worker thread while a
// small popup says what is happening and the dialog that started it waits in the
// popup's own event loop, which swallows the user's input until the job ends.

#include "MarvConnKQCalcFunc.h"

#include <QEvent>
#include <QWidget>

#include <mutex>

class QEventLoop;
#include <string>
#include <thread>
#include <vector>

namespace kqplus
{

// Posted by the worker to the popup when the job has ended.
constexpr QEvent::Type kJobDoneEvent = static_cast<QEvent::Type>(1135); // WM_USER + 111

class CWait;

class CWaitSink
{
public:
    virtual ~CWaitSink() = default;
    // Runs on the worker thread; the job's result.
    virtual int Run() = 0;
    std::wstring GetText() const;

protected:
    explicit CWaitSink(std::wstring text) : text_(std::move(text)) {}
    // From the worker: a new status text, repainted by the popup on its own thread.
    void SetText(const std::wstring& text);

private:
    friend class CWait;
    mutable std::mutex mutex_;
    std::wstring text_;
    QWidget* popup_ = nullptr; // set by CWait before the worker starts
};

// Reads the device number.
class KQXWaitReadKQSN : public CWaitSink
{
public:
    explicit KQXWaitReadKQSN(int port);
    int Run() override;
    const KQDeviceId& Id() const { return id_; }

private:
    int port_;
    KQDeviceId id_;
};

// Reads the device number (failure ends the job: nothing is calculated), then
// verifies the operators and calculates.
class KQXWaitConnKQCalc : public CWaitSink
{
public:
    explicit KQXWaitConnKQCalc(int port);
    int Run() override;
    KQAuthBlock& Auth() { return auth_; }
    KQCalcRequest& Request() { return request_; }
    const KQCalcResult& Result() const { return result_; }

private:
    int port_;
    KQAuthBlock auth_;
    KQCalcRequest request_;
    KQCalcResult result_;
    KQDeviceId id_;
};

// What the popup's loop does with an event meant for any window of the program.
enum class WaitLoopAction { Deliver, Drop, ActivateOwner };
WaitLoopAction WaitLoopActionFor(QEvent::Type type);

class CWait : public QWidget
{
public:
    // The popup, centred on the owner.
    CWait(CWaitSink& job, QWidget* owner);
    // Never kills the worker: waits for it to finish (a device call ends within
    // its time-out), so the port is always closed by the driver itself.
    ~CWait() override;

    // Shows the popup, runs the job and waits for it; the job's result.
    int Run();

    static constexpr int kWidth = 240;
    static constexpr int kHeight = 80;

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    CWaitSink& job_;
    QWidget* owner_;
    int result_ = 0;
    bool done_ = false;
    QEventLoop* loop_ = nullptr;
    std::thread worker_;
};

// A serial port offered to the operator.
struct SP {
    std::wstring name; // "COM<n>"
    int number = 0;
};

class SPEnumator
{
public:
    // The machine's ports whose names are "COM" and one or two digits; their count.
    int Enumerate();
    const std::vector<SP>& Ports() const { return ports_; }

private:
    std::vector<SP> ports_;
};

// "COM" (letters in either case) and one or two digits: the port number, else 0.
int OfferedPortNumber(const std::string& name);

} // namespace kqplus
