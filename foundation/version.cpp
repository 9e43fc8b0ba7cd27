#include "foundation/version.h"

QString ProgramVersion()
{
    return QStringLiteral(QUILLON_VERSION);
}
