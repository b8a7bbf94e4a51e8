#pragma once
// Standard error of this process, caught in a file while the object lives: what the code
// under test writes to descriptor 2 (or stderr) is read back with text().

#include <QByteArray>
#include <QTemporaryFile>

namespace testsupport {

class StderrCapture {
public:
    StderrCapture();
    ~StderrCapture();
    StderrCapture(const StderrCapture&) = delete;
    StderrCapture& operator=(const StderrCapture&) = delete;

    // Everything written since the capture began, as UTF-8 text.
    QString text();

private:
    QTemporaryFile file_;
    int saved_ = -1;
};

} // namespace testsupport
