#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <vector>

// The generated administration a benchmark works on: "<bench> [home] [administration]". Without
// a home folder one is made in temporary with quillon-generate (beside the benchmark). The
// program folder is not set here: some benchmarks open the files directly.
struct BenchHome
{
    QString home;   // absolute, with a trailing "/"
    QString name;   // the administration, default "Groot"
};

// False (the reason on stderr, prefixed with bench) when the generator failed.
bool PrepareBenchHome(const QStringList& args, QTemporaryDir& temporary, const char* bench, BenchHome* out);

double Median(std::vector<double> values);
