#ifndef FDCAPTURE_H
#define FDCAPTURE_H

#include <QByteArray>
#include <QTemporaryFile>

#include <cstdio>
#include <unistd.h>

// Redirects a file descriptor (1 or 2) into a temporary file while alive;
// text() returns what was written there so far.
class FdCapture
{
public:
    explicit FdCapture(int fd)
        : m_fd(fd)
    {
        flush();
        m_file.open();
        m_saved = ::dup(fd);
        ::dup2(m_file.handle(), fd);
    }
    ~FdCapture() { restore(); }
    QByteArray text()
    {
        flush();
        QFile reader(m_file.fileName());
        return reader.open(QIODevice::ReadOnly) ? reader.readAll() : QByteArray();
    }
    void restore()
    {
        if (m_saved < 0)
            return;
        flush();
        ::dup2(m_saved, m_fd);
        ::close(m_saved);
        m_saved = -1;
    }

private:
    static void flush()
    {
        std::fflush(stdout);
        std::fflush(stderr);
    }
    int m_fd;
    int m_saved = -1;
    QTemporaryFile m_file;
};

#endif // FDCAPTURE_H
