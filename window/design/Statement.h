#pragma once

#include <string>

namespace tarvona {

/// The assignment statement the log box shows when the window opens: thirteen lines, each
/// ended by CR LF.
const std::string &AssignmentStatement();

} // namespace tarvona
