#pragma once

#include <QString>
#include <QStringList>

// Pair files ("screen.ini", "update.ini", ...): lines of a key, "=" and a value.

// The trimmed text after key + separator on the first line that starts with it (case ignored).
QString ReadPair(const QString& file, const QString& key, const QString& separator = QStringLiteral("="));
// For each key: replaces its first line or appends key + "=" + value; one atomic write at the
// end. Line breaks in values are written as blanks. False when the lists differ in length,
// a key is empty, or the file cannot be written.
bool WritePairs(const QString& file, const QStringList& keys, const QStringList& values);

// A dialog's stored placement: "left|top|width|height|text|" under its component name.
struct WindowPlacement
{
    int left = 40;
    int top = 80;
    int width = 600;
    int height = 400;
    QString text;
    bool found = false;
};

bool SaveWindowPlacement(int left, int top, int width, int height, const QString& text,
                         const QString& componentName, const QString& file);
WindowPlacement LoadWindowPlacement(const QString& componentName, const QString& file);
