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
        {"2", 2},
        {" 3", 3},
        {"\t\n 7", 7},
        {"1 2\t3\n4", 1234},
        {"  ", 0},
        {"", 0},
        // a carriage return is not skipped: it ends the number
        {"1\r2", 1},
        {"\r5", 0},
        // signs
        {"-4", -4},
        {"+4", 4},
        {"- 4", -4},
        {"--4", 0},
        {"+-4", 0},
        {"-", 0},
        // decimal point and exponent (E or D, either case, with its own sign)
        {"1.5", 1.5},
        {".25", 0.25},
        {"5.", 5},
        {"1.2.3", 1.2},
        {".", 0},
        {"-.5", -0.5},
        {"1e2", 100},
        {"1E+2", 100},
        {"25E-1", 2.5},
        {"1d2", 100},
        {"1D-1", 0.1},
        {"1e", 1},
        {"1e+", 1},
        {"1 e 2", 100},
        {"e5", 0},
        // stops at the first character that cannot continue the number
        {"12abc", 12},
        {"3,5", 3},
        {"abc", 0},
        {"Антигона", 0},
        {"4 Софокъл", 4},
        // ampersand prefixes: hexadecimal, octal, bare ampersand octal
        {"&H1F", 31},
        {"&hff", 255},
        {"&O17", 15},
        {"&o7", 7},
        {"&17", 15},
        {"& H 1 0", 16},
        {"&H", 0},
        {"&", 0},
        {"&O8", 0},
        {"&19", 1},
        {"&HG", 0},
        {"-&H10", 0},
        {"&H1.5", 1},
        // magnitudes beyond a double
        {"1e400", std::numeric_limits<double>::infinity()},
        {"-1e400", -std::numeric_limits<double>::infinity()},
        {"1e-400", 0},
        {"0e999999999999", 0},
        {"0.000000001e-400", 0},
        {std::string(400, '9') + "e-800", 0},
        {"1" + std::string(400, '0'), std::numeric_limits<double>::infinity()},
        {"0." + std::string(400, '0') + "1e401", 1},
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
        {"1e+N then e-(far more)", "1" + zeros.substr(0, 200000) + "e-1000000", 0},
        {"1e-N then e+(far more)", "0." + zeros.substr(0, 200000) + "1e1000000",
            std::numeric_limits<double>::infinity()},
        {"1e+N then e-N", "1" + zeros + "e-1000000", 1},
        {"-2.5e-(N+1) then e+(N+1)", "-0." + zeros + "25e1000001", -2.5},
        {"7 and a long fraction, e+N", "7.5" + zeros + "e1000000", std::numeric_limits<double>::infinity()},
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
