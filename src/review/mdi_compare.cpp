#include "review/mdi_compare.h"

#include "review/frm_diapo.h"
#include "review/piece_listing.h"
#include "review/review_captions.h"
#include "review/review_host.h"
#include "review/twips.h"
#include "settings/path_parts.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProgressBar>
#include <QVBoxLayout>
#include <limits>

namespace vantola {

namespace {

constexpr double kProgressBarHeightTwips = 375;
constexpr int kListingBarMaximum = 100;

// The listing cannot tell how many files there are: the bar cycles instead of filling.
void stepCyclingBar(QProgressBar* bar) {
    if (bar->maximum() < bar->value() + 5)
        bar->setValue(0);
    bar->setValue(bar->value() + 1);
}

} // namespace

MDI_Compare::MDI_Compare(ReviewHost& host, QWidget* parent)
    : QMainWindow(parent), host_(host), area_(new QMdiArea), progressBar_(new QProgressBar) {
    setObjectName(QStringLiteral("MDI_Compare"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(compareToolTitle());
    setWindowIcon(host.hostWindow().windowIcon());

    area_->setObjectName(QStringLiteral("MDIArea"));
    area_->setBackground(palette().brush(QPalette::Dark));
    area_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    area_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    progressBar_->setObjectName(QStringLiteral("progressBar"));
    progressBar_->setMinimum(0);
    progressBar_->setTextVisible(false);
    progressBar_->setFixedHeight(twipsToPixels(kProgressBarHeightTwips));
    progressBar_->hide();

    auto* client = new QWidget;
    auto* layout = new QVBoxLayout(client);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(area_, 1);
    layout->addWidget(progressBar_);
    setCentralWidget(client);
}

frmDiapo* MDI_Compare::reviewWindow() const {
    return reviewWindow_.data();
}

bool MDI_Compare::MDIForm_Load() {
    setWindowState(windowState() | Qt::WindowMaximized);
    ProgramState& state = host_.state();
    if (state.sRepSource.isEmpty()) {
        const QString picture = host_.chooseImage();
        if (picture.isEmpty() || !host_.chosenFolderExists(picture))
            return false;
        state.sRepSource = ExtraireDossier(picture);
    }
    auto* review = new frmDiapo(*this, host_);
    reviewWindow_ = review;
    QMdiSubWindow* subWindow = area_->addSubWindow(review);
    subWindow->setWindowIcon(windowIcon());
    subWindow->showMaximized();
    return true;
}

void MDI_Compare::renseigner_tableau(const QString& sRepSource, const QString& sFichierOriginal) {
    QStringList& tabDiapos = host_.state().tabDiapos;
    tabDiapos.clear();
    const QString dir = pieceFolder(sRepSource);
    const BusyCursor busy;
    progressBar_->setMaximum(kListingBarMaximum);
    progressBar_->setValue(0);
    progressBar_->show();
    for (const QString& name : listPlainFiles(dir)) {
        stepCyclingBar(progressBar_);
        // The count of pieces is a 16-bit number: a page never has more.
        if (isPieceOf(name, sFichierOriginal) &&
            tabDiapos.size() < std::numeric_limits<qint16>::max())
            tabDiapos << dir + name;
    }
    progressBar_->setValue(progressBar_->maximum());
    progressBar_->hide();
}

} // namespace vantola
