#pragma once

#include "cutting/program_state.h"
#include "image/cjpeg.h"

#include <QDialog>
#include <QString>
#include <QStringList>
#include <array>
#include <memory>

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QPushButton;
class QScrollBar;

namespace vantola {

// The JPEG settings window: quality, luminance subsampling and grey output, read from the
// "PARAM" section of param.ini when the window opens and written back by "OK". Every change is
// applied at once to the window's own encoder, which the piece writer does not use: only the
// settings file carries the choices to it.
class fSaveJPG : public QDialog {
    Q_OBJECT

public:
    // The sixteen subsampling choices, in list order; characters 1 and 3 are H and V.
    static const QStringList& samplingEntries();

    // Builds the window and loads the settings of state.sFichierParam. A setting that a control
    // refuses (not a number, a list position outside 0 ... 15, a quality outside 1 ... 100, an
    // unreadable file) leaves that control at its default; the window reports it when shown.
    explicit fSaveJPG(const ProgramState& state, QWidget* parent = nullptr);
    ~fSaveJPG() override;

    // Shows a new window without blocking its caller; it deletes itself when closed. While one
    // is open over the parent, that one comes to the front instead.
    static fSaveJPG* showWindow(const ProgramState& state, QWidget* parent);

    // Keeps the picture and its file name; nothing else.
    void SaveImage(cImage* TheImage, const QString& FileName);

    // The window's encoder, mirroring the controls; null once a button has closed the window.
    const cJpeg* encoder() const { return jpeg_.get(); }
    const cImage* image() const { return TheImage_; }
    const QString& fileName() const { return FileName_; }
    // The settings refused at opening, one message each.
    const QStringList& loadErrors() const { return loadErrors_; }

    QFrame* settingsFrame;
    QLabel* lblQuality;
    QScrollBar* hscQuality;
    QLabel* lblSubSample;
    QComboBox* cboSubSample;
    QCheckBox* chkGreyscale;
    QPushButton* cmdComment;
    std::array<QPushButton*, 2> cmdFinish; // 0 "Annuler", 1 "OK"

protected:
    void showEvent(QShowEvent* event) override;

public slots:
    void done(int result) override;

private:
    void createControls();
    void placeControls();
    void loadSettings();
    void hscQuality_Change(int value);
    void cboSubSample_Click();
    void cmdFinish_Click(int index);
    bool saveSettings();

    QString sFichierParam_;
    std::unique_ptr<cJpeg> jpeg_;
    cImage* TheImage_ = nullptr;
    QString FileName_;
    QStringList loadErrors_;
    bool errorsShown_ = false;
};

} // namespace vantola
