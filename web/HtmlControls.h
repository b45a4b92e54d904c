#pragma once

#include "Controls.h"

#include <emscripten/val.h>

#include <functional>
#include <string>
#include <vector>

namespace tarvona {

/// The text as a string of the page's, read from its UTF-8 in one piece.
emscripten::val pageText(const std::string &text);

/// A choice list over the page's own list box: an element of role listbox whose children are
/// its rows, elements of role option. ListIndex is the selection, and every change of it is
/// reported to the click listener: the user's (a click, a tap, a key) and the program's own
/// (writing ListIndex, removing the selected row, clearing) before the operation that caused it
/// returns, so a listener that changes the list again runs nested.
/// The list has one cursor, the row a key moves on from and Space picks: while the list has
/// the focus, the page's focus is on that row (or on the list itself when it is empty), the row
/// is marked on the screen and kept in view. A pick that is answered or refused leaves the
/// cursor in its place, as a desktop list does.
/// The focus moves from row to row itself (a roving tabindex), rather than staying on the list
/// with aria-activedescendant naming the row: every screen reader announces a focus moved to
/// an element, where aria-activedescendant has had gaps (VoiceOver on iOS among them).
/// The rows, the selection and the cursor are held here; `show` brings the page up to date
/// with them, and `focusCursor` moves the focus after the cursor, which the page may do later.
class HtmlChoiceList : public ChoiceList
{
public:
    /// Adapts the given list box, whose children show the given rows, none selected, with the
    /// cursor on the first.
    explicit HtmlChoiceList(emscripten::val listBox, std::vector<std::string> shown = {});

    /// Sets the function called after each change of the selection.
    void setClickListener(std::function<void()> listener);

    void Clear() override;
    void AddItem(const std::string &text) override;
    [[nodiscard]] int ListCount() const override;
    [[nodiscard]] std::string List(int i) const override;
    [[nodiscard]] int ListIndex() const override;
    void SetListIndex(int i) override;
    void RemoveItem(int i) override;

    /// The user clicked or tapped in the list, on the given element.
    void userClicked(const emscripten::val &target);
    /// The page's focus entered the list, at the given element.
    void focusEntered(const emscripten::val &target);
    /// The user pressed a key in the list, at the given time in milliseconds; true when it
    /// moved the cursor or picked, or was typed to find a row, and the browser must not
    /// handle it as well.
    bool userPressedKey(const std::string &key, double time);
    /// Row of the cursor, or -1 when the list is empty.
    [[nodiscard]] int cursor() const;

    /// Shows the rows, the selection and the cursor as they are now.
    void show();
    /// True when the page's focus is in the list but not where the cursor is.
    [[nodiscard]] bool focusIsBehind();
    /// Moves the page's focus to the cursor, if the focus is in the list.
    void focusCursor();
    /// Takes away a row gone from the list that still held the focus, leaving the focus to go
    /// where the user points.
    void dropLeavingRow();
    /// The adapted element.
    [[nodiscard]] const emscripten::val &element() const { return m_listBox; }

private:
    // A row as the page shows it: its element and what the element says.
    struct ShownRow
    {
        emscripten::val element;
        std::string text;
        int place = 0; // aria-posinset; 0 before it was ever written
        int count = 0; // aria-setsize
        bool selected = false;
        bool cursor = false;
    };

    void pickByUser(int row);
    bool typeAhead(const std::string &key, double time);
    void reportIfChanged();
    bool showRows();
    [[nodiscard]] bool hasFocus() const;
    void adoptShownElements();
    [[nodiscard]] emscripten::val cursorElement();

    emscripten::val m_listBox;
    emscripten::val m_document;
    std::function<void()> m_clickListener;
    std::vector<std::string> m_rows;
    std::vector<ShownRow> m_shown;
    emscripten::val m_leaving; // a row gone from the list that holds the focus until it moves
    int m_selected = -1;       // the selection
    int m_reported = -1;       // the selection as last reported
    int m_cursor = 0;          // the row a key moves on from
    int m_shownCursor = 0;     // the cursor as last kept in view
    bool m_shownEmpty = false; // the list box itself takes the focus
    bool m_rebuilt = false;    // cleared since last shown
    bool m_adopted = false;    // the shown rows' elements have been taken from the page
    bool m_keepInView = false; // the user moved in the list: its cursor is brought into view
    std::string m_typed;       // the letters typed to find a row, small
    double m_typedAt = 0;      // when the last of them was typed
};

/// An author choice over a radio button of a group. Writing Value never reports a click, and
/// writing it false really deselects the button, leaving the group with none selected.
class HtmlAuthorChoice : public AuthorChoice
{
public:
    /// Adapts the given radio `input` and the caption shown beside it.
    HtmlAuthorChoice(emscripten::val radio, std::string caption);

    [[nodiscard]] std::string Caption() const override;
    [[nodiscard]] bool Value() const override;
    void SetValue(bool value) override;

private:
    emscripten::val m_radio;
    std::string m_caption;
};

/// A log box over a read-only `textarea`. It gives back exactly the text last written, CR LF
/// line breaks included (the element itself keeps only LF), and keeps the newest line in view.
class HtmlTextBox : public TextBox
{
public:
    /// Adapts the given element, which shows the given text already (the page is made with it).
    HtmlTextBox(emscripten::val textArea, std::string text);

    [[nodiscard]] std::string Text() const override;
    void SetText(const std::string &text) override;

private:
    void show();

    emscripten::val m_textArea;
    std::string m_text;
};

} // namespace tarvona
