#pragma once

// What the clipboard and PDF tests share: PDF documents drawn from generated pages, a comic page
// whose six panels the cutter finds, and readers for the files a job writes.

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

// The lines of a CR LF text file, with the date and time of the opening and closing lines cut
// off.
QStringList logLines(const QString& path);

// The names of the files of a folder that match the pattern, in name order.
QStringList fileNames(const QString& folder, const QString& pattern = QStringLiteral("*"));

// Every key = value of one section of an INI file, in file order, as "KEY=VALUE".
QStringList iniSection(const QString& path, const QString& section);

} // namespace vantola::test
