#include "common/testfolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

TestFolder::TestFolder() = default;

QString TestFolder::path() const
{
    return m_dir.path() + QLatin1Char('/');
}

QString TestFolder::file(const QString& name) const
{
    return path() + name;
}

void TestFolder::write(const QString& name, const QByteArray& bytes) const
{
    const QString full = file(name);
    QDir().mkpath(QFileInfo(full).absolutePath());
    QFile f(full);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
}

QByteArray TestFolder::read(const QString& name) const
{
    QFile f(file(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
