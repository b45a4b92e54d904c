#include "Drill.h"

#include "KeyOf.h"

#include <stdexcept>
#include <utility>

namespace tarvona {

namespace {

constexpr int WorkList = 0;
constexpr int KeyList = 1;
constexpr int MasterWorkList = 2;
constexpr int MasterKeyList = 3;
constexpr int ListCountNeeded = 4;

} // namespace

Drill::Drill(FormControls controls) : m_controls(std::move(controls))
{
    bool complete = m_controls.List1.size() == ListCountNeeded && m_controls.Text1 != nullptr;
    for (const ChoiceList *list : m_controls.List1) {
        complete = complete && list != nullptr;
    }
    for (const AuthorChoice *choice : m_controls.Option1) {
        complete = complete && choice != nullptr;
    }
    if (!complete) {
        throw std::invalid_argument("the drill needs four lists, its author choices and a log box");
    }
}

void Drill::Form_Load()
{
    m_lastAuthorIndex = 4;
    ResetQuiz();
}

void Drill::Command1_Click(int /*index*/)
{
    ResetQuiz();
    m_controls.Text1->SetText(std::string(texts::NewRound));
}

void Drill::Option1_Click(int index)
{
    m_authorChosen = option(index).Value();
    if (*m_authorChosen) {
        m_chosenAuthor = static_cast<std::int16_t>(index);
    }
    if (!m_logCleared) {
        m_logCleared = true;
        m_controls.Text1->SetText({});
    }
}

void Drill::List1_Click(int index)
{
    // Only the work list takes answers; the hidden lists (and any index that names no
    // list at all) report nothing the drill acts on.
    if (index != WorkList) {
        return;
    }
    ChoiceList &works = workList();
    if (!m_authorChosen.value_or(false)) {
        // Refuse the pick and take its highlight away. If the list reports that as a click,
        // the nested pick finds the drill still idle and changes nothing further.
        works.SetListIndex(-1);
        return;
    }
    if (works.ListIndex() == -1) {
        return;
    }
    const int row = works.ListIndex();
    const std::int16_t key = KeyOf(keyList().List(row));
    const std::int16_t author = m_chosenAuthor.value_or(-1);

    appendToLog(texts::LineBreak);
    const std::string_view verdict = author == key ? texts::Right : texts::Wrong;
    std::string line(verdict);
    line += option(author).Caption();
    line += texts::Separator;
    line += works.List(row);
    line += texts::LineBreak;
    appendToLog(line);

    // The drill goes idle before it touches the list: removing the selected row and clearing
    // the selection may each be reported as a click, and those nested picks must find
    // nothing to answer.
    m_authorChosen = false;
    option(author).SetValue(false);
    works.RemoveItem(row);
    keyList().RemoveItem(row);
    works.SetListIndex(-1);
}

void Drill::ResetQuiz()
{
    m_authorChosen = false;
    m_logCleared = false;

    ChoiceList &works = workList();
    ChoiceList &keys = keyList();
    ChoiceList &masterWorks = *m_controls.List1[MasterWorkList];
    ChoiceList &masterKeys = *m_controls.List1[MasterKeyList];
    works.Clear();
    keys.Clear();
    // The count comes from the master work list; the master key list is read at the same row.
    const int count = masterWorks.ListCount();
    for (int i = 0; i < count; ++i) {
        works.AddItem(masterWorks.List(i));
        keys.AddItem(masterKeys.List(i));
    }

    for (int i = 0; i <= m_lastAuthorIndex; ++i) {
        option(i).SetValue(false);
    }
    m_chosenAuthor = -1;
}

ChoiceList &Drill::workList() const
{
    return *m_controls.List1[WorkList];
}

ChoiceList &Drill::keyList() const
{
    return *m_controls.List1[KeyList];
}

AuthorChoice &Drill::option(int index) const
{
    if (index < 0 || static_cast<std::size_t>(index) >= m_controls.Option1.size()) {
        throw std::out_of_range("there is no author choice " + std::to_string(index));
    }
    return *m_controls.Option1[static_cast<std::size_t>(index)];
}

void Drill::appendToLog(std::string_view text) const
{
    // The log box is the log: read its current text back every time, so anything else
    // written there in between is kept.
    m_controls.Text1->SetText(m_controls.Text1->Text() + std::string(text));
}

} // namespace tarvona
