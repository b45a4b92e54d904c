#pragma once

#include "Form.h"
#include "HtmlControls.h"

#include <emscripten/val.h>

#include <array>
#include <memory>
#include <string>

namespace tarvona {

/// The form Tarvona in a web page: the page's own controls (the author radio buttons, the
/// work list, the restart button and the log box) handing their events to the form, and a live
/// region that tells screen readers each verdict, hint and restart.
class TarvonaPage : private FormVoice
{
public:
    /// Finds the form's controls in the document, fills them and runs the start operation.
    TarvonaPage();
    TarvonaPage(const TarvonaPage &) = delete;
    TarvonaPage &operator=(const TarvonaPage &) = delete;
    TarvonaPage(TarvonaPage &&) = delete;
    TarvonaPage &operator=(TarvonaPage &&) = delete;
    ~TarvonaPage() override = default;

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
    void settleList();
    bool stopFocusTimer();
    void announce(const std::string &message) const;

    [[nodiscard]] bool tellsVerdictAtOnce() const override;
    void tell(const std::string &message) override;
    void tellThenRow(const std::string &message, bool answered) override;
    void showError(const std::string &reason) override;

    emscripten::val m_document;
    emscripten::val m_formElement;
    emscripten::val m_status;
    std::unique_ptr<HtmlChoiceList> m_workList;
    std::array<std::unique_ptr<HtmlAuthorChoice>, 5> m_authors;
    std::unique_ptr<HtmlTextBox> m_log;
    std::unique_ptr<Form> m_form;
    std::string m_told;           // what the event has to tell, once the page shows its changes
    emscripten::val m_focusTimer; // the focus's move after the cursor, while held back
};

} // namespace tarvona
