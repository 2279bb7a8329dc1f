#pragma once
// The result of testing a text against a field, handed out as IDoxValueTest.

#include <cstdint>
#include <string>

#include "IDoxValue.h"

class DataTestResult : public IDoxValueTest
{
public:
    virtual ~DataTestResult() = default;

    int32_t GetResult() override { return result_; }
    const wchar_t* GetMessage() override { return message_.c_str(); }

    void Reset()
    {
        result_ = 0;
        message_.clear();
    }
    void Set(int32_t result, std::wstring message)
    {
        result_ = result;
        message_ = std::move(message);
    }

private:
    int32_t result_ = 0;
    std::wstring message_;
};
