// Fuzzes the reading of answer keys. Any text at all must be read without a crash or
// undefined behaviour, and ReadNumber and KeyOf must agree with a second reading of the same
// text that is kept deliberately plain: strip the skipped characters, take the longest
// prefix that is a number, and let the C library convert it.
#include "KeyOf.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <stdexcept>
#include <string>
#include <string_view>

namespace {

// An ampersand number with more significant digits than this may lie beyond 2^53, where a
// double no longer holds every integer; the reference then only asks for a huge value.
constexpr std::size_t exactHexDigits = 13;   // 52 bits
constexpr std::size_t exactOctalDigits = 17; // 51 bits
const double hugeValue = std::ldexp(1.0, 51);

// Inputs stay short, yet faults in reading long runs of digits only show on long texts. So
// each input is also read once expanded: the byte runMark followed by a count n and a
// character c stands for c repeated (n + 1) * runUnit times.
constexpr char runMark = '\x01';
constexpr std::size_t runUnit = 1024;
constexpr std::size_t expandedLimit = std::size_t {1} << 18;

/// What the plain reading makes of a text.
struct Reference
{
    /// The number, exact unless huge is set.
    double value = 0.0;
    /// An ampersand number too long to convert exactly: at least hugeValue, or infinite.
    bool huge = false;
};

/// The text quoted for a report: control and non-ASCII bytes escaped, long texts shortened.
std::string shown(std::string_view text)
{
    constexpr std::size_t shownLength = 120;
    std::string quoted = "\"";
    for (const char c : text.substr(0, shownLength)) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte >= 0x7f || c == '"' || c == '\\') {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
            quoted += escaped;
        } else {
            quoted += c;
        }
    }
    quoted += '"';
    if (text.size() > shownLength) {
        quoted += " (" + std::to_string(text.size()) + " bytes in all)";
    }
    return quoted;
}

/// Reports a disagreement and aborts, which makes libFuzzer keep the input as a crash.
[[noreturn]] void fail(std::string_view text, const char *what, double expected, double actual)
{
    std::fprintf(stderr, "fuzz_keyof: %s\n  text: %s\n  expected %.17g, got %.17g\n", what, shown(text).c_str(),
        expected, actual);
    std::abort();
}

bool isSkipped(char c)
{
    return c == ' ' || c == '\t' || c == '\n';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isHexDigit(char c)
{
    return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

bool isOctalDigit(char c)
{
    return c >= '0' && c <= '7';
}

/// Reads the digits of an ampersand number (the ampersand already taken) in s from i on.
Reference readPrefixed(const std::string &s, std::size_t i)
{
    bool hex = false;
    if (i < s.size() && (s[i] == 'H' || s[i] == 'h')) {
        hex = true;
        ++i;
    } else if (i < s.size() && (s[i] == 'O' || s[i] == 'o')) {
        ++i;
    }
    std::string digits;
    for (; i < s.size() && (hex ? isHexDigit(s[i]) : isOctalDigit(s[i])); ++i) {
        if (!digits.empty() || s[i] != '0') {
            digits += s[i];
        }
    }
    if (digits.size() > (hex ? exactHexDigits : exactOctalDigits)) {
        return {.value = hugeValue, .huge = true};
    }
    return {.value = digits.empty() ? 0.0 : static_cast<double>(std::strtoull(digits.c_str(), nullptr, hex ? 16 : 8)),
        .huge = false};
}

/// Reads a decimal number from the start of s: the longest prefix of the form
/// [sign] digits [. digits] [letter [sign] digits], with a digit somewhere in the mantissa.
Reference readDecimal(const std::string &s)
{
    std::string plain; // the prefix in the form strtod knows
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        plain += s[i++];
    }
    bool anyDigit = false;
    for (; i < s.size() && isDigit(s[i]); ++i) {
        plain += s[i];
        anyDigit = true;
    }
    if (i < s.size() && s[i] == '.') {
        plain += s[i++];
        for (; i < s.size() && isDigit(s[i]); ++i) {
            plain += s[i];
            anyDigit = true;
        }
    }
    if (!anyDigit) {
        return {};
    }
    if (i < s.size() && (s[i] == 'E' || s[i] == 'e' || s[i] == 'D' || s[i] == 'd')) {
        std::string exponent = "e";
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
            exponent += s[i++];
        }
        const std::size_t firstDigit = i;
        for (; i < s.size() && isDigit(s[i]); ++i) {
            exponent += s[i];
        }
        // An exponent letter without digits counts for nothing.
        if (i > firstDigit) {
            plain += exponent;
        }
    }
    // strtod rounds correctly, gives +/-HUGE_VAL on overflow and 0 or a subnormal on
    // underflow, which is what the engine promises too; the C locale is in force here.
    return {.value = std::strtod(plain.c_str(), nullptr), .huge = false};
}

Reference readPlainly(std::string_view text)
{
    std::string significant;
    for (const char c : text) {
        if (!isSkipped(c)) {
            significant += c;
        }
    }
    if (!significant.empty() && significant.front() == '&') {
        return readPrefixed(significant, 1);
    }
    return readDecimal(significant);
}

bool sameNumber(double a, double b)
{
    return a == b && std::signbit(a) == std::signbit(b);
}

void check(std::string_view text)
{
    const Reference reference = readPlainly(text);
    const double number = tarvona::ReadNumber(text);
    if (std::isnan(number)) {
        fail(text, "ReadNumber gave NaN", reference.value, number);
    }
    if (reference.huge ? !(number >= hugeValue) : !sameNumber(number, reference.value)) {
        fail(text, "ReadNumber disagrees with the plain reading", reference.value, number);
    }

    // nearbyint rounds in the current rounding mode, which nobody here changes from its
    // default, round to nearest with halves to even.
    const double rounded = reference.huge ? reference.value : std::nearbyint(reference.value);
    const bool fits = !reference.huge && rounded >= std::numeric_limits<std::int16_t>::min()
        && rounded <= std::numeric_limits<std::int16_t>::max();
    try {
        const std::int16_t key = tarvona::KeyOf(text);
        if (!fits) {
            fail(text, "KeyOf accepted a value outside 16 bits", rounded, key);
        }
        if (key != rounded) {
            fail(text, "KeyOf rounded wrongly", rounded, key);
        }
    } catch (const std::out_of_range &) {
        if (fits) {
            fail(text, "KeyOf refused a value that fits in 16 bits", rounded, std::nan(""));
        }
    }
}

/// The input with its runs expanded; the same as the input when it has none.
std::string expanded(std::string_view input)
{
    std::string text;
    for (std::size_t i = 0; i < input.size(); ++i) {
        if (input[i] == runMark && i + 2 < input.size()) {
            const std::size_t count = (static_cast<unsigned char>(input[i + 1]) + std::size_t {1}) * runUnit;
            if (text.size() + count <= expandedLimit) {
                text.append(count, input[i + 2]);
                i += 2;
                continue;
            }
        }
        text += input[i];
    }
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    // Bytes and chars have the same size and alignment; the text is read as raw bytes.
    const std::string_view input(reinterpret_cast<const char *>(data), size);
    check(input);
    if (input.find(runMark) != std::string_view::npos) {
        check(expanded(input));
    }
    return 0;
}
