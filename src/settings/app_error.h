#pragma once

#include <QString>
#include <stdexcept>

namespace vantola {

// Error numbers that the program reports in its log and messages.
inline constexpr int kErrEncoder = 1;         // the encoder's own errors
inline constexpr int kErrOverflow = 6;        // arithmetic overflow
inline constexpr int kErrOutOfMemory = 7;     // a picture too large to hold
inline constexpr int kErrSubscript = 9;       // index out of range
inline constexpr int kErrDivisionByZero = 11; // division by zero
inline constexpr int kErrTypeMismatch = 13;   // a setting that should be a number is not
inline constexpr int kErrFileNotFound = 53;   // a file that should exist does not
inline constexpr int kErrPermissionDenied = 70;
inline constexpr int kErrPathAccess = 75;         // a file or folder cannot be written or removed
inline constexpr int kErrInvalidPicture = 481;    // a picture file that cannot be decoded
inline constexpr int kErrNoCapturedPicture = 521; // no picture on the clipboard or PDF page

// A failure with a number and a description. Raised inside an operation and caught by the
// page-level handler of the cutter (or by whoever called the operation), never shown directly.
class AppError : public std::runtime_error {
public:
    AppError(int number, const QString& description)
        : std::runtime_error(description.toStdString()), number_(number),
          description_(description) {}

    int number() const { return number_; }
    const QString& description() const { return description_; }

private:
    int number_;
    QString description_;
};

// The standard descriptions of the numbered errors above.
QString standardErrorDescription(int number);

// Raises the numbered error with its standard description.
[[noreturn]] void raiseError(int number);

// Raises the error that a failed file write (errno value) stands for: permission denied for a
// refused access or a read-only file system, else the path/file access error.
[[noreturn]] void raiseFileError(int systemError);

} // namespace vantola
