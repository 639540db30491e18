#pragma once

// What the fuzz targets share: the Qt set-up that the core expects, a scratch folder for the
// files they write, and a check that stops the run on the input that broke it.

#include <QByteArray>
#include <QString>
#include <cstdio>
#include <cstdlib>

namespace vantola::fuzz {

// Creates the application object once (picture plugins, French locale as in the test suite).
// Call it from LLVMFuzzerInitialize.
void startQt(int* argc, char*** argv);

// A folder of this process, on a memory file system when there is one (the core syncs every file
// it writes in one piece, which costs a disk write each time elsewhere). Ends with a separator.
QString scratchFolder();

// Removes everything inside the folder, keeping the folder itself.
void emptyFolder(const QString& folder);

// Writes the bytes to the file, replacing it; aborts when that fails (the fuzzer cannot go on).
void writeWholeFile(const QString& path, const QByteArray& bytes);

// The file's bytes; empty when it cannot be read.
QByteArray readWholeFile(const QString& path);

} // namespace vantola::fuzz

// A broken invariant: says which and where, then aborts so that libFuzzer keeps the input.
#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition);     \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)
