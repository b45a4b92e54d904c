#include "PageStyle.h"

#include "FormDesign.h"

#include <string_view>

namespace tarvona {

namespace {

// The frame's border: the author choices are placed inside it, from its padding box.
constexpr int FrameBorder = 1;

std::string px(int value)
{
    return std::to_string(value) + "px";
}

std::string rgb(const Colour &colour)
{
    return "rgb(" + std::to_string(colour.red) + ", " + std::to_string(colour.green) + ", "
        + std::to_string(colour.blue) + ")";
}

std::string placed(const Box &box)
{
    return "left: " + px(box.left) + "; top: " + px(box.top) + "; width: " + px(box.width)
        + "; height: " + px(box.height) + ";";
}

} // namespace

std::string FittedByStyle()
{
    return "(scale: calc(100dvw / " + px(FormBox.width) + "))";
}

std::string DesignStyleSheet()
{
    std::string font = "normal " + std::to_string(FontPoints) + "pt";
    for (std::size_t i = 0; i < FontFamilies.size(); ++i) {
        font += std::string(i == 0 ? " \"" : ", \"") + std::string(FontFamilies[i]) + "\"";
    }
    std::string css = "#" + std::string(FormName) + " { width: " + px(FormBox.width) + "; height: " + px(FormBox.height)
        + "; background: " + rgb(FormColour) + "; font: " + font + ", serif; }\n";
    for (const ControlDesign &control : Controls) {
        css += "#" + std::string(control.name) + " { " + placed(control.box);
        if (control.coloured) {
            css += " background: " + rgb(control.background) + ";";
        }
        // A label's one line of text stands in its middle.
        if (std::string_view(control.name).starts_with("Label")) {
            css += " line-height: " + px(control.box.height) + ";";
        }
        css += " }\n";
    }
    for (int i = 0; i < 5; ++i) {
        Box box = optionBox(i);
        box.left -= FrameBorder;
        box.top -= FrameBorder;
        css += "#Option1_" + std::to_string(i) + " { " + placed(box) + " line-height: " + px(box.height)
            + "; background: " + rgb(OptionColour) + "; }\n";
    }
    // The largest scale that fits the viewport, the form centred in it.
    const std::string width = px(FormBox.width);
    const std::string height = px(FormBox.height);
    css += "@supports " + FittedByStyle() + " {\n  #" + std::string(FormName)
        + " {\n    --scale: max(0.1, min(100dvw / " + width + ", 100dvh / " + height
        + "));\n    transform: translate(max(0px, (100dvw - " + width + " * var(--scale)) / 2), max(0px, (100dvh - "
        + height + " * var(--scale)) / 2)) scale(var(--scale));\n  }\n}";
    return css;
}

} // namespace tarvona
