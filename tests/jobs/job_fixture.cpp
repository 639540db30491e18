#include "jobs/job_fixture.h"

#include "settings/cls_initreg.h"
#include "support/page_generator.h"

#include <QDir>

namespace vantola::test {

JobFixture::JobFixture() : job(state, host) {
    QDir().mkpath(home());
    QDir().mkpath(source());
    state = loadProgramState(home());
    state.bSansMessage = false;
}

void JobFixture::setParam(const QString& key, const QString& value) {
    Cls_InitREG().IniEcrire(QStringLiteral("PARAM"), key, value, state.sFichierParam);
}

void CallRecorder::pageShown(const QString& path, const QImage& page) {
    record(QStringLiteral("shown %1 %2x%3 %4 footer %5")
               .arg(path)
               .arg(page.width())
               .arg(page.height())
               .arg(page.isNull() ? 0 : page.pixel(page.width() / 2, page.height() / 2))
               .arg(footerRow ? *footerRow : -1));
    if (onShown)
        onShown(path);
}

void CallRecorder::yield() {
    record(QStringLiteral("yield"));
    if (onYield)
        onYield();
}

bool CallRecorder::pauseRequested() {
    record(QStringLiteral("pause?"));
    return pausesLeft > 0 && pausesLeft-- > 0;
}

QStringList CallRecorder::callsOf(const QString& prefix) const {
    QStringList result;
    for (const QString& call : calls) {
        if (call.startsWith(prefix))
            result << call.mid(prefix.size());
    }
    return result;
}

void CallRecorder::record(const QString& call) {
    callFromAnotherThread |= std::this_thread::get_id() != madeOn_;
    calls << call;
}

QStringList JobFixture::outputLog() const {
    return textFileLines(output() + QStringLiteral("log.txt"));
}

QString writeComicPage(const QString& folder, const QString& name, std::uint64_t seed, QSize size) {
    PageSpec spec;
    spec.width = size.width();
    spec.height = size.height();
    spec.seed = seed;
    spec.panelsPerTier = {2, 2, 2};
    spec.margin = 30;
    spec.gutter = 16;
    return savePage(generatePage(spec).image, folder, name, PageFormat::Jpeg, 95);
}

} // namespace vantola::test
