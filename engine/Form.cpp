#include "Form.h"

#include "Bank.h"

#include <exception>
#include <stdexcept>
#include <utility>

namespace tarvona {

std::string RestartMessage(const std::string &log, int works)
{
    return log + ". Всички " + std::to_string(works) + " произведения са отново в списъка.";
}

std::string ErrorMessage(std::string_view reason)
{
    return "Грешка: " + std::string(reason);
}

Form::Form(ChoiceList &workList, std::vector<AuthorChoice *> authors, TextBox &log, FormVoice &voice)
    : m_workList(workList),
      m_voice(voice),
      m_watchedLog(log, *this),
      m_drill(controlsOf(workList, m_hiddenLists, std::move(authors), m_watchedLog))
{
    // The master lists are part of the form's design, filled before any event runs.
    LoadBank(m_hiddenLists[1], m_hiddenLists[2]);
    // The key list and the master lists are the drill's working memory, never shown: they
    // can never take the focus or reach a screen reader. A change of their selection is an
    // event all the same, which the drill passes over.
    for (std::size_t i = 0; i < m_hiddenLists.size(); ++i) {
        const int index = static_cast<int>(i + 1);
        m_hiddenLists[i].setClickListener([this, index] { run([this, index] { m_drill.List1_Click(index); }); });
    }
}

void Form::load()
{
    run([this] { m_drill.Form_Load(); });
}

void Form::workListClicked()
{
    // The program's own changes to the list during a pick (the answered row's removal, the
    // highlight taken away) are reported as clicks too: they run nested, and the drill finds
    // nothing in them to answer.
    if (m_pickingWork) {
        run([this] { m_drill.List1_Click(0); });
        return;
    }
    // A pick with no author chosen is refused and leaves no trace on the screen but a
    // highlight that vanishes; a pupil who cannot see that is told why.
    const bool refused = !m_drill.AuthorChosen().value_or(false) && m_workList.ListIndex() != -1;
    m_answered = false;
    m_verdict.clear();
    {
        // Over, whatever way the pick ends.
        struct Picking
        {
            bool &flag;
            ~Picking() { flag = false; }
        };
        m_pickingWork = true;
        const Picking picking {.flag = m_pickingWork};
        run([this] { m_drill.List1_Click(0); });
    }
    // The message comes first, the row the cursor is on after it: a screen reader told the
    // row first would take it for the pupil's next step and the message for an afterthought.
    if (refused) {
        m_voice.tellThenRow(std::string(texts::ChooseAuthorFirst), false);
    } else if (m_answered) {
        m_voice.tellThenRow(std::exchange(m_verdict, {}), true);
    }
}

void Form::authorClicked(int i)
{
    run([this, i] { m_drill.Option1_Click(i); });
}

void Form::restartClicked()
{
    run([this] { m_drill.Command1_Click(0); });
    m_voice.tell(RestartMessage(m_watchedLog.Text(), m_workList.ListCount()));
}

ChoiceList &Form::list(int i)
{
    if (i == 0) {
        return m_workList;
    }
    return hiddenList(i);
}

MemoryList &Form::hiddenList(int i)
{
    if (i < 1 || i > static_cast<int>(m_hiddenLists.size())) {
        throw std::out_of_range("the form has no hidden list " + std::to_string(i));
    }
    return m_hiddenLists[static_cast<std::size_t>(i - 1)];
}

FormControls Form::controlsOf(
    ChoiceList &workList, std::array<MemoryList, 3> &hidden, std::vector<AuthorChoice *> authors, TextBox &log)
{
    FormControls controls;
    controls.List1.push_back(&workList);
    for (MemoryList &list : hidden) {
        controls.List1.push_back(&list);
    }
    controls.Option1 = std::move(authors);
    controls.Text1 = &log;
    return controls;
}

void Form::logged(const std::string &added)
{
    // What a pick adds to the log is its verdict, after a line break of its own.
    if (!m_pickingWork) {
        return;
    }
    std::string verdict = added;
    std::erase_if(verdict, [](char c) { return c == '\r' || c == '\n'; });
    if (verdict.empty()) {
        return;
    }
    m_answered = true;
    // Where a screen reader would hear the list's move to the next row ahead of a verdict
    // told after it, the verdict goes now, while the answered work is still in the list.
    if (m_voice.tellsVerdictAtOnce()) {
        m_voice.tell(verdict);
    } else {
        m_verdict = std::move(verdict);
    }
}

template<typename Event> void Form::run(Event &&event)
{
    // An event that fails is reported and abandoned; nothing may be thrown back through the
    // toolkit's event delivery, and the form goes on with the next event.
    try {
        event();
    } catch (const std::exception &error) {
        m_voice.showError(error.what());
    }
}

std::string Form::WatchedLog::Text() const
{
    return m_box.Text();
}

void Form::WatchedLog::SetText(const std::string &text)
{
    const std::string before = m_box.Text();
    m_box.SetText(text);
    if (text.size() > before.size() && text.starts_with(before)) {
        m_form.logged(text.substr(before.size()));
    }
}

} // namespace tarvona
