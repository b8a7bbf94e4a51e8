#pragma once
// A small file system of its own (tmpfs) for one test, to meet a full disk for real.
// Mounting needs the right to mount (root, as in CI); where it is missing, reason() says
// why and the test skips.

#include <QString>
#include <QTemporaryDir>

namespace testsupport {

class SmallDisk {
public:
    explicit SmallDisk(int kilobytes);
    ~SmallDisk();
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool mounted() const { return mounted_; }
    // Why the disk could not be mounted.
    QString reason() const { return reason_; }
    QString path() const { return dir_.path(); }
    // Takes every byte that is left, with a file of its own.
    void Fill();

private:
    QTemporaryDir dir_;
    bool mounted_ = false;
    QString reason_;
};

} // namespace testsupport
