#include "KeyOf.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>
#include <string>

using tarvona::KeyOf;
using tarvona::ReadNumber;

namespace {

struct Reading
{
    std::string text;
    double expected;
};

TEST(ReadNumber, ReadsTheLeadingNumberInAllItsForms)
{
    const Reading cases[] = {
        // plain digits and the blanks, tabs and line feeds skipped anywhere
        {.text = "2", .expected = 2},
        {.text = " 3", .expected = 3},
        {.text = "\t\n 7", .expected = 7},
        {.text = "1 2\t3\n4", .expected = 1234},
        {.text = "  ", .expected = 0},
        {.text = "", .expected = 0},
        // a carriage return is not skipped: it ends the number
        {.text = "1\r2", .expected = 1},
        {.text = "\r5", .expected = 0},
        // signs
        {.text = "-4", .expected = -4},
        {.text = "+4", .expected = 4},
        {.text = "- 4", .expected = -4},
        {.text = "--4", .expected = 0},
        {.text = "+-4", .expected = 0},
        {.text = "-", .expected = 0},
        // decimal point and exponent (E or D, either case, with its own sign)
        {.text = "1.5", .expected = 1.5},
        {.text = ".25", .expected = 0.25},
        {.text = "5.", .expected = 5},
        {.text = "1.2.3", .expected = 1.2},
        {.text = ".", .expected = 0},
        {.text = "-.5", .expected = -0.5},
        {.text = "1e2", .expected = 100},
        {.text = "1E+2", .expected = 100},
        {.text = "25E-1", .expected = 2.5},
        {.text = "1d2", .expected = 100},
        {.text = "1D-1", .expected = 0.1},
        {.text = "1e", .expected = 1},
        {.text = "1e+", .expected = 1},
        {.text = "1 e 2", .expected = 100},
        {.text = "e5", .expected = 0},
        // stops at the first character that cannot continue the number
        {.text = "12abc", .expected = 12},
        {.text = "3,5", .expected = 3},
        {.text = "abc", .expected = 0},
        {.text = "Антигона", .expected = 0},
        {.text = "4 Софокъл", .expected = 4},
        // ampersand prefixes: hexadecimal, octal, bare ampersand octal
        {.text = "&H1F", .expected = 31},
        {.text = "&hff", .expected = 255},
        {.text = "&O17", .expected = 15},
        {.text = "&o7", .expected = 7},
        {.text = "&17", .expected = 15},
        {.text = "& H 1 0", .expected = 16},
        {.text = "&H", .expected = 0},
        {.text = "&", .expected = 0},
        {.text = "&O8", .expected = 0},
        {.text = "&19", .expected = 1},
        {.text = "&HG", .expected = 0},
        {.text = "-&H10", .expected = 0},
        {.text = "&H1.5", .expected = 1},
        // magnitudes beyond a double
        {.text = "1e400", .expected = std::numeric_limits<double>::infinity()},
        {.text = "-1e400", .expected = -std::numeric_limits<double>::infinity()},
        {.text = "1e-400", .expected = 0},
        {.text = "0e999999999999", .expected = 0},
        {.text = "0.000000001e-400", .expected = 0},
        {.text = std::string(400, '9') + "e-800", .expected = 0},
        {.text = "1" + std::string(400, '0'), .expected = std::numeric_limits<double>::infinity()},
        {.text = "0." + std::string(400, '0') + "1e401", .expected = 1},
    };
    for (const Reading &reading : cases) {
        EXPECT_EQ(ReadNumber(reading.text), reading.expected) << "text: \"" << reading.text << '"';
    }
}

TEST(ReadNumber, WeighsALongMantissaAgainstALongExponent)
{
    // A mantissa of many digits moves the point as far as a long exponent does, so neither
    // may be cut short on its own. The texts are too long to print; each case is named.
    const std::string zeros(1000000, '0');
    const struct
    {
        const char *name;
        std::string text;
        double expected;
    } cases[] = {
        {.name = "1e+N then e-(far more)", .text = "1" + zeros.substr(0, 200000) + "e-1000000", .expected = 0},
        {.name = "1e-N then e+(far more)",
            .text = "0." + zeros.substr(0, 200000) + "1e1000000",
            .expected = std::numeric_limits<double>::infinity()},
        {.name = "1e+N then e-N", .text = "1" + zeros + "e-1000000", .expected = 1},
        {.name = "-2.5e-(N+1) then e+(N+1)", .text = "-0." + zeros + "25e1000001", .expected = -2.5},
        {.name = "7 and a long fraction, e+N",
            .text = "7.5" + zeros + "e1000000",
            .expected = std::numeric_limits<double>::infinity()},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(ReadNumber(c.text), c.expected) << c.name;
    }
    EXPECT_EQ(KeyOf("1" + zeros + "e-1000000"), 1);
    EXPECT_EQ(KeyOf("1" + zeros.substr(0, 200000) + "e-1000000"), 0);
}

TEST(KeyOf, RoundsHalvesToTheEvenNeighbour)
{
    EXPECT_EQ(KeyOf("2"), 2);
    EXPECT_EQ(KeyOf(" 3"), 3);
    EXPECT_EQ(KeyOf(""), 0);
    EXPECT_EQ(KeyOf("1.5"), 2);
    EXPECT_EQ(KeyOf("2.5"), 2);
    EXPECT_EQ(KeyOf("3.5"), 4);
    EXPECT_EQ(KeyOf("0.5"), 0);
    EXPECT_EQ(KeyOf("-0.5"), 0);
    EXPECT_EQ(KeyOf("-1.5"), -2);
    EXPECT_EQ(KeyOf("-2.5"), -2);
    EXPECT_EQ(KeyOf("2.4999"), 2);
    EXPECT_EQ(KeyOf("2.5001"), 3);
    EXPECT_EQ(KeyOf("-2.6"), -3);
}

TEST(KeyOf, AcceptsTheWhole16BitRangeAndRejectsWhatLiesBeyond)
{
    EXPECT_EQ(KeyOf("32767"), 32767);
    EXPECT_EQ(KeyOf("32767.4"), 32767);
    EXPECT_EQ(KeyOf("-32768"), -32768);
    EXPECT_EQ(KeyOf("-32768.5"), -32768); // halfway, and -32768 is the even neighbour
    EXPECT_EQ(KeyOf("&H7FFF"), 32767);

    for (const char *text :
        {"32768", "32767.5", "-32769", "-32768.51", "&H8000", "&HFFFF", "1e400", "-1e400", "99999999999999999999999"}) {
        EXPECT_THROW((void)KeyOf(text), std::out_of_range) << text;
    }
}

TEST(KeyOf, ErrorNamesTheKeyButStaysShort)
{
    try {
        (void)KeyOf(std::string(1000, '9'));
        FAIL() << "an oversized key must be refused";
    } catch (const std::out_of_range &error) {
        const std::string message = error.what();
        EXPECT_NE(message.find("16-bit"), std::string::npos);
        EXPECT_LT(message.size(), 120U);
    }
}

} // namespace
