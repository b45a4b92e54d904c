#include "TarvonaPage.h"

#include <emscripten/bind.h>

#include <exception>
#include <string>

namespace {

// The page starts the form as soon as the runtime is ready. The program has no main: the
// runtime would take main's return for the program's exit, which costs the start-up a thrown
// exception, and the page goes on answering events long after.
void tarvonaStart()
{
    try {
        // The page lives as long as the document.
        static tarvona::TarvonaPage page;
    } catch (const std::exception &error) {
        // The form stays marked busy; the console says why.
        emscripten::val::global("console").call<void>("error", std::string("Tarvona: ") + error.what());
    }
}

} // namespace

EMSCRIPTEN_BINDINGS(tarvona_start)
{
    emscripten::function("tarvonaStart", &tarvonaStart);
}
