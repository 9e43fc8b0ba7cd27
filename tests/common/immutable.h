#pragma once

#include <QFile>
#include <QString>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

// Marks a file or folder immutable (nobody, root included, may change, delete or replace it)
// while in scope.
class Immutable
{
public:
    explicit Immutable(const QString& file) : m_file(file) { m_ok = set(true); }
    ~Immutable() { release(); }
    bool ok() const { return m_ok; }
    void release()
    {
        if (m_ok)
            set(false);
        m_ok = false;
    }

private:
    bool set(bool on)
    {
        const int fd = ::open(QFile::encodeName(m_file).constData(), O_RDONLY);
        if (fd < 0)
            return false;
        int flags = 0;
        bool ok = ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        ok = ok && ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        ::close(fd);
        return ok;
    }
    QString m_file;
    bool m_ok = false;
};
