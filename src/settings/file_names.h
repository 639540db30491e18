#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

struct stat;

namespace vantola {

// The program names files by the text their bytes stand for. A name that is valid UTF-8 (what a
// Linux desktop writes) reads as UTF-8; any other name most likely comes from a Windows system
// and reads as Windows-1252, the fallback of the program's text files. That code page gives
// every byte a character of its own, so a name shown leads back to its bytes: the file is opened
// by the UTF-8 bytes of its name when they exist, else by its Windows-1252 bytes. Where both
// exist, the file whose name is valid UTF-8 is the one the name stands for.

// The text of one file name's bytes.
QString fileNameText(QByteArrayView name);

// The text of a path given as bytes (an argument of the command line), each part between
// separators read as fileNameText.
QString pathText(QByteArrayView path);

// The bytes that open the file at a path whose file name was read by fileNameText.
QByteArray pathBytes(const QString& path);

// True when something exists at the path, links followed (QFileInfo::exists).
bool fileExists(const QString& path);

// Opens a regular file for reading, links followed, and fills `status` when given. Anything else
// (a pipe, a device, a folder) would block a read or never end: it is refused at once with
// errno EINVAL. Opening without blocking keeps a pipe without writer from holding the open
// itself. The descriptor, or -1 with errno set.
int openRegularFile(const QByteArray& pathBytes, struct stat* status = nullptr);

// True when the path leads to a regular file, links followed (QFileInfo::isFile).
bool isRegularFile(const QString& path);

} // namespace vantola
