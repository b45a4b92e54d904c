#include "MemoryForm.h"

#include "Bank.h"

#include <stdexcept>
#include <utility>
#include <vector>

namespace tarvona {

namespace {

std::vector<std::string> authorCaptions()
{
    std::vector<std::string> captions;
    for (std::string_view name : AuthorNames()) {
        captions.emplace_back(name);
    }
    return captions;
}

} // namespace

MemoryForm::MemoryForm(std::string initialLog)
    : m_authors(authorCaptions()), m_log(std::move(initialLog)), m_drill(controlsOf(m_lists, m_authors, m_log))
{
    LoadBank(m_lists[2], m_lists[3]);
    for (int i = 0; i < static_cast<int>(m_lists.size()); ++i) {
        m_lists[static_cast<std::size_t>(i)].setClickListener([this, i] { m_drill.List1_Click(i); });
    }
    m_authors.setClickListener([this](int i) { m_drill.Option1_Click(i); });
    m_drill.Form_Load();
}

void MemoryForm::pickAuthor(int i)
{
    m_authors.userClick(i);
}

void MemoryForm::pickWork(int i)
{
    m_lists[0].SetListIndex(i);
}

void MemoryForm::restart()
{
    m_drill.Command1_Click(0);
}

MemoryList &MemoryForm::list(int i)
{
    if (i < 0 || i >= static_cast<int>(m_lists.size())) {
        throw std::out_of_range("the form has no list " + std::to_string(i));
    }
    return m_lists[static_cast<std::size_t>(i)];
}

FormControls MemoryForm::controlsOf(std::array<MemoryList, 4> &lists, MemoryChoiceGroup &authors, MemoryTextBox &log)
{
    FormControls controls;
    for (MemoryList &list : lists) {
        controls.List1.push_back(&list);
    }
    for (int i = 0; i < authors.count(); ++i) {
        controls.Option1.push_back(&authors.choice(i));
    }
    controls.Text1 = &log;
    return controls;
}

} // namespace tarvona
