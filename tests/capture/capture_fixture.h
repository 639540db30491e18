#pragma once

// What the clipboard and PDF tests share: PDF documents drawn from generated pages, a comic page
// whose six panels the cutter finds, and readers for the files a job writes.

#include "support/text_lines.h"

#include <QImage>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

namespace vantola::test {

// A 500 x 700 page of three tiers of two panels each.
inline constexpr int kPanelsPerPage = 6;
QImage comicPage(std::uint64_t seed);

// Writes a PDF whose pages are the pictures, each filling a page sized so that rendering it at
// dpi gives back the picture's size (widths and heights multiples of 25 pixels at 150 dpi).
void writePdf(const QString& path, const std::vector<QImage>& pages, int dpi = 150);

// The names of the files of a folder that match the pattern, in name order.
QStringList fileNames(const QString& folder, const QString& pattern = QStringLiteral("*"));

} // namespace vantola::test
