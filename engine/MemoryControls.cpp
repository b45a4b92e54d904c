#include "MemoryControls.h"

#include <stdexcept>
#include <utility>

namespace tarvona {

void MemoryList::setClickListener(std::function<void()> listener)
{
    m_clickListener = std::move(listener);
}

void MemoryList::Clear()
{
    m_rows.clear();
    changeSelection(-1);
}

void MemoryList::AddItem(const std::string &text)
{
    m_rows.push_back(text);
}

int MemoryList::ListCount() const
{
    return static_cast<int>(m_rows.size());
}

std::string MemoryList::List(int i) const
{
    checkRow(i, "List");
    return m_rows[static_cast<std::size_t>(i)];
}

int MemoryList::ListIndex() const
{
    return m_selected;
}

void MemoryList::SetListIndex(int i)
{
    if (i != -1) {
        checkRow(i, "ListIndex");
    }
    changeSelection(i);
}

void MemoryList::RemoveItem(int i)
{
    checkRow(i, "RemoveItem");
    m_rows.erase(m_rows.begin() + i);
    if (m_selected == i) {
        // The selected row is gone, and with it the selection.
        changeSelection(-1);
    } else if (m_selected > i) {
        // The same row stays selected one place higher up; as the selection itself did
        // not change, nothing is reported.
        --m_selected;
    }
}

void MemoryList::changeSelection(int i)
{
    if (m_selected == i) {
        return;
    }
    m_selected = i;
    if (m_clickListener) {
        m_clickListener();
    }
}

MemoryChoiceGroup::MemoryChoiceGroup(const std::vector<std::string> &captions)
{
    m_choices.reserve(captions.size());
    for (std::size_t i = 0; i < captions.size(); ++i) {
        m_choices.emplace_back(*this, static_cast<int>(i), captions[i]);
    }
}

void MemoryChoiceGroup::setClickListener(std::function<void(int)> listener)
{
    m_clickListener = std::move(listener);
}

void MemoryChoiceGroup::userClick(int i)
{
    (void)choice(i); // validates i before anything changes
    if (m_selected == i) {
        return;
    }
    m_selected = i;
    if (m_clickListener) {
        m_clickListener(i);
    }
}

int MemoryChoiceGroup::count() const
{
    return static_cast<int>(m_choices.size());
}

AuthorChoice &MemoryChoiceGroup::choice(int i)
{
    if (i < 0 || i >= count()) {
        throw std::out_of_range(
            "author choice " + std::to_string(i) + " is outside a group of " + std::to_string(count()));
    }
    return m_choices[static_cast<std::size_t>(i)];
}

int MemoryChoiceGroup::selected() const
{
    return m_selected;
}

MemoryChoiceGroup::Choice::Choice(MemoryChoiceGroup &group, int index, std::string caption)
    : m_group(group), m_index(index), m_caption(std::move(caption))
{
}

std::string MemoryChoiceGroup::Choice::Caption() const
{
    return m_caption;
}

bool MemoryChoiceGroup::Choice::Value() const
{
    return m_group.m_selected == m_index;
}

void MemoryChoiceGroup::Choice::SetValue(bool value)
{
    // Written by the program, so never reported as a click.
    if (value) {
        m_group.m_selected = m_index;
    } else if (m_group.m_selected == m_index) {
        m_group.m_selected = -1;
    }
}

MemoryTextBox::MemoryTextBox(std::string text) : m_text(std::move(text)) { }

std::string MemoryTextBox::Text() const
{
    return m_text;
}

void MemoryTextBox::SetText(const std::string &text)
{
    m_text = text;
}

} // namespace tarvona
