#pragma once

#include <QString>
#include <QtGlobal>

namespace vantola {

// The keys of a page's section in the cut record, for piece n where a key has a number; the
// writer below and the review window's sketch both spell them from here.
namespace cutRecordKey {
inline const QString kWidth = QStringLiteral("WIDTH");
inline const QString kHeight = QStringLiteral("HEIGHT");
inline QString left(qint32 n) {
    return QStringLiteral("COLONNE_1_") + QString::number(n);
}
inline QString right(qint32 n) {
    return QStringLiteral("COLONNE_2_") + QString::number(n);
}
inline QString top(qint32 n) {
    return QStringLiteral("LIGNE_1_") + QString::number(n);
}
inline QString bottom(qint32 n) {
    return QStringLiteral("LIGNE_2_") + QString::number(n);
}
inline QString piecePath(qint32 n) {
    return QStringLiteral("FICHIER_") + QString::number(n);
}
} // namespace cutRecordKey

// Records one piece of a page in the cut record (decoupage.ini), so that the review window can
// draw where the page was cut. The page's section is named by its picture path sFichier ("" for
// a clipboard or PDF page); piece n = iNbDecoupe gets seven keys, written in this order:
//   COLONNE_1_n, COLONNE_2_n, LIGNE_1_n, LIGNE_2_n   the piece's rectangle in the page grid
//   WIDTH, HEIGHT                                    the page size (one pair per section)
//   FICHIER_n                                        sFichierSortie with its last three
//                                                    characters replaced by "jpg"
// iPasse is accepted and not recorded. A key that cannot be written is skipped; the result is
// false when any was. A piece path of fewer than three characters raises AppError 5 (invalid
// argument) after the first six keys.
[[nodiscard]] bool EnregistreDecoupe(qint16 iPasse, const QString& sFichier, qint16 iNbDecoupe,
                                     qint32 iWidth, qint32 iHeight, qint32 lColonne1,
                                     qint32 lColonne2, qint32 lLigne1, qint32 lLigne2,
                                     const QString& sFichierSortie,
                                     const QString& sFichierDecoupage);

// The JPEG path recorded for a piece's intermediate picture: all but its last three characters,
// followed by "jpg". Raises AppError 5 when the path has fewer than three characters.
QString recordedPiecePath(const QString& sFichierSortie);

// The cut record of one job. Its pieces are recorded in a temporary file beside decoupage.ini,
// which replaces decoupage.ini once, at the end of the job, and only when every key was written:
// the file on disk is always a whole record, the previous job's or this one's. A read-only
// decoupage.ini is left as it is.
class JobCutRecord {
public:
    JobCutRecord() = default;
    ~JobCutRecord();
    JobCutRecord(const JobCutRecord&) = delete;
    JobCutRecord& operator=(const JobCutRecord&) = delete;

    // Begins the job's record of `recordFile` (decoupage.ini), empty.
    void start(const QString& recordFile);

    // Records a piece as the function above does, in the job's record.
    void EnregistreDecoupe(qint16 iPasse, const QString& sFichier, qint16 iNbDecoupe, qint32 iWidth,
                           qint32 iHeight, qint32 lColonne1, qint32 lColonne2, qint32 lLigne1,
                           qint32 lLigne2, const QString& sFichierSortie);

    // Puts the job's record in place of decoupage.ini. Empty when done, else the log line that
    // says why the record was not written (decoupage.ini is then left as it was).
    QString commit();

private:
    void discard();

    QString target_;
    QString temporary_;
    int error_ = 0; // errno value of the first failure, or -1 for a key that was not written
};

} // namespace vantola
