// Message texts as the port forms them when no catalogue is bound.

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "serial/com_error.h"
#include "serial/messages.h"

namespace tarnik {
namespace {

TEST(SerialMessages, TextAloneWithoutASystemCode)
{
    const EComPort e(errLinkRegistration);
    EXPECT_STREQ(e.what(), "Link (un)registration failed");
    EXPECT_EQ(e.ErrorCode(), 18);
    EXPECT_EQ(e.SystemErrorCode(), -1);
}

TEST(SerialMessages, SystemCodeIsAppendedInDecimal)
{
    EXPECT_STREQ(EComPort(errWrite, ETIMEDOUT).what(),
                 "WriteFile function failed (win error code: 110)");
    EXPECT_STREQ(EComPort(errOpenPort, 0).what(), "Unable to open com port (win error code: 0)");
}

TEST(SerialMessages, TableHasTwentyThreeRowsAndNothingOutside)
{
    EXPECT_STREQ(comErrorText(1), "Unable to open com port");
    EXPECT_STREQ(comErrorText(8), "SetCommTimeouts failed");
    EXPECT_STREQ(comErrorText(23), "Registry error");
    EXPECT_STREQ(comErrorText(0), "");
    EXPECT_STREQ(comErrorText(24), "");
    for (int code = 1; code <= kComErrorCount; ++code)
        EXPECT_STRNE(comErrorText(code), "") << code;
}

}  // namespace
}  // namespace tarnik
