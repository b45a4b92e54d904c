#pragma once

#include "Drill.h"
#include "MemoryControls.h"

#include <array>
#include <string>

namespace tarvona {

/// The whole form held in memory: the four lists with the bank in the master lists, the
/// five author choices, the log box and the drill, wired the way the window wires them.
/// Tests, fuzzers and benchmarks play the drill through it without any window.
class MemoryForm
{
public:
    /// Builds the form with the given initial log text and runs the start operation.
    explicit MemoryForm(std::string initialLog = {});
    MemoryForm(const MemoryForm &) = delete;
    MemoryForm &operator=(const MemoryForm &) = delete;
    MemoryForm(MemoryForm &&) = delete;
    MemoryForm &operator=(MemoryForm &&) = delete;
    ~MemoryForm() = default;

    /// The user picks author i.
    void pickAuthor(int i);
    /// The user selects row i of the work list (a change of its selection).
    void pickWork(int i);
    /// The user presses the restart button.
    void restart();

    /// List i of the form: 0 work list, 1 key list, 2 master works, 3 master keys.
    [[nodiscard]] MemoryList &list(int i);
    /// The author choices.
    [[nodiscard]] MemoryChoiceGroup &authors() { return m_authors; }
    /// The log box.
    [[nodiscard]] MemoryTextBox &log() { return m_log; }
    /// The drill.
    [[nodiscard]] Drill &drill() { return m_drill; }

private:
    static FormControls controlsOf(std::array<MemoryList, 4> &lists, MemoryChoiceGroup &authors, MemoryTextBox &log);

    std::array<MemoryList, 4> m_lists;
    MemoryChoiceGroup m_authors;
    MemoryTextBox m_log;
    Drill m_drill;
};

} // namespace tarvona
