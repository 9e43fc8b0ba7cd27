#include <gtest/gtest.h>

#include "common/testfolder.h"
#include "foundation/progressdlg.h"
#include "shell/ziparchive.h"

#include <QDir>
#include <QDirIterator>

#include <zip.h>

namespace {

QStringList EntryNames(const QString& archive)
{
    QStringList names;
    int error = 0;
    zip_t* zip = zip_open(QFile::encodeName(archive).constData(), ZIP_RDONLY, &error);
    if (!zip)
        return names;
    for (zip_int64_t i = 0; i < zip_get_num_entries(zip, 0); ++i)
        names.append(QString::fromUtf8(zip_get_name(zip, zip_uint64_t(i), 0)));
    zip_discard(zip);
    names.sort();
    return names;
}

// An archive made by someone else, with whatever names they chose.
void WriteRawArchive(const QString& archive, const QList<std::pair<QByteArray, QByteArray>>& entries)
{
    int error = 0;
    zip_t* zip = zip_open(QFile::encodeName(archive).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    ASSERT_NE(zip, nullptr);
    // libzip reads the buffers only at close.
    QList<QByteArray> keep;
    for (const auto& [name, data] : entries) {
        keep.append(data);
        zip_source_t* source = zip_source_buffer(zip, keep.last().constData(), zip_uint64_t(data.size()), 0);
        ASSERT_GE(zip_file_add(zip, name.constData(), source, 0), 0);
    }
    ASSERT_EQ(zip_close(zip), 0);
}

class ZipTest : public ::testing::Test
{
protected:
    ZipOptions Options()
    {
        ZipOptions options;
        options.messages = [this](const QString& text) { messages.append(text); };
        return options;
    }
    QStringList FilesUnder(const QString& folder) const
    {
        QStringList files;
        const QString root = QDir(folder).absolutePath() + QLatin1Char('/');
        QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext())
            files.append(it.next().mid(root.size()));
        files.sort();
        return files;
    }
    TestFolder folder;
    QStringList messages;
};

TEST_F(ZipTest, RoundTripKeepsFolderNames)
{
    folder.write(QStringLiteral("emails/a.ema"), "first");
    folder.write(QStringLiteral("emails/sub/b.ema"), "second");
    folder.write(QStringLiteral("emails/sub/c.txt"), "not matched");
    const QString archive = folder.file(QStringLiteral("backup/email_templates.zip"));
    ASSERT_TRUE(ZipFiles(false, archive, folder.file(QStringLiteral("emails/*.ema")), true,
                         QStringLiteral("caption"), Options()));
    EXPECT_EQ(EntryNames(archive), (QStringList{"a.ema", "sub/b.ema"}));

    const QString target = folder.file(QStringLiteral("restored/"));
    folder.write(QStringLiteral("restored/a.ema"), "old content");
    ASSERT_TRUE(UnzipAll(false, archive, target, QStringLiteral("caption"), Options()));
    EXPECT_EQ(folder.read(QStringLiteral("restored/a.ema")), QByteArray("first"));
    EXPECT_EQ(folder.read(QStringLiteral("restored/sub/b.ema")), QByteArray("second"));
    EXPECT_EQ(FilesUnder(target), (QStringList{"a.ema", "sub/b.ema"}));
    EXPECT_TRUE(messages.isEmpty()) << messages.join(QLatin1Char('\n')).toStdString();
}

TEST_F(ZipTest, WithoutFoldersOnlyTheFolderItself)
{
    folder.write(QStringLiteral("data/Demo/admin.sqlite"), "db");
    folder.write(QStringLiteral("data/Demo/README"), "no extension");
    folder.write(QStringLiteral("data/Demo/sub/deep.txt"), "deep");
    const QString archive = folder.file(QStringLiteral("a.zip"));
    ASSERT_TRUE(ZipFiles(false, archive, folder.file(QStringLiteral("data/Demo/*.*")), false,
                         QString(), Options()));
    EXPECT_EQ(EntryNames(archive), (QStringList{"README", "admin.sqlite"}));
}

TEST_F(ZipTest, ExtendsAnArchiveAndReplacesEntries)
{
    folder.write(QStringLiteral("one/a.txt"), "a1");
    folder.write(QStringLiteral("two/a.txt"), "a2");
    folder.write(QStringLiteral("two/b.txt"), "b");
    const QString archive = folder.file(QStringLiteral("x.zip"));
    ASSERT_TRUE(ZipFiles(false, archive, folder.file(QStringLiteral("one/*.txt")), false, QString(), Options()));
    ASSERT_TRUE(ZipFiles(false, archive, folder.file(QStringLiteral("two/b.txt")), false, QString(), Options()));
    EXPECT_EQ(EntryNames(archive), (QStringList{"a.txt", "b.txt"}));
    ASSERT_TRUE(ZipFiles(false, archive, folder.file(QStringLiteral("two/a.txt")), false, QString(), Options()));
    EXPECT_EQ(EntryNames(archive), (QStringList{"a.txt", "b.txt"}));
    ASSERT_TRUE(UnzipAll(false, archive, folder.file(QStringLiteral("out")), QString(), Options()));
    EXPECT_EQ(folder.read(QStringLiteral("out/a.txt")), QByteArray("a2"));
}

TEST_F(ZipTest, NothingToAddIsNoError)
{
    QDir().mkpath(folder.file(QStringLiteral("empty")));
    const QString archive = folder.file(QStringLiteral("e.zip"));
    EXPECT_TRUE(ZipFiles(false, archive, folder.file(QStringLiteral("empty/*.*")), false, QString(), Options()));
    EXPECT_FALSE(QFileInfo::exists(archive));
}

TEST_F(ZipTest, RefusesEntriesOutsideTheTarget)
{
    const QList<QByteArray> hostile{"../evil.txt", "sub/../../evil.txt", "/tmp/evil.txt",
                                    "C:/evil.txt", "..\\evil.txt"};
    for (const QByteArray& name : hostile) {
        SCOPED_TRACE(name.constData());
        messages.clear();
        const QString archive = folder.file(QStringLiteral("hostile.zip"));
        WriteRawArchive(archive, {{"good.txt", "fine"}, {name, "bad"}});
        const QString target = folder.file(QStringLiteral("target/inner/"));
        EXPECT_FALSE(UnzipAll(false, archive, target, QString(), Options()));
        EXPECT_FALSE(QFileInfo::exists(target + QStringLiteral("good.txt")))
            << "nothing is written from a refused archive";
        EXPECT_FALSE(QFileInfo::exists(folder.file(QStringLiteral("target/evil.txt"))));
        EXPECT_EQ(messages.size(), 1);
    }
}

TEST_F(ZipTest, ALinkInTheTargetCarriesNothingOutside)
{
    QDir().mkpath(folder.file(QStringLiteral("outside")));
    QDir().mkpath(folder.file(QStringLiteral("target")));
    ASSERT_TRUE(QFile::link(folder.file(QStringLiteral("outside")), folder.file(QStringLiteral("target/link"))));
    const QString archive = folder.file(QStringLiteral("linked.zip"));
    WriteRawArchive(archive, {{"link/evil.txt", "bad"}});
    EXPECT_FALSE(UnzipAll(false, archive, folder.file(QStringLiteral("target")), QString(), Options()));
    EXPECT_FALSE(QFileInfo::exists(folder.file(QStringLiteral("outside/evil.txt"))));
}

TEST_F(ZipTest, BrokenArchiveFails)
{
    folder.write(QStringLiteral("broken.zip"), "PK\x03\x04 this is not a zip archive");
    EXPECT_FALSE(UnzipAll(false, folder.file(QStringLiteral("broken.zip")),
                          folder.file(QStringLiteral("out")), QString(), Options()));
    EXPECT_EQ(messages.size(), 1);
    EXPECT_FALSE(UnzipAll(false, folder.file(QStringLiteral("missing.zip")),
                          folder.file(QStringLiteral("out")), QString(), Options()));
}

TEST_F(ZipTest, ProgressRunsFromOneToTheEnd)
{
    folder.write(QStringLiteral("src/big.bin"), QByteArray(3 * 1024 * 1024, 'x'));
    folder.write(QStringLiteral("src/small.bin"), "y");
    QList<int> positions;
    ZipOptions options = Options();
    options.progress = [&positions](int position) {
        positions.append(position);
        return true;
    };
    const QString archive = folder.file(QStringLiteral("p.zip"));
    ASSERT_TRUE(ZipFiles(false, archive, folder.file(QStringLiteral("src/*.*")), false, QString(), options));
    ASSERT_GE(positions.size(), 2);
    EXPECT_EQ(positions.first(), 1);
    EXPECT_EQ(positions.last(), ZipProgressMaximum);
    EXPECT_TRUE(std::is_sorted(positions.begin(), positions.end()));

    positions.clear();
    ASSERT_TRUE(UnzipAll(false, archive, folder.file(QStringLiteral("out")), QString(), options));
    EXPECT_EQ(positions.first(), 1);
    EXPECT_EQ(positions.last(), ZipProgressMaximum);
    EXPECT_GT(positions.size(), 3);
}

TEST_F(ZipTest, StoppedZipLeavesTheOldArchive)
{
    folder.write(QStringLiteral("src/a.bin"), "old");
    const QString archive = folder.file(QStringLiteral("arch/k.zip"));
    ASSERT_TRUE(ZipFiles(false, archive, folder.file(QStringLiteral("src/*.*")), false, QString(), Options()));
    const QByteArray before = folder.read(QStringLiteral("arch/k.zip"));

    folder.write(QStringLiteral("src/b.bin"), QByteArray(4 * 1024 * 1024, 'z'));
    ZipOptions options = Options();
    options.progress = [](int position) { return position < 2000; };
    EXPECT_FALSE(ZipFiles(false, archive, folder.file(QStringLiteral("src/*.*")), false, QString(), options));
    EXPECT_EQ(folder.read(QStringLiteral("arch/k.zip")), before);
    EXPECT_EQ(FilesUnder(folder.file(QStringLiteral("arch"))), QStringList{"k.zip"})
        << "no temporary file is left behind";
}

TEST_F(ZipTest, ProgressWindowShowsTheCaptionWhileWorking)
{
    folder.write(QStringLiteral("src/a.bin"), QByteArray(1024 * 1024, 'q'));
    QString caption;
    int maximum = 0;
    bool visible = false;
    ZipOptions options = Options();
    options.progress = [&](int) {
        caption = TdlgProg::Instance()->windowTitle();
        maximum = TdlgProg::Instance()->Maximum();
        visible = visible || TdlgProg::Instance()->isVisible();
        return true;
    };
    ASSERT_TRUE(ZipFiles(true, folder.file(QStringLiteral("w.zip")), folder.file(QStringLiteral("src/*.*")),
                         false, QStringLiteral("Reservekopie aanmaken voor Demo"), options));
    EXPECT_EQ(caption, QStringLiteral("Reservekopie aanmaken voor Demo"));
    EXPECT_EQ(maximum, ZipProgressMaximum);
    EXPECT_TRUE(visible);
    EXPECT_FALSE(TdlgProg::Instance()->isVisible()) << "hidden again when done";
}

} // namespace
