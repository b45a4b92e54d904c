#pragma once

#include "Controls.h"

#include <functional>
#include <string>
#include <vector>

namespace tarvona {

/// A choice list held in memory. Every change of its selection, whether made by the user
/// or by the program, is reported to the click listener while the change is under way,
/// so a listener that itself changes the list runs nested inside the outer operation.
class MemoryList : public ChoiceList
{
public:
    /// Sets the function called after each change of the selection (none by default).
    void setClickListener(std::function<void()> listener);

    void Clear() override;
    void AddItem(const std::string &text) override;
    [[nodiscard]] int ListCount() const override;
    [[nodiscard]] std::string List(int i) const override;
    [[nodiscard]] int ListIndex() const override;
    void SetListIndex(int i) override;
    void RemoveItem(int i) override;

    /// All rows in order.
    [[nodiscard]] const std::vector<std::string> &rows() const { return m_rows; }

private:
    void changeSelection(int i);

    std::vector<std::string> m_rows;
    int m_selected = -1;
    std::function<void()> m_clickListener;
};

/// A group of mutually exclusive author choices held in memory.
class MemoryChoiceGroup
{
public:
    /// Makes one choice per caption, none selected.
    explicit MemoryChoiceGroup(const std::vector<std::string> &captions);
    // The choices point back at their group, so the group stays where it was made.
    MemoryChoiceGroup(const MemoryChoiceGroup &) = delete;
    MemoryChoiceGroup &operator=(const MemoryChoiceGroup &) = delete;
    MemoryChoiceGroup(MemoryChoiceGroup &&) = delete;
    MemoryChoiceGroup &operator=(MemoryChoiceGroup &&) = delete;
    ~MemoryChoiceGroup() = default;

    /// Sets the function called with a choice's index when the user makes it the selected one.
    void setClickListener(std::function<void(int)> listener);

    /// The user picks choice i: it becomes the selected one, the others are deselected, and
    /// the click is reported unless it already was selected; throws std::out_of_range for a bad i.
    void userClick(int i);

    /// Number of choices.
    [[nodiscard]] int count() const;
    /// Choice i; throws std::out_of_range for a bad i.
    [[nodiscard]] AuthorChoice &choice(int i);
    /// Index of the selected choice, or -1 when none is.
    [[nodiscard]] int selected() const;

private:
    class Choice : public AuthorChoice
    {
    public:
        Choice(MemoryChoiceGroup &group, int index, std::string caption);
        [[nodiscard]] std::string Caption() const override;
        [[nodiscard]] bool Value() const override;
        void SetValue(bool value) override;

    private:
        MemoryChoiceGroup &m_group;
        int m_index;
        std::string m_caption;
    };

    std::vector<Choice> m_choices;
    int m_selected = -1;
    std::function<void(int)> m_clickListener;
};

/// A text box held in memory; it keeps exactly the text last written.
class MemoryTextBox : public TextBox
{
public:
    /// Starts out holding the given text.
    explicit MemoryTextBox(std::string text = {});

    [[nodiscard]] std::string Text() const override;
    void SetText(const std::string &text) override;

private:
    std::string m_text;
};

} // namespace tarvona
