#pragma once
/* The payment-password device driver, libMarvConnKQCalcFunc.so.
 *
 * Seven plain functions with C linkage, bound by name. Texts are 8-bit, in the
 * GBK code page (936). Buffers belong to the caller and must have the sizes of
 * the records below. The driver is single-threaded: one call at a time.
 *
 * Return values: 1 success, 0 failure. After a failure the first three
 * characters of the output buffer hold the error code ("05A", "811", ...) and
 * GetErrorCode / GetErrorCodeText / GetHelpDescr describe it; a successful call
 * leaves them as they were. */

#if defined(__GNUC__)
#define KQDRV_API __attribute__((visibility("default")))
#else
#define KQDRV_API
#endif

#ifdef __cplusplus
#define KQDRV_EXTERN extern "C" KQDRV_API
#else
#define KQDRV_EXTERN KQDRV_API
#endif

/* Record sizes in bytes. */
#define KQ_CALC_REQUEST_SIZE 66
#define KQ_AUTH_BLOCK_SIZE 105
#define KQ_CALC_RESULT_SIZE 300
#define KQ_DEVICE_ID_SIZE 16

/* Input of a calculation; characters are digits '0'-'9'. */
typedef struct KQCalcRequest {
    char account[32];   /* right-aligned, '0'-padded on the left */
    char bizType;       /* '1'..'5' */
    char credenceNo[8]; /* right-aligned, '0'-padded */
    char date[8];       /* "%Y%m%d" */
    char amount[16];    /* fen, right-aligned, '0'-padded; all '0' without amount */
    char terminator;    /* NUL */
} KQCalcRequest;

/* The operators' passwords: 104 characters and a NUL. As built by the caller, all
 * 'f' but for three 10-character entries at 0 (signer), 10 (auditor) and 20
 * (authoriser): [role '0'/'1'/'2'][operator number - 1 as a lower-case hex
 * digit][6 password digits, or 8 for an authorisation card]. With an 8-digit
 * authoriser password MarvConnKQCalcFunc rewrites the block into its card form. */
typedef struct KQAuthBlock {
    char text[104];
    char terminator;
} KQAuthBlock;

/* Output of a calculation: on success 20 upper-case hex characters; on failure
 * the error code. Zero it before the call. */
typedef struct KQCalcResult {
    char text[300];
} KQCalcResult;

/* Output of ReadKQSN: the device number as 10 upper-case hex characters and the
 * chip id as 4 raw bytes, with no terminator. Zero it before the call. */
typedef struct KQDeviceId {
    char number[10];
    unsigned char chipId[4];
    char unused[2];
} KQDeviceId;

#ifdef __cplusplus
static_assert(sizeof(KQCalcRequest) == KQ_CALC_REQUEST_SIZE, "KQCalcRequest layout");
static_assert(sizeof(KQAuthBlock) == KQ_AUTH_BLOCK_SIZE, "KQAuthBlock layout");
static_assert(sizeof(KQCalcResult) == KQ_CALC_RESULT_SIZE, "KQCalcResult layout");
static_assert(sizeof(KQDeviceId) == KQ_DEVICE_ID_SIZE, "KQDeviceId layout");
#else
_Static_assert(sizeof(KQCalcRequest) == KQ_CALC_REQUEST_SIZE, "KQCalcRequest layout");
_Static_assert(sizeof(KQAuthBlock) == KQ_AUTH_BLOCK_SIZE, "KQAuthBlock layout");
_Static_assert(sizeof(KQCalcResult) == KQ_CALC_RESULT_SIZE, "KQCalcResult layout");
_Static_assert(sizeof(KQDeviceId) == KQ_DEVICE_ID_SIZE, "KQDeviceId layout");
#endif

/* The driver's version text. */
KQDRV_EXTERN const char* GetDllVersion(void);

/* Code of the last failed call: the code's three characters read as a hex number
 * ("811" -> 0x811), or 999 for a code the driver does not know. */
KQDRV_EXTERN int GetErrorCode(void);

/* Message of the last failed call (GBK); empty before the first failure. */
KQDRV_EXTERN const char* GetErrorCodeText(void);

/* Help text of the last failed call (GBK); often empty. */
KQDRV_EXTERN const char* GetHelpDescr(void);

/* 1 when the driver writes its trace log KQDrvTrace.log in the current folder. */
KQDRV_EXTERN int GetIsTrace(void);

/* Reads the device number on port "COM<port>" into a KQDeviceId (out, 16 bytes);
 * seq is the first frame sequence byte. */
KQDRV_EXTERN int ReadKQSN(int port, char* out, int seq);

/* Verifies the operators (auth: KQAuthBlock) and computes the payment password
 * of a bill (req: KQCalcRequest) into a KQCalcResult (out, 300 bytes). */
KQDRV_EXTERN int MarvConnKQCalcFunc(int port, char* auth, const char* req, char* out);
