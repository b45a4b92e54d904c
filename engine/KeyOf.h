#pragma once

#include <cstdint>
#include <string_view>

namespace tarvona {

/// Reads the number at the start of text the way answer keys are written: blanks, tabs and
/// line feeds are skipped anywhere; then a sign, digits, a decimal point and an exponent
/// (E or D), or an ampersand prefix (&H hexadecimal, &O or a bare & octal); reading stops
/// at the first character that cannot continue the number, and text with no leading
/// number reads as 0. A decimal number too large for a double reads as +/- infinity.
double ReadNumber(std::string_view text);

/// Decodes an answer key: ReadNumber, rounded to the nearest integer with halves to the
/// even neighbour; throws std::out_of_range when that integer does not fit in 16 bits.
std::int16_t KeyOf(std::string_view text);

} // namespace tarvona
