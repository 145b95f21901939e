// The port entry field's conversion and range rule.
#include "core/port_text.h"

#include <gtest/gtest.h>

namespace {

TEST(PortText, EntriesAndTheirResults) {
    struct Case {
        const char* text;
        tPortTextResult result;
        std::uint16_t port;
    };
    const Case cases[] = {
        {"", ptRemove, 0},
        {"5000", ptPort, 5000},
        {" 5000", ptPort, 5000},
        {"   80", ptPort, 80},
        {"+5000", ptPort, 5000},
        {"$1388", ptPort, 5000},
        {"0x1388", ptPort, 5000},
        {"0X1388", ptPort, 5000},
        {"$ffff", ptPort, 65535},
        {"1", ptPort, 1},
        {"65535", ptPort, 65535},
        {"05000", ptPort, 5000},
        {"0", ptInvalid, 0},
        {"65536", ptInvalid, 0},
        {"-5", ptInvalid, 0},
        {"12a", ptInvalid, 0},
        {"5000 ", ptInvalid, 0},
        {"50 00", ptInvalid, 0},
        {"\t5000", ptInvalid, 0},
        {" ", ptInvalid, 0},
        {"+", ptInvalid, 0},
        {"$", ptInvalid, 0},
        {"0x", ptInvalid, 0},
        {"$10000", ptInvalid, 0},
        {"4294972296", ptInvalid, 0}, // 2^32 + 5000 must not wrap to 5000
        {"99999999999999999999", ptInvalid, 0},
        {"$100001388", ptInvalid, 0},
        {"5000\n", ptInvalid, 0},
        {"１２", ptInvalid, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("\"") + c.text + "\"");
        const tPortText r = ReadPortText(c.text);
        EXPECT_EQ(r.result, c.result);
        EXPECT_EQ(r.port, c.port);
    }
}

TEST(PortText, IntegerConversionCoversTheSignedRange) {
    EXPECT_EQ(ParseRuntimeInteger("2147483647"), 2147483647);
    EXPECT_EQ(ParseRuntimeInteger("-2147483648"), -2147483647 - 1);
    EXPECT_FALSE(ParseRuntimeInteger("2147483648").has_value());
    EXPECT_FALSE(ParseRuntimeInteger("-2147483649").has_value());
    EXPECT_EQ(ParseRuntimeInteger("-$10"), -16);
    EXPECT_EQ(ParseRuntimeInteger("$7FFFFFFF"), 2147483647);
}

} // namespace
