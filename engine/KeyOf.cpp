#include "KeyOf.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <stdexcept>
#include <string>

namespace tarvona {

namespace {

// Keys may be typed with stray blanks anywhere ("1 2" is 12), so the reader looks past
// these before every character it takes.
bool isSkipped(char c)
{
    return c == ' ' || c == '\t' || c == '\n';
}

// Reads a decimal number written out plainly (sign, digits, point, exponent) into the nearest
// double, whatever locale the process runs in; false when it lies beyond a double's range,
// too large or too small.
bool toDouble(const std::string &number, double &value)
{
#if defined(__cpp_lib_to_chars)
    return std::from_chars(number.data(), number.data() + number.size(), value).ec != std::errc::result_out_of_range;
#else
    // Not every standard library reads floating-point numbers with from_chars yet: the one
    // for WebAssembly does not, and there the C library knows no locale but the classic one,
    // so its strtod reads the number the same way.
    errno = 0;
    value = std::strtod(number.c_str(), nullptr);
    return errno != ERANGE;
#endif
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

int digitValue(char c, int base)
{
    int value = base; // "not a digit of this base"
    if (c >= '0' && c <= '9') {
        value = c - '0';
    } else if (c >= 'a' && c <= 'f') {
        value = c - 'a' + 10;
    } else if (c >= 'A' && c <= 'F') {
        value = c - 'A' + 10;
    }
    return value < base ? value : -1;
}

// Walks the text one significant character at a time, skipping blanks transparently.
class Cursor
{
public:
    explicit Cursor(std::string_view text) : m_text(text) { skip(); }

    [[nodiscard]] bool atEnd() const { return m_pos >= m_text.size(); }
    [[nodiscard]] char peek() const { return atEnd() ? '\0' : m_text[m_pos]; }
    void advance()
    {
        ++m_pos;
        skip();
    }

private:
    void skip()
    {
        while (!atEnd() && isSkipped(m_text[m_pos])) {
            ++m_pos;
        }
    }

    std::string_view m_text;
    std::size_t m_pos = 0;
};

double readPrefixed(Cursor &cursor)
{
    int base = 8;
    const char letter = cursor.peek();
    if (letter == 'H' || letter == 'h') {
        base = 16;
        cursor.advance();
    } else if (letter == 'O' || letter == 'o') {
        cursor.advance();
    }
    // Exact for every value a double can hold integrally; beyond 2^53 the value is only
    // ever compared against the 16-bit range, so the rounding of huge values is harmless.
    double value = 0.0;
    for (int digit = digitValue(cursor.peek(), base); digit >= 0; digit = digitValue(cursor.peek(), base)) {
        value = value * base + digit;
        cursor.advance();
    }
    return value;
}

double readDecimal(Cursor &cursor)
{
    // The significant characters are gathered into plain "[-]digits[.digits][e[-]digits]"
    // form and handed to from_chars, which rounds correctly and ignores the locale.
    std::string number;
    if (cursor.peek() == '+' || cursor.peek() == '-') {
        if (cursor.peek() == '-') {
            number += '-';
        }
        cursor.advance();
    }
    // The two counts are weighed against the exponent below, so they share its type.
    long long integerDigits = 0; // significant digits before the point
    long long leadingZeros = 0;  // zeros right after the point while no significant digit came yet
    bool nonZeroSeen = false;
    bool anyDigit = false;
    while (isDigit(cursor.peek())) {
        nonZeroSeen = nonZeroSeen || cursor.peek() != '0';
        integerDigits += nonZeroSeen ? 1 : 0;
        anyDigit = true;
        number += cursor.peek();
        cursor.advance();
    }
    if (cursor.peek() == '.') {
        number += '.';
        cursor.advance();
        while (isDigit(cursor.peek())) {
            if (!nonZeroSeen && cursor.peek() == '0') {
                ++leadingZeros;
            }
            nonZeroSeen = nonZeroSeen || cursor.peek() != '0';
            anyDigit = true;
            number += cursor.peek();
            cursor.advance();
        }
    }
    if (!anyDigit) {
        return 0.0;
    }
    long long exponent = 0;
    const char letter = cursor.peek();
    if (letter == 'E' || letter == 'e' || letter == 'D' || letter == 'd') {
        cursor.advance();
        bool negative = false;
        if (cursor.peek() == '+' || cursor.peek() == '-') {
            negative = cursor.peek() == '-';
            cursor.advance();
        }
        const long long exponentCap = static_cast<long long>(number.size()) + 100000;
        while (isDigit(cursor.peek())) {
            // Once the exponent outweighs every digit of the mantissa by more than a double can
            // span, the number over- or underflows whatever the digits are; capping it there
            // keeps the arithmetic below from overflowing in turn. The cap grows with the
            // mantissa, whose digits move the point as far as the exponent does: a fixed cap
            // would cut a long exponent short where a long mantissa brings it back into range.
            if (exponent < exponentCap) {
                exponent = exponent * 10 + (cursor.peek() - '0');
            }
            cursor.advance();
        }
        exponent = negative ? -exponent : exponent;
        number += 'e';
        number += std::to_string(exponent);
    }
    double value = 0.0;
    if (!toDouble(number, value)) {
        // Underflow and overflow are reported alike; the decimal magnitude tells which.
        const long long magnitude = nonZeroSeen ? (integerDigits > 0 ? integerDigits : -leadingZeros) + exponent : 0;
        const bool negative = number.front() == '-';
        if (magnitude <= 0) {
            return negative ? -0.0 : 0.0;
        }
        const double infinity = std::numeric_limits<double>::infinity();
        return negative ? -infinity : infinity;
    }
    return value;
}

} // namespace

double ReadNumber(std::string_view text)
{
    Cursor cursor(text);
    if (cursor.peek() == '&') {
        cursor.advance();
        return readPrefixed(cursor);
    }
    return readDecimal(cursor);
}

std::int16_t KeyOf(std::string_view text)
{
    const double number = ReadNumber(text);
    // Halves go to the even neighbour: round to nearest, then step back from an odd
    // result whenever the number lay exactly halfway.
    double rounded = std::round(number);
    if (std::abs(number - std::trunc(number)) == 0.5 && std::fmod(rounded, 2.0) != 0.0) {
        rounded -= std::copysign(1.0, number);
    }
    // Asked this way round, a number that is not a number does not fit either.
    const bool fits
        = rounded >= std::numeric_limits<std::int16_t>::min() && rounded <= std::numeric_limits<std::int16_t>::max();
    if (!fits) {
        // A key is a digit or two; quoting more would only bury the message.
        constexpr std::size_t quoted = 40;
        const std::string shown
            = text.size() > quoted ? std::string(text.substr(0, quoted)) + "..." : std::string(text);
        throw std::out_of_range("answer key \"" + shown + "\" does not fit in a 16-bit integer");
    }
    return static_cast<std::int16_t>(rounded);
}

} // namespace tarvona
