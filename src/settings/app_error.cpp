#include "settings/app_error.h"

#include <cerrno>

namespace vantola {

QString standardErrorDescription(int number) {
    switch (number) {
    case kErrOverflow:
        return QStringLiteral("Overflow");
    case kErrOutOfMemory:
        return QStringLiteral("Out of memory");
    case kErrTypeMismatch:
        return QStringLiteral("Type mismatch");
    case kErrSubscript:
        return QStringLiteral("Subscript out of range");
    case kErrDivisionByZero:
        return QStringLiteral("Division by zero");
    case kErrFileNotFound:
        return QStringLiteral("File not found");
    case kErrPermissionDenied:
        return QStringLiteral("Permission denied");
    case kErrPathAccess:
        return QStringLiteral("Path/File access error");
    case kErrInvalidPicture:
        return QStringLiteral("Invalid picture");
    default:
        return QStringLiteral("Application-defined or object-defined error");
    }
}

void raiseError(int number) {
    throw AppError(number, standardErrorDescription(number));
}

void raiseFileError(int systemError) {
    const bool denied = systemError == EACCES || systemError == EPERM || systemError == EROFS;
    raiseError(denied ? kErrPermissionDenied : kErrPathAccess);
}

} // namespace vantola
