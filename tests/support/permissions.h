#pragma once
// File and folder permissions for the tests that run as a user without privileges: read
// (and, for a folder, enter) for everyone, and the owner's write on top.

#include <QFile>

namespace testsupport {

constexpr auto kReadOnlyFile = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
constexpr auto kReadOnlyFolder =
    kReadOnlyFile | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther;
constexpr auto kWritableFile = kReadOnlyFile | QFile::WriteOwner;
constexpr auto kWritableFolder = kReadOnlyFolder | QFile::WriteOwner;

} // namespace testsupport
