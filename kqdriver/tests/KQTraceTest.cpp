// The trace log: a copy of the driver loaded with tracing switched on writes its
// blocks to KQDrvTrace.log in the current folder, in GBK.

#include "DriverLib.h"
#include "KQDeviceSim.h"
#include "KQTestData.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

using namespace kqtest;

namespace
{

constexpr int kPort = 9;

// Runs in another current folder for the life of the object.
class ScopedCurrentDir
{
public:
    explicit ScopedCurrentDir(const std::filesystem::path& dir) : old_(std::filesystem::current_path())
    {
        std::filesystem::current_path(dir);
    }
    ~ScopedCurrentDir() { std::filesystem::current_path(old_); }

private:
    std::filesystem::path old_;
};

std::string Block(const std::string& transaction, const std::string& data, int seq, const std::string& result)
{
    const std::string rule = std::string(53, '*') + "\r\n";
    return rule + "时间： T" + transaction + data + "随机数" + std::to_string(seq) + "\r\n" + "返回：" +
           result + "\r\n" + rule + "\r\n";
}

const std::string kReadLine = "          交易：读取机具号和芯片ID\r\n";
const std::string kVerifyLine = "          交易：验证授权人口令\r\n";
const std::string kCalcLine = "          交易：联机计算支付密码\r\n";

class KQDriverTrace : public ::testing::Test
{
protected:
    ScopedEnv pollMs_{"DOX_SERIAL_POLL_MS", "10"};
    ScopedEnv pollCount_{"DOX_SERIAL_POLL_COUNT", "50"};
    doxtest::TempDir libDir_;
    doxtest::TempDir workDir_;
    std::unique_ptr<DriverLib> lib_;
    KQDeviceSim sim_;
    PortOverride port_{kPort, sim_.Path()};

    void SetUp() override
    {
        // A copy of the library has globals of its own, so the switch read at load
        // time applies to this copy alone.
        const auto copy = libDir_ / "libMarvConnKQCalcFunc.so";
        std::filesystem::copy_file(DriverLib::DefaultFile(), copy);
        ScopedEnv trace("DOX_KQDRV_TRACE", "1");
        lib_ = std::make_unique<DriverLib>(copy);
        ASSERT_EQ(lib_->Error(), "");
    }

    std::string Log() const { return doxtest::ReadFileBytes(workDir_ / "KQDrvTrace.log"); }
};

TEST_F(KQDriverTrace, WritesABlockPerTransaction)
{
    EXPECT_EQ(lib_->GetIsTrace(), 1);
    ScopedCurrentDir cwd(workDir_.path());

    sim_.Script({Answer(kDeviceNumberReply), Answer({0}), Answer(kCalcReply), Status(0x5A)});
    std::string auth = MakeAuth({1, "135790"}, Operator{2, "246802"});
    const std::string request = MakeRequest("6222020212345678", '3', "42", "20261209", "12345");
    std::string out(300, '\0');
    ASSERT_EQ(lib_->MarvConnKQCalcFunc(kPort, auth.data(), request.data(), out.data()), 1);
    std::string id(16, '\0');
    ASSERT_EQ(lib_->ReadKQSN(kPort, id.data(), 7), 0);

    const std::string raw = Log();
    // GBK, not UTF-8: "成功!" as the code page writes it.
    EXPECT_NE(raw.find("\xb3\xc9\xb9\xa6!"), std::string::npos);
    std::string text = GbkToUtf8(raw);
    const std::regex time("时间： [0-9]{4}年[0-9]{2}月[0-9]{2}日[0-9]{2}:[0-9]{2}:[0-9]{2}");
    EXPECT_EQ(std::distance(std::sregex_iterator(text.begin(), text.end(), time), std::sregex_iterator()), 4);
    text = std::regex_replace(text, time, "时间： T");

    const std::string expected =
        Block(kReadLine, "数据：无\r\n", 0, "成功!") + Block(kVerifyLine, "", 1, "成功!") +
        Block(kCalcLine,
              "数据：账号 00000000000000006222020212345678      业务种类 3      日期 20261209      凭证号码 "
              "00000042      金额 0000000000012345\r\n",
              2, "成功!") +
        Block(kReadLine, "数据：无\r\n", 7, "授权口令错误");
    EXPECT_EQ(text, expected);
    EXPECT_EQ(raw.find("135790"), std::string::npos) << "passwords are never written";
    EXPECT_EQ(raw.find("246802"), std::string::npos);
}

TEST_F(KQDriverTrace, AppendsToTheLogAndSurvivesOneThatCannotBeWritten)
{
    ScopedCurrentDir cwd(workDir_.path());
    ASSERT_TRUE(doxtest::WriteFileBytes(workDir_ / "KQDrvTrace.log", "earlier\r\n"));
    sim_.Script({Answer(kDeviceNumberReply)});
    std::string id(16, '\0');
    ASSERT_EQ(lib_->ReadKQSN(kPort, id.data(), 0), 1);
    EXPECT_EQ(Log().rfind("earlier\r\n*****", 0), 0u);

    // A folder in the log's place: the block is dropped, the transaction still succeeds.
    std::filesystem::remove(workDir_ / "KQDrvTrace.log");
    std::filesystem::create_directory(workDir_ / "KQDrvTrace.log");
    sim_.Script({Answer(kDeviceNumberReply)});
    EXPECT_EQ(lib_->ReadKQSN(kPort, id.data(), 0), 1);
    EXPECT_EQ(id.substr(0, 10), kDeviceNumberText);
}

TEST(KQDriverTraceOff, ShippedLibraryWritesNoLog)
{
    ScopedEnv pollMs("DOX_SERIAL_POLL_MS", "5");
    doxtest::TempDir workDir;
    ScopedCurrentDir cwd(workDir.path());
    DriverLib lib;
    ASSERT_EQ(lib.Error(), "");
    KQDeviceSim sim;
    PortOverride port(kPort, sim.Path());
    sim.Script({Answer(kDeviceNumberReply)});
    std::string id(16, '\0');
    ASSERT_EQ(lib.ReadKQSN(kPort, id.data(), 0), 1);
    EXPECT_FALSE(std::filesystem::exists(workDir / "KQDrvTrace.log"));
}

} // namespace
