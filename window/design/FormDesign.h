#pragma once

#include <array>
#include <string_view>

namespace tarvona {

/// A control's place and size, in pixels at 96 dots per inch (its design's twips divided by
/// fifteen), relative to its container: the form's client area, or the frame for an author.
struct Box
{
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

/// A colour as red, green and blue.
struct Colour
{
    int red = 0;
    int green = 0;
    int blue = 0;
};

/// One shown control of the form: its name (the control's, with its index: "List1_0"), place,
/// background (none for the platform's own) and text.
struct ControlDesign
{
    std::string_view name;
    Box box;
    bool coloured = false;
    Colour background;
    std::string_view text;
};

/// The form's name, the size of its client area, its background and caption.
inline constexpr std::string_view FormName = "Tarvona";
inline constexpr Box FormBox {.left = 0, .top = 0, .width = 461, .height = 345};
inline constexpr Colour FormColour {.red = 192, .green = 192, .blue = 255};
inline constexpr std::string_view FormCaption = "tarvona.example  Тарвона";

/// The form's font, which every control uses: Times New Roman, or where it is missing its
/// metric twin, so that every text keeps the width the layout was made for.
inline constexpr std::array<std::string_view, 2> FontFamilies {"Times New Roman", "Liberation Serif"};
inline constexpr int FontPoints = 12;

/// The shown controls, in the order of their design; the author choices stand apart below.
inline constexpr std::array<ControlDesign, 6> Controls {{
    {.name = "Label1_0",
        .box = {.left = 32, .top = 0, .width = 393, .height = 25},
        .coloured = true,
        .background = {.red = 255, .green = 192, .blue = 128},
        .text = "Тарвона, автори и произведения"},
    {.name = "Frame1",
        .box = {.left = 8, .top = 32, .width = 145, .height = 129},
        .coloured = true,
        .background = {.red = 128, .green = 255, .blue = 255},
        .text = "Антични автори"},
    {.name = "Label1_1",
        .box = {.left = 184, .top = 32, .width = 265, .height = 25},
        .coloured = true,
        .background = {.red = 255, .green = 192, .blue = 128},
        .text = "Тарвона - произведения"},
    {.name = "List1_0",
        .box = {.left = 184, .top = 56, .width = 265, .height = 99},
        .coloured = false,
        .background = {},
        .text = {}},
    {.name = "Command1_0",
        .box = {.left = 264, .top = 168, .width = 113, .height = 25},
        .coloured = true,
        .background = {.red = 255, .green = 128, .blue = 128},
        .text = "Изчисти"},
    {.name = "Text1_0",
        .box = {.left = 8, .top = 208, .width = 449, .height = 121},
        .coloured = false,
        .background = {},
        .text = {}},
}};

/// The author choice Option1(i), i = 0 to 4, within the frame: index 0 topmost.
constexpr Box optionBox(int i)
{
    return {.left = 8, .top = 20 * (i + 1), .width = 129, .height = 20};
}
inline constexpr Colour OptionColour {.red = 128, .green = 255, .blue = 128};

/// The control of the given name; throws std::out_of_range for a name the form has not.
const ControlDesign &control(std::string_view name);

/// The log box's name for screen readers.
inline constexpr std::string_view LogName = "Дневник";

} // namespace tarvona
