#include "app/progress_panel.h"
#include "main_window_test_fixture.h"
#include "support/page_generator.h"

#include <QDir>
#include <QTimer>
#include <set>

namespace vantola::test {
namespace {

// Three generated pages in a folder of their own, cut through the main window's menus while a
// timer, firing at every yield of the job, watches the window.
class MainWindowJobTest : public MainWindowTest {
protected:
    void SetUp() override {
        pages = home.path() + QStringLiteral("pages/");
        QDir().mkpath(pages);
        for (int i = 1; i <= 3; ++i) {
            PageSpec spec;
            spec.width = 500;
            spec.height = 700;
            spec.seed = std::uint64_t(i);
            spec.margin = 30;
            savePage(generatePage(spec).image, pages, QStringLiteral("page%1").arg(i),
                     PageFormat::Jpeg);
        }
        openWindow();
        nextImage = pages + QStringLiteral("page2.jpg");
    }

    // Calls watch() at every pass of the event loop while the job runs.
    void runWhileWatching(const char* command, const std::function<void()>& watch) {
        QTimer timer;
        timer.setInterval(0);
        QObject::connect(&timer, &QTimer::timeout, [&] {
            if (window->isJobRunning())
                watch();
        });
        timer.start();
        item(command)->trigger();
    }

    qsizetype piecesWritten() const {
        return QDir(pages + QStringLiteral("VANTOLA")).entryList({QStringLiteral("*.jpg")}).size();
    }

    QString pages;
};

TEST_F(MainWindowJobTest, FolderJobMovesBothBarsAndHoldsOnPause) {
    std::set<int> jobValues, pageValues;
    std::set<QString> captions;
    bool commandsDisabled = true;
    bool refusedSecondJob = false;
    int ticks = 0, pausedAt = -1;
    int heldPage = -1, heldJob = -1;
    qint32 heldPiece = -1;
    bool heldStill = true;

    runWhileWatching("mnu_ouvrirrep", [&] {
        ++ticks;
        const int job = window->pgbTraitement()->shownValue();
        const int page = window->pgbPage()->shownValue();
        jobValues.insert(job);
        pageValues.insert(page);
        captions.insert(window->windowTitle());
        commandsDisabled = commandsDisabled && !item("mnu_ouvrirrep")->isEnabled() &&
                           !item("mnu_ouvririmage")->isEnabled();
        if (!refusedSecondJob && ticks == 5)
            refusedSecondJob = !window->runJob(nextImage, QString(), 0);
        // Pause while the first page's rows are read, hold for 40 passes, then release.
        if (pausedAt < 0 && page > 0 && page < 75) {
            item("mnu_pause")->trigger();
            pausedAt = ticks;
        } else if (pausedAt > 0 && ticks == pausedAt + 2) {
            heldPage = page;
            heldJob = job;
            heldPiece = window->job().lNumDiapo;
        } else if (pausedAt > 0 && ticks > pausedAt + 2 && ticks <= pausedAt + 40) {
            heldStill = heldStill && page == heldPage && job == heldJob &&
                        window->job().lNumDiapo == heldPiece;
            if (ticks == pausedAt + 40)
                item("mnu_pause")->trigger();
        }
    });

    EXPECT_FALSE(window->isJobRunning());
    EXPECT_GT(pausedAt, 0);
    EXPECT_TRUE(heldStill);
    EXPECT_FALSE(item("mnu_pause")->isChecked());
    EXPECT_TRUE(commandsDisabled);
    EXPECT_TRUE(refusedSecondJob);
    EXPECT_TRUE(item("mnu_ouvrirrep")->isEnabled());

    // The job bar: 0, 33, 67 for three pages; the page bar runs through the rows.
    EXPECT_TRUE(jobValues.count(0) && jobValues.count(33) && jobValues.count(67));
    EXPECT_GT(*pageValues.rbegin(), 74);
    EXPECT_GT(pageValues.size(), 10u);
    EXPECT_TRUE(captions.count(QStringLiteral("Découpage de BD - 0/3")));
    EXPECT_TRUE(captions.count(QStringLiteral("Découpage de BD - 2/3")));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Découpage de BD - 2/3"));
    // Both bars are cleared at the end.
    EXPECT_EQ(window->pgbTraitement()->shownValue(), 0);
    EXPECT_EQ(window->pgbPage()->shownValue(), 0);
    EXPECT_TRUE(window->pgbTraitement()->shownText().isEmpty());

    ASSERT_GE(messages.size(), 2u);
    EXPECT_EQ(messages.front().title, QStringLiteral("DECOUPAGE EN COURS"));
    EXPECT_EQ(messages.back().title, QStringLiteral("DECOUPAGE TERMINE"));
    EXPECT_EQ(messages.back().text,
              QStringLiteral("%1 diapos créées et 0 erreurs rencontré(s).").arg(piecesWritten()));
    EXPECT_GE(piecesWritten(), 3);
}

TEST_F(MainWindowJobTest, PictureJobUsesTheWhiteLevelJustChosen) {
    nextAnswer = QStringLiteral("1500");
    item("mnu_blanc")->trigger();
    runWhileWatching("mnu_ouvririmage", [] {});
    const QByteArray log = readFileBytes(pages + QStringLiteral("VANTOLA/log.txt"));
    EXPECT_TRUE(log.contains("Niveau du blanc : 1500\r\n"));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].title, QStringLiteral("DECOUPAGE TERMINE"));
    // Only page2 was cut; a picture job leaves the caption alone.
    const QStringList pieces =
        QDir(pages + QStringLiteral("VANTOLA")).entryList({QStringLiteral("*.jpg")});
    ASSERT_FALSE(pieces.isEmpty());
    for (const QString& piece : pieces)
        EXPECT_TRUE(piece.startsWith(QStringLiteral("page2.jpg-"))) << piece.toStdString();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Vantola v0.5"));
}

// Closing the window, or "&Quitter", during a job (paused, for the close) stops the job where it
// is; the close then saves the switches, "&Quitter" does not.
TEST_F(MainWindowJobTest, ClosingOrQuittingDuringAJobStopsIt) {
    for (const bool quitter : {true, false}) {
        openWindow();
        item("mnu_doublepasse")->trigger();
        bool asked = false;
        runWhileWatching("mnu_ouvrirrep", [&] {
            if (asked || window->pgbPage()->shownValue() <= 10)
                return;
            asked = true;
            if (quitter) {
                item("mnu_quitter")->trigger();
            } else {
                item("mnu_pause")->trigger();
                window->close();
            }
        });
        EXPECT_TRUE(asked);
        EXPECT_FALSE(window->isJobRunning());
        EXPECT_EQ(quitCalls, 1);
        EXPECT_EQ(window->isVisible(), quitter);
        EXPECT_EQ(param("DOUBLEPASSE"),
                  quitter ? QStringLiteral("(absent)") : QStringLiteral("OUI"));
        EXPECT_TRUE(messages.empty()); // a stopped job shows no closing message
        EXPECT_FALSE(QDir(pages + QStringLiteral("VANTOLA2")).exists());
        quitCalls = 0;
    }
}

} // namespace
} // namespace vantola::test
