#pragma once

#include <QDialog>
#include <QString>
#include <functional>

class QLabel;
class QMessageBox;
class QPushButton;

namespace vantola {

// This machine's details (system, kernel, processor, host name, Qt version), one per line, or ""
// when the system reports none of them.
QString systemInformation();

// The about box: the program's name and version, what it does, where to read more, its icon, and
// a button that shows the system's details.
class frmAbout : public QDialog {
    Q_OBJECT

public:
    // Gives the system's details, "" when there are none; systemInformation by default.
    using SourceInformations = std::function<QString()>;

    explicit frmAbout(QWidget* parent = nullptr);

    // Shows a new about box without blocking its caller; it deletes itself when closed. While
    // one is open over the parent, that one comes to the front instead.
    static frmAbout* showWindow(QWidget* parent);

    // "&Infos système...": shows the system's details in a message box, or says that they are
    // not available. The box is shown without blocking and deletes itself when closed.
    QMessageBox* StartSysInfo();

    // The link "notice.htm": opens the user guide in the desktop's browser, or says in a message
    // box why it cannot. True when it was opened.
    bool OpenNotice();

    void setSourceInformations(SourceInformations source) { source_ = std::move(source); }

    QLabel* picIcon;
    QLabel* lblTitle;
    QLabel* lblDescription;
    QLabel* lblDisclaimer;
    QPushButton* cmdOK;
    QPushButton* cmdSysInfo;

private:
    // An information box shown without blocking, deleted when closed.
    QMessageBox* showInformation(const QString& title, const QString& text);

    SourceInformations source_;
};

} // namespace vantola
