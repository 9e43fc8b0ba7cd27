#pragma once

#include <QString>
#include <QTemporaryDir>

// A fresh temporary folder per test, removed afterwards. path() ends with "/".
class TestFolder
{
public:
    TestFolder();
    QString path() const;
    QString file(const QString& name) const;
    // Writes raw bytes, for fixtures that must hold exact content.
    void write(const QString& name, const QByteArray& bytes) const;
    QByteArray read(const QString& name) const;

private:
    QTemporaryDir m_dir;
};
