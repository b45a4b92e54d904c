#pragma once

#include <string>

namespace tarvona {

/// The style sheet's rules for the form's design: every control's place, size and colour, the
/// form's font, and the fit of the form to the viewport where the style sheet can work it out.
std::string DesignStyleSheet();

/// The condition under which the style sheet fits the form to the viewport by itself: that the
/// browser can divide lengths. Elsewhere the program fits it.
std::string FittedByStyle();

} // namespace tarvona
