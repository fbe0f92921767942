#pragma once
// Message boxes without windows: records each box and answers from a script.

#include <QString>
#include <QStringList>
#include <deque>
#include <vector>

class QWidget;

namespace testsupport {

class MessageBoxRecorder {
public:
    struct Box {
        QString text;
        unsigned type;
    };

    // The handler of the services seam.
    int Show(QWidget* parent, const QString& text, unsigned type);

    // Answers for the next boxes, in order (IDYES, IDNO, IDOK...). Without one
    // a box is answered IDOK when it has an OK button, else IDYES.
    void Answer(int id) { m_answers.push_back(id); }

    const std::vector<Box>& Boxes() const { return m_boxes; }
    QStringList Texts() const;
    void Clear() { m_boxes.clear(); }

private:
    std::vector<Box> m_boxes;
    std::deque<int> m_answers;
};

}  // namespace testsupport
