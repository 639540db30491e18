#pragma once

// Comic-book archives (CBZ, CBR, CB7, CBT, and plain ZIP, RAR, 7z, tar) as folder jobs: libarchive
// reads the archive, its pictures go into a new folder beside it, in the natural order of their
// paths inside the archive, and the job then cuts that folder like any other.
#include <QString>
#include <QStringList>

namespace vantola {

// True when the path's suffix names an archive that the program reads, in any letter case.
bool isComicArchive(const QString& path);

// The most bytes that an archive's pictures may take once extracted: key ARCHIVE_TAILLE_MAX of
// section PARAM of param.ini (MiB, a whole number from 1), else 20 times the archive's size and
// at most 4 GiB. The budget stops archives that expand without end (zip bombs).
qint64 archiveBudgetSetting(const QString& paramFile, qint64 archiveSize);

// What an extraction made.
struct ArchivePages {
    QString folder;       // the new folder, ending with a separator; empty when error is set
    QStringList failures; // a log line for each picture of the archive that could not come out
    QString error;        // why no folder was made
};

// Extracts the pictures of the archive into a new folder beside it, named after it ("BOOK/", or
// "BOOK (2)/"... when that name is taken). The folder appears whole or not at all: it is filled
// under a hidden name, then renamed. Page k is named with its number, zero-padded, before the
// entry's own file name ("0001-cover.png"), so that two entries named alike in different
// folders both come out and name order is archive order; the folder gets the marker file of
// listFolderPages, which lists where each page came from. Entry paths never lead outside the
// folder (only their last part is kept), links are neither followed nor made, an encrypted or
// damaged entry fails its page alone (in `failures`), and an archive whose pictures pass the
// budget makes nothing. The archive is only read.
ArchivePages extractArchivePages(const QString& archive, qint64 budget);

} // namespace vantola
