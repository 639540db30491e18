#include "cutting/cut_record.h"

#include "settings/app_error.h"
#include "settings/atomic_file.h"
#include "settings/cls_initreg.h"
#include "settings/path_parts.h"
#include "settings/text_characters.h"

#include <QFile>
#include <cstring>
#include <utility>

namespace vantola {

namespace {

constexpr int kErrInvalidArgument = 5;

} // namespace

QString recordedPiecePath(const QString& sFichierSortie) {
    if (characterCount(sFichierSortie) < 3)
        throw AppError(kErrInvalidArgument, QStringLiteral("Invalid procedure call or argument"));
    return withoutLastCharacters(sFichierSortie, 3) + QStringLiteral("jpg");
}

bool EnregistreDecoupe(qint16 iPasse, const QString& sFichier, qint16 iNbDecoupe, qint32 iWidth,
                       qint32 iHeight, qint32 lColonne1, qint32 lColonne2, qint32 lLigne1,
                       qint32 lLigne2, const QString& sFichierSortie,
                       const QString& sFichierDecoupage) {
    Q_UNUSED(iPasse);
    Cls_InitREG ini;
    const qint32 n = iNbDecoupe;
    bool written = true;
    const auto write = [&](const QString& key, const QString& value) {
        written = ini.IniEcrire(sFichier, key, value, sFichierDecoupage) != 0 && written;
    };
    write(cutRecordKey::left(n), QString::number(lColonne1));
    write(cutRecordKey::right(n), QString::number(lColonne2));
    write(cutRecordKey::top(n), QString::number(lLigne1));
    write(cutRecordKey::bottom(n), QString::number(lLigne2));
    write(cutRecordKey::kWidth, QString::number(iWidth));
    write(cutRecordKey::kHeight, QString::number(iHeight));
    write(cutRecordKey::piecePath(n), recordedPiecePath(sFichierSortie));
    return written;
}

JobCutRecord::~JobCutRecord() {
    discard();
}

void JobCutRecord::discard() {
    if (!temporary_.isEmpty())
        QFile::remove(temporary_);
    temporary_.clear();
}

void JobCutRecord::start(const QString& recordFile) {
    discard();
    target_ = recordFile;
    const QString folder = ExtraireDossier(recordFile);
    // What a killed job was recording goes.
    removeStaleTemporaryFiles(folder);
    error_ = writeTemporaryFile(folder, nullptr, 0, temporary_);
}

void JobCutRecord::EnregistreDecoupe(qint16 iPasse, const QString& sFichier, qint16 iNbDecoupe,
                                     qint32 iWidth, qint32 iHeight, qint32 lColonne1,
                                     qint32 lColonne2, qint32 lLigne1, qint32 lLigne2,
                                     const QString& sFichierSortie) {
    const bool written =
        vantola::EnregistreDecoupe(iPasse, sFichier, iNbDecoupe, iWidth, iHeight, lColonne1,
                                   lColonne2, lLigne1, lLigne2, sFichierSortie, temporary_);
    if (!written && error_ == 0)
        error_ = -1;
}

QString JobCutRecord::commit() {
    if (target_.isEmpty())
        return {};
    int error = error_;
    if (error == 0) {
        error = placeTemporaryFile(temporary_, target_, ExistingTarget::ReplaceWritable);
        temporary_.clear();
    }
    discard();
    const QString target = std::exchange(target_, QString());
    if (error == 0)
        return {};
    const QString reason = error > 0 ? QString::fromLocal8Bit(std::strerror(error))
                                     : QStringLiteral("une écriture a échoué");
    return QStringLiteral("ERREUR : le fichier de découpage %1 n'a pas pu être écrit en entier "
                          "(%2) ; il est resté tel qu'il était.")
        .arg(target, reason);
}

} // namespace vantola
