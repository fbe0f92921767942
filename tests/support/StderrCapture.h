#pragma once
// What the program writes on stderr while the object lives, kept in a file
// of its own and read back by Text().

#include <QByteArray>
#include <QTemporaryFile>
#include <cstdio>
#include <unistd.h>

namespace testsupport {

class StderrCapture {
public:
    StderrCapture()
    {
        m_file.open();
        std::fflush(stderr);
        m_saved = ::dup(STDERR_FILENO);
        ::dup2(m_file.handle(), STDERR_FILENO);
    }
    ~StderrCapture() { Restore(); }
    StderrCapture(const StderrCapture&) = delete;
    StderrCapture& operator=(const StderrCapture&) = delete;

    // Everything written so far; stderr is the terminal's again after it.
    QByteArray Text()
    {
        Restore();
        m_file.seek(0);
        return m_file.readAll();
    }

private:
    void Restore()
    {
        if (m_saved < 0)
            return;
        std::fflush(stderr);
        ::dup2(m_saved, STDERR_FILENO);
        ::close(m_saved);
        m_saved = -1;
    }

    QTemporaryFile m_file;
    int m_saved = -1;
};

}  // namespace testsupport
