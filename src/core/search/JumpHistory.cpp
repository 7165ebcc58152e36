#include "search/JumpHistory.h"

void JumpHistory::recordJump(const JumpPlace &from)
{
    m_forward.clear();
    if (!m_back.empty() && m_back.back() == from)
        return;
    m_back.push_back(from);
    while (int(m_back.size()) > m_limit)
        m_back.pop_front();
}

std::optional<JumpPlace> JumpHistory::step(std::deque<JumpPlace> &from, std::deque<JumpPlace> &to,
                                           const JumpPlace &current)
{
    while (!from.empty() && from.back() == current)
        from.pop_back();
    if (from.empty())
        return std::nullopt;
    JumpPlace place = from.back();
    from.pop_back();
    if (to.empty() || !(to.back() == current))
        to.push_back(current);
    return place;
}

std::optional<JumpPlace> JumpHistory::back(const JumpPlace &current)
{
    return step(m_back, m_forward, current);
}

std::optional<JumpPlace> JumpHistory::forward(const JumpPlace &current)
{
    return step(m_forward, m_back, current);
}
