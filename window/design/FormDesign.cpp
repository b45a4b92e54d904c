#include "FormDesign.h"

#include <stdexcept>
#include <string>

namespace tarvona {

const ControlDesign &control(std::string_view name)
{
    for (const ControlDesign &design : Controls) {
        if (design.name == name) {
            return design;
        }
    }
    throw std::out_of_range("the form has no control " + std::string(name));
}

} // namespace tarvona
