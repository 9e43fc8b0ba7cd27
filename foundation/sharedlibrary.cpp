#include "foundation/sharedlibrary.h"

#include "foundation/homefolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QString SharedLibraryPath(const QString& name)
{
    const QString file = QStringLiteral("lib") + name + QStringLiteral(".so");
    QStringList folders{ProgramFolder() + QStringLiteral("dll/")};
    if (QCoreApplication::instance()) {
        const QString programs = QCoreApplication::applicationDirPath();
        folders.append(programs + QLatin1Char('/'));
        // Where an installed program keeps its plug-ins (bin/../lib/quillon/).
        folders.append(QDir::cleanPath(programs + QStringLiteral("/../lib/quillon")) + QLatin1Char('/'));
    }
    for (const QString& folder : folders) {
        const QFileInfo info(folder + file);
        if (info.isFile())
            return info.absoluteFilePath();
    }
    return QString();
}

SharedLibrary::SharedLibrary(const QString& name)
{
    const QString path = SharedLibraryPath(name);
    if (path.isEmpty())
        return;
    m_library = std::make_unique<QLibrary>(path);
    if (!m_library->load())
        m_library.reset();
}

SharedLibrary::~SharedLibrary()
{
    if (m_library)
        m_library->unload();
}

bool SharedLibrary::isLoaded() const
{
    return m_library != nullptr;
}

QString SharedLibrary::fileName() const
{
    return m_library ? m_library->fileName() : QString();
}

QFunctionPointer SharedLibrary::resolve(const char* symbol)
{
    return m_library ? m_library->resolve(symbol) : nullptr;
}
