// Opening and saving through the editor: the framework's Open, the
// document's Open and Save As, Save beside an opened JPEG, the recent files.
#include "support/StartedApp.h"
#include "support/TestDocument.h"

#include <QFile>
#include <QUrl>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace lumacut {
namespace {

// Test pictures copied into a folder of their own, so that saves beside
// them stay there.
struct PictureFolder {
    PictureFolder()
    {
        Copy("jpeg/testimgint.jpg", "photo.jpg");
        Copy("bmpsuite/g/rgb24.bmp", "plain.bmp");
        Copy("bmpsuite/g/pal8.bmp", "eight.bmp");
    }
    void Copy(const char* from, const char* to)
    {
        ASSERT_TRUE(QFile::copy(QStringLiteral(LUMACUT_TESTDATA_DIR "/") + from, dir.filePath(to))) << from;
    }
    QString Path(const char* name) const { return dir.filePath(name); }
    QTemporaryDir dir;
};

QByteArray Contents(const QString& path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

// Open and Save: every picture type the program reads and writes first,
// then each alone.
const QString kPictureFilter = QStringLiteral(
    "All pictures (*.bmp *.jpg *.jpeg *.png *.tif *.tiff);;Bitmap files (*.bmp);;Jpeg files (*.jpg *.jpeg);;"
    "PNG files (*.png);;TIFF files (*.tif *.tiff);;All files(*.*) (*)");

CDibDoc* ActiveDoc(StartedApp& s)
{
    CDibView* view = s.Frame()->ActiveView();
    return view ? view->GetDocument() : nullptr;
}

TEST(FileFlow, StartedWithAFileOpensItAfterTheInformationAndOutputQuestions)
{
    PictureFolder folder;
    ScriptedGuiPrompt prompt;
    prompt.outputChoices = {kOutputGrey};
    StartedApp s({folder.Path("photo.jpg")}, &prompt);
    ASSERT_TRUE(s.started);
    EXPECT_EQ(s.FrameCount(), 1);
    CDibDoc* doc = ActiveDoc(s);
    ASSERT_NE(doc, nullptr);
    EXPECT_TRUE(doc->m_pictureReady);
    EXPECT_EQ(prompt.outputQuestions, 1);
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_EQ(prompt.messages[0].icon, PromptIcon::Information);
    EXPECT_EQ(prompt.messages[0].text.rfind("biWidth: ", 0), 0u);
    EXPECT_EQ(doc->m_picNew.Colors(), 256);
    EXPECT_EQ(doc->GetTitle(), "photo.bmp");
    EXPECT_EQ(s.Frame()->windowTitle(), "Bitmap Lumacut Modification - photo.bmp");
    // The opened file is the only recent file: its ".bmp" name is not there yet.
    EXPECT_EQ(s.Docs().RecentFiles().Paths(), QStringList{folder.Path("photo.jpg")});
}

TEST(FileFlow, OpenWithoutDocumentOffersEveryPictureTypeAndANewWindow)
{
    PictureFolder folder;
    StartedApp s;
    s.Frame()->OnCmdMsg(ID_FILE_CLOSE);
    ProcessDeletes();
    s.prompt.openNames = {folder.Path("plain.bmp")};
    EXPECT_TRUE(s.Frame()->OnCmdMsg(ID_FILE_OPEN));
    ASSERT_EQ(s.prompt.openRequests.size(), 1u);
    EXPECT_EQ(s.prompt.openRequests[0].filter, kPictureFilter);
    EXPECT_EQ(s.FrameCount(), 1);
    ASSERT_NE(ActiveDoc(s), nullptr);
    EXPECT_EQ(ActiveDoc(s)->GetPathName(), folder.Path("plain.bmp").toStdString());
    EXPECT_TRUE(s.Frame()->HasDocumentMenu() || (s.Frame()->UpdateCommandUI(), s.Frame()->HasDocumentMenu()));
}

TEST(FileFlow, OpenIntoTheActiveDocumentKeepsItsSettingsAndAsksAgain)
{
    PictureFolder folder;
    StartedApp s({folder.Path("plain.bmp")});
    CDibDoc* doc = ActiveDoc(s);
    ASSERT_NE(doc, nullptr);
    CDibView* view = s.Frame()->ActiveView();
    doc->m_filter.lightDark = 30;
    doc->m_jpegQuality = 40;
    view->m_zoom = 2;
    const int questions = s.prompt.outputQuestions;

    s.prompt.outputChoices = {kOutputTrueColor};
    s.prompt.openNames = {folder.Path("photo.jpg")};
    EXPECT_TRUE(s.Frame()->OnCmdMsg(ID_FILE_OPEN));
    ASSERT_EQ(s.prompt.openRequests.size(), 1u);
    const FileDialogRequest& request = s.prompt.openRequests[0];
    EXPECT_EQ(request.filter, kPictureFilter);
    EXPECT_EQ(request.defaultSuffix, "bmp");
    EXPECT_EQ(request.initialName, "Luma");

    EXPECT_EQ(s.FrameCount(), 1);
    EXPECT_EQ(ActiveDoc(s), doc);
    EXPECT_EQ(s.prompt.outputQuestions, questions + 1);
    EXPECT_EQ(doc->m_filter.lightDark, 30);
    EXPECT_EQ(doc->m_jpegQuality, 40);
    EXPECT_EQ(view->m_zoom, 2);
    EXPECT_EQ(doc->m_picNew.BitCount(), 24);
    EXPECT_EQ(doc->GetPathName(), folder.Path("photo.bmp").toStdString());
}

TEST(FileFlow, SaveOfAJpegOpenedDocumentWritesABmpBesideIt)
{
    PictureFolder folder;
    StartedApp s;
    s.prompt.openNames = {folder.Path("photo.jpg")};
    s.Frame()->OnCmdMsg(ID_FILE_OPEN); // into Lumacut1
    const QByteArray jpeg = Contents(folder.Path("photo.jpg"));
    EXPECT_TRUE(s.Frame()->OnCmdMsg(ID_FILE_SAVE));
    EXPECT_TRUE(s.prompt.saveRequests.empty()); // it has a name
    const QByteArray bmp = Contents(folder.Path("photo.bmp"));
    ASSERT_GT(bmp.size(), 54);
    EXPECT_EQ(bmp.left(2), "BM");
    EXPECT_EQ(static_cast<unsigned char>(bmp[28]), 1); // two colour: 1 bit per pixel
    EXPECT_EQ(Contents(folder.Path("photo.jpg")), jpeg);
}

TEST(FileFlow, OnlyFilesReallyReadOrWrittenGoOnTheRecentFiles)
{
    PictureFolder folder;
    StartedApp s;
    s.prompt.openNames = {folder.Path("photo.jpg")};
    s.Frame()->OnCmdMsg(ID_FILE_OPEN); // into Lumacut1, which is named photo.bmp
    ASSERT_EQ(ActiveDoc(s)->GetPathName(), folder.Path("photo.bmp").toStdString());
    EXPECT_EQ(s.Docs().RecentFiles().Paths(), QStringList{folder.Path("photo.jpg")});
    s.Frame()->OnCmdMsg(ID_FILE_SAVE); // now photo.bmp is written
    EXPECT_EQ(s.Docs().RecentFiles().Paths(), (QStringList{folder.Path("photo.bmp"), folder.Path("photo.jpg")}));
}

TEST(FileFlow, AJpegCutShortOpensWithAWarningInTheProgram)
{
    PictureFolder folder;
    folder.Copy("jpeg/trunc_half.jpg", "cut.jpg");
    StartedApp s({folder.Path("cut.jpg")});
    ASSERT_TRUE(s.started);
    ASSERT_TRUE(ActiveDoc(s) && ActiveDoc(s)->m_pictureReady);
    const std::string warning = "JPEG file damaged: " + folder.Path("cut.jpg").toStdString() +
                                ": Premature end of JPEG file. The picture opens, but part of it may be missing or wrong.";
    ASSERT_EQ(s.prompt.Texts(false), std::vector<std::string>{warning});
    EXPECT_EQ(s.prompt.messages[0].icon, PromptIcon::Warning); // before the picture information
}

TEST(FileFlow, FileDialogsStartInTheDocumentsFolderElseTheLastOneUsed)
{
    PictureFolder folder, other;
    StartedApp s;
    s.prompt.openNames = {folder.Path("photo.jpg")};
    s.Frame()->OnCmdMsg(ID_FILE_OPEN); // untitled, no folder used yet: the current one
    ASSERT_EQ(s.prompt.openRequests.size(), 1u);
    EXPECT_EQ(s.prompt.openRequests[0].directory, "");

    // A document's own folder, however it was opened.
    ASSERT_NE(s.Docs().OpenDocumentFile(other.Path("plain.bmp")), nullptr);
    s.Frame()->OnCmdMsg(ID_FILE_SAVE_AS); // cancelled: no folder is remembered
    ASSERT_EQ(s.prompt.saveRequests.size(), 1u);
    EXPECT_EQ(s.prompt.saveRequests[0].directory, other.dir.path());

    // Untitled, or no document at all: the folder of the last file chosen.
    s.Frame()->OnCmdMsg(ID_FILE_NEW);
    test::LoadTestPictures(*ActiveDoc(s), 30, 10); // as a paste would
    s.Frame()->OnCmdMsg(ID_FILE_SAVE);
    ASSERT_EQ(s.prompt.saveRequests.size(), 2u);
    EXPECT_EQ(s.prompt.saveRequests[1].directory, folder.dir.path());
    ASSERT_TRUE(s.Docs().CloseAllDocuments());
    ProcessDeletes();
    s.Frame()->OnCmdMsg(ID_FILE_OPEN);
    ASSERT_EQ(s.prompt.openRequests.size(), 2u);
    EXPECT_EQ(s.prompt.openRequests[1].directory, folder.dir.path());
}

TEST(FileFlow, SaveAfterAFrameworkOpenOfAJpegLeavesTheJpegAlone)
{
    PictureFolder folder;
    StartedApp s({folder.Path("photo.jpg")});
    const QByteArray jpeg = Contents(folder.Path("photo.jpg"));
    s.Frame()->OnCmdMsg(ID_FILE_SAVE);
    EXPECT_EQ(Contents(folder.Path("photo.jpg")), jpeg);
    EXPECT_EQ(Contents(folder.Path("photo.bmp")).left(2), "BM");
}

TEST(FileFlow, SaveAsAsksWithTheProgramFilterAndWritesTheNamedType)
{
    PictureFolder folder;
    StartedApp s({folder.Path("plain.bmp")});
    s.prompt.saveNames = {folder.Path("result.jpg")};
    EXPECT_TRUE(s.Frame()->OnCmdMsg(ID_FILE_SAVE_AS));
    ASSERT_EQ(s.prompt.saveRequests.size(), 1u);
    const FileDialogRequest& request = s.prompt.saveRequests[0];
    EXPECT_EQ(request.initialName, "*.jpg");
    EXPECT_EQ(request.filter, kPictureFilter);
    EXPECT_EQ(request.defaultSuffix, "bmp");
    EXPECT_TRUE(request.overwritePrompt);
    EXPECT_EQ(Contents(folder.Path("result.jpg")).left(2), QByteArray("\xFF\xD8"));
    CDibDoc* doc = ActiveDoc(s);
    EXPECT_EQ(doc->m_saveExt, ".jpg");
    EXPECT_EQ(doc->GetTitle(), "result.jpg");
    s.Frame()->UpdateCommandUI();
    EXPECT_EQ(s.Frame()->ActiveChild()->windowTitle(), "result.jpg");

    // The next Save As proposes JPEG.
    s.Frame()->OnCmdMsg(ID_FILE_SAVE_AS);
    EXPECT_EQ(s.prompt.saveRequests.back().defaultSuffix, "jpg");
}

TEST(FileFlow, SavingAnUntitledDocumentAsksForABmpNameAndWritesWhereTheUserSays)
{
    PictureFolder folder;
    StartedApp s;
    CDibDoc* doc = ActiveDoc(s);
    test::LoadTestPictures(*doc, 30, 10); // as a paste would
    s.Frame()->OnCmdMsg(ID_FILE_SAVE); // cancelled: nothing answered
    ASSERT_EQ(s.prompt.saveRequests.size(), 1u);
    const FileDialogRequest request = s.prompt.saveRequests[0];
    EXPECT_EQ(request.defaultSuffix, "bmp");
    EXPECT_EQ(request.initialName, "Lumacut1.bmp");
    EXPECT_EQ(request.filter, kPictureFilter);
    EXPECT_TRUE(doc->GetPathName().empty());

    s.prompt.saveNames = {folder.Path("named.bmp")};
    EXPECT_TRUE(s.Frame()->OnCmdMsg(ID_FILE_SAVE));
    ASSERT_EQ(s.prompt.saveRequests.size(), 2u);
    EXPECT_EQ(s.prompt.saveRequests[1].initialName, "Lumacut1.bmp");
    EXPECT_EQ(Contents(folder.Path("named.bmp")).left(2), "BM");
    EXPECT_EQ(doc->GetPathName(), folder.Path("named.bmp").toStdString());
}

TEST(FileFlow, CloseWithSaveWritesTheModifiedDocument)
{
    PictureFolder folder;
    StartedApp s({folder.Path("plain.bmp")});
    CDibDoc* doc = ActiveDoc(s);
    doc->SetModifiedFlag(true);
    s.prompt.saveAnswers = {SaveAnswer::Save};
    QFile::remove(folder.Path("plain.bmp"));
    s.Frame()->OnCmdMsg(ID_FILE_CLOSE);
    ProcessDeletes();
    EXPECT_EQ(s.FrameCount(), 0);
    EXPECT_EQ(Contents(folder.Path("plain.bmp")).left(2), "BM");
}

TEST(FileFlow, OpenIntoAModifiedDocumentOffersToSaveFirst)
{
    PictureFolder folder;
    StartedApp s({folder.Path("plain.bmp")});
    ActiveDoc(s)->SetModifiedFlag(true); // as after a paste
    s.prompt.saveAnswers = {SaveAnswer::Cancel};
    s.prompt.openNames = {folder.Path("photo.jpg")};
    s.Frame()->OnCmdMsg(ID_FILE_OPEN);
    EXPECT_EQ(s.prompt.saveQuestions.size(), 1u);
    EXPECT_TRUE(s.prompt.openRequests.empty()); // cancelled before the file question
    EXPECT_EQ(ActiveDoc(s)->GetPathName(), folder.Path("plain.bmp").toStdString());
}

TEST(FileFlow, RecentFilesKeepTheLastFourOpenedAndReopen)
{
    PictureFolder folder;
    StartedApp s;
    const char* names[] = {"a.bmp", "b.bmp", "c.bmp", "d.bmp", "e.bmp"};
    for (const char* name : names) {
        folder.Copy("bmpsuite/g/rgb24.bmp", name);
        ASSERT_NE(s.Docs().OpenDocumentFile(folder.Path(name)), nullptr) << name;
    }
    QStringList expected;
    for (const char* name : {"e.bmp", "d.bmp", "c.bmp", "b.bmp"})
        expected << folder.Path(name);
    EXPECT_EQ(s.Docs().RecentFiles().Paths(), expected);

    // Choosing an entry of a file already open shows its window; a closed one reopens.
    s.Frame()->UpdateCommandUI();
    const int frames = s.FrameCount();
    s.Frame()->OnCmdMsg(ID_FILE_MRU_FILE1 + 3);
    EXPECT_EQ(s.FrameCount(), frames);
    EXPECT_EQ(ActiveDoc(s)->GetPathName(), folder.Path("b.bmp").toStdString());
}

} // namespace
} // namespace lumacut
