#pragma once

#include <QString>

// The program's version, as the build was configured.
QString ProgramVersion();
