#include "settings/cls_initreg.h"

#include "settings/app_error.h"
#include "settings/ini_file_cache.h"
#include "settings/ini_text_codec.h"
#include "settings/program_folder.h"
#include "settings/registry_names.h"
#include "settings/registry_store.h"
#include "settings/text_characters.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <optional>
#include <utility>

namespace vantola {

namespace {

const QString kErrorText = QStringLiteral("Error");

// Capacity of the buffers of the string reads, terminating NUL included.
constexpr qsizetype kStringBufferSize = 255;

QString withoutTrailingBlanks(const QString& text) {
    qsizetype end = text.size();
    while (end > 0 && (text[end - 1] == QLatin1Char(' ') || text[end - 1] == QLatin1Char('\t')))
        --end;
    return text.left(end);
}

QString withoutOuterSpaces(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == QLatin1Char(' '))
        ++begin;
    while (end > begin && text[end - 1] == QLatin1Char(' '))
        --end;
    return text.mid(begin, end - begin);
}

// The value, or the default, cut to the value length. Nothing when the file exists but cannot
// be read. Running out of memory is no read failure: std::bad_alloc goes on to the caller.
std::optional<QString> readProfileString(const QString& section, const QString& key,
                                         const QString& fallback, const QString& file) {
    QString result = withoutTrailingBlanks(fallback);
    const IniFileCache::ReadStatus status =
        IniFileCache::instance().read(file, [&](const IniDocument& document) {
            if (std::optional<QString> value = document.value(section, key))
                result = std::move(*value);
        });
    if (status == IniFileCache::ReadStatus::Failed)
        return std::nullopt;
    return leftCharacters(result, kIniValueLength);
}

// Running out of memory is no write failure: std::bad_alloc goes on to the caller.
qint32 writeProfileString(const QString& section, const QString& key, const QString& value,
                          const QString& file) {
    const bool ok = IniFileCache::instance().write(
        file, [&](IniDocument& document) { return document.setValue(section, key, value); });
    return ok ? 1 : 0;
}

QString fileInProgramFolder(const QString& name) {
    const QString executableFolder = QCoreApplication::instance() != nullptr
                                         ? QCoreApplication::applicationDirPath()
                                         : QString();
    return resolveProgramFolder(QString(), executableFolder) + name;
}

bool isStringType(quint32 type) {
    return type == kRegTypeString || type == kRegTypeExpandString;
}

} // namespace

Cls_InitREG::Cls_InitREG(Setup setup) : setup_(std::move(setup)) {}

qint32 Cls_InitREG::IniEcrire(const QString& strSection, const QString& strRubrique,
                              const QString& strChaineAEcrire, const QString& strFich) {
    return writeProfileString(strSection, strRubrique, strChaineAEcrire, strFich);
}

QString Cls_InitREG::IniLire(const QString& strSection, const QString& strRubrique,
                             const QString& strChaineDef, const QString& strFich) {
    if (std::optional<QString> value =
            readProfileString(strSection, strRubrique, strChaineDef, strFich))
        return *value;
    throw AppError(kErrIniRead, QString());
}

QString Cls_InitREG::RetourneCheminSystem() const {
    return QStringLiteral("/usr/lib");
}

QString Cls_InitREG::RetourneCheminWindows() const {
    return QStringLiteral("/etc");
}

qint32 Cls_InitREG::WinIniEcrire(const QString& strSection, const QString& strRubrique,
                                 const QString& strChaine) {
    return writeProfileString(strSection, strRubrique, strChaine, winIniFile());
}

QString Cls_InitREG::WinIniLire(const QString& strSection, const QString& strRubrique,
                                const QString& strChaineDef) {
    if (std::optional<QString> value =
            readProfileString(strSection, strRubrique, strChaineDef, winIniFile()))
        return *value;
    return leftCharacters(withoutTrailingBlanks(strChaineDef), kIniValueLength);
}

QString Cls_InitREG::registryFile() const {
    return setup_.registryFile.isEmpty() ? fileInProgramFolder(QStringLiteral("registre.ini"))
                                         : setup_.registryFile;
}

QString Cls_InitREG::winIniFile() const {
    return setup_.winIniFile.isEmpty() ? fileInProgramFolder(QStringLiteral("win.ini"))
                                       : setup_.winIniFile;
}

bool Cls_InitREG::SeparerCle(QString& cle) {
    const qsizetype p = cle.indexOf(QLatin1Char('\\')) + 1; // 1-based, 0 when there is none
    if (!cle.startsWith(QLatin1String("HKEY_")) || cle.endsWith(QLatin1Char('\\'))) {
        if (setup_.showMessage)
            setup_.showMessage(QStringLiteral("Incorrect Format:\n\n") + cle);
        rootKey_ = 0;
        return false;
    }
    if (p > 0) {
        rootName_ = cle.left(p - 1);
        cle = cle.right(cle.size() - p);
    } else {
        rootName_ = cle;
        cle.clear();
    }
    rootKey_ = LireREG_ClePrincipale(rootName_);
    return rootKey_ != 0;
}

// The store's path of the key after SeparerCle (root name, backslash, sub-key), or a null
// string when the path was refused.
QString Cls_InitREG::openKeyPath(const QString& cle_principale) {
    QString subKey = cle_principale;
    if (!SeparerCle(subKey))
        return QString();
    return subKey.isEmpty() ? rootName_ : rootName_ + QLatin1Char('\\') + subKey;
}

bool Cls_InitREG::withOpenKey(const QString& cle_principale, const KeyAction& action) {
    const QString key = openKeyPath(cle_principale);
    if (key.isNull())
        return false;
    RegistryStore store(registryFile());
    status_ = store.openKey(key);
    if (status_ == kRegOk)
        status_ = action(store, key);
    return true;
}

bool Cls_InitREG::setKeyValue(const QString& cle_principale, const QString& entree,
                              const RegistryValue& value) {
    return withOpenKey(cle_principale, [&](RegistryStore& store, const QString& key) {
        return store.setValue(key, entree, value);
    });
}

bool Cls_InitREG::queryKeyValue(const QString& cle_principale, const QString& entree,
                                RegistryValue& value) {
    return withOpenKey(cle_principale, [&](RegistryStore& store, const QString& key) {
        return store.queryValue(key, entree, value);
    });
}

RegistryResult Cls_InitREG::EcrireREG_DWORD(const QString& cle_principale, const QString& entree,
                                            qint32 Valeur) {
    QByteArray data(4, '\0');
    qToLittleEndian(Valeur, data.data());
    setKeyValue(cle_principale, entree, {kRegTypeDword, data});
    return {};
}

RegistryResult Cls_InitREG::LireREG_DWORD(const QString& cle_principale, const QString& entree) {
    RegistryValue value;
    if (!queryKeyValue(cle_principale, entree, value))
        return {};
    if (status_ == kRegOk && value.data.size() > 4)
        status_ = kRegMoreData;
    if (status_ != kRegOk)
        return kErrorText;
    QByteArray number = value.data;
    number.resize(4, '\0');
    return qFromLittleEndian<qint32>(number.constData());
}

RegistryResult Cls_InitREG::EcrireREG_BINARY(const QString& cle_principale, const QString& entree,
                                             const QString& Valeur) {
    setKeyValue(cle_principale, entree, {kRegTypeBinary, encodeWindows1252(Valeur)});
    return {};
}

RegistryResult Cls_InitREG::LireREG_BINARY(const QString& cle_principale, const QString& entree) {
    RegistryValue value;
    if (!queryKeyValue(cle_principale, entree, value))
        return {};
    if (status_ != kRegOk)
        return kErrorText;
    return decodeWindows1252(value.data);
}

RegistryResult Cls_InitREG::EffaceREG_CLE(const QString& nom_cle) {
    withOpenKey(nom_cle,
                [](RegistryStore& store, const QString& key) { return store.deleteKey(key); });
    return {};
}

quint32 Cls_InitREG::LireREG_ClePrincipale(const QString& nom_cle_principale) const {
    return rootKeyHandle(nom_cle_principale);
}

QString Cls_InitREG::ErrorMsg(qint32 lErrorCode) const {
    return registryErrorMessage(lErrorCode);
}

RegistryResult Cls_InitREG::LireREG_STRING(const QString& cle_principale, const QString& entree) {
    RegistryValue value;
    if (!queryKeyValue(cle_principale, entree, value))
        return {};
    // The value lands in a buffer of 255 bytes: a string with its terminating NUL after it, any
    // other type as it is; the buffer is trimmed of spaces and its last character (the NUL of
    // a string) dropped. So a string loses its leading spaces and keeps its trailing ones.
    QByteArray buffer = value.data;
    if (isStringType(value.type))
        buffer += '\0';
    if (status_ == kRegOk && buffer.size() > kStringBufferSize)
        status_ = kRegMoreData;
    if (status_ != kRegOk)
        return kErrorText;
    return withoutLastCharacters(withoutOuterSpaces(decodeSettingsLine(buffer)), 1);
}

RegistryResult Cls_InitREG::CreerREG_Cle(const QString& cle_principale) {
    const QString key = openKeyPath(cle_principale);
    if (key.isNull())
        return {};
    status_ = RegistryStore(registryFile()).createKey(key);
    return {};
}

RegistryResult Cls_InitREG::EcrireREG_STRING(const QString& cle_principale, const QString& entree,
                                             const QString& Valeur) {
    setKeyValue(cle_principale, entree, {kRegTypeString, Valeur.toUtf8()});
    return {};
}

QString Cls_InitREG::EcritureREG_Software_RepInstall(const QString& NomDuSoft,
                                                     const QString& AppPath) {
    const QString path = QStringLiteral("HKEY_CURRENT_USER\\Software\\") + NomDuSoft;
    Cls_InitREG registry(setup_);
    registry.CreerREG_Cle(path);
    registry.EcrireREG_STRING(path, QStringLiteral("RepInstall"), AppPath);
    return QStringLiteral("Ecriture dans ") + path;
}

bool Cls_InitREG::FichierExiste(const QString& strCheminFichier) const {
    return !strCheminFichier.isEmpty() && QFileInfo(strCheminFichier).isFile();
}

bool Cls_InitREG::DossierExiste(const QString& strCheminDossier) const {
    return !strCheminDossier.isEmpty() && QFileInfo(strCheminDossier).isDir();
}

QString Cls_InitREG::GET_NomLong(QString sShortFileName) const {
    return sShortFileName.isEmpty() ? QString() : QFileInfo(sShortFileName).canonicalFilePath();
}

QString Cls_InitREG::GET_NomCourt(QString sLongFileName) const {
    return GET_NomLong(std::move(sLongFileName));
}

bool Cls_InitREG::RenommerFichier(const QString& strPathFichierSRC,
                                  const QString& strPathFichierDEST) const {
    if (!FichierExiste(strPathFichierSRC) || strPathFichierDEST.isEmpty() ||
        QFileInfo::exists(strPathFichierDEST))
        return false;
    return QFile::rename(strPathFichierSRC, strPathFichierDEST);
}

} // namespace vantola
