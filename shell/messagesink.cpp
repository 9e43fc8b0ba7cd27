#include "shell/messagesink.h"

#include "foundation/msgdlg.h"

void SendMessage(const MessageSink& sink, const QString& text)
{
    if (sink)
        sink(text);
    else
        ShowNotice(text, false);
}

QString FillPlaceholders(QString text, const QStringList& values)
{
    qsizetype from = 0;
    for (const QString& value : values) {
        const qsizetype at = text.indexOf(QLatin1String("%s"), from);
        if (at < 0)
            break;
        text.replace(at, 2, value);
        from = at + value.size();
    }
    return text;
}
