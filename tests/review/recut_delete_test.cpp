#include "review_fixture.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <QTimer>

namespace vantola::test {
namespace {

// HOME is the program folder meanwhile: a wastebasket, when a test makes one, is its own.
class RecutTest : public ThreePagesReviewTest {
protected:
    void SetUp() override {
        qputenv("HOME", QFile::encodeName(home.path()));
        ThreePagesReviewTest::SetUp();
    }
    void TearDown() override { qputenv("HOME", savedHome); }
    const QByteArray savedHome = qgetenv("HOME");
    QByteArray log() const { return readFileBytes(pieceFolder() + "log.txt"); }
    QByteArray cutRecord() const { return readFileBytes(state.sFichierDecoupage); }
    void removePiece(const QString& name) { ASSERT_TRUE(QFile::remove(pieceFolder() + name)); }
};

TEST_F(RecutTest, RecuttingThePageUsesTheTypedLevelAndDebugSwitch) {
    showPage(1);
    diapo().txtNbBlanc()->setText("1500");
    diapo().chkDebug()->setChecked(true);
    state.bSansMessage = false;
    diapo().CmdRedecouper()->click();

    EXPECT_EQ(state.lNiveauBlanc, 1500); // the main window's level too, from now on
    EXPECT_TRUE(state.bModeDebug && state.bSansMessage);
    EXPECT_TRUE(messages.empty()); // no closing message
    EXPECT_TRUE(diapo().isEnabled());
    EXPECT_TRUE(log().contains("Niveau du blanc : 1500"));
    EXPECT_TRUE(log().contains("bandes de "));
    // Only this page is in the record now. Its new pieces are numbered from 1; those of the
    // folder job (4 to 6) stay beside them until deleted.
    EXPECT_TRUE(cutRecord().contains("b.jpg]"));
    EXPECT_FALSE(cutRecord().contains("a.jpg]"));
    EXPECT_EQ(piecesOnDisk("b.jpg").first(), "b.jpg-0001.jpg");
    EXPECT_EQ(info(), "6 diapos sur b.jpg");
    EXPECT_EQ(diapo().HScrollFile()->value(), 1);

    // The other pages have no record now: an empty sketch, thumbnails as before.
    showPage(0);
    EXPECT_EQ(info(), "3 diapos sur a.jpg");
    showPage(1);
    diapo().chkDebug()->setChecked(false);
    diapo().CmdRedecouper()->click();
    EXPECT_FALSE(state.bModeDebug);
    EXPECT_FALSE(log().contains("bandes de "));
}

TEST_F(RecutTest, RecuttingTheMarkedPagesRunsThemInPageOrder) {
    for (int page : {2, 0}) {
        showPage(page);
        diapo().chkRedecoupe()->click();
    }
    showPage(1);
    for (const char* piece : {"a.jpg-0001.jpg", "b.jpg-0004.jpg", "c.jpg-0007.jpg"})
        removePiece(QLatin1String(piece));
    const std::vector<PageRow> marks = diapo().tabImages();
    diapo().CmdRecoupeALL()->click();

    // a.jpg and c.jpg were cut again (their pieces renumbered from 1), c.jpg last; b.jpg not.
    EXPECT_EQ(piecesOnDisk("a.jpg").first(), "a.jpg-0001.jpg");
    EXPECT_TRUE(QFile::exists(pieceFolder() + "c.jpg-0001.jpg"));
    EXPECT_FALSE(QFile::exists(pieceFolder() + "b.jpg-0004.jpg"));
    EXPECT_TRUE(cutRecord().contains("c.jpg]"));
    EXPECT_FALSE(cutRecord().contains("a.jpg]") || cutRecord().contains("b.jpg]"));
    // The page shown before is shown again, and the marks stay.
    EXPECT_EQ(diapo().HScrollFile()->value(), 1);
    EXPECT_EQ(info(), "2 diapos sur b.jpg");
    EXPECT_EQ(diapo().tabImages()[0].mark, marks[0].mark);
    EXPECT_EQ(diapo().tabImages()[2].mark, "OK");
    EXPECT_TRUE(state.bSansMessage);
}

TEST_F(RecutTest, ALevelThatIsNotAWholeNumberStartsNoRecut) {
    const QByteArray recordBefore = cutRecord();
    diapo().chkRedecoupe()->click();
    for (const char* text : {"abc", "", "12 00", "99999999999"}) {
        diapo().txtNbBlanc()->setText(QLatin1String(text));
        diapo().chkDebug()->setChecked(true);
        diapo().CmdRedecouper()->click();
        diapo().CmdRecoupeALL()->click();
        ASSERT_EQ(messages.size(), 2u) << text;
        EXPECT_EQ(messages[0].title, "REDECOUPAGE IMPOSSIBLE");
        EXPECT_TRUE(messages[0].text.contains("aucune image n'a été redécoupée"));
        messages.clear();
    }
    EXPECT_EQ(state.lNiveauBlanc, 1450);
    EXPECT_FALSE(state.bModeDebug);
    EXPECT_EQ(cutRecord(), recordBefore);

    // With no page marked, re-cutting the marked pages runs nothing but takes the level.
    diapo().chkRedecoupe()->click();
    diapo().txtNbBlanc()->setText(" 1500 ");
    diapo().CmdRecoupeALL()->click();
    EXPECT_EQ(state.lNiveauBlanc, 1500);
    EXPECT_EQ(cutRecord(), recordBefore);
}

// Re-cut commands pressed while a job runs are refused and leave that job alone: it ends at its
// own level, without debug lines, with its closing message.
TEST_F(RecutTest, RecutsRefusedDuringAJobChangeNothingOfIt) {
    diapo().txtNbBlanc()->setText("1500");
    diapo().chkDebug()->setChecked(true);
    diapo().chkRedecoupe()->click();
    state.bSansMessage = false;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (!window->isJobRunning())
            return;
        timer.stop();
        diapo().CmdRedecouper()->click();
        diapo().CmdRecoupeALL()->click();
    });
    timer.start(0);
    ASSERT_TRUE(window->runJob(source.path(), QString(), 0));
    EXPECT_EQ(messageTitles(),
              QStringList({"DECOUPAGE EN COURS", "DECOUPAGE EN COURS", "DECOUPAGE TERMINE"}));
    EXPECT_EQ(state.lNiveauBlanc, 1450);
    EXPECT_FALSE(state.bModeDebug || state.bSansMessage);
    EXPECT_TRUE(log().contains("Niveau du blanc : 1450"));
    EXPECT_FALSE(log().contains("bandes de "));
}

// After a job in another folder the window still shows its own folder, and re-cuts nothing:
// neither there nor in the other folder. A page removed meanwhile is not re-cut either.
TEST_F(RecutTest, RecutsRefusedOnceTheFolderChangedOrThePageIsGone) {
    TempFolder other;
    ASSERT_TRUE(QFile::copy(source.file("c.jpg"), other.file("c.jpg")));
    ASSERT_TRUE(window->runJob(other.path(), QString(), 0));
    const QByteArray record = cutRecord(), ownLog = log(),
                     otherLog = readFileBytes(other.path() + "VANTOLA/log.txt");
    showPage(1);
    EXPECT_EQ(diapo().windowTitle(), source.path() + "   (1/2)");
    EXPECT_EQ(info(), "3 diapos sur b.jpg");
    diapo().CmdRedecouper()->click();
    state.sRepSource = source.path(); // back on this folder, without b.jpg
    ASSERT_TRUE(QFile::remove(source.file("b.jpg")));
    diapo().CmdRedecouper()->click();

    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].title, "REDECOUPAGE IMPOSSIBLE");
    EXPECT_TRUE(messages[1].text.contains("introuvable(s)"));
    EXPECT_EQ(cutRecord(), record);
    EXPECT_EQ(log(), ownLog);
    EXPECT_EQ(readFileBytes(other.path() + "VANTOLA/log.txt"), otherLog);
}

// A deleted piece goes to the wastebasket where the desktop has one (Qt's test mode keeps it
// under HOME/.qttest), and is removed where not. A piece that is a link loses the link only.
TEST_F(RecutTest, DeletedPiecesGoToTheWastebasketWhereThereIsOne) {
    const QString dataFolder = home.path() + ".qttest/share";
    const QString page = source.file("c.jpg");
    ASSERT_TRUE(QFile::link(page, pieceFolder() + "a.jpg-0009.jpg"));
    ASSERT_TRUE(QFile::setPermissions(page, QFileDevice::ReadOwner));
    diapo().AfficherImage();
    for (const bool wastebasket : {false, true}) {
        if (wastebasket)
            QDir().mkpath(dataFolder);
        const QStringList pieces = piecesOnDisk("a.jpg");
        QTest::mouseDClick(diapo().thumbnail(0), Qt::LeftButton);
        EXPECT_EQ(piecesOnDisk("a.jpg"), pieces.mid(1));
        EXPECT_EQ(QFile::exists(dataFolder + "/Trash/files/" + pieces[0]), wastebasket);
    }
    QTest::mouseDClick(diapo().thumbnail(1), Qt::LeftButton); // the link
    EXPECT_EQ(piecesOnDisk("a.jpg"), QStringList({"a.jpg-0003.jpg"}));
    EXPECT_FALSE(QFile::permissions(page) & QFileDevice::WriteOwner);
    EXPECT_GT(QFileInfo(page).size(), 0);
    EXPECT_TRUE(messages.empty());
}

TEST_F(RecutTest, PiecesAreDeletedByDoubleClickOrByRightClickAndYes) {
    const QStringList pieces = piecesOnDisk("a.jpg");
    ASSERT_EQ(pieces.size(), 3);

    // A left click, and a right click answered No, change nothing.
    QTest::mouseClick(diapo().thumbnail(1), Qt::LeftButton);
    bool answer = false, borderedWhileAsked = false;
    diapo().hooks().askYesNo = [&](const QString&, const QString&) {
        ++questions;
        borderedWhileAsked = diapo().thumbnail(1)->bordered();
        return answer;
    };
    QTest::mouseClick(diapo().FrameContour(1), Qt::RightButton);
    EXPECT_EQ(questions, 1);
    EXPECT_TRUE(borderedWhileAsked);
    EXPECT_FALSE(diapo().thumbnail(1)->bordered());
    EXPECT_EQ(piecesOnDisk("a.jpg"), pieces);

    // Yes deletes the slot's piece; the count drops by one.
    answer = true;
    QTest::mouseClick(diapo().thumbnail(1), Qt::RightButton);
    EXPECT_EQ(piecesOnDisk("a.jpg"), QStringList({pieces[0], pieces[2]}));
    EXPECT_EQ(info(), "2 diapos sur a.jpg");
    EXPECT_EQ(shownSlots().size(), 2u);

    // A double click deletes at once, even a read-only piece; the sketch keeps its outlines.
    QFile::setPermissions(pieceFolder() + pieces[0], QFileDevice::ReadOwner);
    QTest::mouseDClick(diapo().thumbnail(0), Qt::LeftButton);
    EXPECT_EQ(piecesOnDisk("a.jpg"), QStringList({pieces[2]}));
    EXPECT_EQ(info(), "1 diapos sur a.jpg");
    EXPECT_EQ(questions, 2);

    // A piece already removed by other means: nothing to delete, the refresh drops it.
    removePiece(pieces[2]);
    diapo().EffacerDiapo(0);
    EXPECT_EQ(info(), "0 diapos sur a.jpg");
    EXPECT_TRUE(shownSlots().empty());
    EXPECT_TRUE(messages.empty());
}

} // namespace
} // namespace vantola::test
