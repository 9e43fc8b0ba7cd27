#include "common/testfolder.h"
#include "foundation/files.h"
#include "foundation/msgdlg.h"
#include "common/immutable.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>


namespace {

void SetAge(const QString& file, int daysAgo)
{
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.setFileTime(QDateTime::currentDateTime().addDays(-daysAgo), QFileDevice::FileModificationTime));
}

QStringList Entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
}

} // namespace

TEST(Files, NamesAndExtensions)
{
    struct Case {
        const char* path;
        const char* base;
        const char* stripped;
    };
    const Case cases[] = {
        {"/a/b/c.txt", "c", "/a/b/c"},
        {"c.tar.gz", "c.tar", "c.tar"},
        {"/a.b/c", "c", "/a.b/c"},
        {"noext", "noext", "noext"},
        {"/a/.hidden", "", "/a/"},
        {"/a/b/", "", "/a/b/"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FileBaseName(QString::fromLatin1(c.path)), QString::fromLatin1(c.base)) << c.path;
        EXPECT_EQ(StripExtension(QString::fromLatin1(c.path)), QString::fromLatin1(c.stripped)) << c.path;
    }
}

TEST(Files, NormaliseFolder)
{
    struct Case {
        const char* path;
        const char* folder;
    };
    const Case cases[] = {
        {" /a/./b//c ", "/a/b/c/"}, {"a\\b", "a/b/"},   {"//server//x", "//server/x/"},
        {"", ""},                   {"   ", ""},        {"/a/././b", "/a/b/"},
        {"/", "/"},                 {"/a/b/", "/a/b/"}, {"/a///b", "/a/b/"},
        {"a/.", "a/"},              {"a//.//b", "a/b/"}, {"///x", "//x/"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(NormaliseFolder(QString::fromLatin1(c.path)), QString::fromLatin1(c.folder)) << c.path;
        EXPECT_EQ(NormaliseFolder(QString::fromLatin1(c.folder)), QString::fromLatin1(c.folder)) << c.folder;
    }
}

TEST(Files, ExistenceAndDates)
{
    TestFolder folder;
    folder.write(QStringLiteral("f.txt"), "x");
    ASSERT_TRUE(QDir().mkpath(folder.file(QStringLiteral("sub"))));
    EXPECT_TRUE(FolderExists(folder.file(QStringLiteral("sub"))));
    EXPECT_TRUE(FolderExists(folder.file(QStringLiteral("sub/"))));
    EXPECT_FALSE(FolderExists(folder.file(QStringLiteral("f.txt"))));
    EXPECT_FALSE(FolderExists(folder.file(QStringLiteral("none"))));
    EXPECT_FALSE(FolderExists(QString()));
    EXPECT_FALSE(FileDate(folder.file(QStringLiteral("none"))).isValid());
    EXPECT_LE(qAbs(FileDate(folder.file(QStringLiteral("f.txt"))).secsTo(QDateTime::currentDateTime())), 60);
}

TEST(Files, DeleteAndCopyFiles)
{
    TestFolder folder;
    folder.write(QStringLiteral("a.txt"), "new");
    folder.write(QStringLiteral("b.txt"), "old");
    ASSERT_TRUE(QDir().mkpath(folder.file(QStringLiteral("sub"))));

    EXPECT_FALSE(CopyFileIfExists(folder.file(QStringLiteral("none")), folder.file(QStringLiteral("b.txt"))));
    EXPECT_EQ(folder.read(QStringLiteral("b.txt")), QByteArray("old"));
    EXPECT_TRUE(CopyFileIfExists(folder.file(QStringLiteral("a.txt")), folder.file(QStringLiteral("b.txt"))));
    EXPECT_EQ(folder.read(QStringLiteral("b.txt")), QByteArray("new"));
    EXPECT_TRUE(CopyFileIfExists(folder.file(QStringLiteral("a.txt")), folder.file(QStringLiteral("a.txt"))));
    EXPECT_EQ(folder.read(QStringLiteral("a.txt")), QByteArray("new"));
    EXPECT_FALSE(CopyFileIfExists(folder.file(QStringLiteral("a.txt")), folder.file(QStringLiteral("no/a.txt"))));
    EXPECT_FALSE(CopyFileIfExists(folder.file(QStringLiteral("sub")), folder.file(QStringLiteral("c.txt"))));

    EXPECT_TRUE(DeleteFileIfExists(folder.file(QStringLiteral("b.txt"))));
    EXPECT_FALSE(QFileInfo::exists(folder.file(QStringLiteral("b.txt"))));
    EXPECT_FALSE(DeleteFileIfExists(folder.file(QStringLiteral("b.txt"))));
    EXPECT_FALSE(DeleteFileIfExists(folder.file(QStringLiteral("sub"))));
    EXPECT_TRUE(FolderExists(folder.file(QStringLiteral("sub"))));
}

TEST(Files, CopyFolderTree)
{
    TestFolder source;
    TestFolder target;
    source.write(QStringLiteral("a.txt"), "a");
    source.write(QStringLiteral("x/y/b.txt"), "b");
    source.write(QStringLiteral("x/.c"), "c");
    target.write(QStringLiteral("a.txt"), "old");
    target.write(QStringLiteral("own.txt"), "own");
    ASSERT_TRUE(CopyFolderTree(source.path(), target.path()));
    EXPECT_EQ(target.read(QStringLiteral("a.txt")), QByteArray("a"));
    EXPECT_EQ(target.read(QStringLiteral("x/y/b.txt")), QByteArray("b"));
    EXPECT_EQ(target.read(QStringLiteral("x/.c")), QByteArray("c"));
    EXPECT_EQ(target.read(QStringLiteral("own.txt")), QByteArray("own"));

    EXPECT_FALSE(CopyFolderTree(source.path(), target.file(QStringLiteral("none/"))));
    EXPECT_FALSE(CopyFolderTree(source.file(QStringLiteral("none/")), target.path()));
    // Into itself would never end.
    EXPECT_FALSE(CopyFolderTree(source.path(), source.file(QStringLiteral("x/"))));
    EXPECT_EQ(Entries(source.file(QStringLiteral("x"))), (QStringList{".c", "y"}));
}

TEST(Files, DeleteFilesKeepsTodaysFiles)
{
    TestFolder folder;
    folder.write(QStringLiteral("today.tmp"), "x");
    folder.write(QStringLiteral("yesterday.tmp"), "x");
    folder.write(QStringLiteral("OLD.TMP"), "x");
    folder.write(QStringLiteral("old.txt"), "x");
    ASSERT_TRUE(QDir().mkpath(folder.file(QStringLiteral("dir.tmp"))));
    SetAge(folder.file(QStringLiteral("yesterday.tmp")), 1);
    SetAge(folder.file(QStringLiteral("OLD.TMP")), 30);
    SetAge(folder.file(QStringLiteral("old.txt")), 30);
    DeleteFiles(folder.path(), QStringLiteral("*.tmp"), false, QDateTime(QDate::currentDate(), QTime(0, 0)));
    EXPECT_EQ(Entries(folder.path()), (QStringList{"dir.tmp", "old.txt", "today.tmp"}));
    DeleteFiles(folder.path(), QStringLiteral("*.tmp"), false, QDateTime());
    EXPECT_EQ(Entries(folder.path()), (QStringList{"dir.tmp", "old.txt"}));
    DeleteFiles(folder.file(QStringLiteral("none/")), QStringLiteral("*.*"), false, QDateTime());
}

TEST(Files, DeleteFilesInWebModeKeepsPagePictures)
{
    TestFolder folder;
    for (const char* name : {"btn_home.gif", "foto.JPG", "logo.jpeg", "plan.gif", "page.html", "README"})
        folder.write(QStringLiteral("documents/") + QString::fromLatin1(name), "x");
    for (const char* name : {"foto.jpg", "btn_a.gif"})
        folder.write(QStringLiteral("other/") + QString::fromLatin1(name), "x");
    DeleteFiles(folder.file(QStringLiteral("documents/")), QStringLiteral("*.*"), true, QDateTime());
    EXPECT_EQ(Entries(folder.file(QStringLiteral("documents"))), (QStringList{"foto.JPG", "logo.jpeg", "plan.gif"}));
    DeleteFiles(folder.file(QStringLiteral("other/")), QStringLiteral("*.*"), true, QDateTime());
    EXPECT_TRUE(Entries(folder.file(QStringLiteral("other"))).isEmpty());
}

TEST(Files, DeleteFolderTreeEmptiesButKeepsTheFolder)
{
    TestFolder folder;
    folder.write(QStringLiteral("t/a.txt"), "x");
    folder.write(QStringLiteral("t/.h"), "x");
    folder.write(QStringLiteral("t/s/u/b.txt"), "x");
    ASSERT_TRUE(QDir().mkpath(folder.file(QStringLiteral("t/empty"))));
    folder.write(QStringLiteral("outside.txt"), "keep");
    ASSERT_TRUE(QFile::link(folder.file(QStringLiteral("outside.txt")), folder.file(QStringLiteral("t/link"))));
    DeleteFolderTree(folder.file(QStringLiteral("t")));
    EXPECT_TRUE(FolderExists(folder.file(QStringLiteral("t"))));
    EXPECT_TRUE(Entries(folder.file(QStringLiteral("t"))).isEmpty());
    EXPECT_EQ(folder.read(QStringLiteral("outside.txt")), QByteArray("keep"));
    DeleteFolderTree(folder.file(QStringLiteral("none")));
}

TEST(Files, DeleteFolderTreeReportsALockedFolderAndRetriesOnce)
{
    TestFolder folder;
    folder.write(QStringLiteral("t/locked/pinned.txt"), "x");
    folder.write(QStringLiteral("t/free/a.txt"), "x");
    Immutable pin(folder.file(QStringLiteral("t/locked/pinned.txt")));
    if (!pin.ok())
        GTEST_SKIP() << "the file system does not allow immutable files here";
    QStringList notices;
    SetFolderLockedNotice([&](const QString& text) { notices.append(text); });
    DeleteFolderTree(folder.file(QStringLiteral("t")));
    ASSERT_EQ(notices.size(), 1);
    EXPECT_EQ(notices.at(0), folder.file(QStringLiteral("t/locked/")));
    EXPECT_EQ(Entries(folder.file(QStringLiteral("t"))), QStringList{"locked"});

    // When the user frees the folder while the notice is shown, the retry removes it.
    notices.clear();
    SetFolderLockedNotice([&](const QString& text) {
        notices.append(text);
        pin.release();
    });
    DeleteFolderTree(folder.file(QStringLiteral("t")));
    EXPECT_EQ(notices.size(), 1);
    EXPECT_TRUE(Entries(folder.file(QStringLiteral("t"))).isEmpty());
    SetFolderLockedNotice(nullptr);
}

TEST(Files, LockedFolderNoticeShowsTheMessageByDefault)
{
    TestFolder folder;
    folder.write(QStringLiteral("t/locked/pinned.txt"), "x");
    Immutable pin(folder.file(QStringLiteral("t/locked/pinned.txt")));
    if (!pin.ok())
        GTEST_SKIP() << "the file system does not allow immutable files here";
    QStringList shown;
    SetMessageHook([&](const MessageRequest& request) {
        shown.append(request.text);
        return MessageAnswer{};
    });
    DeleteFolderTree(folder.file(QStringLiteral("t")));
    SetMessageHook(nullptr);
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown.at(0), QStringLiteral("Map <%1> is vergrendeld. Kijk of Windows Explorer of DOS "
                                          "prompt niet verwijst naar deze map")
                               .arg(folder.file(QStringLiteral("t/locked/"))));
}

TEST(Files, ShellDeleteFolder)
{
    TestFolder folder;
    folder.write(QStringLiteral("t/s/a.txt"), "x");
    EXPECT_FALSE(ShellDeleteFolder(QString()));
    EXPECT_TRUE(ShellDeleteFolder(folder.file(QStringLiteral("t/"))));
    EXPECT_FALSE(QFileInfo::exists(folder.file(QStringLiteral("t"))));
    EXPECT_TRUE(ShellDeleteFolder(folder.file(QStringLiteral("t"))));
    EXPECT_FALSE(ShellDeleteFolder(QStringLiteral("/")));
    EXPECT_FALSE(ShellDeleteFolder(QDir::homePath() + QLatin1Char('/')));
}

TEST(Files, FirstCdDriveIsAFolderOrNothing)
{
    const QString drive = FirstCdDrive();
    EXPECT_TRUE(drive.isEmpty() || (drive.endsWith(QLatin1Char('/')) && FolderExists(drive)));
}

TEST(Files, FindFileCaseInsensitive)
{
    TestFolder folder;
    folder.write(QStringLiteral("Standaard/Factuur.dat"), "x");
    const QString base = folder.path();
    EXPECT_EQ(FindFileCaseInsensitive(base + QStringLiteral("standaard/FACTUUR.dat")), base + QStringLiteral("Standaard/Factuur.dat"));
    EXPECT_EQ(FindFileCaseInsensitive(base + QStringLiteral("Standaard/Factuur.dat")), base + QStringLiteral("Standaard/Factuur.dat"));
    EXPECT_EQ(FindFileCaseInsensitive(base + QStringLiteral("STANDAARD/")), base + QStringLiteral("Standaard/"));
    EXPECT_EQ(FindFileCaseInsensitive(base + QStringLiteral("standaard/none.dat")), base + QStringLiteral("standaard/none.dat"));
    EXPECT_EQ(FindFileCaseInsensitive(QString()), QString());
}
