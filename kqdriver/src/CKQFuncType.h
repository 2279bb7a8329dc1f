#pragma once
// One device transaction: made on the stack by each transaction routine, it runs
// one command through the serial port and writes the trace blocks.

#include "CSerPort.h"

#include <ctime>
#include <string>

namespace kq
{

// Request payload lengths and the least reply payload (status included) that a
// successful reply must carry.
constexpr int kVerifyAuthPayload = 15;
constexpr int kVerifyCardAuthPayload = 56;
constexpr int kCalcPayCodePayload = 48;

class CKQFuncType
{
public:
    explicit CKQFuncType(int port);
    virtual ~CKQFuncType() = default;
    CKQFuncType(const CKQFuncType&) = delete;
    CKQFuncType& operator=(const CKQFuncType&) = delete;

    // The module's frame sequence byte: set from the low 8 bits, read for the trace.
    void SetSequence(int sequence);
    int GetSequence() const;

    // Each runs one command; 1 on success, else 0 with the 3-character code in
    // out[0-2] and a NUL at out[3]. Null out: 0 at once.
    int ReadSerial(char* out); // out: 10 hex characters of the device number, 4 chip id bytes
    int VerifyAuth(const unsigned char* payload, char* out);
    int VerifyCardAuth(const unsigned char* payload, char* out);
    int CalcPayCode(const unsigned char* payload, char* out); // out: 20 hex characters and a NUL

    // Trace blocks (written only while tracing is on). transaction and data are
    // GBK text; data may be empty.
    void TraceBegin(const std::string& transaction, const std::string& data) const;
    void TraceEnd(bool ok) const;

    // Appends GBK text to KQDrvTrace.log in the current folder; a failure is dropped.
    static void WriteTrace(const std::string& text);

private:
    // Sends [sequence][command][n] + payload and receives the reply into `reply`.
    // A non-zero status, or a successful reply shorter than minReply payload bytes,
    // is a failure.
    int Run(char command, const unsigned char* payload, int n, int minReply, KQFrame& reply, char* out);

    std::time_t created_;
    int port_;
    CSerPort serPort_;
};

// The trace switch, fixed when the library loads.
bool TraceEnabled();

// Writes a 3-character code and a terminating NUL.
void PutErrorCode(char* out, const char* code);

} // namespace kq
