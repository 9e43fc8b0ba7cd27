#pragma once

#include <QString>

struct sqlite3;

// Case- and accent-insensitive text comparison, as a Dutch or French user expects: "Élodie"
// sorts with the E's and "liège" finds "Liège". Text is folded by decomposing it (NFD),
// dropping the combining marks and case folding what is left; pure ASCII takes a fast path.

// The folded form of a text.
QString FoldText(const QString& text);
// <0, 0, >0 like strcmp, on the folded forms.
int CompareFolded(const QString& a, const QString& b);
// Whether text starts with prefix, both folded.
bool StartsWithFolded(const QString& text, const QString& prefix);

// Registers on one SQLite connection:
// - the collation "QCI" (the engine's case-insensitive indexes and searches);
// - QFOLD(x): the folded text of x;
// - LIKE(pattern, x [, escape]) replaced by an accent- and case-insensitive version, so every
//   LIKE of the system treats accents the same way.
// Every connection that touches a QCI index (the program, tools, integrity checks) needs it.
bool RegisterQuillonCollation(sqlite3* db);

// The text just above every text that starts with the folded prefix, for index range scans:
// col COLLATE QCI >= prefix AND col COLLATE QCI < PrefixUpperBound(prefix).
QString PrefixUpperBound(const QString& prefix);
