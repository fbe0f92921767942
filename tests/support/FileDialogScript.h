#pragma once
// File dialogs without windows: records each request and answers from a script.

#include <QStringList>
#include <deque>
#include <vector>

#include "platform/Services.h"

namespace testsupport {

class FileDialogScript {
public:
    // The handler of the services seam.
    QStringList Show(QWidget* parent, const platform::FileDialogRequest& request);

    // The paths the next dialog returns; an empty list is a cancel. Without an
    // answer left the dialog is cancelled.
    void Answer(QStringList paths) { m_answers.push_back(std::move(paths)); }

    const std::vector<platform::FileDialogRequest>& Requests() const { return m_requests; }

private:
    std::vector<platform::FileDialogRequest> m_requests;
    std::deque<QStringList> m_answers;
};

}  // namespace testsupport
