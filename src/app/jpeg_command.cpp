#include "app/jpeg_command.h"

#include "app/command_line.h"
#include "app/job_options.h"
#include "app/job_runner.h"
#include "image/cimage.h"
#include "image/jpeg_colour_sampling.h"
#include "image/jpeg_writing.h"
#include "image/picture_loader.h"
#include "settings/app_error.h"

#include <QFileInfo>
#include <QTextStream>

namespace vantola {

namespace {

// The options given, else the JPEG keys of param.ini with the defaults of the piece writer.
JpegSettings settingsFor(const JobOptions& options) {
    return readJpegSettings(loadProgramStateFor(options.home).sFichierParam, options.jpeg);
}

} // namespace

int runJpegCommand(const QStringList& arguments) {
    const ParsedJobOptions parsed = parseJobOptions(arguments);
    if (!parsed.error.isEmpty())
        return usageError(QStringLiteral("jpeg: ") + parsed.error);
    const JobOptions& options = parsed.options;
    if (options.positional.size() != 2)
        return usageError(QStringLiteral("jpeg takes a picture file and an output file"));
    if (options.level || options.doublePass || options.rotation || options.headerRow ||
        options.footerRow || options.debug)
        return usageError(QStringLiteral("jpeg takes only --quality, --sampling, --grey and "
                                         "--home"));
    const QString& source = options.positional.at(0);
    const QString& target = options.positional.at(1);
    try {
        // A PPM, PGM or plain PNG is encoded as its rows are read, never held whole; any other
        // picture goes straight into the encoder's buffer, without a QImage in between.
        if (const std::unique_ptr<jpeg::BgrRows> rows = openPictureRows(source)) {
            writeJpegReplacing(*rows, settingsFor(options), target);
        } else {
            cImage picture;
            loadPictureBuffer(source, picture);
            writeJpegReplacing(picture, settingsFor(options), target);
        }
    } catch (const AppError& error) {
        QTextStream(stderr) << "vantola: jpeg: " << source << " -> " << target << ": "
                            << error.description() << " (error " << error.number() << ")\n";
        return kExitUsage;
    }
    if (!options.quiet)
        QTextStream(stdout) << "written: " << target << " (" << QFileInfo(target).size()
                            << " bytes)\n";
    return kExitSuccess;
}

} // namespace vantola
