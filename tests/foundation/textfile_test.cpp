#include "common/testfolder.h"
#include "foundation/textfile.h"
#include "common/immutable.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QStringDecoder>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

namespace {

QStringList FolderEntries(const TestFolder& folder)
{
    return QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
}

// Lets writes in this process grow a file to at most `bytes`, for the duration of a scope.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
};

} // namespace

TEST(Windows1252, MatchesQtCodecForEveryByte)
{
    QByteArray all;
    for (int i = 0; i < 256; ++i)
        all.append(char(i));
    QStringDecoder qt("windows-1252");
    ASSERT_TRUE(qt.isValid());
    const QString decoded = DecodeWindows1252(all);
    EXPECT_EQ(decoded, QString(qt(all)));
    EXPECT_EQ(EncodeWindows1252(decoded), all);
}

TEST(Windows1252, CharactersOutsideBecomeOneQuestionMark)
{
    EXPECT_EQ(EncodeWindows1252(QString::fromUtf8("a\u4e2db\U0001F600c")), QByteArray("a?b?c"));
}

TEST(TextFile, RoundTripsEuroAndAccentsAsWindows1252WithCrLf)
{
    TestFolder folder;
    const QString file = folder.file(QStringLiteral("a.ini"));
    const QStringList lines = {QString::fromUtf8("MUNT €"), QString::fromUtf8("NAAM Café Ærø naïve"), QString()};
    ASSERT_TRUE(SaveTextLines(file, lines));
    EXPECT_EQ(folder.read(QStringLiteral("a.ini")), QByteArray("MUNT \x80\r\nNAAM Caf\xe9 \xc6r\xf8 na\xefve\r\n\r\n"));
    bool ok = false;
    EXPECT_EQ(LoadTextLines(file, &ok), lines);
    EXPECT_TRUE(ok);
}

TEST(TextFile, LineEndsOnReading)
{
    struct Case {
        const char* bytes;
        QStringList lines;
    };
    const Case cases[] = {
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\nb\n", {"a", "b"}},
        {"a\r\nb", {"a", "b"}},
        {"a\n\nb\n", {"a", "", "b"}},
        {"a\rb\r\n", {"a", "b"}},
        {"", {}},
        {"\r\n", {""}},
    };
    TestFolder folder;
    for (const Case& c : cases) {
        folder.write(QStringLiteral("t.txt"), QByteArray(c.bytes));
        bool ok = false;
        EXPECT_EQ(LoadTextLines(folder.file(QStringLiteral("t.txt")), &ok), c.lines) << c.bytes;
        EXPECT_TRUE(ok);
    }
}

TEST(TextFile, Utf8OnlyWithBomAndValidBytes)
{
    TestFolder folder;
    const QString file = folder.file(QStringLiteral("u.txt"));
    folder.write(QStringLiteral("u.txt"), QByteArray("\xEF\xBB\xBF" "caf\xC3\xA9 \xE2\x82\xAC\r\n"));
    EXPECT_EQ(LoadTextLines(file), QStringList{QString::fromUtf8("café €")});
    // Without the mark the same bytes are Windows-1252.
    folder.write(QStringLiteral("u.txt"), QByteArray("caf\xC3\xA9\r\n"));
    EXPECT_EQ(LoadTextLines(file), QStringList{QString::fromUtf8("cafÃ©")});
    // A mark followed by bytes that are no UTF-8 is read as Windows-1252 as a whole.
    folder.write(QStringLiteral("u.txt"), QByteArray("\xEF\xBB\xBF" "caf\xE9"));
    EXPECT_EQ(LoadTextLines(file), QStringList{QString::fromUtf8("ï»¿café")});
}

TEST(TextFile, TextKeepsLineEndsAsNewlines)
{
    TestFolder folder;
    const QString file = folder.file(QStringLiteral("t.txt"));
    ASSERT_TRUE(SaveTextFile(file, QStringLiteral("a\nb\r\nc")));
    EXPECT_EQ(folder.read(QStringLiteral("t.txt")), QByteArray("a\r\nb\r\nc"));
    EXPECT_EQ(LoadTextFile(file), QStringLiteral("a\nb\nc"));
}

TEST(TextFile, ReadersSurviveBadInput)
{
    TestFolder folder;
    bool ok = true;
    EXPECT_TRUE(LoadTextLines(folder.file(QStringLiteral("missing.ini")), &ok).isEmpty());
    EXPECT_FALSE(ok);
    ASSERT_TRUE(QDir().mkpath(folder.file(QStringLiteral("dir.ini"))));
    ok = true;
    EXPECT_TRUE(LoadTextLines(folder.file(QStringLiteral("dir.ini")), &ok).isEmpty());
    EXPECT_FALSE(ok);
    ok = true;
    EXPECT_TRUE(LoadTextFile(QString(), &ok).isEmpty());
    EXPECT_FALSE(ok);

    QByteArray garbage;
    for (int i = 0; i < 70000; ++i)
        garbage.append(char((i * 7919 + i / 13) & 0xFF));
    folder.write(QStringLiteral("garbage.ini"), garbage);
    EXPECT_FALSE(LoadTextLines(folder.file(QStringLiteral("garbage.ini"))).isEmpty());

    const QByteArray longLine(1024 * 1024, 'x');
    folder.write(QStringLiteral("long.ini"), longLine + "\r\nnext\r\n");
    const QStringList lines = LoadTextLines(folder.file(QStringLiteral("long.ini")));
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines.at(0).size(), 1024 * 1024);
}

TEST(TextFile, WritersFailWhereNothingCanBeWritten)
{
    TestFolder folder;
    EXPECT_FALSE(SaveTextLines(folder.file(QStringLiteral("no/such/folder/a.ini")), {"x"}));
    EXPECT_FALSE(SaveTextLines(QStringLiteral("/proc/quillon-test.ini"), {"x"}));
    EXPECT_FALSE(SaveTextFile(QString(), QStringLiteral("x")));
}

TEST(TextFile, WriterFailsInReadOnlyFolder)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders";
    TestFolder folder;
    const QString locked = folder.file(QStringLiteral("locked"));
    ASSERT_TRUE(QDir().mkpath(locked));
    QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner);
    EXPECT_FALSE(SaveTextLines(locked + QStringLiteral("/a.ini"), {"x"}));
    QFile::setPermissions(locked, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST(TextFile, FailedWriteLeavesOldFileWhole)
{
    TestFolder folder;
    const QString file = folder.file(QStringLiteral("admin.ini"));
    ASSERT_TRUE(SaveTextLines(file, {"LASTNR 41"}));
    const QByteArray before = folder.read(QStringLiteral("admin.ini"));
    bool saved = true;
    {
        // The disk "fills up" after 1 KiB: the new content never reaches the old file.
        FileSizeLimit limit(1024);
        saved = SaveTextLines(file, QStringList(500, QStringLiteral("LASTNR 42 and more text")));
    }
    EXPECT_FALSE(saved);
    EXPECT_EQ(folder.read(QStringLiteral("admin.ini")), before);
    EXPECT_EQ(FolderEntries(folder), QStringList{"admin.ini"}) << "no temporary file left behind";
}

TEST(TextFile, FailedRenameLeavesTargetAlone)
{
    TestFolder folder;
    // A folder in the file's place cannot be replaced by the renamed temporary file.
    folder.write(QStringLiteral("screen.ini/keep.txt"), "keep");
    EXPECT_FALSE(SaveTextLines(folder.file(QStringLiteral("screen.ini")), {"a=b"}));
    EXPECT_EQ(folder.read(QStringLiteral("screen.ini/keep.txt")), QByteArray("keep"));
    EXPECT_EQ(FolderEntries(folder), QStringList{"screen.ini"});
}

TEST(TextFile, WriteThatCannotRenameLeavesOldFileIntact)
{
    TestFolder folder;
    const QString file = folder.file(QStringLiteral("admin.ini"));
    ASSERT_TRUE(SaveTextLines(file, {"LASTNR 41"}));
    Immutable pin(file);
    if (!pin.ok())
        GTEST_SKIP() << "the file system does not allow immutable files here";
    EXPECT_FALSE(SaveTextLines(file, {"LASTNR 42"}));
    pin.release();
    EXPECT_EQ(folder.read(QStringLiteral("admin.ini")), QByteArray("LASTNR 41\r\n"));
    EXPECT_EQ(FolderEntries(folder), QStringList{"admin.ini"}) << "no temporary file left behind";
}
