#pragma once

#include <QChar>
#include <QString>

// Small text helpers. Positions count from 1; 0 means "not found".

// Position of part in text, case ignored.
int PosCI(const QString& part, const QString& text);
// The text after the first start (case ignored; all of it when start is empty) up to before
// end (case ignored). Empty when start is missing or end directly follows it.
QString TextBetween(const QString& text, const QString& start, const QString& end);
// start + the text after it up to and including end (or to the end when end is missing);
// empty when start is missing (case ignored).
QString SliceWithMarkers(const QString& text, const QString& start, const QString& end);
// Replaces every oldText (case kept) from left to right; inserted text is not searched again.
QString ReplaceAll(const QString& text, const QString& oldText, const QString& newText);
int CountChar(QChar c, const QString& text);
// Letters A..Z lowered, then the first character upper-cased.
QString Capitalize(const QString& text);
// The text after the first c (empty when absent) / before the first c (all when absent).
QString AfterChar(const QString& text, QChar c);
QString BeforeChar(const QString& text, QChar c);
QString TrimRightBlanks(const QString& text);
// Upper-cases a..z only, so accented letters stay as they are.
QString UpperAscii(const QString& text);
// Pads with blanks to width, or cuts to width.
QString PadRight(int width, const QString& text);
bool IsEmailAddress(const QString& text);
// Every character other than 0-9, A-Z, a-z and "_" becomes c, or is removed when c is a blank.
QString SanitizeName(const QString& text, QChar c);
// "TRUE", "FALSE" joined by " and " / " or " (case ignored; " and " binds loosest). No trimming.
bool EvalBool(const QString& text);
QString BoolText(bool flag); // "TRUE"/"FALSE"
// The scrambling of catalogue lines: Windows-1252 codes at even positions (from 0) +2, at odd
// positions +1 (wrapping within a byte); UnshiftText undoes it.
QString ShiftText(const QString& text);
QString UnshiftText(const QString& text);
