#pragma once
// Damage for the tests of damaged files: one bit of a file flipped where it lies.

#include <QFile>

namespace testsupport {

// Flips the lowest bit of the byte at `offset` of an open, read-write file.
inline bool FlipBit(QFile& file, qint64 offset) {
    char byte = 0;
    return file.seek(offset) && file.getChar(&byte) && file.seek(offset) &&
           file.putChar(char(byte ^ 0x01));
}

} // namespace testsupport
