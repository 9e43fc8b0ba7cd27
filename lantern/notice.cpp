#include "lantern/notice.h"

#include "foundation/homefolder.h"
#include "foundation/msgdlg.h"
#include "foundation/settingsfile.h"
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

void PrepareLanternLanguage()
{
    static bool prepared = false;
    if (prepared)
        return;
    prepared = true;
    SetLanguageIndex(LanguageIndexOf(ReadSetting(OvraIni(), QStringLiteral("LANGUAGE"))));
    LoadTranslations(ProgramFolder() + QStringLiteral("dll/Strings.DAT"));
}
