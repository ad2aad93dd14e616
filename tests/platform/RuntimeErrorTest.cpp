#include "platform/RuntimeError.h"
#include <gtest/gtest.h>

using namespace orvia;

TEST(RuntimeError, CarriesNumberAndStandardDescription)
{
    try {
        throwError(ErrSubscript);
        FAIL() << "no throw";
    } catch (const RuntimeError &e) {
        EXPECT_EQ(e.number(), 9);
        EXPECT_EQ(e.description(), QStringLiteral("Subscript out of range"));
    }
    try {
        throwError(ErrPortOpen, QStringLiteral("busy"));
    } catch (const RuntimeError &e) {
        EXPECT_EQ(e.number(), 8005);
        EXPECT_STREQ(e.what(), "busy");
    }
}
