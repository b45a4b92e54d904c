// The engine's in-memory form, driven from standard input, for the browser tests' model-based
// random test: that test plays the page with real input and feeds the same picks here, one a
// line ("author I", "work ROW", "restart"). After the form is built, and after each line, one
// JSON line follows on standard output: the work list's rows, the selected author (-1 for
// none) and the exact log, so the test can compare the page with the engine step by step.
// With --design, it writes the form's design instead, as one JSON object (the layout test
// compares the page's boxes, colours and texts with it).
#include "FormDesign.h"
#include "MemoryForm.h"
#include "Statement.h"

#include <array>
#include <cstdio>
#include <iostream>
#include <sstream>
#include <string>
#include <string_view>

using namespace tarvona;

namespace {

void writeJsonString(std::ostream &out, const std::string &text)
{
    out << '"';
    for (const char c : text) {
        switch (c) {
        case '"':
            out << "\\\"";
            break;
        case '\\':
            out << "\\\\";
            break;
        case '\r':
            out << "\\r";
            break;
        case '\n':
            out << "\\n";
            break;
        default:
            // The texts are UTF-8 and pass through; only control characters need escaping.
            if (static_cast<unsigned char>(c) < 0x20) {
                std::array<char, 7> escaped {};
                std::snprintf(escaped.data(), escaped.size(), "\\u%04x", static_cast<unsigned>(c));
                out << escaped.data();
            } else {
                out << c;
            }
        }
    }
    out << '"';
}

void writeState(MemoryForm &form, const std::string &error)
{
    std::ostringstream out;
    out << "{\"rows\":[";
    const auto &rows = form.list(0).rows();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (i > 0) {
            out << ',';
        }
        writeJsonString(out, rows[i]);
    }
    out << "],\"author\":" << form.authors().selected() << ",\"log\":";
    writeJsonString(out, form.log().Text());
    if (!error.empty()) {
        out << ",\"error\":";
        writeJsonString(out, error);
    }
    out << "}\n";
    // Flushed every line: the test waits for each answer before its next step.
    std::cout << out.str() << std::flush;
}

std::string json(const Box &box)
{
    return "[" + std::to_string(box.left) + "," + std::to_string(box.top) + "," + std::to_string(box.width) + ","
        + std::to_string(box.height) + "]";
}

std::string json(const Colour &colour)
{
    return "\"rgb(" + std::to_string(colour.red) + ", " + std::to_string(colour.green) + ", "
        + std::to_string(colour.blue) + ")\"";
}

void writeDesign()
{
    std::ostringstream out;
    out << "{\"form\":" << json(FormBox) << ",\"colour\":" << json(FormColour) << ",\"caption\":";
    writeJsonString(out, std::string(FormCaption));
    out << ",\"fontPoints\":" << FontPoints << ",\"fontFamilies\":[";
    for (std::size_t i = 0; i < FontFamilies.size(); ++i) {
        out << (i > 0 ? "," : "");
        writeJsonString(out, std::string(FontFamilies[i]));
    }
    out << "],\"controls\":[";
    for (std::size_t i = 0; i < Controls.size(); ++i) {
        const ControlDesign &control = Controls[i];
        out << (i > 0 ? "," : "") << R"({"name":")" << control.name << R"(","box":)" << json(control.box)
            << ",\"colour\":" << (control.coloured ? json(control.background) : "null") << ",\"text\":";
        writeJsonString(out, std::string(control.text));
        out << "}";
    }
    out << "],\"options\":[";
    for (int i = 0; i < 5; ++i) {
        out << (i > 0 ? "," : "") << json(optionBox(i));
    }
    out << "],\"optionColour\":" << json(OptionColour) << ",\"logName\":";
    writeJsonString(out, std::string(LogName));
    out << "}\n";
    std::cout << out.str();
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 2 && std::string_view(argv[1]) == "--design") {
        writeDesign();
        return 0;
    }
    MemoryForm form(AssignmentStatement());
    writeState(form, {});
    std::string line;
    while (std::getline(std::cin, line)) {
        std::istringstream words(line);
        std::string verb;
        int index = -1;
        words >> verb >> index;
        std::string error;
        const std::size_t failures = form.failures().size();
        if (verb == "author" && index >= 0 && index < form.authors().count()) {
            form.pickAuthor(index);
        } else if (verb == "work" && index >= 0 && index < form.list(0).ListCount()) {
            form.pickWork(index);
        } else if (verb == "restart") {
            form.restart();
        } else {
            // A step the form cannot take is the test's own fault: say so rather than guess.
            error = "cannot do: " + line;
        }
        if (form.failures().size() > failures) {
            error = form.failures().back();
        }
        writeState(form, error);
    }
    return 0;
}
