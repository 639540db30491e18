#pragma once

#include <QStringList>

namespace vantola {

// vantola pdf FILE.pdf OUTDIR [--pages N] [--dpi D] [options]: cuts the first N pages of the
// document (all of them by default), each rendered at D dots per inch (PDF_DPI of param.ini by
// default). The rendered pages are saved in OUTDIR as BD001.jpg, BD002.jpg..., the pieces go to
// OUTDIR/VANTOLA/. A document that cannot be opened stops the command before anything is
// written. Returns the exit status: 0 every page cut, 1 some page failed, 2 usage error or no
// job started.
int runPdfCommandLine(const QStringList& arguments);

} // namespace vantola
