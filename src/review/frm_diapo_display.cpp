// Showing a page in the review window: the page picture, the sketch of its cuts, the thumbnails
// of its pieces, the info label and the caption.
#include "app/main_window.h"
#include "review/busy_cursor.h"
#include "review/cut_overlay.h"
#include "review/cut_sketch.h"
#include "review/frm_diapo.h"
#include "review/mdi_compare.h"
#include "review/picture_box.h"
#include "review/picture_preview.h"
#include "review/thumbnail_fit.h"
#include "review/thumbnail_slot.h"
#include "settings/path_parts.h"

#include <QCheckBox>
#include <QLabel>
#include <QProgressBar>
#include <QScrollBar>

namespace vantola {

namespace {

const QString& thumbnailToolTip() {
    static const QString text = QStringLiteral("Double clique = effacer le fichier");
    return text;
}

} // namespace

void frmDiapo::AfficherImage() {
    if (tabImages_.empty())
        return;
    const int p = hScrollFile_->value();
    const QString& name = tabImages_[std::size_t(p)].name;
    const QString path = sRepSource_ + name;

    showPagePicture(path, name);
    drawCutSketch(path);
    container_.renseigner_tableau(sRepSource_, name);
    AfficherDiapos();
    lblInfo_->setText(QString::number(state_.tabDiapos.size()) + QStringLiteral(" diapos sur ") +
                      name);
    setWindowTitle(sRepSource_ + QStringLiteral("   (") + QString::number(p) + QLatin1Char('/') +
                   QString::number(hScrollFile_->maximum()) + QLatin1Char(')'));
}

void frmDiapo::showPagePicture(const QString& path, const QString& name) {
    const PicturePreview preview =
        loadPreview(path, [this](QSize) { return imageOriginal_->size(); });
    if (preview.shown())
        imageOriginal_->setPicture(preview.image);
    else
        imageOriginal_->setNotice(
            QStringLiteral("Page non affichée : %1 (%2)").arg(name, preview.problem));
}

void frmDiapo::drawCutSketch(const QString& path) {
    picCalque_->Cls();
    const CutSketch sketch = readCutSketch(path, picCalque_->sizeTwips(), state_.sFichierDecoupage);
    for (const SketchOutline& outline : sketch.outlines)
        picCalque_->drawOutline(outline, outlineColour(outline));
    if (!sketch.problem.isEmpty())
        picCalque_->setNotice(sketch.problem);
}

void frmDiapo::AfficherDiapos() {
    const qsizetype v = scrVerticale_->value();
    const qsizetype count = state_.tabDiapos.size();
    hideThumbnails();
    QProgressBar* bar = container_.ProgressBar1();
    bar->setRange(0, kThumbnailSlots);
    bar->setValue(0);
    bar->show();
    {
        const BusyCursor busy;
        for (int i = 0; i < kThumbnailSlots; ++i) {
            bar->setValue(i);
            const qsizetype k = v * kThumbnailSlots + i;
            if (k < count)
                showThumbnail(i, state_.tabDiapos[k]);
        }
        bar->setValue(kThumbnailSlots);
        bar->hide();
    }
    // One position per screen of sixteen pieces. Lowering the maximum below the current screen
    // moves the scroll bar, whose change lays the thumbnails out again.
    scrVerticale_->setMaximum(int(count / kThumbnailSlots));
}

void frmDiapo::showThumbnail(int slot, const QString& piecePath) {
    ThumbnailSlot* frame = slots_[std::size_t(slot)];
    PictureBox* picture = frame->picture();
    frame->show();
    frame->setToolTip(thumbnailToolTip());
    picture->setToolTip(thumbnailToolTip());

    QRect place;
    const PicturePreview preview = loadPreview(piecePath, [&](QSize natural) {
        place = toPixels(fitThumbnail(natural, slot));
        return place.size().expandedTo(QSize(1, 1));
    });
    if (preview.shown()) {
        picture->setPicture(preview.image);
    } else {
        place = toPixels(fitThumbnail(QSize(), slot));
        picture->setNotice(
            QStringLiteral("%1\n(%2)").arg(ExtraireNomFichier(piecePath), preview.problem));
    }
    picture->setTag(piecePath);
    picture->setGeometry(QRect(place.topLeft(), place.size().expandedTo(QSize(1, 1))));
}

void frmDiapo::hideThumbnails() {
    for (ThumbnailSlot* slot : slots_) {
        slot->hide();
        slot->picture()->clear();
    }
}

void frmDiapo::HScrollFile_Change() {
    AfficherImage();
    if (tabImages_.empty())
        return;
    const PageRow& row = tabImages_[std::size_t(hScrollFile_->value())];
    chkRedecoupe_->setChecked(row.mark == QLatin1String("OK"));
}

void frmDiapo::ScrVerticale_Change() {
    hideThumbnails();
    AfficherDiapos();
}

void frmDiapo::chkRedecoupe_Click() {
    if (tabImages_.empty())
        return;
    PageRow& row = tabImages_[std::size_t(hScrollFile_->value())];
    row.mark = chkRedecoupe_->isChecked() ? QStringLiteral("OK") : QString();
}

} // namespace vantola
