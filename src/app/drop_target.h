#pragma once

#include <QString>
#include <QStringList>

class QMimeData;

namespace vantola {

// What a path dropped on the main window is, and so which job it starts.
enum class DroppedKind {
    Picture, // a picture file: cut it, as "Découper une &image" does
    Folder,  // a folder: cut its pages, as "&Découper un répertoire" does
    Pdf,     // a PDF document: the PDF command, without its file dialog
    Archive, // a comic-book archive: extracted, then cut as a folder
    Unknown, // anything else: refused with a message
};

DroppedKind droppedKind(const QString& path);

// The local files and folders that the drag carries, in its order; remote addresses are left out.
QStringList droppedPaths(const QMimeData& data);

} // namespace vantola
