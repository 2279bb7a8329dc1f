#include "CKQFuncType.h"

#include "CErrorCode.h"
#include "GbkText.h"
#include "KQHex.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace kq
{

namespace
{

// The frame sequence byte: one per module, set by every transaction routine and
// advanced by every frame built. The driver is single-threaded by contract.
unsigned char g_sequence = 0;

// Tracing is a support switch: DOX_KQDRV_TRACE=1 in the environment of the process
// that loads the library.
int ReadTraceSwitch()
{
    const char* value = std::getenv("DOX_KQDRV_TRACE");
    return value && std::strcmp(value, "1") == 0 ? 1 : 0;
}
const int g_isTrace = ReadTraceSwitch();

constexpr const char* kTraceLog = "KQDrvTrace.log";
constexpr const char* kRule = "*****************************************************\r\n";

// Payload sizes of the successful replies, status byte included.
constexpr int kReadSerialReply = 10; // status, 5 bytes of device number, 4 bytes of chip id
constexpr int kVerifyReply = 1;      // status
constexpr int kCalcReply = 11;       // status, 10 result bytes

} // namespace

bool TraceEnabled()
{
    return g_isTrace == 1;
}

void PutErrorCode(char* out, const char* code)
{
    std::memcpy(out, code, 3);
    out[3] = '\0';
}

CKQFuncType::CKQFuncType(int port) : created_(std::time(nullptr)), port_(port) {}

void CKQFuncType::SetSequence(int sequence)
{
    g_sequence = static_cast<unsigned char>(sequence & 0xFF);
}

int CKQFuncType::GetSequence() const
{
    return g_sequence;
}

int CKQFuncType::Run(char command, const unsigned char* payload, int n, int minReply, KQFrame& reply,
                     char* out)
{
    KQFrame request{};
    reply = KQFrame{};
    request.bytes[0] = g_sequence++;
    request.bytes[1] = static_cast<unsigned char>(command);
    request.bytes[2] = static_cast<unsigned char>(n >> 8);
    request.bytes[3] = static_cast<unsigned char>(n & 0xFF);
    if (n > 0)
        std::memcpy(request.bytes + kFrameHeaderBytes, payload, static_cast<size_t>(n));

    char code[4] = {};
    if (!serPort_.Transact(port_, &request, &reply, code)) {
        PutErrorCode(out, code);
        return 0;
    }
    const int replyLength = reply.bytes[2] * 256 + reply.bytes[3];
    if (replyLength < 1) {
        // Not even a status byte: the zeroed buffer would read as success.
        PutErrorCode(out, "812");
        return 0;
    }
    const unsigned char status = reply.bytes[kFrameHeaderBytes];
    if (status != 0) {
        PutErrorCode(out, IntToHex(status, 3).c_str());
        return 0;
    }
    if (replyLength < minReply) {
        // A short "success" would hand out the zeroed rest of the buffer as data.
        PutErrorCode(out, "812");
        return 0;
    }
    return 1;
}

int CKQFuncType::ReadSerial(char* out)
{
    if (!out)
        return 0;
    KQFrame reply;
    if (!Run('1', nullptr, 0, kReadSerialReply, reply, out))
        return 0;
    BytesToHex(reply.bytes + kFrameHeaderBytes + 1, 5, out);
    std::memcpy(out + 10, reply.bytes + kFrameHeaderBytes + 6, 4);
    return 1;
}

int CKQFuncType::VerifyAuth(const unsigned char* payload, char* out)
{
    if (!out)
        return 0;
    KQFrame reply;
    return Run('d', payload, kVerifyAuthPayload, kVerifyReply, reply, out);
}

int CKQFuncType::VerifyCardAuth(const unsigned char* payload, char* out)
{
    if (!out)
        return 0;
    KQFrame reply;
    return Run('e', payload, kVerifyCardAuthPayload, kVerifyReply, reply, out);
}

int CKQFuncType::CalcPayCode(const unsigned char* payload, char* out)
{
    if (!out)
        return 0;
    KQFrame reply;
    if (!Run('8', payload, kCalcPayCodePayload, kCalcReply, reply, out))
        return 0;
    BytesToHex(reply.bytes + kFrameHeaderBytes + 1, 10, out);
    out[20] = '\0';
    return 1;
}

void CKQFuncType::TraceBegin(const std::string& transaction, const std::string& data) const
{
    if (!TraceEnabled())
        return;
    std::tm local{};
    char when[64] = {};
    if (localtime_r(&created_, &local))
        std::strftime(when, sizeof when, "%Y年%m月%d日%H:%M:%S", &local);
    std::string text = Utf8ToGbk(kRule);
    text += Utf8ToGbk("时间： ");
    text += Utf8ToGbk(when);
    text += transaction;
    text += data;
    text += Utf8ToGbk("随机数");
    text += std::to_string(GetSequence()) + "\r\n";
    text += Utf8ToGbk("返回：");
    WriteTrace(text);
}

void CKQFuncType::TraceEnd(bool ok) const
{
    if (!TraceEnabled())
        return;
    std::string text = ok ? Utf8ToGbk("成功!") : std::string(LastErrorText());
    text += "\r\n";
    text += Utf8ToGbk(kRule);
    text += "\r\n";
    WriteTrace(text);
}

void CKQFuncType::WriteTrace(const std::string& text)
{
    int fd = ::open(kTraceLog, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0)
        return;
    size_t done = 0;
    while (done < text.size()) {
        ssize_t r = ::write(fd, text.data() + done, text.size() - done);
        if (r < 0 && errno == EINTR)
            continue;
        if (r <= 0)
            break;
        done += static_cast<size_t>(r);
    }
    ::close(fd);
}

} // namespace kq
