#include "CErrorCode.h"

#include "GbkText.h"
#include "KQHex.h"

#include <string>

namespace kq
{

namespace
{

struct ErrorRecord {
    int code; // the 3-character code read as hex
    const char* text;
    const char* help;
};

// The texts are kept in UTF-8 here and handed out in GBK. Order matters: the first
// record with a matching code wins, and 0x999 ends every search.
constexpr ErrorRecord kErrorCodeTable[] = {
    {0x001, "芯片校验错误(001)", "芯片检验错误：请关闭密码器稍后打开"},
    {0x002, "芯片请求类型错误(002)", ""},
    {0x003, "芯片请求数据错误(003)", ""},
    {0x004, "芯片银行主密钥错误(004)", ""},
    {0x005, "芯片增发签名错误(005)", ""},
    {0x006, "芯片其他错误(006)", "芯片其他错误：该密码器芯片可能已经损坏,请和厂家联系!"},
    {0x010, "数据包接收不完整(010)", ""},
    {0x011, "数据包校验和错误(011)", ""},
    {0x012, "支付密码器内存读错误(012)", ""},
    {0x013, "支付密码器内存写错误(013)", ""},
    {0x014, "支付密码器内存擦写错误(014)", ""},
    {0x020, "读支付密码器序列号错(020)", ""},
    {0x022, "支付密码器账号已满(022)", ""},
    {0x023, "支付密码器账号已存在(023)", ""},
    {0x024, "支付密码器未生成密钥对(024)",
     "可能发生的交易：发行密码器；更改账号密钥；同帐号增发密码器；\n原因：没有生成密钥对就下载AK支\n建议：先"
     "生成"
     "密钥对，然后下载AK支\n"},
    {0x025, "账号不一致(025)", ""},
    {0x026, "账号不存在(026)",
     "可能一：删除账号时，所需要删除的账号在密码器中不存在\n可能二：增发密码器的时候，签名密码器中不包括该账"
     "号."
     "\n建议：检查该账号是否正确"},
    {0x027, "解锁密码不匹配(027)", ""},
    {0x021, "通讯错误", ""},
    {0x052, "签发口令错误", ""},
    {0x053, "签发口令被锁", ""},
    {0x054, "签发员无此权限", ""},
    {0x055, "无该签发员", ""},
    {0x056, "审核口令错误", ""},
    {0x057, "审核口令被锁", ""},
    {0x058, "审核员无此权限", ""},
    {0x059, "无该审核员", ""},
    {0x05A, "授权口令错误", ""},
    {0x05B, "授权口令被锁", ""},
    {0x05C, "授权员无此权限", ""},
    {0x05D, "无该授权员", ""},
    {0x05E, "授权员授权金额权限不够", ""},
    {0x060, "无该授权员", ""},
    {0x061, "授权员授权金额权限不够", ""},
    {0x062, "其它错误", ""},
    {0x063, "机具未发行", ""},
    {0x700, "授权信息或者联机参数错误!", ""},
    {0x701, "读取密码器编号失败,请检查密码器是否联接正确,并处于通讯状态?", ""},
    {0x702, "联机密码器不是迈凡码匣KQ-310,请使用迈凡公司该款密码器进行联机计算支付密码!", ""},
    {0x800, "串口参数错误(800)",
     "可能一：程序中发往串口的参数不正确；\n可能二：检查串口是否可用；\n建议：请关闭密码器电源再试或者请换个"
     "串"
     "口再试或者和厂家联系!"},
    {0x801, "打开串口失败(801)!",
     "建议：如果有两个串口,请换到另外一个串口试试;\n请检查配置文件中串口的配置是否正确;\n配置文件中的串口号请"
     "换成另外一个试试!"},
    {0x810, "发送数据到串口超时(810)",
     "可能一：密码器的串口线和串口连接不好；\n可能二：串口已损坏；\n建议：检查串口线是否连接好或者重新操作一"
     "次"
     "或者和厂家联系!"},
    {0x811, "串口通讯超时(811)",
     "串口通讯超时:首先，请检查密码器是否在合适的状态;\n其次，请检查串口线是否接触良好."},
    {0x812, "密码器返回错误(812)", ""},
    {0x813, "密码器返回错误(813)", ""},
    {0x814, "密码器返回错误(814)", ""},
    {0x815, "密码器返回错误(815)", ""},
    {0x816, "密码器返回错误(816)", ""},
    {0x817, "该KQDRV不提供此功能(817)", "可能：该KQDRV没有你所需要的这种功能；\n建议：联系厂家!"},
    {0x888, "密码器未准备好(888)",
     "可能：密码器正处于初始状态；\n建议：请稍后再做该操作或者关闭密码器稍后再试!"},
    {0x999, "未知错误(999)", "未知错误："},
};
static_assert(sizeof kErrorCodeTable / sizeof kErrorCodeTable[0] == 51);

// Unknown codes report decimal 999 (not 0x999) and a help text without the colon.
constexpr int kUnknownCode = 999;
constexpr const char* kUnknownText = "未知错误(999)";
constexpr const char* kUnknownHelp = "未知错误";

struct LastError {
    int code = 0;
    std::string text;
    std::string help;
};

LastError& Last()
{
    static LastError last;
    return last;
}

} // namespace

void CErrorCode::Lookup(const char* code)
{
    LastError& last = Last();
    char copy[3] = {'0', '0', '0'};
    if (code) {
        for (int i = 0; i < 3 && code[i] != '\0'; ++i)
            copy[i] = code[i];
    }
    int value = HexToInt(copy, 3);
    for (const ErrorRecord& record : kErrorCodeTable) {
        if (record.code == value) {
            last.code = record.code;
            last.text = Utf8ToGbk(record.text);
            last.help = Utf8ToGbk(record.help);
            return;
        }
        if (record.code == 0x999)
            break;
    }
    last.code = kUnknownCode;
    last.text = Utf8ToGbk(kUnknownText);
    last.help = Utf8ToGbk(kUnknownHelp);
}

int LastErrorCode()
{
    return Last().code;
}

const char* LastErrorText()
{
    return Last().text.c_str();
}

const char* LastErrorHelp()
{
    return Last().help.c_str();
}

} // namespace kq
