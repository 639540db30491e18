#pragma once

#include <QStringList>

namespace vantola {

// vantola jpeg IN OUT [--quality Q] [--sampling H:V] [--grey] [--home DIR]: encodes one picture
// file with our encoder into OUT, replacing OUT when it exists. Settings left out come from
// param.ini, as for the pieces of a cut. Returns 0 on success, 2 for a usage error or a failure
// (with a message on standard error).
int runJpegCommand(const QStringList& arguments);

} // namespace vantola
