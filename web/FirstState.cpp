// Writes the form's design and first state into the page's shell when the page is made: the
// style sheet's places, sizes, colours and font and the controls' texts from the form's design,
// which the window is laid out from too; the authors' captions, the works in the list and the
// log box's text, exactly as the drill's start leaves them, so that the page shows them from its
// first tag and the program, starting, finds them there instead of building them while the
// pupil waits.
// Usage (run by the build, under Node.js): tarvona_first_state SHELL OUTPUT

#include "FormDesign.h"
#include "MemoryForm.h"
#include "PageStyle.h"
#include "Statement.h"

#include <cstdio>
#include <exception>
#include <fstream>
#include <iterator>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

namespace {

// Text as the content of an element or a text area: the markup's own characters escaped, and
// line breaks as character references, which a text area keeps as they stand (a line break
// right after its start tag would be dropped, and CR LF is read as one LF anyway).
std::string html(std::string_view text)
{
    std::string escaped;
    for (std::size_t i = 0; i < text.size(); ++i) {
        switch (const char c = text[i]) {
        case '&':
            escaped += "&amp;";
            break;
        case '<':
            escaped += "&lt;";
            break;
        case '>':
            escaped += "&gt;";
            break;
        case '"':
            escaped += "&quot;";
            break;
        case '\r':
            if (i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
            escaped += "&#10;";
            break;
        case '\n':
            escaped += "&#10;";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

void fill(std::string &page, const std::string &marker, const std::string &text)
{
    const std::size_t at = page.find(marker);
    if (at == std::string::npos) {
        throw std::runtime_error("the shell has no " + marker);
    }
    page.replace(at, marker.size(), text);
}

void run(const char *shellPath, const char *outputPath)
{
    std::ifstream shell(shellPath, std::ios::binary);
    if (!shell) {
        throw std::runtime_error(std::string("cannot read ") + shellPath);
    }
    std::string page {std::istreambuf_iterator<char>(shell), std::istreambuf_iterator<char>()};

    fill(page, "@TARVONA_DESIGN@", tarvona::DesignStyleSheet());
    fill(page, "@TARVONA_CAPTION@", html(tarvona::FormCaption));
    fill(page, "@TARVONA_LOG_NAME@", html(tarvona::LogName));
    for (const tarvona::ControlDesign &control : tarvona::Controls) {
        if (!control.text.empty()) {
            fill(page, "@TARVONA_TEXT_" + std::string(control.name) + "@", html(control.text));
        }
    }

    tarvona::MemoryForm form(tarvona::AssignmentStatement());
    for (int i = 0; i < form.authors().count(); ++i) {
        fill(page, "@TARVONA_AUTHOR_" + std::to_string(i) + "@", html(form.authors().choice(i).Caption()));
    }
    std::string works;
    tarvona::MemoryList &list = form.list(0);
    // Each row says its place and the count; the first has the cursor, the list's stop in the
    // Tab order (HtmlChoiceList takes them so).
    const std::string count = std::to_string(list.ListCount());
    for (int i = 0; i < list.ListCount(); ++i) {
        works += std::string(R"(<div role="option" tabindex=")") + (i == 0 ? "0" : "-1")
            + R"(" aria-selected="false" aria-posinset=")" + std::to_string(i + 1) + R"(" aria-setsize=")" + count
            + R"(">)" + html(list.List(i)) + "</div>";
    }
    fill(page, "@TARVONA_WORKS@", works);
    fill(page, "@TARVONA_LOG@", html(form.log().Text()));

    std::ofstream output(outputPath, std::ios::binary);
    output << page;
    output.close();
    if (!output) {
        throw std::runtime_error(std::string("cannot write ") + outputPath);
    }
}

} // namespace

int main(int argc, char **argv)
{
    const std::span<char *> args(argv, static_cast<std::size_t>(argc));
    if (args.size() != 3) {
        std::fputs("usage: tarvona_first_state SHELL OUTPUT\n", stderr);
        return 2;
    }
    try {
        run(args[1], args[2]);
    } catch (const std::exception &error) {
        std::fprintf(stderr, "tarvona_first_state: %s\n", error.what());
        return 1;
    }
    return 0;
}
