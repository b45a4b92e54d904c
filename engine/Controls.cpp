#include "Controls.h"

#include <stdexcept>
#include <string>

namespace tarvona {

// Every kind of list refuses a missing row with the same words, so an error reads the same
// whichever list raised it.
void ChoiceList::checkRow(int i, const char *operation) const
{
    if (i < 0 || i >= ListCount()) {
        throw std::out_of_range(std::string(operation) + ": row " + std::to_string(i) + " is outside a list of "
            + std::to_string(ListCount()) + " rows");
    }
}

} // namespace tarvona
