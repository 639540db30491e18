#include "settings/registry_store.h"

#include "settings/ini_file_cache.h"
#include "settings/ini_text_codec.h"
#include "settings/registry_names.h"

#include <QStringList>
#include <QtEndian>
#include <optional>
#include <utility>

namespace vantola {

namespace {

const QLatin1String kDwordPrefix("dword:");
const QLatin1String kStringPrefix("sz:");

bool isRootPath(const QString& keyPath) {
    return !keyPath.contains(QLatin1Char('\\'));
}

// The INI key that holds a value name; empty when the name cannot be an INI key as it is.
QString iniKeyFor(const QString& name) {
    if (name.isEmpty())
        return QStringLiteral("@");
    const bool storable = name == name.trimmed() && !name.contains(QLatin1Char('=')) &&
                          !name.contains(QLatin1Char('\n')) && !name.contains(QLatin1Char('\r')) &&
                          !name.startsWith(QLatin1Char('[')) && !name.startsWith(QLatin1Char(';'));
    return storable ? name : QString();
}

bool isPlainText(const QByteArray& data) {
    return isValidUtf8(data) && !data.contains('\r') && !data.contains('\n') &&
           !data.contains('\0');
}

QString encodeValue(const RegistryValue& value) {
    if (value.type == kRegTypeDword && value.data.size() == 4) {
        const quint32 number = qFromLittleEndian<quint32>(value.data.constData());
        return kDwordPrefix + QStringLiteral("%1").arg(number, 8, 16, QLatin1Char('0'));
    }
    if (value.type == kRegTypeString && isPlainText(value.data))
        return kStringPrefix + QLatin1Char('"') + QString::fromUtf8(value.data) + QLatin1Char('"');
    return QStringLiteral("hex(%1):").arg(value.type) + QString::fromLatin1(value.data.toHex(','));
}

std::optional<RegistryValue> decodeValue(const QString& text) {
    if (text.startsWith(kDwordPrefix)) {
        bool ok = false;
        const quint32 number = text.mid(kDwordPrefix.size()).toUInt(&ok, 16);
        if (!ok)
            return std::nullopt;
        QByteArray data(4, '\0');
        qToLittleEndian(number, data.data());
        return RegistryValue{kRegTypeDword, data};
    }
    if (text.startsWith(kStringPrefix)) {
        QString body = text.mid(kStringPrefix.size());
        if (body.size() < 2 || !body.startsWith(QLatin1Char('"')) ||
            !body.endsWith(QLatin1Char('"')))
            return std::nullopt;
        return RegistryValue{kRegTypeString, body.mid(1, body.size() - 2).toUtf8()};
    }
    if (text.startsWith(QLatin1String("hex("))) {
        const qsizetype close = text.indexOf(QLatin1String("):"));
        bool ok = false;
        const quint32 type = text.mid(4, close - 4).toUInt(&ok);
        if (close < 0 || !ok)
            return std::nullopt;
        const QString hex = text.mid(close + 2);
        QByteArray data;
        for (const QString& byte : hex.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
            const uint number = byte.toUInt(&ok, 16);
            if (!ok || byte.size() != 2)
                return std::nullopt;
            data += static_cast<char>(number);
        }
        return RegistryValue{type, data};
    }
    return std::nullopt;
}

} // namespace

RegistryStore::RegistryStore(QString storeFile) : storeFile_(std::move(storeFile)) {}

qint32 RegistryStore::openKey(const QString& keyPath) const {
    if (isRootPath(keyPath))
        return kRegOk;
    bool exists = false;
    IniFileCache::instance().read(
        storeFile_, [&](const IniDocument& document) { exists = document.hasSection(keyPath); });
    return exists ? kRegOk : kRegNotFound;
}

qint32 RegistryStore::createKey(const QString& keyPath) {
    if (isRootPath(keyPath))
        return kRegOk;
    const QStringList parts = keyPath.split(QLatin1Char('\\'));
    const bool ok = IniFileCache::instance().write(storeFile_, [&](IniDocument& document) {
        IniChange change{IniChange::Kind::None, {}};
        QString path = parts.front();
        for (qsizetype i = 1; i < parts.size(); ++i) {
            path += QLatin1Char('\\') + parts[i];
            const IniChange step = document.addSection(path);
            if (step.kind == IniChange::Kind::Refused)
                return step;
            if (step.kind != IniChange::Kind::None) {
                change.kind = IniChange::Kind::Append;
                change.appended += step.appended;
            }
        }
        return change;
    });
    return ok ? kRegOk : kRegCannotWrite;
}

qint32 RegistryStore::deleteKey(const QString& keyPath) {
    if (isRootPath(keyPath))
        return kRegAccessDenied;
    qint32 status = kRegOk;
    const bool ok = IniFileCache::instance().write(storeFile_, [&](IniDocument& document) {
        if (!document.hasSection(keyPath)) {
            status = kRegNotFound;
            return IniChange{IniChange::Kind::None, {}};
        }
        if (document.hasSectionStartingWith(keyPath + QLatin1Char('\\'))) {
            status = kRegAccessDenied;
            return IniChange{IniChange::Kind::None, {}};
        }
        return document.removeSection(keyPath);
    });
    return ok ? status : kRegCannotWrite;
}

qint32 RegistryStore::setValue(const QString& keyPath, const QString& name,
                               const RegistryValue& value) {
    const QString iniKey = iniKeyFor(name);
    if (iniKey.isEmpty())
        return kRegInvalidParameter;
    const QString text = encodeValue(value);
    const bool ok = IniFileCache::instance().write(storeFile_, [&](IniDocument& document) {
        return document.setValue(keyPath, iniKey, text);
    });
    return ok ? kRegOk : kRegCannotWrite;
}

qint32 RegistryStore::queryValue(const QString& keyPath, const QString& name,
                                 RegistryValue& value) const {
    const QString iniKey = iniKeyFor(name);
    if (iniKey.isEmpty())
        return kRegNotFound;
    std::optional<QString> text;
    IniFileCache::instance().read(
        storeFile_, [&](const IniDocument& document) { text = document.value(keyPath, iniKey); });
    if (!text)
        return kRegNotFound;
    const std::optional<RegistryValue> decoded = decodeValue(*text);
    if (!decoded)
        return kRegCorruptDatabase;
    value = *decoded;
    return kRegOk;
}

} // namespace vantola
