#ifndef FDCAPTURE_H
#define FDCAPTURE_H

#include <QByteArray>
#include <QTemporaryFile>

#include <cstdio>
#include <unistd.h>

// What `run` writes on a file descriptor (1 or 2) while it runs.
template <typename Run> QByteArray captured(int fd, Run run)
{
    QTemporaryFile file;
    file.open();
    std::fflush(nullptr);
    const int saved = ::dup(fd);
    ::dup2(file.handle(), fd);
    run();
    std::fflush(nullptr);
    ::dup2(saved, fd);
    ::close(saved);
    QFile reader(file.fileName());
    return reader.open(QIODevice::ReadOnly) ? reader.readAll() : QByteArray();
}

#endif // FDCAPTURE_H
