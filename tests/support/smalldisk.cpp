#include "smalldisk.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#ifdef __linux__
#include <sys/mount.h>
#endif

namespace testsupport {

#ifndef __linux__
SmallDisk::SmallDisk(int) : reason_(QStringLiteral("no small disk of its own on this system")) {}
SmallDisk::~SmallDisk() = default;
#else
SmallDisk::SmallDisk(int kilobytes) {
    const QByteArray options = "size=" + QByteArray::number(kilobytes) + "k";
    if (::mount("tmpfs", QFile::encodeName(dir_.path()).constData(), "tmpfs", MS_NOSUID | MS_NODEV,
                options.constData()) == 0)
        mounted_ = true;
    else
        reason_ = QStringLiteral("cannot mount a small tmpfs (%1): a full disk needs the right to "
                                 "mount, as root has")
                      .arg(QString::fromLocal8Bit(std::strerror(errno)));
}

SmallDisk::~SmallDisk() {
    if (mounted_)
        ::umount2(QFile::encodeName(dir_.path()).constData(), MNT_DETACH);
}
#endif

void SmallDisk::Fill() {
    QFile filler(dir_.path() + QStringLiteral("/filler"));
    if (!filler.open(QIODevice::WriteOnly))
        return;
    const QByteArray block(4096, 'x');
    while (filler.write(block) == block.size() && filler.flush()) {
    }
    // The last partial block: byte by byte until nothing more fits.
    while (filler.write("x", 1) == 1 && filler.flush()) {
    }
}

} // namespace testsupport
