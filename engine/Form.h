#pragma once

#include "Drill.h"
#include "MemoryControls.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace tarvona {

/// The texts the form tells a pupil beside the log.
namespace texts {
inline constexpr std::string_view ChooseAuthorFirst = "Първо изберете автор.";
} // namespace texts

/// What the form tells after a restart: the log's new line and that every work is back.
std::string RestartMessage(const std::string &log, int works);
/// What the form shows when an event failed for the given reason.
std::string ErrorMessage(std::string_view reason);

/// How a front end hands the form's messages to a pupil: to a screen reader, and a failure to
/// the screen. The form decides what is told and in which order; the front end, how.
class FormVoice
{
public:
    FormVoice() = default;
    FormVoice(const FormVoice &) = delete;
    FormVoice &operator=(const FormVoice &) = delete;
    FormVoice(FormVoice &&) = delete;
    FormVoice &operator=(FormVoice &&) = delete;
    virtual ~FormVoice() = default;

    /// Whether a verdict is to be told the moment it is written, before the answered work
    /// leaves the list, rather than with the end of the pick.
    [[nodiscard]] virtual bool tellsVerdictAtOnce() const = 0;
    /// Tells a message: a verdict told at once, or a restart's.
    virtual void tell(const std::string &message) = 0;
    /// A pick of a work is over: tells its message (its verdict or hint; empty when the verdict
    /// was told at once), then the row the work list's cursor is on. Answered tells whether the
    /// pick was answered, which took the cursor's row away, or refused.
    virtual void tellThenRow(const std::string &message, bool answered) = 0;
    /// Shows the pupil that an event failed for the given reason and was abandoned
    /// (ErrorMessage gives the words).
    virtual void showError(const std::string &reason) = 0;
};

/// The form Tarvona without its toolkit: the shown controls a front end gives it, the hidden
/// key and master lists with the bank, the drill, the routing of the form's four events into
/// it, and what a pupil is told of each. An event that fails is reported and abandoned, and
/// the form goes on with the next one.
class Form
{
public:
    /// Works on the front end's work list, author choices (index 0 first) and log box, telling
    /// through voice; throws std::invalid_argument when a control is missing.
    Form(ChoiceList &workList, std::vector<AuthorChoice *> authors, TextBox &log, FormVoice &voice);
    Form(const Form &) = delete;
    Form &operator=(const Form &) = delete;
    Form(Form &&) = delete;
    Form &operator=(Form &&) = delete;
    ~Form() = default;

    /// The form's load event: the drill starts.
    void load();
    /// The work list reported a change of its selection, the pupil's or the program's own.
    void workListClicked();
    /// The pupil made author i the selected one.
    void authorClicked(int i);
    /// The restart button was pressed.
    void restartClicked();

    /// List i of the form: 0 the work list, 1 the key list, 2 and 3 the master lists; throws
    /// std::out_of_range for any other i.
    [[nodiscard]] ChoiceList &list(int i);
    /// Hidden list i (1 the key list, 2 and 3 the master lists); throws std::out_of_range otherwise.
    [[nodiscard]] MemoryList &hiddenList(int i);
    /// The drill.
    [[nodiscard]] Drill &drill() { return m_drill; }

private:
    // The log box as the drill writes it: what a write adds at its end is seen here.
    class WatchedLog : public TextBox
    {
    public:
        WatchedLog(TextBox &box, Form &form) : m_box(box), m_form(form) { }
        [[nodiscard]] std::string Text() const override;
        void SetText(const std::string &text) override;

    private:
        TextBox &m_box;
        Form &m_form;
    };

    static FormControls controlsOf(
        ChoiceList &workList, std::array<MemoryList, 3> &hidden, std::vector<AuthorChoice *> authors, TextBox &log);
    void logged(const std::string &added);
    template<typename Event> void run(Event &&event);

    ChoiceList &m_workList;
    FormVoice &m_voice;
    std::array<MemoryList, 3> m_hiddenLists;
    WatchedLog m_watchedLog;
    Drill m_drill;
    bool m_pickingWork = false; // a pick of a work is running
    bool m_answered = false;    // and the drill has written its verdict
    std::string m_verdict;      // which is told when the pick is over, unless told at once
};

} // namespace tarvona
