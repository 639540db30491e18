// The panel maps: frames.json (Kumiko's layout, one object per page) and frames.acbf (an ACBF
// document with one frame per panel), both from the pieces placed on their page files.
#include "cutting/panel_maps.h"

#include "settings/path_parts.h"
#include "settings/text_file.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QXmlStreamWriter>

namespace vantola {

namespace {

// The pieces of each page file, pages in the order of their first piece.
std::vector<std::vector<const PlacedPiece*>> byPage(const std::vector<PlacedPiece>& pieces) {
    std::vector<std::vector<const PlacedPiece*>> pages;
    QHash<QString, std::size_t> index;
    for (const PlacedPiece& piece : pieces) {
        const auto found = index.constFind(piece.pagePath);
        if (found == index.constEnd()) {
            index.insert(piece.pagePath, pages.size());
            pages.push_back({&piece});
        } else {
            pages[*found].push_back(&piece);
        }
    }
    return pages;
}

QString framePoints(const QRect& r) {
    const int x1 = r.x() + r.width();
    const int y1 = r.y() + r.height();
    return QStringLiteral("%1,%2 %3,%2 %3,%4 %1,%4").arg(r.x()).arg(r.y()).arg(x1).arg(y1);
}

} // namespace

QByteArray panelMapsJson(const std::vector<PlacedPiece>& pieces) {
    QJsonArray pages;
    for (const auto& page : byPage(pieces)) {
        QJsonArray panels;
        QJsonArray names;
        for (const PlacedPiece* piece : page) {
            const QRect& r = piece->panel;
            panels.append(QJsonArray{r.x(), r.y(), r.width(), r.height()});
            names.append(ExtraireNomFichier(piece->piecePath));
        }
        const PlacedPiece& first = *page.front();
        pages.append(QJsonObject{
            {QStringLiteral("filename"), ExtraireNomFichier(first.pagePath)},
            {QStringLiteral("size"), QJsonArray{first.pageSize.width(), first.pageSize.height()}},
            {QStringLiteral("panels"), panels},
            {QStringLiteral("pieces"), names},
        });
    }
    return QJsonDocument(pages).toJson(QJsonDocument::Indented);
}

QByteArray panelMapsAcbf(const std::vector<PlacedPiece>& pieces, const QString& title,
                         const QString& outputFolder) {
    const auto pages = byPage(pieces);
    const QDir folder(outputFolder);
    const auto href = [&](const PlacedPiece& piece) {
        return folder.relativeFilePath(piece.pagePath);
    };
    QByteArray bytes;
    QXmlStreamWriter xml(&bytes);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeDefaultNamespace(QStringLiteral("http://www.acbf.info/xml/acbf/1.1"));
    xml.writeStartElement(QStringLiteral("ACBF"));
    xml.writeStartElement(QStringLiteral("meta-data"));
    xml.writeStartElement(QStringLiteral("book-info"));
    xml.writeStartElement(QStringLiteral("author"));
    xml.writeTextElement(QStringLiteral("nickname"), QStringLiteral("Unknown"));
    xml.writeEndElement();
    xml.writeTextElement(QStringLiteral("book-title"), title);
    xml.writeTextElement(QStringLiteral("genre"), QStringLiteral("other"));
    xml.writeStartElement(QStringLiteral("annotation"));
    xml.writeTextElement(QStringLiteral("p"), title);
    xml.writeEndElement();
    // ACBF requires a cover: the first page.
    xml.writeStartElement(QStringLiteral("coverpage"));
    if (!pages.empty()) {
        xml.writeEmptyElement(QStringLiteral("image"));
        xml.writeAttribute(QStringLiteral("href"), href(*pages.front().front()));
    }
    xml.writeEndElement(); // coverpage
    xml.writeEndElement(); // book-info
    xml.writeStartElement(QStringLiteral("document-info"));
    xml.writeStartElement(QStringLiteral("author"));
    xml.writeTextElement(QStringLiteral("nickname"), QStringLiteral("Vantola"));
    xml.writeEndElement();
    xml.writeEndElement(); // document-info
    xml.writeEndElement(); // meta-data
    xml.writeStartElement(QStringLiteral("body"));
    for (const auto& page : pages) {
        xml.writeStartElement(QStringLiteral("page"));
        xml.writeEmptyElement(QStringLiteral("image"));
        xml.writeAttribute(QStringLiteral("href"), href(*page.front()));
        for (const PlacedPiece* piece : page) {
            xml.writeEmptyElement(QStringLiteral("frame"));
            xml.writeAttribute(QStringLiteral("points"), framePoints(piece->panel));
        }
        xml.writeEndElement(); // page
    }
    xml.writeEndElement(); // body
    xml.writeEndElement(); // ACBF
    xml.writeEndDocument();
    return bytes;
}

QStringList writePanelMaps(const std::vector<PlacedPiece>& pieces, const QString& title,
                           const QString& outputFolder) {
    // Each file is written even when the other could not be.
    QStringList failures;
    for (const auto& [name, bytes] :
         {std::pair{QStringLiteral("frames.json"), panelMapsJson(pieces)},
          std::pair{QStringLiteral("frames.acbf"), panelMapsAcbf(pieces, title, outputFolder)}}) {
        if (!writeFileAtomically(outputFolder + name, bytes))
            failures << QStringLiteral("%1 n'a pas pu être écrit").arg(outputFolder + name);
    }
    return failures;
}

} // namespace vantola
