#pragma once

#include <string>

namespace tarvona {

/// An ordered, unsorted list of text rows with at most one selected row.
/// Row indices count from 0; a selection index of -1 means no row is selected.
class ChoiceList
{
public:
    virtual ~ChoiceList() = default;

    /// Removes every row (and with them the selection).
    virtual void Clear() = 0;
    /// Appends text as the new last row.
    virtual void AddItem(const std::string &text) = 0;
    /// Number of rows.
    [[nodiscard]] virtual int ListCount() const = 0;
    /// Text of row i; throws std::out_of_range when there is no such row.
    [[nodiscard]] virtual std::string List(int i) const = 0;
    /// Index of the selected row, or -1 when none is selected.
    [[nodiscard]] virtual int ListIndex() const = 0;
    /// Selects row i, or removes the selection for -1; throws std::out_of_range otherwise.
    virtual void SetListIndex(int i) = 0;
    /// Deletes row i, moving the rows after it up by one; throws std::out_of_range when there is no such row.
    virtual void RemoveItem(int i) = 0;

protected:
    /// Throws std::out_of_range, naming the operation, unless row i exists.
    void checkRow(int i, const char *operation) const;
};

/// One author in the exclusive group of author choices.
class AuthorChoice
{
public:
    virtual ~AuthorChoice() = default;

    /// The author's name.
    [[nodiscard]] virtual std::string Caption() const = 0;
    /// True when this choice is the selected one of its group.
    [[nodiscard]] virtual bool Value() const = 0;
    /// Selects or deselects this choice without reporting a click.
    virtual void SetValue(bool value) = 0;
};

/// A box of text that is read and replaced as a whole.
class TextBox
{
public:
    virtual ~TextBox() = default;

    /// The whole text, exactly as last written (line breaks included).
    [[nodiscard]] virtual std::string Text() const = 0;
    /// Replaces the whole text.
    virtual void SetText(const std::string &text) = 0;
};

} // namespace tarvona
