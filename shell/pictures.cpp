#include "shell/pictures.h"

#include <QFileInfo>

#include "foundation/files.h"
#include "foundation/homefolder.h"

QString PictureFile(const QString& name)
{
    for (const QString& folder : {ProgramFolder(), ResourceFolder()}) {
        const QString found = FindFileCaseInsensitive(folder + QStringLiteral("bmp/") + name);
        if (!found.isEmpty() && QFileInfo(found).isFile())
            return found;
    }
    return {};
}
