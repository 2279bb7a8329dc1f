#pragma once
// The driver's transaction routines and the calculation sequence behind the
// exports ReadKQSN and MarvConnKQCalcFunc.

namespace kq
{

// '0'-'9' -> "00"-"09", 'a'-'f' (or 'A'-'F') -> "10"-"15"; writes two characters.
void RoleNumberToCode(char digit, char* code);

// Rewrites the first 104 characters of an authorisation block as the card form,
// from a copy of the block as the caller built it.
void MakeCardForm(char* auth);

int ReadKQSNImpl(int port, char* out, int sequence);
int ConnVerifyAuth(int port, const char* auth, char* out, int sequence);
int ConnVerifyCardAuth(int port, const char* auth, char* out, int sequence);
int ConnCalcPayCode(int port, const char* account, char bizType, const char* date, const char* credenceNo,
                    const char* amount, char* out, int sequence);
int MarvConnKQCalcImpl(int port, char* auth, const char* req, char* out);

} // namespace kq
