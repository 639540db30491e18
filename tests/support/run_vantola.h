#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace vantola::test {

struct ProcessResult {
    int status = -1;
    QString out;
    QString err;
};

// Runs the built vantola executable with the arguments and waits for it (up to the timeout).
// The child gets the French locale and the offscreen platform, then the environment changes
// ("NAME=value", or "NAME=" to remove NAME).
ProcessResult runVantola(const QStringList& arguments, int timeoutMs = 120000,
                         const QStringList& environmentChanges = {});

} // namespace vantola::test
