#pragma once

#include <QString>

// '|' records: fields each followed by "|" ("NL|F|UK|DE|"), numbered from 1. A record without
// a trailing "|" has one more (the last) field.

// The n-th field; n <= 1 gives the first; an empty text past the last field.
QString FieldOf(const QString& record, int n);
// The number of "|" characters.
int SeparatorCount(const QString& text);
// The number of the first field equal to the value, both trimmed and upper-cased (a..z only);
// 0 when none.
int IndexInList(const QString& list, const QString& value);
// The record with field n replaced (missing fields are added) and its very last character
// dropped: SetFieldOf("a|b|c|", 2, "X") gives "a|X|c|", SetFieldOf("a|b|c|", 5, "X") "a|b|c||X".
QString SetFieldOf(const QString& record, int n, const QString& value);
