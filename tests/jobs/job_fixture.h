#pragma once

#include "cutting/cutting_job.h"
#include "cutting/program_settings.h"
#include "support/temp_folder.h"

#include <QImage>
#include <QMap>
#include <QString>
#include <QStringList>
#include <vector>

namespace vantola::test {

// A job host that remembers everything the job showed.
class RecordingHost : public JobHost {
public:
    void jobProgress(int value, const QString& text) override {
        jobValues.push_back(value);
        jobTexts << text;
    }
    void pageProgress(int value, const QString&) override { pageValues.push_back(value); }
    void setCaption(const QString& caption) override { captions << caption; }
    void showMessage(const QString& title, const QString& text) override {
        messages << title + QStringLiteral(" | ") + text;
    }
    void pageShown(const QString& path, const QImage&) override { shownPages << path; }
    QImage clipboardPicture() override { return clipboard; }

    std::vector<int> jobValues;
    QStringList jobTexts;
    std::vector<int> pageValues;
    QStringList captions;
    QStringList messages;
    QStringList shownPages;
    QImage clipboard;
};

// A program folder and a source folder in a temporary place, with a job ready to run.
class JobFixture {
public:
    JobFixture();

    QString home() const { return root_.path() + QStringLiteral("home/"); }
    QString source() const { return root_.path() + QStringLiteral("pages/"); }
    QString output() const { return source() + QStringLiteral("VANTOLA/"); }
    QString file(const QString& name) const { return source() + name; }

    // Writes key = value into section PARAM of param.ini.
    void setParam(const QString& key, const QString& value);

    ProgramState state;
    RecordingHost host;
    CuttingJob job;

private:
    TempFolder root_;
};

// The lines of a text file written with CR LF line ends (the last, empty one dropped).
QStringList textFileLines(const QString& path);

// The log's lines with the date and time of its first and last lines cut off.
QStringList logLinesWithoutDates(const QString& path);

// Every key = value of one section of an INI file, in file order, as "KEY=VALUE".
QStringList iniSectionLines(const QString& path, const QString& section);

} // namespace vantola::test
