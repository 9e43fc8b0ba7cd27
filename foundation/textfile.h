#pragma once

#include <QString>
#include <QStringList>

// The one reader and writer of the system's text files (settings, pair files, definitions, logs).
// Files are written as Windows-1252 with CR LF, always atomically, so a crash never leaves half
// a file. Readers accept LF as well and read a file as UTF-8 only when it starts with a UTF-8
// byte order mark and is valid UTF-8. Readers never fail loudly: a missing or unreadable file,
// or a folder in its place, gives an empty result and *ok = false.

// The file's lines without their line ends; a final line end adds no empty line.
QStringList LoadTextLines(const QString& file, bool* ok = nullptr);
// The whole file with its line ends turned into "\n".
QString LoadTextFile(const QString& file, bool* ok = nullptr);
// Writes every line followed by CR LF. Characters that Windows-1252 lacks become "?".
bool SaveTextLines(const QString& file, const QStringList& lines);
// Writes the text with every line end ("\n", "\r\n" or "\r") as CR LF.
bool SaveTextFile(const QString& file, const QString& text);

// Windows-1252 conversion used by the readers and writers (unknown characters become "?").
QByteArray EncodeWindows1252(const QString& text);
QString DecodeWindows1252(const QByteArray& bytes);

// The value with every line break as a blank, so it stays on its line of a settings file.
QString SingleLine(const QString& value);
// The lines of a file about to be rewritten: false when the file exists but cannot be read, so
// a rewrite never replaces content it could not see. A missing file gives no lines.
bool LoadLinesForRewrite(const QString& file, QStringList* lines);
