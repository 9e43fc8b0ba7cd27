// The explorer on a generated administration (quillon-generate; made in a temporary folder
// unless a home folder is given), offscreen, beside plain SQL on the same connection:
// a quick-search keystroke until the grid shows the found record, a letter click, a page
// down in the open explorer with every column, and a jump to the end.
//   explorer_bench [home] [administration]   (QT_QPA_PLATFORM=xcb under Xvfb for a real X server)

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "bench/benchhome.h"
#include "data/administration.h"
#include "data/busyretry.h"
#include "data/connection.h"
#include "data/dm.h"
#include "data/modules.h"
#include "foundation/homefolder.h"
#include "foundation/msgdlg.h"
#include "shell/explorer.h"
#include "shell/explorergrid.h"

namespace {

double Time(const std::function<void()>& work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return timer.nsecsElapsed() / 1e6;
}

void Row(const char* what, const std::vector<double>& explorer, const std::vector<double>& plain, double target)
{
    const double median = Median(explorer);
    std::printf("%-44s %10.3f %10.3f %10.1f  %s\n", what, median, Median(plain), target,
                median < target ? "ok" : "SLOW");
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    SetDefaultBusyAsker([](const QString&) { return false; });
    SetMessageHook([](const MessageRequest&) { return MessageAnswer{}; });
    const QStringList args = app.arguments();
    QTemporaryDir temporary;
    BenchHome bench;
    if (!PrepareBenchHome(args, temporary, "explorer_bench", &bench))
        return 1;
    const QString home = bench.home;
    const QString name = bench.name;
    SetProgramFolder(home);
    Tdm dm;
    TAdministration admin(DataFolder() + name, name, &dm);
    if (admin.Status() != asOpen) {
        std::fprintf(stderr, "explorer_bench: %s\n", qPrintable(admin.StatusReason()));
        return 1;
    }
    admin.SetModule(std::make_unique<TContacts_Module>(dm, admin.AdminIni()));
    QWidget window;
    // The main window's font, which the explorer inherits there.
    window.setFont(QFont(QStringLiteral("Liberation Sans"), 8));
    window.resize(1200, 800);
    auto* explorer = new TExplorer(&window);
    explorer->move(1200 - TExplorer::kNarrowWidth, 0);
    explorer->resize(TExplorer::kNarrowWidth, 800);
    explorer->SetAdministration(&admin);
    explorer->BindDataSource(dm.dsPersPerCat, 1);
    window.show();
    app.processEvents();
    TDataSet& contacts = *explorer->DataSet();
    TDatabase& db = *dm.Database();
    const QString sortField = explorer->SortField();
    std::printf("%d contacts, sorted by %s\n\n", contacts.RecordCount(), qPrintable(sortField));
    std::printf("%-44s %10s %10s %10s\n", "", "explorer", "plain SQL", "target");
    std::printf("%-44s %10s %10s %10s\n", "", "ms", "ms", "ms");

    // EXPLORER_BENCH_SHOTS=<folder>: pictures of the narrow and the open explorer, to look at.
    const QString shots = qEnvironmentVariable("EXPLORER_BENCH_SHOTS");
    if (!shots.isEmpty())
        window.grab().save(shots + QStringLiteral("/narrow.png"));

    // Quick search: each keystroke of a few names, until the grid has painted the record.
    const QStringList names = {QStringLiteral("peeters"), QStringLiteral("janssens"), QStringLiteral("de smet"),
                               QStringLiteral("willems"), QStringLiteral("maes"), QStringLiteral("claes"),
                               QStringLiteral("vermeulen"), QStringLiteral("dubois"), QStringLiteral("lambert")};
    std::vector<double> keystroke, keystrokeSql;
    QLineEdit* box = explorer->SearchBox();
    TDBGridwListX* grid = explorer->Grid();
    for (const QString& typed : names) {
        box->setFocus();
        box->clear();
        for (const QChar c : typed) {
            keystroke.push_back(Time([&] {
                QTest::keyClick(box, c.toLatin1());
                grid->viewport()->repaint();
            }));
        }
        for (int n = 1; n <= typed.size(); ++n) {
            keystrokeSql.push_back(Time([&] {
                db.Scalar(QStringLiteral("SELECT rowid FROM Adressen WHERE ComName COLLATE QCI >= ? "
                                         "ORDER BY ComName COLLATE QCI LIMIT 1"),
                          {typed.left(n)});
            }));
        }
    }
    Row("quick-search keystroke -> record shown", keystroke, keystrokeSql, 10);

    // Letter clicks.
    std::vector<double> letter, letterSql;
    QListWidget* letters = explorer->LetterList();
    for (int round = 0; round < 3; ++round) {
        for (int i = 0; i < letters->count(); ++i) {
            QListWidgetItem* item = letters->item(i);
            letter.push_back(Time([&] {
                QTest::mouseClick(letters->viewport(), Qt::LeftButton, {}, letters->visualItemRect(item).center());
                grid->viewport()->repaint();
            }));
            letterSql.push_back(Time([&] {
                db.Scalar(QStringLiteral("SELECT rowid FROM Adressen WHERE ComName COLLATE QCI >= ? "
                                         "ORDER BY ComName COLLATE QCI LIMIT 1"),
                          {item->text()});
            }));
        }
    }
    Row("letter click", letter, letterSql, 20);

    // The open explorer with every column: page down, painted.
    explorer->OpenExplorer();
    explorer->resize(1200, 800);
    explorer->move(0, 0);
    app.processEvents();
    contacts.First();
    grid->setFocus();
    std::vector<double> page, pageSql, pageKey, pageRead, pagePaint;
    const int pageRows = qMax(1, grid->viewport()->height() / grid->verticalHeader()->defaultSectionSize());
    for (int i = 0; i < 60; ++i) {
        // Between keystrokes the event loop runs, as it does for a user paging through.
        app.processEvents();
        double key = 0, read = 0, paint = 0;
        page.push_back(Time([&] {
            key = Time([&] { QTest::keyClick(grid, Qt::Key_PageDown); });
            read = Time([&] {
                const int top = grid->rowAt(0);
                for (int r = top; r >= 0 && r < top + pageRows && r < grid->model()->rowCount(); ++r) {
                    for (int c = 0; c < grid->model()->columnCount(); ++c)
                        grid->model()->index(r, c).data();
                }
            });
            paint = Time([&] { grid->viewport()->repaint(); });
        }));
        pageKey.push_back(key);
        pageRead.push_back(read);
        pagePaint.push_back(paint);
        pageSql.push_back(Time([&] {
            db.Exec(QStringLiteral("SELECT * FROM Adressen ORDER BY ComName COLLATE QCI LIMIT ? OFFSET ?"),
                    {pageRows, (i + 1) * pageRows});
        }));
    }
    std::vector<double> paintOnly;
    for (int i = 0; i < 30; ++i)
        paintOnly.push_back(Time([&] { grid->viewport()->repaint(); }));
    std::printf("(open explorer: %d columns, %d rows a page; painting a page already read: %.3f ms)\n",
                int(grid->Columns().size()), pageRows, Median(paintOnly));
    Row("open explorer, all columns: page down", page, pageSql, 5);
    std::printf("  (of which: key and move %.3f ms, reading the cells %.3f ms, painting %.3f ms)\n", Median(pageKey),
                Median(pageRead), Median(pagePaint));

    // Jump to the end and back.
    std::vector<double> end, endSql;
    for (int i = 0; i < 20; ++i) {
        contacts.First();
        app.processEvents();
        end.push_back(Time([&] {
            QTest::keyClick(grid, Qt::Key_End, Qt::ControlModifier);
            grid->viewport()->repaint();
        }));
        endSql.push_back(Time([&] {
            db.Exec(QStringLiteral("SELECT * FROM Adressen ORDER BY ComName COLLATE QCI DESC LIMIT ?"), {pageRows});
        }));
    }
    const bool atEnd = contacts.RecNo() == contacts.RecordCount();
    if (!shots.isEmpty())
        window.grab().save(shots + QStringLiteral("/open-end.png"));
    Row(atEnd ? "jump to the end (Ctrl+End)" : "jump to the end (Ctrl+End) NOT AT END", end, endSql, 20);
    explorer->CloseExplorer();
    return 0;
}
