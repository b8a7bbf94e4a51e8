#include "stderrcapture.h"

#include <QFile>
#include <cstdio>
#include <fcntl.h>
#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace {
#ifdef _WIN32
int OpenForWriting(const QString& path) {
    return _wopen(reinterpret_cast<const wchar_t*>(path.utf16()), _O_WRONLY | _O_BINARY);
}
int Dup(int fd) {
    return _dup(fd);
}
int Dup2(int from, int to) {
    return _dup2(from, to);
}
void Close(int fd) {
    _close(fd);
}
#else
int OpenForWriting(const QString& path) {
    return ::open(QFile::encodeName(path).constData(), O_WRONLY);
}
int Dup(int fd) {
    return ::dup(fd);
}
int Dup2(int from, int to) {
    return ::dup2(from, to);
}
void Close(int fd) {
    ::close(fd);
}
#endif
} // namespace

namespace testsupport {

StderrCapture::StderrCapture() {
    if (!file_.open())
        return;
    const int fd = OpenForWriting(file_.fileName());
    if (fd < 0)
        return;
    std::fflush(stderr);
    saved_ = Dup(2);
    Dup2(fd, 2);
    Close(fd);
}

StderrCapture::~StderrCapture() {
    if (saved_ < 0)
        return;
    std::fflush(stderr);
    Dup2(saved_, 2);
    Close(saved_);
}

QString StderrCapture::text() {
    std::fflush(stderr);
    QFile read(file_.fileName());
    if (!read.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(read.readAll());
}

} // namespace testsupport
