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

// Runs a program in the environment below, $VANTOLA naming the built executable.
ProcessResult runProgram(const QString& program, const QStringList& arguments,
                         int timeoutMs = 120000, const QStringList& environmentChanges = {});

// Runs the built vantola executable with the arguments and waits for it (up to the timeout).
// The child gets the French locale and the offscreen platform, then the environment changes
// ("NAME=value", or "NAME=" to remove NAME).
ProcessResult runVantola(const QStringList& arguments, int timeoutMs = 120000,
                         const QStringList& environmentChanges = {});

// The status of runInPrivateMounts where no private mount namespace can be made.
inline constexpr int kNoPrivateMounts = -2;

// Runs the shell script with the arguments ($1...) in a private mount namespace, as root of a
// user namespace, so that it may mount a small tmpfs or a read-only bind without touching the
// machine's mounts; $VANTOLA names the built executable. Same environment as runVantola.
ProcessResult runInPrivateMounts(const QString& script, const QStringList& arguments);

} // namespace vantola::test
