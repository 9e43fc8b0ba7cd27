#include "lantern/notice.h"

#include "foundation/msgdlg.h"
#include "foundation/translate.h"

#include <QFile>

void LanternNotice(const QString& text, bool translate)
{
    const QString log = qEnvironmentVariable(LanternNoticeVariable);
    if (!log.isEmpty()) {
        QFile file(log);
        if (file.open(QIODevice::WriteOnly | QIODevice::Append))
            file.write((translate ? Translate(text) : text).toUtf8() + '\n');
        return;
    }
    ShowNotice(text, translate);
}
