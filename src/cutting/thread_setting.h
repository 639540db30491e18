#pragma once

#include <QString>

namespace vantola {

// The most threads a job takes, whatever it is asked.
inline constexpr int kMaxJobThreads = 64;

// The number of cores of the machine (at least 1, at most kMaxJobThreads).
int coreCount();

// The threads of a job from the key THREADS of section PARAM in param.ini: a whole number from 1
// to kMaxJobThreads. No key, anything else, or a param.ini that cannot be read gives the number
// of cores.
int jobThreadsSetting(const QString& paramFile);

} // namespace vantola
