#include "HtmlControls.h"

#include <algorithm>
#include <utility>

using emscripten::val;

namespace tarvona {

val pageText(const std::string &text)
{
    // A std::string would reach the page byte by byte, through JavaScript of emscripten's that
    // is still cold while the form starts; the browser's own decoder reads a C string at once.
    // The texts hold no NUL.
    return val::u8string(text.c_str());
}

HtmlChoiceList::HtmlChoiceList(val select, std::vector<std::string> shown)
    : m_select(std::move(select)), m_rows(shown), m_shown(std::move(shown))
{
}

void HtmlChoiceList::setClickListener(std::function<void()> listener)
{
    m_clickListener = std::move(listener);
}

void HtmlChoiceList::Clear()
{
    m_rows.clear();
    m_selected = -1;
    m_cursor = 0;
    show({.kind = PageChange::Kind::Clear, .row = 0, .text = {}});
    reportIfChanged();
}

void HtmlChoiceList::AddItem(const std::string &text)
{
    m_rows.push_back(text);
    show({.kind = PageChange::Kind::Add, .row = 0, .text = text});
}

int HtmlChoiceList::ListCount() const
{
    return static_cast<int>(m_rows.size());
}

std::string HtmlChoiceList::List(int i) const
{
    checkRow(i, "List");
    return m_rows[static_cast<std::size_t>(i)];
}

int HtmlChoiceList::ListIndex() const
{
    return m_selected;
}

void HtmlChoiceList::SetListIndex(int i)
{
    if (i != -1) {
        checkRow(i, "ListIndex");
        m_cursor = i;
    }
    m_selected = i;
    show({.kind = PageChange::Kind::Select, .row = i, .text = {}});
    reportIfChanged();
}

void HtmlChoiceList::RemoveItem(int i)
{
    checkRow(i, "RemoveItem");
    m_rows.erase(m_rows.begin() + i);
    if (m_selected == i) {
        m_selected = -1;
    } else if (m_selected > i) {
        --m_selected;
    }
    if (m_reported > i) {
        // The same row is still selected, one place higher up: no change to report.
        --m_reported;
    }
    // The cursor stays in its place, which is now the next row's, and never below the last.
    if (m_cursor > i || m_cursor >= ListCount()) {
        m_cursor = std::max(0, m_cursor - 1);
    }
    show({.kind = PageChange::Kind::Remove, .row = i, .text = {}});
    reportIfChanged();
}

void HtmlChoiceList::userChangedSelection()
{
    catchUp();
    m_selected = m_select["selectedIndex"].as<int>();
    if (m_selected != -1) {
        m_cursor = m_selected;
    }
    reportIfChanged();
}

bool HtmlChoiceList::userPressedKey(const std::string &key)
{
    const int count = ListCount();
    if (count == 0) {
        return false;
    }
    // The browser's own list box forgets its cursor when the program clears the selection
    // and would start again from the top; the keys move on from where the pupil was.
    const int page = std::max(1, m_select["size"].as<int>() - 1);
    int row = 0;
    if (key == "ArrowDown") {
        row = m_cursor + 1;
    } else if (key == "ArrowUp") {
        row = m_cursor - 1;
    } else if (key == "PageDown") {
        row = m_cursor + page;
    } else if (key == "PageUp") {
        row = m_cursor - page;
    } else if (key == "Home") {
        row = 0;
    } else if (key == "End") {
        row = count - 1;
    } else if (key == " ") {
        pickByUser(cursor());
        return true;
    } else {
        return false;
    }
    // A key that cannot move the cursor (Up on the first row, End on the last) picks nothing.
    row = std::clamp(row, 0, count - 1);
    if (row != cursor()) {
        pickByUser(row);
    }
    return true;
}

int HtmlChoiceList::cursor() const
{
    return ListCount() == 0 ? -1 : std::min(m_cursor, ListCount() - 1);
}

void HtmlChoiceList::holdBack()
{
    m_holding = true;
}

bool HtmlChoiceList::catchUp()
{
    m_holding = false;
    if (m_heldBack.empty()) {
        return false;
    }
    const std::vector<PageChange> changes = std::exchange(m_heldBack, {});
    const bool rebuilt
        = std::ranges::any_of(changes, [](const PageChange &change) { return change.kind == PageChange::Kind::Clear; });
    // The box's selection is read from it: in a browser that starts the program only after
    // showing the page, the pupil may have selected a row before the drill began.
    if (rebuilt && m_rows == m_shown && m_selected == m_select["selectedIndex"].as<int>()) {
        return true;
    }
    for (const PageChange &change : changes) {
        apply(change);
    }
    return true;
}

void HtmlChoiceList::pickByUser(int row)
{
    m_cursor = row;
    if (m_selected == row) {
        // Already selected: a key that lands on the selected row changes nothing.
        return;
    }
    m_selected = row;
    show({.kind = PageChange::Kind::Select, .row = row, .text = {}});
    reportIfChanged();
}

void HtmlChoiceList::reportIfChanged()
{
    if (m_selected != m_reported) {
        m_reported = m_selected;
        if (m_clickListener) {
            m_clickListener();
        }
    }
}

void HtmlChoiceList::show(PageChange change)
{
    if (m_holding) {
        m_heldBack.push_back(std::move(change));
    } else {
        apply(change);
    }
}

void HtmlChoiceList::apply(const PageChange &change)
{
    switch (change.kind) {
    case PageChange::Kind::Clear:
        m_select.call<void>("replaceChildren");
        m_shown.clear();
        break;
    case PageChange::Kind::Add: {
        val option = val::global("document").call<val>("createElement", std::string("option"));
        option.set("textContent", pageText(change.text));
        m_select.call<void>("appendChild", option);
        m_shown.push_back(change.text);
        break;
    }
    case PageChange::Kind::Remove:
        m_select.call<void>("remove", change.row);
        m_shown.erase(m_shown.begin() + change.row);
        break;
    case PageChange::Kind::Select:
        m_select.set("selectedIndex", change.row);
        break;
    }
}

HtmlAuthorChoice::HtmlAuthorChoice(val radio, std::string caption)
    : m_radio(std::move(radio)), m_caption(std::move(caption))
{
}

std::string HtmlAuthorChoice::Caption() const
{
    return m_caption;
}

bool HtmlAuthorChoice::Value() const
{
    return m_radio["checked"].as<bool>();
}

void HtmlAuthorChoice::SetValue(bool value)
{
    // Unlike a click, writing a radio button's state raises no event, and unchecking it leaves
    // its group with none checked.
    m_radio.set("checked", value);
}

HtmlTextBox::HtmlTextBox(val textArea, std::string text) : m_textArea(std::move(textArea)), m_text(std::move(text))
{
    // Shown from the page's first tag, the first text is read from its top, where the caret
    // of a text area that was never written is; only later writes jump to the newest line.
}

void HtmlTextBox::setAppendListener(std::function<void(const std::string &)> listener)
{
    m_appendListener = std::move(listener);
}

std::string HtmlTextBox::Text() const
{
    return m_text;
}

void HtmlTextBox::SetText(const std::string &text)
{
    const std::string before = std::exchange(m_text, text);
    show();
    m_textArea.set("scrollTop", m_textArea["scrollHeight"]);
    if (m_appendListener && text.size() > before.size() && text.starts_with(before)) {
        m_appendListener(text.substr(before.size()));
    }
}

void HtmlTextBox::show()
{
    // A text area keeps LF alone (it would hand CR LF back as LF), so the exact text is kept
    // here and only its lines are shown.
    std::string shown;
    shown.reserve(m_text.size());
    for (std::size_t i = 0; i < m_text.size(); ++i) {
        if (m_text[i] == '\r') {
            shown += '\n';
            if (i + 1 < m_text.size() && m_text[i + 1] == '\n') {
                ++i;
            }
        } else {
            shown += m_text[i];
        }
    }
    m_textArea.set("value", pageText(shown));
}

} // namespace tarvona
