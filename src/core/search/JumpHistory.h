#pragma once

#include <QString>

#include <deque>
#include <optional>

// Where the caret stood in which document. The document is whatever key the
// window gives it: its file, or a name of its own for a tab without one.
struct JumpPlace
{
    QString document;
    int position = 0;

    friend bool operator==(const JumpPlace &, const JumpPlace &) = default;
};

// Back and forward through jumps (to a definition, a line, a problem, a
// match), across documents, as browsers and editors go back: a jump records
// where the caret stood, Back returns there and Forward goes again.
class JumpHistory
{
public:
    explicit JumpHistory(int limit = 100) : m_limit(limit) {}

    // Before a jump, with the place it leaves. A new jump ends the way forward.
    void recordJump(const JumpPlace &from);

    bool canGoBack() const { return !m_back.empty(); }
    bool canGoForward() const { return !m_forward.empty(); }

    // The place to go back (forward) to, given where the caret stands now,
    // which the other direction keeps; nothing when there is none. A place
    // that is where the caret stands is passed over.
    std::optional<JumpPlace> back(const JumpPlace &current);
    std::optional<JumpPlace> forward(const JumpPlace &current);

private:
    std::optional<JumpPlace> step(std::deque<JumpPlace> &from, std::deque<JumpPlace> &to, const JumpPlace &current);

    int m_limit;
    std::deque<JumpPlace> m_back;
    std::deque<JumpPlace> m_forward;
};
