#include "HtmlControls.h"

#include <algorithm>
#include <cstddef>
#include <string_view>
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

namespace {

// Rows the list shows at a time (its height over a row's); Page Up and Page Down move by one
// less, so that the row the cursor leaves stays in view.
constexpr int RowsInView = 5;
// Letters typed within this time of each other find a row together.
constexpr double TypeAheadMilliseconds = 1000;

// The bytes of the UTF-8 sequence that starts with this byte (1 for a byte that starts none).
std::size_t sequenceLength(char first)
{
    const auto byte = static_cast<unsigned char>(first);
    if (byte >= 0xf0 && byte < 0xf8) {
        return 4;
    }
    if (byte >= 0xe0) {
        return byte < 0xf0 ? 3 : 1;
    }
    return byte >= 0xc0 ? 2 : 1;
}

// The text with its capitals made small, so that typed letters find titles whatever their
// case: Latin and Cyrillic letters, in UTF-8; everything else stays as it is.
std::string folded(std::string_view text)
{
    std::string small(text);
    for (std::size_t i = 0; i < small.size(); ++i) {
        const auto byte = static_cast<unsigned char>(small[i]);
        if (byte >= 'A' && byte <= 'Z') {
            small[i] = static_cast<char>(byte + 0x20);
        } else if (byte == 0xd0 && i + 1 < small.size()) {
            // U+0400 to U+042F: the capitals, whose small letters are U+0430 to U+045F.
            const auto next = static_cast<unsigned char>(small[i + 1]);
            if (next >= 0x90 && next <= 0x9f) {
                small[i + 1] = static_cast<char>(next + 0x20);
            } else if (next >= 0xa0 && next <= 0xaf) {
                small[i] = static_cast<char>(0xd1);
                small[i + 1] = static_cast<char>(next - 0x20);
            } else if (next >= 0x80 && next <= 0x8f) {
                small[i] = static_cast<char>(0xd1);
                small[i + 1] = static_cast<char>(next + 0x10);
            }
            ++i;
        }
    }
    return small;
}

void setAttribute(const val &element, const char *name, const val &value)
{
    element.call<void>("setAttribute", val(name), value);
}

} // namespace

HtmlChoiceList::HtmlChoiceList(val listBox, std::vector<std::string> shown)
    : m_listBox(std::move(listBox)), m_document(val::global("document")), m_rows(shown), m_leaving(val::undefined())
{
    // The page was made showing these rows, each saying its place, the first with the cursor.
    // Their elements are taken from the page only when first needed, not while the form starts.
    const int count = static_cast<int>(shown.size());
    for (int i = 0; i < count; ++i) {
        m_shown.push_back({.element = val::undefined(),
            .text = std::move(shown[static_cast<std::size_t>(i)]),
            .place = i + 1,
            .count = count,
            .selected = false,
            .cursor = i == 0});
    }
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
    m_rebuilt = true;
    m_typed.clear();
    reportIfChanged();
}

void HtmlChoiceList::AddItem(const std::string &text)
{
    m_rows.push_back(text);
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
    reportIfChanged();
}

void HtmlChoiceList::userClicked(const val &target)
{
    adoptShownElements();
    const val row = target.call<val>("closest", val("[role=option]"));
    for (std::size_t i = 0; i < m_shown.size(); ++i) {
        if (m_shown[i].element == row) {
            pickByUser(static_cast<int>(i));
            return;
        }
    }
}

void HtmlChoiceList::focusEntered(const val &target)
{
    adoptShownElements();
    if (target == m_listBox) {
        // A click on the list's empty part: the focus goes on to the cursor's row.
        if (ListCount() > 0) {
            focusCursor();
        }
        return;
    }
    // A row that takes the focus (pressed on with the mouse) takes the cursor with it, so that
    // the keys move on from the row the pupil sees marked.
    for (std::size_t i = 0; i < m_shown.size(); ++i) {
        if (m_shown[i].element == target && static_cast<int>(i) != cursor()) {
            m_cursor = static_cast<int>(i);
            show();
            return;
        }
    }
}

bool HtmlChoiceList::userPressedKey(const std::string &key, double time)
{
    const int count = ListCount();
    if (count == 0) {
        return false;
    }
    m_keepInView = true;
    // The keys of a single-select list box: each moves the cursor and picks the row it lands on.
    const int page = RowsInView - 1;
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
        m_typed.clear();
        pickByUser(cursor());
        return true;
    } else {
        return typeAhead(key, time);
    }
    m_typed.clear();
    // A key that cannot move the cursor (Up on the first row, End on the last) picks nothing.
    row = std::clamp(row, 0, count - 1);
    if (row != cursor()) {
        pickByUser(row);
    }
    return true;
}

bool HtmlChoiceList::typeAhead(const std::string &key, double time)
{
    // A key's value is its character, or a name ("Tab", "Shift") for a key that types none.
    if (key.empty() || sequenceLength(key.front()) != key.size() || static_cast<unsigned char>(key.front()) < ' ') {
        return false;
    }
    if (time - m_typedAt >= TypeAheadMilliseconds) {
        m_typed.clear();
    }
    m_typedAt = time;
    const std::string letter = folded(key);
    m_typed += letter;
    // The same letter again goes on to the next title that starts with it; letters that spell
    // more of a title find the first from the cursor on that starts so.
    bool repeated = true;
    for (std::size_t at = 0; at < m_typed.size(); at += letter.size()) {
        repeated = repeated && m_typed.compare(at, letter.size(), letter) == 0;
    }
    const std::string_view sought = repeated ? std::string_view(letter) : std::string_view(m_typed);
    const int count = ListCount();
    const int from = repeated ? cursor() + 1 : cursor();
    for (int k = 0; k < count; ++k) {
        const int row = (from + k) % count;
        if (folded(m_rows[static_cast<std::size_t>(row)]).starts_with(sought)) {
            if (row != cursor()) {
                pickByUser(row);
            }
            break;
        }
    }
    return true;
}

int HtmlChoiceList::cursor() const
{
    return ListCount() == 0 ? -1 : std::min(m_cursor, ListCount() - 1);
}

void HtmlChoiceList::show()
{
    // A list built anew shows its first rows; one built again as it was (the drill's start, over
    // the page's first state) is left as it is, unlaid out.
    if (showRows() && m_rebuilt) {
        m_listBox.set("scrollTop", 0);
    }
    m_rebuilt = false;
    const int count = ListCount();
    const int cursorRow = cursor();
    // The rows the page was made with are taken from it at their first change.
    const auto write = [this](const ShownRow &row, const char *name, const val &value) {
        adoptShownElements();
        setAttribute(row.element, name, value);
    };
    for (int i = 0; i < count; ++i) {
        ShownRow &row = m_shown[static_cast<std::size_t>(i)];
        const bool added = row.place == 0;
        if (row.place != i + 1) {
            row.place = i + 1;
            write(row, "aria-posinset", val(row.place));
        }
        if (row.count != count) {
            row.count = count;
            write(row, "aria-setsize", val(count));
        }
        // Every row says whether it is selected: a browser takes a focused row that says
        // nothing for the selected one.
        if (const bool selected = i == m_selected; added || row.selected != selected) {
            row.selected = selected;
            write(row, "aria-selected", val(selected ? "true" : "false"));
        }
        // The cursor's row is the list's one stop in the Tab order.
        if (const bool isCursor = i == cursorRow; added || row.cursor != isCursor) {
            row.cursor = isCursor;
            write(row, "tabindex", val(isCursor ? "0" : "-1"));
        }
    }
    // An empty list still takes the focus, itself.
    if (m_shownEmpty != (count == 0)) {
        m_shownEmpty = count == 0;
        setAttribute(m_listBox, "tabindex", val(m_shownEmpty ? "0" : "-1"));
    }
    // The cursor's row is kept in view while the pupil works in the list.
    if (cursorRow != -1 && (cursorRow != m_shownCursor || m_keepInView) && hasFocus()) {
        const val element = m_shown[static_cast<std::size_t>(cursorRow)].element;
        const auto top = element["offsetTop"].as<double>();
        const auto bottom = top + element["offsetHeight"].as<double>();
        const auto scrolled = m_listBox["scrollTop"].as<double>();
        const auto height = m_listBox["clientHeight"].as<double>();
        if (top < scrolled) {
            m_listBox.set("scrollTop", top);
        } else if (bottom > scrolled + height) {
            m_listBox.set("scrollTop", bottom - height);
        }
    }
    m_shownCursor = cursorRow;
    m_keepInView = false;
}

bool HtmlChoiceList::showRows()
{
    const std::size_t count = m_rows.size();
    const std::size_t shownCount = m_shown.size();
    std::size_t same = 0; // rows at the start that are shown already
    while (same < count && same < shownCount && m_shown[same].text == m_rows[same]) {
        ++same;
    }
    if (same == count && same == shownCount) {
        return false;
    }
    adoptShownElements();
    std::size_t sameAtEnd = 0;
    while (sameAtEnd < count - same && sameAtEnd < shownCount - same
        && m_shown[shownCount - 1 - sameAtEnd].text == m_rows[count - 1 - sameAtEnd]) {
        ++sameAtEnd;
    }
    const val focused = m_document["activeElement"];
    for (std::size_t i = same; i < shownCount - sameAtEnd; ++i) {
        const val &element = m_shown[i].element;
        if (element == focused) {
            // The row under the focus stays until the focus moves on (focusCursor), taking no
            // room: a focus that fell back to the document would be heard, and lose the keys.
            if (!m_leaving.isUndefined()) {
                m_leaving.call<void>("remove");
            }
            m_leaving = element;
            setAttribute(m_leaving, "class", val("leaving"));
            // No longer the list's stop in the Tab order, nor marked as its cursor.
            setAttribute(m_leaving, "tabindex", val("-1"));
        } else {
            element.call<void>("remove");
        }
    }
    const val before = sameAtEnd > 0 ? m_shown[shownCount - sameAtEnd].element : val::null();
    std::vector<ShownRow> added;
    for (std::size_t i = same; i < count - sameAtEnd; ++i) {
        val element = m_document.call<val>("createElement", val("div"));
        setAttribute(element, "role", val("option"));
        element.set("textContent", pageText(m_rows[i]));
        m_listBox.call<void>("insertBefore", element, before);
        added.push_back({.element = element, .text = m_rows[i]});
    }
    const auto at = m_shown.begin() + static_cast<std::ptrdiff_t>(same);
    m_shown.erase(at, m_shown.end() - static_cast<std::ptrdiff_t>(sameAtEnd));
    m_shown.insert(m_shown.begin() + static_cast<std::ptrdiff_t>(same), added.begin(), added.end());
    return true;
}

bool HtmlChoiceList::hasFocus() const
{
    return m_listBox.call<bool>("contains", m_document["activeElement"]);
}

void HtmlChoiceList::adoptShownElements()
{
    if (!m_adopted) {
        m_adopted = true;
        const val children = m_listBox["children"];
        for (std::size_t i = 0; i < m_shown.size(); ++i) {
            m_shown[i].element = children[i];
        }
    }
}

val HtmlChoiceList::cursorElement()
{
    adoptShownElements();
    const int row = cursor();
    return row == -1 ? m_listBox : m_shown[static_cast<std::size_t>(row)].element;
}

bool HtmlChoiceList::focusIsBehind()
{
    return hasFocus() && !(m_document["activeElement"] == cursorElement());
}

void HtmlChoiceList::focusCursor()
{
    if (focusIsBehind()) {
        val options = val::object();
        options.set("preventScroll", true);
        cursorElement().call<void>("focus", options);
    }
    dropLeavingRow();
}

void HtmlChoiceList::dropLeavingRow()
{
    if (!m_leaving.isUndefined()) {
        m_leaving.call<void>("remove");
        m_leaving = val::undefined();
    }
}

void HtmlChoiceList::pickByUser(int row)
{
    m_cursor = row;
    if (m_selected == row) {
        // Already selected: a key that lands on the selected row changes nothing.
        return;
    }
    m_selected = row;
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

std::string HtmlTextBox::Text() const
{
    return m_text;
}

void HtmlTextBox::SetText(const std::string &text)
{
    m_text = text;
    show();
    m_textArea.set("scrollTop", m_textArea["scrollHeight"]);
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
