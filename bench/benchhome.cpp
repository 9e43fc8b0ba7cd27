#include "bench/benchhome.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>

#include <algorithm>
#include <cstdio>

bool PrepareBenchHome(const QStringList& args, QTemporaryDir& temporary, const char* bench, BenchHome* out)
{
    QString home = args.size() > 1 ? args.at(1) : QString();
    out->name = args.size() > 2 ? args.at(2) : QStringLiteral("Groot");
    if (home.isEmpty()) {
        home = temporary.path();
        const QString generator = QCoreApplication::applicationDirPath() + QStringLiteral("/quillon-generate");
        std::printf("generating a test administration in %s ...\n", qPrintable(home));
        std::fflush(stdout);
        QProcess process;
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(generator, {home, out->name});
        // 100,000 contacts take seconds; a loaded machine gets ten minutes.
        if (!process.waitForFinished(600000) || process.exitCode() != 0) {
            std::fprintf(stderr, "%s: %s failed; give a generated home folder\n", bench, qPrintable(generator));
            return false;
        }
    }
    out->home = QDir(home).absolutePath() + QLatin1Char('/');
    return true;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}
