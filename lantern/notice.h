#pragma once

#include <QString>

// Messages of the picture library. They go to the program's message dialog, or, when the
// environment variable QUILLON_LANTERN_NOTICES names a file, are appended to that file
// (UTF-8, one a line) so tests and batch tools never wait on a dialog.
inline constexpr char LanternNoticeVariable[] = "QUILLON_LANTERN_NOTICES";

// translate: the text is a Dutch source text for Translate; otherwise shown as given.
void LanternNotice(const QString& text, bool translate);

// The library carries its own translation table: loads it and the program's language once
// per load of the library.
void PrepareLanternLanguage();
