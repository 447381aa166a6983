#pragma once
// What tells one state of a file from another: a save by another program
// changes its size, its modification time or (written through a new file
// and renamed, as every careful program does) its inode.

#include <QFile>
#include <QString>

#include <sys/stat.h>

namespace cv {

struct FileIdentity {
    bool exists = false;
    qint64 size = 0;
    qint64 modifiedNs = 0;
    quint64 device = 0;
    quint64 inode = 0;

    static FileIdentity of(const QString &path)
    {
        struct stat st {};
        FileIdentity id;
        if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &st) != 0) return id;
        id.exists = true;
        id.size = st.st_size;
        id.modifiedNs = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
        id.device = quint64(st.st_dev);
        id.inode = quint64(st.st_ino);
        return id;
    }
    bool operator==(const FileIdentity &) const = default;
};

} // namespace cv
