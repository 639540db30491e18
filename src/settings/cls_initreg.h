#pragma once

#include <QString>
#include <functional>
#include <variant>

namespace vantola {

class RegistryStore;
struct RegistryValue;

// Number of the error that IniLire raises when reading fails: the object-error base plus 65000.
inline constexpr qint32 kErrIniRead = -2147156504;

// The section of param.ini that holds the program's settings.
inline const QString kParamSection = QStringLiteral("PARAM");

// Longest value that IniLire returns, in characters.
inline constexpr qsizetype kIniValueLength = 254;

// Result of the registry operations: empty for the writing ones; a number, a text, or the text
// "Error" for the reading ones.
using RegistryResult = std::variant<std::monostate, qint32, QString>;

// The settings store and file utilities.
//
// IniLire / IniEcrire carry every settings file of the program (param.ini, decoupage.ini) with
// the rules of the Windows profile functions; see IniDocument for how lines are read and
// written, and IniFileCache for how files are cached and kept safe on disk.
//
// The registry operations work on an emulated registry kept in an INI file (registre.ini, see
// RegistryStore); WinIniLire / WinIniEcrire on a win.ini file. Both files are in the program
// folder unless the setup names them. The system and Windows folders of the original program
// are, on Linux, /usr/lib and /etc.
class Cls_InitREG {
public:
    struct Setup {
        QString registryFile; // empty: registre.ini in the program folder
        QString winIniFile;   // empty: win.ini in the program folder
        // Receives the message about a registry path in a bad format ("Incorrect Format:" ...),
        // for the caller to show; without it the message is dropped.
        std::function<void(const QString&)> showMessage;
    };

    Cls_InitREG() = default;
    explicit Cls_InitREG(Setup setup);

    // Writes key = value into the section of the INI file, creating the file, the section and
    // the key as needed. Non-zero when the write is on disk; 0 when it failed (a missing folder,
    // a file that cannot be written, a line break in a name or the value, a key that is empty or
    // holds "=").
    [[nodiscard]] qint32 IniEcrire(const QString& strSection, const QString& strRubrique,
                                   const QString& strChaineAEcrire, const QString& strFich);
    // The key's value, trimmed of blanks and cut to 254 characters; the default (without its
    // trailing blanks, cut the same way) when the file, the section or the key is missing.
    // Raises AppError kErrIniRead with an empty description when the file exists but cannot be
    // read. Like every settings operation, lets std::bad_alloc through.
    QString IniLire(const QString& strSection, const QString& strRubrique,
                    const QString& strChaineDef, const QString& strFich);

    QString RetourneCheminSystem() const;
    QString RetourneCheminWindows() const;
    [[nodiscard]] qint32 WinIniEcrire(const QString& strSection, const QString& strRubrique,
                                      const QString& strChaine);
    // Like IniLire on win.ini, but a failed read gives the default.
    QString WinIniLire(const QString& strSection, const QString& strRubrique,
                       const QString& strChaineDef);

    // Registry operations. A key path is a root name, a backslash and a sub-key path
    // ("HKEY_CURRENT_USER\Software\Vantola"). A path that does not start with "HKEY_" or ends
    // with a backslash sends "Incorrect Format:\n\n" + path to showMessage and does nothing; an
    // unknown root name does nothing. Each operation leaves its status in lastStatus().
    RegistryResult EcrireREG_DWORD(const QString& cle_principale, const QString& entree,
                                   qint32 Valeur);
    RegistryResult LireREG_DWORD(const QString& cle_principale, const QString& entree);
    // One byte per character, in Windows-1252.
    RegistryResult EcrireREG_BINARY(const QString& cle_principale, const QString& entree,
                                    const QString& Valeur);
    RegistryResult LireREG_BINARY(const QString& cle_principale, const QString& entree);
    RegistryResult EffaceREG_CLE(const QString& nom_cle);
    quint32 LireREG_ClePrincipale(const QString& nom_cle_principale) const;
    QString ErrorMsg(qint32 lErrorCode) const;
    // The string without its leading blanks; "Error" when it is missing or longer than 254
    // bytes.
    RegistryResult LireREG_STRING(const QString& cle_principale, const QString& entree);
    RegistryResult CreerREG_Cle(const QString& cle_principale);
    RegistryResult EcrireREG_STRING(const QString& cle_principale, const QString& entree,
                                    const QString& Valeur);
    QString EcritureREG_Software_RepInstall(const QString& NomDuSoft, const QString& AppPath);

    bool FichierExiste(const QString& strCheminFichier) const;
    bool DossierExiste(const QString& strCheminDossier) const;
    // Linux has no short names: both give the canonical path of an existing file or folder,
    // else "".
    QString GET_NomLong(QString sShortFileName) const;
    QString GET_NomCourt(QString sLongFileName) const;
    // Renames (moves) a file; false when the source is not a file, the target exists, or the
    // move fails.
    bool RenommerFichier(const QString& strPathFichierSRC, const QString& strPathFichierDEST) const;

    // Status code of the last registry operation (0 on success), for ErrorMsg.
    qint32 lastStatus() const { return status_; }

private:
    bool SeparerCle(QString& cle);
    QString openKeyPath(const QString& cle_principale);
    // Opens the key and runs the action on it, leaving the outcome in status_. False when the
    // key path was refused, and nothing was done.
    using KeyAction = std::function<qint32(RegistryStore&, const QString& key)>;
    bool withOpenKey(const QString& cle_principale, const KeyAction& action);
    // The same, setting or reading one value.
    bool setKeyValue(const QString& cle_principale, const QString& entree,
                     const RegistryValue& value);
    bool queryKeyValue(const QString& cle_principale, const QString& entree, RegistryValue& value);
    QString registryFile() const;
    QString winIniFile() const;

    Setup setup_;
    quint32 rootKey_ = 0;
    QString rootName_;
    qint32 status_ = 0;
};

} // namespace vantola
