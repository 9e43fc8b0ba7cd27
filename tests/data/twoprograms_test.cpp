#include "store_fixture.h"

#include "data/counters.h"
#include "foundation/settingsfile.h"

#include <gtest/gtest.h>

#include <QDate>
#include <QProcess>
#include <QSet>

#include <algorithm>
#include <memory>

// Real programs (twoprograms/poster.cpp) storing contacts and invoices at the same moment on one
// administration: identifiers and document numbers are handed out once, a refused post uses
// up nothing and a deleted contact's identifier is never handed out again, also after a
// program was killed before it could bring admin.ini up to date.

namespace {

struct Handed
{
    QList<qint64> contacts;   // every contact identifier handed out, deleted ones included
    QSet<qint64> deleted;
    QList<qint64> invoiceIds;
    QStringList numbers;
    int refused = 0;
    bool done = false;
};

class Poster
{
public:
    Poster(const QString& home, int rounds)
    {
        m_process.setProcessChannelMode(QProcess::SeparateChannels);
        m_process.start(QStringLiteral(QUILLON_POSTER), {home, QStringLiteral("Test"), QString::number(rounds)});
    }
    ~Poster()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }
    bool WaitReady()
    {
        while (!m_buffer.contains("ready\n")) {
            if (!m_process.waitForReadyRead(20000))
                return false;
            m_buffer += m_process.readAllStandardOutput();
        }
        return true;
    }
    void Go() { m_process.write("go\n"), m_process.waitForBytesWritten(5000); }
    // Waits until the program printed at least lines lines after "ready".
    bool WaitLines(int lines)
    {
        while (Lines().size() < lines) {
            if (!m_process.waitForReadyRead(20000))
                return false;
            m_buffer += m_process.readAllStandardOutput();
        }
        return true;
    }
    bool Finish()
    {
        const bool finished = m_process.waitForFinished(120000);
        m_buffer += m_process.readAllStandardOutput();
        return finished && m_process.exitStatus() == QProcess::NormalExit && m_process.exitCode() == 0;
    }
    void Kill()
    {
        m_process.kill();  // SIGKILL: no clean-up of any kind
        m_process.waitForFinished(5000);
        m_buffer += m_process.readAllStandardOutput();
    }
    QString Errors() { return QString::fromLocal8Bit(m_process.readAllStandardError()); }
    QStringList Lines() const
    {
        QStringList lines = QString::fromLatin1(m_buffer).split(u'\n');
        // Only whole lines count; the first is "ready".
        lines.removeLast();
        if (!lines.isEmpty())
            lines.removeFirst();
        return lines;
    }
    Handed Result() const
    {
        Handed handed;
        for (const QString& line : Lines()) {
            const QStringList parts = line.split(u' ');
            if (parts.at(0) == u'C')
                handed.contacts.append(parts.at(1).toLongLong());
            else if (parts.at(0) == u'D')
                handed.deleted.insert(parts.at(1).toLongLong());
            else if (parts.at(0) == u'F' && parts.size() == 3)
                handed.invoiceIds.append(parts.at(1).toLongLong()), handed.numbers.append(parts.at(2));
            else if (parts.at(0) == u'X')
                ++handed.refused;
            else if (line == QLatin1String("done"))
                handed.done = true;
        }
        return handed;
    }

private:
    QProcess m_process;
    QByteArray m_buffer;
};

QString InvoiceNumber(int counter)
{
    return QStringLiteral("F%1%2").arg(QDate::currentDate().year()).arg(counter, 5, 10, QLatin1Char('0'));
}

template <typename T> bool AllDifferent(const QList<T>& values)
{
    return QSet<T>(values.begin(), values.end()).size() == values.size();
}

class TwoPrograms : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(fx.MakeAdministration());
        ASSERT_TRUE(WriteSetting(Ini(), QStringLiteral("LASTNRF"), QStringLiteral("41")));
        fx.Exec(QStringLiteral("CREATE TRIGGER refuse_contact BEFORE INSERT ON Adressen WHEN NEW.Name = 'refuse' "
                               "BEGIN SELECT RAISE(ABORT, 'refused by the test'); END"));
        fx.Exec(QStringLiteral("CREATE TRIGGER refuse_invoice BEFORE INSERT ON factuur WHEN NEW.F_FREE = 'refuse' "
                               "BEGIN SELECT RAISE(ABORT, 'refused by the test'); END"));
        firstContact = fx.Scalar(QStringLiteral("SELECT COALESCE(MAX(nummer), 0) FROM Adressen")).toLongLong() + 1;
    }
    QString Ini() const { return fx.folder() + QStringLiteral("admin.ini"); }
    QString Home() const { return fx.dataFolder() + QStringLiteral(".."); }

    StoreFixture fx;
    qint64 firstContact = 0;
};

} // namespace

TEST_F(TwoPrograms, PostingAtOnceHandsOutEveryIdentifierAndNumberOnce)
{
    const int rounds = 40;
    Poster a(Home(), rounds);
    Poster b(Home(), rounds);
    ASSERT_TRUE(a.WaitReady()) << a.Errors().toStdString();
    ASSERT_TRUE(b.WaitReady()) << b.Errors().toStdString();
    a.Go();
    b.Go();
    ASSERT_TRUE(a.Finish()) << a.Errors().toStdString();
    ASSERT_TRUE(b.Finish()) << b.Errors().toStdString();
    const Handed ha = a.Result();
    const Handed hb = b.Result();
    ASSERT_TRUE(ha.done && hb.done);
    EXPECT_EQ(ha.refused, 2 * (rounds / 4));

    // They really took turns: each got identifiers in between the other's.
    QList<qint64> contacts = ha.contacts + hb.contacts;
    std::sort(contacts.begin(), contacts.end());
    EXPECT_LT(ha.contacts.first(), hb.contacts.last());
    EXPECT_LT(hb.contacts.first(), ha.contacts.last());

    // Every contact identifier once, none skipped by a refused post, none of a deleted contact
    // handed out again: exactly the next 2 x rounds identifiers.
    ASSERT_EQ(contacts.size(), 2 * rounds);
    EXPECT_TRUE(AllDifferent(contacts));
    EXPECT_EQ(contacts.first(), firstContact);
    EXPECT_EQ(contacts.last(), firstContact + 2 * rounds - 1);
    const QSet<qint64> deleted = ha.deleted + hb.deleted;
    EXPECT_EQ(deleted.size(), 2 * (rounds / 3));
    EXPECT_EQ(fx.Scalar(QStringLiteral("SELECT COUNT(*) FROM Adressen WHERE nummer >= ?"), {firstContact}).toInt(),
              2 * rounds - deleted.size());

    // Invoice numbers: 42 onwards without a gap or a double, identifiers once each.
    QStringList numbers = ha.numbers + hb.numbers;
    numbers.sort();
    QStringList expected;
    for (int n = 42; n < 42 + 2 * rounds; ++n)
        expected << InvoiceNumber(n);
    EXPECT_EQ(numbers, expected);
    EXPECT_TRUE(AllDifferent(ha.invoiceIds + hb.invoiceIds));
    EXPECT_EQ(fx.Scalar(QStringLiteral("SELECT COUNT(DISTINCT F_FACNR) FROM factuur WHERE F_TYPE = 1")).toInt(), 2 * rounds);

    // The programs left admin.ini with the last identifier and number handed out.
    EXPECT_EQ(ReadSettingInt(Ini(), QStringLiteral("AdressenID"), 0), contacts.last());
    EXPECT_EQ(ReadSettingInt(Ini(), QStringLiteral("LASTNRF"), 0), 41 + 2 * rounds);
}

TEST_F(TwoPrograms, AKilledProgramsIdentifiersAreNotHandedOutAgain)
{
    QList<qint64> before;
    QSet<qint64> deletedBefore;
    QStringList numbersBefore;
    {
        Poster killed(Home(), 100000);
        ASSERT_TRUE(killed.WaitReady()) << killed.Errors().toStdString();
        killed.Go();
        ASSERT_TRUE(killed.WaitLines(30)) << killed.Errors().toStdString();
        killed.Kill();
        const Handed h = killed.Result();
        before = h.contacts;
        deletedBefore = h.deleted;
        numbersBefore = h.numbers;
    }
    ASSERT_GE(before.size(), 8);
    ASSERT_FALSE(deletedBefore.isEmpty());
    // It had no moment to write admin.ini's copy of its contact counter.
    EXPECT_LT(ReadSettingInt(Ini(), QStringLiteral("AdressenID"), 0), before.last());

    const QString newestNumber =
        fx.Scalar(QStringLiteral("SELECT MAX(F_FACNR) FROM factuur WHERE F_TYPE = 1")).toString();
    // A contact stored just before the kill may not have been printed: the table has it.
    const qint64 highestHanded = std::max(before.last(), fx.Scalar(QStringLiteral("SELECT MAX(nummer) FROM Adressen")).toLongLong());

    Poster next(Home(), 12);
    ASSERT_TRUE(next.WaitReady());
    next.Go();
    ASSERT_TRUE(next.Finish()) << next.Errors().toStdString();
    const Handed h = next.Result();
    ASSERT_TRUE(h.done);
    // The next program goes on right after the highest identifier ever handed out, deleted
    // ones included, although admin.ini still shows an older one.
    EXPECT_EQ(h.contacts.first(), highestHanded + 1);
    for (qint64 id : h.contacts)
        EXPECT_FALSE(before.contains(id)) << id;
    for (const QString& number : h.numbers)
        EXPECT_FALSE(numbersBefore.contains(number)) << number.toStdString();
    // Numbering goes on right after the newest stored invoice: the kill used up no number.
    ASSERT_FALSE(h.numbers.isEmpty());
    EXPECT_EQ(h.numbers.first(), InvoiceNumber(newestNumber.right(5).toInt() + 1));
    EXPECT_EQ(StoredCounter(fx.OpenDatabase().get(), QStringLiteral("AdressenID")), h.contacts.last());
    EXPECT_EQ(ReadSettingInt(Ini(), QStringLiteral("AdressenID"), 0), h.contacts.last());
}
