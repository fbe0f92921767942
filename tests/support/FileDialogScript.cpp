#include "tests/support/FileDialogScript.h"

namespace testsupport {

QStringList FileDialogScript::Show(QWidget*, const platform::FileDialogRequest& request)
{
    m_requests.push_back(request);
    if (m_answers.empty())
        return {};
    QStringList answer = std::move(m_answers.front());
    m_answers.pop_front();
    return answer;
}

}  // namespace testsupport
