#include "TarvonaPage.h"

#include "Bank.h"
#include "FormDesign.h"
#include "PageStyle.h"
#include "Statement.h"

#include <emscripten/bind.h>

#include <algorithm>
#include <charconv>
#include <string_view>
#include <utility>
#include <vector>

using emscripten::val;

namespace tarvona {

namespace {

// The form's size in CSS pixels at scale 1.
constexpr double FormWidth = FormBox.width;
constexpr double FormHeight = FormBox.height;
// How long the focus waits before following the list's cursor after a pick that told
// something: long enough for a screen reader to take the message from the live region (Orca
// looks at it a tenth of a second after it changed) and to say it, as a new focus cuts short
// what a screen reader is saying; a message of 40 letters takes some two and a half seconds at
// a usual rate of speech. Nothing of it shows: the screen shows the pick's changes at once.
constexpr int HeldBackMilliseconds = 500;
constexpr int HeldBackPerLetter = 60;
constexpr int HeldBackAtMost = 3000;

val byId(const val &document, const std::string &id)
{
    val element = document.call<val>("getElementById", id);
    if (element.isNull()) {
        throw std::runtime_error("the page has no element " + id);
    }
    return element;
}

// The page's events reach the form through these functions, which the module exports.
TarvonaPage *page = nullptr;

void listen(const val &target, const std::string &type, const char *handler)
{
    target.call<void>("addEventListener", type, val::module_property(handler));
}

} // namespace

TarvonaPage::TarvonaPage() : m_document(val::global("document")), m_focusTimer(val::undefined())
{
    m_formElement = byId(m_document, "Tarvona");
    m_status = byId(m_document, "Status");

    // The page was made showing the form's first state, the bank's works in the list among it.
    std::vector<std::string> works;
    for (const BankEntry &entry : MasterEntries()) {
        works.emplace_back(entry.title);
    }
    m_workList = std::make_unique<HtmlChoiceList>(byId(m_document, "List1_0"), std::move(works));
    const std::array<std::string_view, 5> &names = AuthorNames();
    std::vector<AuthorChoice *> authors;
    for (std::size_t i = 0; i < m_authors.size(); ++i) {
        const std::string id = "Option1_" + std::to_string(i);
        const val bar = byId(m_document, id);
        m_authors[i] = std::make_unique<HtmlAuthorChoice>(
            bar.call<val>("querySelector", std::string("input")), std::string(names[i]));
        authors.push_back(m_authors[i].get());
    }
    m_log = std::make_unique<HtmlTextBox>(byId(m_document, "Text1_0"), AssignmentStatement());
    m_form = std::make_unique<Form>(*m_workList, std::move(authors), *m_log, static_cast<FormVoice &>(*this));
    m_workList->setClickListener([this] { m_form->workListClicked(); });

    page = this;
    const val list = m_workList->element();
    listen(list, "click", "tarvonaListClicked");
    listen(list, "keydown", "tarvonaListKeyDown");
    listen(list, "focusin", "tarvonaListFocused");

    // A key meets the focus where the list's cursor is; a finger or the mouse goes where it
    // points, without the focus passing through the list on its way.
    m_document.call<void>("addEventListener", std::string("keydown"), val::module_property("tarvonaCatchUp"), true);
    for (const char *input : {"mousedown", "touchstart"}) {
        m_document.call<void>("addEventListener", std::string(input), val::module_property("tarvonaPointerDown"), true);
    }
    // The authors' changes reach their group, which tells them by the radio button's value.
    listen(byId(m_document, "Frame1"), "change", "tarvonaAuthorChanged");
    listen(byId(m_document, "Command1_0"), "click", "tarvonaRestartPressed");
    // A browser that can divide lengths fits the form by its style sheet, before the page is
    // first laid out. Elsewhere the program fits it, which lays the page out at once.
    if (!val::global("CSS").call<bool>("supports", FittedByStyle())) {
        listen(val::global("window"), "resize", "tarvonaFitToViewport");
        fitToViewport();
    }

    // The form's load event: the drill starts before the form takes its first click. The log
    // box takes the focus as the page is first drawn, which lays it out then anyway: focusing
    // it from here would lay the page out before the document is even parsed to its end.
    // It builds the list's first state again, which the page shows already.
    m_form->load();
    m_workList->show();
    val::global("requestAnimationFrame")(val::module_property("tarvonaFocusLog"));
    m_formElement.call<void>("setAttribute", std::string("aria-busy"), std::string("false"));
}

void TarvonaPage::focusLog() const
{
    // Unless the pupil was quicker: one who pressed on a row before the program started has
    // the list's cursor there.
    const val focused = m_document["activeElement"];
    if (focused.isNull() || focused == m_document["body"]) {
        byId(m_document, "Text1_0").call<void>("focus");
    } else if (m_workList->element().call<bool>("contains", focused)) {
        m_workList->focusEntered(focused);
    }
}

void TarvonaPage::listClicked(const val &event)
{
    m_workList->userClicked(event["target"]);
    settleList();
}

void TarvonaPage::listKeyDown(const val &event)
{
    if (event["altKey"].as<bool>() || event["ctrlKey"].as<bool>() || event["metaKey"].as<bool>()) {
        return;
    }
    if (m_workList->userPressedKey(event["key"].as<std::string>(), event["timeStamp"].as<double>())) {
        event.call<void>("preventDefault");
    }
    settleList();
}

void TarvonaPage::listFocused(const val &event)
{
    m_workList->focusEntered(event["target"]);
}

bool TarvonaPage::stopFocusTimer()
{
    if (m_focusTimer.isUndefined()) {
        return false;
    }
    val::global("clearTimeout")(m_focusTimer);
    m_focusTimer = val::undefined();
    return true;
}

void TarvonaPage::catchUp()
{
    if (stopFocusTimer()) {
        m_workList->focusCursor();
    }
}

void TarvonaPage::pointerDown()
{
    if (stopFocusTimer()) {
        m_workList->dropLeavingRow();
    }
}

void TarvonaPage::settleList()
{
    // What a pick changed is shown at once; what a screen reader hears of it comes in order:
    // the verdict or hint, then the row the cursor is on. The focus is what tells that row, so
    // where it has to move, it waits until the message has been taken from the live region.
    m_workList->show();
    std::string message = std::exchange(m_told, {});
    if (m_workList->focusIsBehind() && !message.empty()) {
        // Each pick's message is held its full time (a key caught up with the one before).
        stopFocusTimer();
        announce(message);
        const auto letters
            = std::ranges::count_if(message, [](char c) { return (static_cast<unsigned char>(c) & 0xc0U) != 0x80; });
        const auto wait
            = std::min<std::ptrdiff_t>(HeldBackAtMost, HeldBackMilliseconds + (HeldBackPerLetter * letters));
        // The timer hands its function an argument, as every event listener has one.
        m_focusTimer = val::global("setTimeout")(val::module_property("tarvonaCatchUp"), static_cast<int>(wait), 0);
        return;
    }
    // Where the focus stays on its row, the message says the row itself.
    if (const int row = m_workList->cursor(); !message.empty() && row != -1) {
        message += "\n" + m_workList->List(row);
    }
    if (!message.empty()) {
        announce(message);
    }
    m_workList->focusCursor();
}

void TarvonaPage::authorChanged(int index)
{
    if (index < 0 || static_cast<std::size_t>(index) >= m_authors.size()) {
        return;
    }
    if (m_authors[static_cast<std::size_t>(index)]->Value()) {
        m_form->authorClicked(index);
    }
}

void TarvonaPage::restartPressed()
{
    m_form->restartClicked();
    m_workList->show();
    // Where the focus stayed in the list (a tap moves it nowhere on some phones), it follows
    // the cursor, back on the first row.
    m_workList->focusCursor();
    announce(std::exchange(m_told, {}));
}

void TarvonaPage::fitToViewport() const
{
    const val window = val::global("window");
    const auto width = window["innerWidth"].as<double>();
    const auto height = window["innerHeight"].as<double>();
    const double scale = std::max(0.1, std::min(width / FormWidth, height / FormHeight));
    const double left = std::max(0.0, (width - FormWidth * scale) / 2);
    const double top = std::max(0.0, (height - FormHeight * scale) / 2);
    // The style sheet builds the transform from these; the browser writes the numbers out.
    const val style = m_formElement["style"];
    style.call<void>("setProperty", std::string("--left"), left);
    style.call<void>("setProperty", std::string("--top"), top);
    style.call<void>("setProperty", std::string("--scale"), scale);
}

bool TarvonaPage::tellsVerdictAtOnce() const
{
    // Nothing of a pick reaches a screen reader before the page shows its changes: the live
    // region is written then, and the focus moves after the cursor only once it has been read.
    return false;
}

void TarvonaPage::tell(const std::string &message)
{
    m_told = message;
}

void TarvonaPage::tellThenRow(const std::string &message, bool /*answered*/)
{
    // Told once the page shows the pick's changes (settleList): the message in the live
    // region, then the row, by the focus's move to it or, where the focus stays, after the
    // message in the live region.
    m_told = message;
}

void TarvonaPage::showError(const std::string &reason)
{
    val::global("console").call<void>("error", "Tarvona: " + reason);
    val::global("window").call<void>("alert", ErrorMessage(reason));
}

void TarvonaPage::announce(const std::string &message) const
{
    // The live region's text is written anew, as a text of its own, so that even the same
    // message twice in a row is told twice. The region is a plain polite one, not a status
    // line: Orca passes over a status line's changes while the focus is on a list's row, and
    // over changes that follow others of their kind closely, but never over a plain live
    // region's new text.
    m_status.call<void>("replaceChildren", m_document.call<val>("createTextNode", pageText(message)));
}

namespace {

void tarvonaListClicked(const val &event)
{
    page->listClicked(event);
}

void tarvonaListKeyDown(const val &event)
{
    page->listKeyDown(event);
}

void tarvonaListFocused(const val &event)
{
    page->listFocused(event);
}

void tarvonaCatchUp(const val & /*event*/)
{
    page->catchUp();
}

void tarvonaPointerDown(const val & /*event*/)
{
    page->pointerDown();
}

void tarvonaAuthorChanged(const val &event)
{
    // The group hears its radio buttons' changes, and nothing else in it has any.
    const val target = event["target"];
    if (target["name"] != val("Option1")) {
        return;
    }
    const auto value = target["value"].as<std::string>();
    int index = -1;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), index);
    if (error == std::errc() && end == value.data() + value.size()) {
        page->authorChanged(index);
    }
}

void tarvonaRestartPressed(const val & /*event*/)
{
    page->restartPressed();
}

void tarvonaFitToViewport(const val & /*event*/)
{
    page->fitToViewport();
}

void tarvonaFocusLog(const val & /*time*/)
{
    page->focusLog();
}

} // namespace

} // namespace tarvona

EMSCRIPTEN_BINDINGS(tarvona)
{
    emscripten::function("tarvonaListClicked", &tarvona::tarvonaListClicked);
    emscripten::function("tarvonaListFocused", &tarvona::tarvonaListFocused);
    emscripten::function("tarvonaListKeyDown", &tarvona::tarvonaListKeyDown);
    emscripten::function("tarvonaCatchUp", &tarvona::tarvonaCatchUp);
    emscripten::function("tarvonaPointerDown", &tarvona::tarvonaPointerDown);

    emscripten::function("tarvonaAuthorChanged", &tarvona::tarvonaAuthorChanged);
    emscripten::function("tarvonaRestartPressed", &tarvona::tarvonaRestartPressed);
    emscripten::function("tarvonaFitToViewport", &tarvona::tarvonaFitToViewport);
    emscripten::function("tarvonaFocusLog", &tarvona::tarvonaFocusLog);
}
