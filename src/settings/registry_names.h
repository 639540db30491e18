#pragma once

#include <QString>
#include <QtGlobal>

namespace vantola {

// Status codes of registry operations, numbered as the Windows ones they stand for.
inline constexpr qint32 kRegOk = 0;
inline constexpr qint32 kRegNotFound = 2;           // no such key or value
inline constexpr qint32 kRegAccessDenied = 5;       // a root, or a key with sub-keys, is deleted
inline constexpr qint32 kRegInvalidParameter = 87;  // a value name the store cannot hold
inline constexpr qint32 kRegMoreData = 234;         // the value does not fit the caller's buffer
inline constexpr qint32 kRegCannotWrite = 1013;     // the store file could not be written
inline constexpr qint32 kRegCorruptDatabase = 1015; // a stored value that cannot be decoded

// Value types.
inline constexpr quint32 kRegTypeString = 1;
inline constexpr quint32 kRegTypeExpandString = 2;
inline constexpr quint32 kRegTypeBinary = 3;
inline constexpr quint32 kRegTypeDword = 4;

// The handle of a root key named exactly (upper case) "HKEY_CLASSES_ROOT" (0x80000000) to
// "HKEY_DYN_DATA" (0x80000006); 0 for any other name.
quint32 rootKeyHandle(const QString& name);

// The French message for a status code; codes without one of their own give
// "Code d'Erreur indefini:  " followed by the code, with a space before a code that is not
// negative.
QString registryErrorMessage(qint32 code);

} // namespace vantola
