#include "MemoryForm.h"

#include "Bank.h"

#include <utility>

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

std::vector<AuthorChoice *> choicesOf(MemoryChoiceGroup &group)
{
    std::vector<AuthorChoice *> choices;
    choices.reserve(static_cast<std::size_t>(group.count()));
    for (int i = 0; i < group.count(); ++i) {
        choices.push_back(&group.choice(i));
    }
    return choices;
}

} // namespace

MemoryFormControls::MemoryFormControls(std::string initialLog)
    : m_authors(authorCaptions()), m_log(std::move(initialLog))
{
}

MemoryForm::MemoryForm(std::string initialLog, FormVoice *voice)
    : MemoryFormControls(std::move(initialLog)),
      Form(m_works, choicesOf(m_authors), m_log, voice != nullptr ? *voice : static_cast<FormVoice &>(*this))
{
    m_works.setClickListener([this] { workListClicked(); });
    m_authors.setClickListener([this](int i) { authorClicked(i); });
    load();
}

void MemoryForm::pickAuthor(int i)
{
    m_authors.userClick(i);
}

void MemoryForm::pickWork(int i)
{
    m_works.SetListIndex(i);
}

void MemoryForm::restart()
{
    restartClicked();
}

MemoryList &MemoryForm::list(int i)
{
    if (i == 0) {
        return m_works;
    }
    return hiddenList(i);
}

void MemoryForm::tell(const std::string &message)
{
    m_told.push_back(message);
}

void MemoryForm::tellThenRow(const std::string &message, bool /*answered*/)
{
    if (!message.empty()) {
        m_told.push_back(message);
    }
    m_told.emplace_back("(row)");
}

void MemoryForm::showError(const std::string &reason)
{
    m_failures.push_back(ErrorMessage(reason));
}

} // namespace tarvona
