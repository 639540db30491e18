#pragma once

#include <QImage>
#include <QString>
#include <cstddef>

namespace vantola {

// Where the pieces of a page come from and how they reach the disk, for the loop that writes
// them in order: copied from the grid and encoded on the spot, or prepared and encoded ahead
// by worker threads.
class PieceSupply {
public:
    virtual ~PieceSupply() = default;

    // The picture of piece `index` of the page's cuts; raises what copying it raised.
    virtual QImage picture(std::size_t index) = 0;

    // Puts piece `index` in place as the JPEG file jpegPath; when it cannot be encoded it is left
    // as the bitmap bitmapPath and the failure is raised.
    virtual void write(std::size_t index, const QImage& picture, const QString& bitmapPath,
                       const QString& jpegPath) = 0;
};

} // namespace vantola
