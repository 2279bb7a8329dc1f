#include "NumberCore.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

namespace
{

// The digit at 10^position of a decimal amount text such as "1234.56".
int DigitOfText(const std::string& amount, int position)
{
    const size_t point = amount.find('.');
    const long index =
        position >= 0 ? static_cast<long>(point) - 1 - position : static_cast<long>(point) - position;
    if (index < 0 || index >= static_cast<long>(amount.size()))
        return 0;
    return amount[static_cast<size_t>(index)] - '0';
}

std::wstring Wide(const std::string& text)
{
    return std::wstring(text.begin(), text.end());
}

// Every amount an operator can type from 0.00 to 999.99 puts its own digits in
// the boxes, read the way a typed amount is read.
TEST(NumberDigitAtPosition, EveryAmountUpToOneThousand)
{
    int wrong = 0;
    for (int cents = 0; cents < 100000 && wrong < 10; ++cents) {
        char text[32];
        std::snprintf(text, sizeof text, "%d.%02d", cents / 100, cents % 100);
        double value = -1;
        ASSERT_TRUE(ParseNumberText(Wide(text).c_str(), value)) << text;
        for (int position = -4; position <= 15; ++position) {
            const int expected = DigitOfText(text, position);
            const int digit = DigitAtPosition(value, position);
            if (digit != expected) {
                ADD_FAILURE() << text << " at 10^" << position << ": " << digit << " instead of " << expected;
                ++wrong;
            }
            if (DigitAtPosition(-value, position) != expected) {
                ADD_FAILURE() << "-" << text << " at 10^" << position;
                ++wrong;
            }
        }
    }
}

// Large amounts: every amount a double holds to the cent (below 2^46, about
// 70 万亿) shows its digits; above that the boxes follow the amount in words.
TEST(NumberDigitAtPosition, LargeAmounts)
{
    const char* const amounts[] = {
        "1000.00",           "987654.32",         "1234567.89",        "10000000.01",
        "99999999.99",       "100000000.00",      "123456789.13",      "999999999999.99",
        "1234567890123.47",  "9999999999999.99",  "12345678901234.56", "50000000000000.05",
        "70000000000000.01", "70368744177663.99", "99999999999999.75", "99999999999999.50",
        "89898989898989.25",
    };
    for (const char* amount : amounts) {
        double value = 0;
        ASSERT_TRUE(ParseNumberText(Wide(amount).c_str(), value)) << amount;
        for (int position = -4; position <= 15; ++position)
            EXPECT_EQ(DigitAtPosition(value, position), DigitOfText(amount, position))
                << amount << " at 10^" << position;
    }
}

TEST(NumberDigitAtPosition, RoundsLikeTheAmountAndStaysADigit)
{
    const double inf = std::numeric_limits<double>::infinity();
    const struct {
        double value;
        int position;
        int digit;
    } cases[] = {
        {1.13, -2, 3},    // truncating the double gave 2
        {0.47, -2, 7},    // truncating the double gave 6
        {0.1234, -4, 4},  // truncating the double gave 3
        {0.12345, -4, 5}, // a fifth decimal rounds the fourth
        {0.12345, -2, 2},   {987654.32, 4, 8}, {987654.32, -1, 3}, {987654.32, 7, 0},
        {-987654.32, 5, 9},                  // the sign is dropped
        {0.996, -2, 0},                      // 1.00, as the amount in words
        {0.996, 0, 1},      {2.675, -2, 8},  // 2.68, as the "0.00" format
        {1e20, 15, 0},      {9.3e18, 15, 0}, // past a 64-bit integer
        {1234.5, 16, 0},                     // outside the positions
        {1234.5, -5, 0},    {inf, 0, 0},       {-inf, 3, 0},       {std::nan(""), 0, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DigitAtPosition(c.value, c.position), c.digit) << c.value << " at 10^" << c.position;

    // Far beyond the boxes the digit is still a digit: the digit tables are
    // indexed with it.
    const double huge[] = {1e300, -1.7976931348623157e308, 1.8446744073709552e19, 5e-324};
    for (double value : huge)
        for (int position = -4; position <= 15; ++position) {
            const int digit = DigitAtPosition(value, position);
            EXPECT_TRUE(digit >= 0 && digit <= 9) << value << " at 10^" << position;
        }
}

} // namespace
