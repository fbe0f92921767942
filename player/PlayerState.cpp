#include "player/PlayerState.h"

#include "platform/text/PathSplit.h"

void PlayerState::AddToHistory(QString path)
{
    if (path.isEmpty())
        return;
    const int n = qMin<int>(m_historyList.size(), kHistoryMax);
    bool removed = false;
    for (int i = 0; i < n; ++i) {
        if (text::SamePath(path, m_historyList.at(i))) {
            m_historyList.removeAt(i);
            removed = true;
            break;
        }
    }
    if (!removed && n == kHistoryMax)
        m_historyList.removeLast();
    m_historyList.prepend(path);
}
