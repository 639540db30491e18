#include "support/job_fixture.h"

#include "settings/cls_initreg.h"
#include "support/djpeg.h"
#include "support/test_pages.h"

#include <QDir>
#include <QDirIterator>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <stdexcept>

#ifndef VANTOLA_BINARY
#define VANTOLA_BINARY "vantola"
#endif

namespace vantola::test {

ProcessResult runProgram(const QString& program, const QStringList& arguments, int timeoutMs,
                         const QStringList& environmentChanges) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("LC_ALL", "fr_FR.UTF-8");
    environment.insert("LANG", "fr_FR.UTF-8");
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("VANTOLA", QStringLiteral(VANTOLA_BINARY));
    for (const QString& change : environmentChanges) {
        const QString name = change.section(QLatin1Char('='), 0, 0);
        const QString value = change.section(QLatin1Char('='), 1);
        value.isEmpty() ? environment.remove(name) : environment.insert(name, value);
    }
    const ToolResult run = runTool(program, arguments, timeoutMs, environment);
    return {run.status, QString::fromUtf8(run.out), run.err};
}

ProcessResult runVantola(const QStringList& arguments, int timeoutMs,
                         const QStringList& environmentChanges) {
    return runProgram(QStringLiteral(VANTOLA_BINARY), arguments, timeoutMs, environmentChanges);
}

ProcessResult runInPrivateMounts(const QString& script, const QStringList& arguments) {
    const QStringList unshare{"--user", "--map-root-user", "--mount"};
    if (runProgram("unshare", unshare + QStringList{"true"}, 10000).status != 0)
        return {kNoPrivateMounts, {}, {}};
    return runProgram("unshare", unshare + QStringList{"sh", "-c", script, "sh"} + arguments,
                      300000);
}

QStringList textFileLines(const QString& path) {
    QStringList lines = QString::fromUtf8(readFileBytes(path)).split("\r\n");
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    lines.replaceInStrings(QRegularExpression("^(Traitement (commencé|terminé) à) .*"), "\\1");
    return lines;
}

QStringList iniSectionLines(const QString& path, const QString& section) {
    QStringList result;
    bool inSection = false;
    for (const QString& line : textFileLines(path)) {
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']')))
            inSection = line.mid(1, line.size() - 2) == section;
        else if (inSection && !line.isEmpty())
            result << line;
    }
    return result;
}

std::vector<QRect> recordedPieces(const QString& record, const QString& page) {
    QMap<QString, int> keys;
    for (const QString& line : iniSectionLines(record, page))
        keys[line.section('=', 0, 0)] = line.section('=', 1).toInt();
    std::vector<QRect> pieces;
    for (int n = 1; keys.contains(QStringLiteral("FICHIER_%1").arg(n)); ++n) {
        const auto at = [&](const char* key) { return keys.value(key + QString::number(n)); };
        pieces.push_back(QRect(QPoint(at("COLONNE_1_"), at("LIGNE_1_")),
                               QPoint(at("COLONNE_2_"), at("LIGNE_2_"))));
    }
    return pieces;
}

JobFixture::JobFixture() : job(state, host) {
    QDir().mkpath(home());
    QDir().mkpath(source());
    state = loadProgramState(home());
    state.bSansMessage = false;
}

void JobFixture::setParam(const QString& key, const QString& value) {
    ASSERT_NE(Cls_InitREG().IniEcrire("PARAM", key, value, state.sFichierParam), 0);
}

void RecordingHost::pageShown(const QString& path, const QImage& page) {
    record(QStringLiteral("shown %1 %2x%3 %4 footer %5")
               .arg(path)
               .arg(page.width())
               .arg(page.height())
               .arg(page.isNull() ? 0 : page.pixel(page.width() / 2, page.height() / 2))
               .arg(footerRow ? *footerRow : -1));
    if (onShown)
        onShown(path);
}

void RecordingHost::yield() {
    record("yield");
    if (onYield)
        onYield();
}

bool RecordingHost::pauseRequested() {
    record("pause?");
    return pausesLeft > 0 && pausesLeft-- > 0;
}

QStringList RecordingHost::callsOf(const QString& prefix) const {
    QStringList result;
    for (const QString& call : calls) {
        if (call.startsWith(prefix))
            result << call.mid(prefix.size());
    }
    return result;
}

void RecordingHost::record(const QString& call) {
    callFromAnotherThread |= std::this_thread::get_id() != madeOn_;
    calls << call;
}

QStringList JobFixture::outputLog() const {
    return textFileLines(output() + "log.txt");
}

QImage comicPage(std::uint64_t seed, QSize size) {
    PageSpec spec{.seed = seed, .panelsPerTier = {2, 2, 2}, .gutter = 16, .margin = 30};
    spec.width = size.width();
    spec.height = size.height();
    return generatePage(spec).image;
}

QString writeComicPage(const QString& folder, const QString& name, std::uint64_t seed, QSize size) {
    return savePage(comicPage(seed, size), folder, name, PageFormat::Jpeg, 95);
}

void writeComicPages(const QString& folder, int count, QSize size) {
    for (int page = 1; page <= count; ++page)
        writeComicPage(folder, QStringLiteral("p%1").arg(page), std::uint64_t(page), size);
}

QStringList fileNames(const QString& folder, const QString& pattern) {
    return QDir(folder).entryList({pattern}, QDir::Files, QDir::Name);
}

QMap<QString, QByteArray> folderContents(const QString& root, const QString& source) {
    QMap<QString, QByteArray> contents;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QByteArray& bytes = contents[QDir(root).relativeFilePath(path)];
        if (it.fileInfo().isDir())
            bytes = "<folder>";
        else if (!path.endsWith(QLatin1String("log.txt")))
            bytes = readFileBytes(path);
        else if (source.isEmpty())
            bytes = textFileLines(path).join(QLatin1Char('\n')).toUtf8();
        else
            bytes = textFileLines(path).join(QLatin1Char('\n')).replace(source, "SOURCE/").toUtf8();
    }
    return contents;
}

void writePdf(const QString& path, const std::vector<QImage>& pages, int dpi) {
    QPdfWriter writer(path);
    writer.setResolution(dpi);
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    QPainter painter; // ends the document when it goes
    for (const QImage& page : pages) {
        const QSizeF points(page.width() * 72.0 / dpi, page.height() * 72.0 / dpi);
        writer.setPageSize(QPageSize(points, QPageSize::Point, QString(), QPageSize::ExactMatch));
        if (painter.isActive())
            writer.newPage();
        else if (!painter.begin(&writer))
            throw std::runtime_error("cannot write the PDF " + path.toStdString());
        painter.drawImage(QRect(QPoint(0, 0), page.size()), page);
    }
}

} // namespace vantola::test
