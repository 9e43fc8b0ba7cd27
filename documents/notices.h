#pragma once

#include <QString>

#include <functional>

// Where the sales-document engine sends what it tells the user (refused input, missing
// currency records). The text is already translated and filled in. Tests pass a sink that
// records the texts; the program uses the message dialog.
using NoticeSink = std::function<void(const QString& text)>;

// The message dialog with one "OK" button.
NoticeSink DefaultNoticeSink();

// The translated text with its first "%s" replaced by the value.
QString TranslatedWith(const QString& dutch, const QString& value);
