#pragma once

#include <QByteArray>
#include <QString>

namespace vantola {

// One registry value: its type and its bytes.
struct RegistryValue {
    quint32 type = 0;
    QByteArray data;
};

// A registry kept in an INI file (registre.ini). Each key is a section named by its full path
// ("HKEY_CURRENT_USER\Software\Vantola"); each value is a line "name=type:data", the value
// without a name being "@":
//   dword:0000002a         a DWORD (4 bytes, shown as the number in hexadecimal)
//   sz:"text"              a string held as UTF-8 text (quoted so that outer blanks survive)
//   hex(3):41,00,ff        any other type or data, byte by byte
// The root keys (a path without a backslash) always exist; a sub-key exists once created.
// Key paths and value names match without regard to case, as in the Windows registry.
// Every operation returns a status code of registry_names.h (kRegOk on success).
class RegistryStore {
public:
    explicit RegistryStore(QString storeFile);

    qint32 openKey(const QString& keyPath) const;
    // Creates the key and every missing key above it.
    qint32 createKey(const QString& keyPath);
    // Deletes a key that has no sub-keys, with its values.
    qint32 deleteKey(const QString& keyPath);
    qint32 setValue(const QString& keyPath, const QString& name, const RegistryValue& value);
    qint32 queryValue(const QString& keyPath, const QString& name, RegistryValue& value) const;

private:
    QString storeFile_;
};

} // namespace vantola
