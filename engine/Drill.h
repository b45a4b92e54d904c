#pragma once

#include "Controls.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvona {

/// The controls the drill works on, owned by the window (or by a test).
struct FormControls
{
    /// The work list, the key list, the master work list and the master key list, in that order.
    std::vector<ChoiceList *> List1;
    /// The author choices, index 0 first.
    std::vector<AuthorChoice *> Option1;
    /// The log box.
    TextBox *Text1 = nullptr;
};

/// The exact texts the drill writes into the log.
namespace texts {
inline constexpr std::string_view Right = "Вярно ";
inline constexpr std::string_view Wrong = "Невярно ";
inline constexpr std::string_view Separator = ":";
inline constexpr std::string_view NewRound = "Нов избор";
inline constexpr std::string_view LineBreak = "\r\n";
} // namespace texts

/// The matching drill: pick an author, then a work; each answer is graded and logged, and
/// the answered work leaves the list. Its operations are the window's event procedures.
class Drill
{
public:
    /// Works on the given controls; throws std::invalid_argument when any is missing.
    explicit Drill(FormControls controls);

    /// Start: sets the highest author index and resets the drill.
    void Form_Load();
    /// Restart: resets the drill and replaces the log with the new-round line.
    void Command1_Click(int index);
    /// Author pick: the user made choice index the selected author.
    void Option1_Click(int index);
    /// Work pick: list index reported a change of its selection; only the work list answers.
    void List1_Click(int index);
    /// Brings every work back, forgets the chosen author and deselects every author.
    void ResetQuiz();

    /// True while an author is picked and not yet used; empty before the first reset.
    [[nodiscard]] std::optional<bool> AuthorChosen() const { return m_authorChosen; }
    /// True once the log has been emptied since the last reset.
    [[nodiscard]] bool LogCleared() const { return m_logCleared; }
    /// Index of the author picked last, -1 after a reset; empty before the first reset.
    [[nodiscard]] std::optional<std::int16_t> ChosenAuthor() const { return m_chosenAuthor; }
    /// Highest author index.
    [[nodiscard]] std::int16_t LastAuthorIndex() const { return m_lastAuthorIndex; }

private:
    [[nodiscard]] ChoiceList &workList() const;
    [[nodiscard]] ChoiceList &keyList() const;
    [[nodiscard]] AuthorChoice &option(int index) const;
    void appendToLog(std::string_view text) const;

    FormControls m_controls;
    std::optional<bool> m_authorChosen;
    bool m_logCleared = false;
    std::optional<std::int16_t> m_chosenAuthor;
    std::int16_t m_lastAuthorIndex = 0;
};

} // namespace tarvona
