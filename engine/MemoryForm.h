#pragma once

#include "Form.h"
#include "MemoryControls.h"

#include <string>
#include <vector>

namespace tarvona {

/// The shown controls of a form held in memory: the work list, the five author choices and the
/// log box. A base of MemoryForm, so that they are made before the form that works on them.
class MemoryFormControls
{
protected:
    explicit MemoryFormControls(std::string initialLog);

    MemoryList m_works;
    MemoryChoiceGroup m_authors;
    MemoryTextBox m_log;
};

/// The form over controls held in memory, played as a pupil plays the window's: tests, fuzzers
/// and benchmarks drive the drill through it without any window. What the form tells is kept,
/// in order, unless another voice is given.
class MemoryForm : private MemoryFormControls, private FormVoice, public Form
{
public:
    /// Builds the form with the given initial log text, telling through voice (or keeping what
    /// is told) and runs its load event.
    explicit MemoryForm(std::string initialLog = {}, FormVoice *voice = nullptr);
    MemoryForm(const MemoryForm &) = delete;
    MemoryForm &operator=(const MemoryForm &) = delete;
    MemoryForm(MemoryForm &&) = delete;
    MemoryForm &operator=(MemoryForm &&) = delete;
    ~MemoryForm() override = default;

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
    /// What the form told, in order, with "(row)" where the row the cursor is on follows.
    [[nodiscard]] const std::vector<std::string> &told() const { return m_told; }
    /// What was shown for each event that failed, in order.
    [[nodiscard]] const std::vector<std::string> &failures() const { return m_failures; }

private:
    [[nodiscard]] bool tellsVerdictAtOnce() const override { return false; }
    void tell(const std::string &message) override;
    void tellThenRow(const std::string &message, bool answered) override;
    void showError(const std::string &reason) override;

    std::vector<std::string> m_told;
    std::vector<std::string> m_failures;
};

} // namespace tarvona
