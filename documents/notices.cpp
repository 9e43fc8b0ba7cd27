#include "documents/notices.h"

#include "foundation/msgdlg.h"
#include "foundation/translate.h"

NoticeSink DefaultNoticeSink()
{
    return [](const QString& text) { ShowNotice(text, false); };
}

QString TranslatedWith(const QString& dutch, const QString& value)
{
    QString text = Translate(dutch);
    const qsizetype at = text.indexOf(QLatin1String("%s"));
    if (at >= 0)
        text.replace(at, 2, value);
    return text;
}
