#pragma once

#include "Drill.h"
#include "HtmlControls.h"
#include "MemoryControls.h"

#include <emscripten/val.h>

#include <array>
#include <memory>
#include <string>

namespace tarvona {

/// The form Tarvona in a web page: the drill over the page's own controls (the author radio
/// buttons, the work list, the restart button and the log box), with the hidden key and
/// master lists in memory, the routing of the page's events into the drill, and a live region
/// that tells screen readers each verdict, hint and restart.
class TarvonaPage
{
public:
    /// Finds the form's controls in the document, fills them and runs the start operation.
    TarvonaPage();
    TarvonaPage(const TarvonaPage &) = delete;
    TarvonaPage &operator=(const TarvonaPage &) = delete;
    TarvonaPage(TarvonaPage &&) = delete;
    TarvonaPage &operator=(TarvonaPage &&) = delete;
    ~TarvonaPage() = default;

    /// A click or tap in the work list.
    void listClicked(const emscripten::val &event);
    /// A key was pressed in the work list.
    void listKeyDown(const emscripten::val &event);
    /// The focus entered the work list, or moved within it.
    void listFocused(const emscripten::val &event);
    /// Moves the focus after the list's cursor now, if it was held back.
    void catchUp();
    /// A finger or the mouse went down: the focus goes where it points, no longer held back.
    void pointerDown();
    /// The radio button of author index became the selected one.
    void authorChanged(int index);
    /// The restart button was pressed.
    void restartPressed();
    /// Scales the form to the largest size that fits the viewport.
    void fitToViewport() const;
    /// Gives the log box the focus, unless something else has it already.
    void focusLog() const;

private:
    void pickWork();
    void settleList();
    bool stopFocusTimer();
    void sayVerdict(const std::string &added);
    void announce(const std::string &message) const;
    template<typename Event> void runEvent(Event &&event) const;

    emscripten::val m_document;
    emscripten::val m_form;
    emscripten::val m_status;
    std::unique_ptr<HtmlChoiceList> m_workList;
    std::array<MemoryList, 3> m_hiddenLists;
    std::array<std::unique_ptr<HtmlAuthorChoice>, 5> m_authors;
    std::unique_ptr<HtmlTextBox> m_log;
    std::unique_ptr<Drill> m_drill;
    bool m_pickingWork = false;   // a work pick is running
    std::string m_verdict;        // and the verdict it gave
    std::string m_told;           // what the last pick has to tell, once the list is shown
    emscripten::val m_focusTimer; // the focus's move after the cursor, while held back
};

} // namespace tarvona
