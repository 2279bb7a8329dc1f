// The seven exports of libMarvConnKQCalcFunc.so. They call the driver's internal
// routines directly, never each other, so that a second copy of the library
// loaded into the same process keeps to its own state.

#include "MarvConnKQCalcFunc.h"

#include "CErrorCode.h"
#include "CKQFuncType.h"
#include "KQCalc.h"

namespace
{

constexpr const char kVersionText[] = "RadEDOdudIZE For Windows,Version 1.0;\n\nWritten by the Dox project's "
                                      "device driver team\n\nlast modify 20070318";

} // namespace

const char* GetDllVersion(void)
{
    return kVersionText;
}

int GetErrorCode(void)
{
    return kq::LastErrorCode();
}

const char* GetErrorCodeText(void)
{
    return kq::LastErrorText();
}

const char* GetHelpDescr(void)
{
    return kq::LastErrorHelp();
}

int GetIsTrace(void)
{
    return kq::TraceEnabled() ? 1 : 0;
}

int ReadKQSN(int port, char* out, int seq)
{
    return kq::ReadKQSNImpl(port, out, seq);
}

int MarvConnKQCalcFunc(int port, char* auth, const char* req, char* out)
{
    return kq::MarvConnKQCalcImpl(port, auth, req, out);
}
