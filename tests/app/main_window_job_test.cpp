#include "app/progress_panel.h"
#include "main_window_test_fixture.h"
#include "support/test_pages.h"

#include <QDir>
#include <QTimer>
#include <set>

namespace vantola::test {
namespace {

// Three pages cut from the menus while a timer, firing at each yield of the job, watches.
class MainWindowJobTest : public MainWindowTest {
protected:
    void SetUp() override {
        QDir().mkpath(pages);
        PageSpec spec{.width = 500, .height = 700, .panelsPerTier = {}, .margin = 30};
        for (spec.seed = 1; spec.seed <= 3; ++spec.seed)
            savePage(generatePage(spec).image, pages, QStringLiteral("page%1").arg(spec.seed),
                     PageFormat::Jpeg);
        openWindow();
        nextImage = pages + "page2.jpg";
    }

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

    QStringList piecesWritten() const { return QDir(pages + "VANTOLA").entryList({"*.jpg"}); }

    QString pages = home.path() + "pages/";
};

TEST_F(MainWindowJobTest, FolderJobMovesBothBarsAndHoldsOnPause) {
    std::set<int> jobValues, pageValues;
    bool commandsDisabled = true, refusedSecondJob = false, heldStill = true;
    int ticks = 0, pausedAt = -1, heldPage = -1, heldJob = -1;
    qint32 heldPiece = -1;

    runWhileWatching("mnu_ouvrirrep", [&] {
        ++ticks;
        const int job = window->pgbTraitement()->shownValue();
        const int page = window->pgbPage()->shownValue();
        jobValues.insert(job);
        pageValues.insert(page);
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

    // The job bar shows 0, 33, 67 for three pages; the page bar runs through the rows.
    EXPECT_TRUE(jobValues.count(0) && jobValues.count(33) && jobValues.count(67));
    EXPECT_GT(*pageValues.rbegin(), 74);
    EXPECT_GT(pageValues.size(), 10u);
    EXPECT_EQ(window->windowTitle(), "Découpage de BD - 2/3");
    EXPECT_EQ(window->pgbTraitement()->shownValue(), 0);
    EXPECT_EQ(window->pgbPage()->shownValue(), 0);
    EXPECT_TRUE(window->pgbTraitement()->shownText().isEmpty());
}

TEST_F(MainWindowJobTest, PictureJobUsesTheWhiteLevelJustChosen) {
    nextAnswer = "1500";
    item("mnu_blanc")->trigger();
    runWhileWatching("mnu_ouvririmage", [] {});
    EXPECT_TRUE(readFileBytes(pages + "VANTOLA/log.txt").contains("Niveau du blanc : 1500\r\n"));
    // Only page2 was cut.
    ASSERT_FALSE(piecesWritten().isEmpty());
    for (const QString& piece : piecesWritten())
        EXPECT_TRUE(piece.startsWith("page2.jpg-")) << piece.toStdString();
}

// A missing folder starts and creates nothing; a job the driver refuses ends with its reason,
// never with the closing message of a job done.
TEST_F(MainWindowJobTest, MissingFoldersAndRefusedJobsReportNoSuccess) {
    nextImage = home.path() + "absent/page1.jpg";
    for (const char* command : {"mnu_ouvrirrep", "mnu_ouvririmage", "mnu_compare"})
        item(command)->trigger();
    nextAnswer = "300000";
    item("mnu_blanc")->trigger();
    EXPECT_FALSE(window->runJob(pages + "page1.jpg", "page1.jpg", 0));

    EXPECT_EQ(messageTitles(), QStringList({"DOSSIER INTROUVABLE", "DOSSIER INTROUVABLE",
                                            "DOSSIER INTROUVABLE", "DECOUPAGE IMPOSSIBLE"}));
    EXPECT_FALSE(QDir(home.path() + "absent").exists());
    EXPECT_TRUE(piecesWritten().isEmpty());
}

// Closing (paused) or "&Quitter" stops the job, silently; only the close saves the switches.
TEST_F(MainWindowJobTest, ClosingOrQuittingDuringAJobStopsIt) {
    for (const bool quitter : {true, false}) {
        SCOPED_TRACE(quitter ? "quitter" : "close");
        openWindow();
        quitCalls = 0;
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
        EXPECT_EQ(param("DOUBLEPASSE"), quitter ? "(absent)" : "OUI");
        EXPECT_TRUE(messages.empty());
        EXPECT_FALSE(QDir(pages + "VANTOLA2").exists());
    }
}

} // namespace
} // namespace vantola::test
