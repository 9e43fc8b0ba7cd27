#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// Where the shell's window-free routines send a message for the user (already translated).
// Empty: the program's message dialog. Tests collect the texts instead.
using MessageSink = std::function<void(const QString& text)>;

// Calls the sink, or ShowNotice(text, false) when it is empty.
void SendMessage(const MessageSink& sink, const QString& text);

// Fills the "%s" placeholders of a (translated) text in order; a translation may lack one.
QString FillPlaceholders(QString text, const QStringList& values);
