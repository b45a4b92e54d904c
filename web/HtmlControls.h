#pragma once

#include "Controls.h"

#include <emscripten/val.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tarvona {

/// The text as a string of the page's, read from its UTF-8 in one piece.
emscripten::val pageText(const std::string &text);

/// A choice list over an HTML list box (a `select` with a size). ListIndex is the box's
/// selection, and every change of it is reported to the click listener: the user's when the
/// box tells of it, and the program's own (writing ListIndex, removing the selected row,
/// clearing) before the operation that caused it returns, so a listener that changes the list
/// again runs nested. The box keeps a keyboard cursor of its own, which a pick that is answered
/// or refused leaves in place, as a desktop list does.
/// The rows and the selection are held here; the page shows them at once, or, while the list
/// holds back, once it catches up; a rebuild held back that ends as the box is shown already
/// (the page's first state, built again by the drill's start) is not shown again.
class HtmlChoiceList : public ChoiceList
{
public:
    /// Adapts the given `select` element, which shows the given rows, none selected.
    explicit HtmlChoiceList(emscripten::val select, std::vector<std::string> shown = {});

    /// Sets the function called after each change of the selection.
    void setClickListener(std::function<void()> listener);

    void Clear() override;
    void AddItem(const std::string &text) override;
    [[nodiscard]] int ListCount() const override;
    [[nodiscard]] std::string List(int i) const override;
    [[nodiscard]] int ListIndex() const override;
    void SetListIndex(int i) override;
    void RemoveItem(int i) override;

    /// The user changed the selection in the page (the box's change event).
    void userChangedSelection();
    /// The user pressed a key in the box; true when it moved the cursor or picked, and the
    /// browser must not handle it as well.
    bool userPressedKey(const std::string &key);
    /// Row of the keyboard cursor, or -1 when the box is empty.
    [[nodiscard]] int cursor() const;

    /// From now on, changes reach the page only when the list catches up.
    void holdBack();
    /// Shows every change held back, and from now on each at once; true when there was any.
    bool catchUp();
    /// True while changes are held back.
    [[nodiscard]] bool hasHeldBack() const { return !m_heldBack.empty(); }
    /// The adapted element.
    [[nodiscard]] const emscripten::val &element() const { return m_select; }

private:
    struct PageChange
    {
        enum class Kind : std::uint8_t { Clear, Add, Remove, Select };
        Kind kind;
        int row = 0;
        std::string text;
    };

    void pickByUser(int row);
    void reportIfChanged();
    void show(PageChange change);
    void apply(const PageChange &change);

    emscripten::val m_select;
    std::function<void()> m_clickListener;
    std::vector<std::string> m_rows;
    std::vector<std::string> m_shown; // the rows as the box shows them
    int m_selected = -1;              // the selection
    int m_reported = -1;              // the selection as last reported
    int m_cursor = 0;                 // the row a key moves on from
    bool m_holding = false;
    std::vector<PageChange> m_heldBack;
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

    /// Sets the function called with what a write added, when it only added to the end.
    void setAppendListener(std::function<void(const std::string &)> listener);

    [[nodiscard]] std::string Text() const override;
    void SetText(const std::string &text) override;

private:
    void show();

    emscripten::val m_textArea;
    std::string m_text;
    std::function<void(const std::string &)> m_appendListener;
};

} // namespace tarvona
