#pragma once

#include <QString>

// Settings files ("ovra.ini", "admin.ini"): one entry per line, the key, a blank and the value.
// A key matches a line only as a whole word: the line starts with the key (case ignored)
// followed by a blank or the end of the line, so MUNT never reads the line of MUNTOUD.
// The first matching line wins; lines without a known key are kept as they are.

// The trimmed value; *found is false when the file or key is missing or the value is empty.
QString ReadSetting(const QString& file, const QString& key, bool* found = nullptr);
int ReadSettingInt(const QString& file, const QString& key, int defaultValue);
// Reads "," and "." both as the decimal separator.
double ReadSettingFloat(const QString& file, const QString& key, double defaultValue);
// True unless the value is "FALSE" (case ignored); a missing file or key gives true.
bool ReadSettingBool(const QString& file, const QString& key);
// Replaces the first line of the key or appends one, then rewrites the file atomically.
// Line breaks in the value are written as blanks so they cannot split the entry.
// False for an empty key, a key holding a line break, or any write error.
bool WriteSetting(const QString& file, const QString& key, const QString& value);
// The text between the line "[" + name + "]" and "[END]" (line ends as "\n"); empty when missing.
QString ReadSection(const QString& file, const QString& name);
