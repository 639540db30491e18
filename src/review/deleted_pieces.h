#pragma once

#include <QByteArray>
#include <QFileDevice>
#include <QString>
#include <vector>

namespace vantola {

// The pieces deleted in a review window, kept in memory until the window closes so that they
// can be brought back, last deleted first, whatever became of the wastebasket. Deleting a piece
// leaves its entries in the cut record, so a piece brought back is described there again.
class DeletedPieces {
public:
    struct Piece {
        QString path;
        QString pageName; // the page it was cut from
        QByteArray bytes;
        QFileDevice::Permissions permissions;
    };

    // Keeps a copy of the piece before it goes. A link or a file that cannot be read is not
    // kept (false): a link is only unlinked, never turned into a file.
    bool keep(const QString& path, const QString& pageName);
    // Forgets the copy last kept (its deletion failed, the piece is still there).
    void forgetLast();

    bool isEmpty() const { return pieces_.empty(); }
    std::size_t size() const { return pieces_.size(); }
    const Piece& last() const { return pieces_.back(); }

    // Writes the last deleted piece back, whole, and forgets it: "" when done. A file that bears
    // its name again (a re-cut made it) is never replaced: the piece is then kept, and the
    // answer says why it could not come back.
    QString restoreLast();

private:
    std::vector<Piece> pieces_;
};

} // namespace vantola
