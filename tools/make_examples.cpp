// Writes the sample comic pages (page01.jpg ...) into the folder given on the command line.
// They are drawn from fixed seeds, so running it again gives the same pictures.
#include "page_generator.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <cstdio>
#include <exception>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() != 2) {
        std::fprintf(stderr, "usage: vantola_make_examples OUTDIR\n");
        return 2;
    }
    const QString folder = arguments.at(1);
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "vantola_make_examples: cannot create the folder %s\n",
                     qPrintable(folder));
        return 1;
    }
    try {
        for (const QString& path : vantola::generator::writeSamplePages(folder))
            std::printf("%s (%lld bytes)\n", qPrintable(path), QFileInfo(path).size());
    } catch (const std::exception& error) {
        std::fprintf(stderr, "vantola_make_examples: %s\n", error.what());
        return 1;
    }
    return 0;
}
