#include "tests/support/MessageBoxRecorder.h"

#include "platform/Services.h"

namespace testsupport {

int MessageBoxRecorder::Show(QWidget*, const QString& text, unsigned type)
{
    m_boxes.push_back({text, type});
    if (!m_answers.empty()) {
        const int answer = m_answers.front();
        m_answers.pop_front();
        return answer;
    }
    const unsigned buttons = type & 0x0F;
    return buttons == platform::MB_YESNO || buttons == platform::MB_YESNOCANCEL ? platform::IDYES
                                                                                : platform::IDOK;
}

QStringList MessageBoxRecorder::Texts() const
{
    QStringList texts;
    for (const Box& box : m_boxes)
        texts.append(box.text);
    return texts;
}

}  // namespace testsupport
