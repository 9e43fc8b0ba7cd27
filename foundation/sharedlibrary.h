#pragma once

#include <QLibrary>
#include <QString>

#include <memory>

// A plug-in library of the program ("lib<name>.so"), loaded for one command and unloaded
// again when this object goes. It is looked up in ProgramFolder() + "dll/" first, then
// beside the executable, then in the installed plug-in folder <executable>/../lib/quillon/. A missing library or export is not an error: the command simply
// does nothing, so callers test isLoaded() or the resolved pointer.
class SharedLibrary
{
public:
    explicit SharedLibrary(const QString& name);
    ~SharedLibrary();
    SharedLibrary(const SharedLibrary&) = delete;
    SharedLibrary& operator=(const SharedLibrary&) = delete;

    bool isLoaded() const;
    QString fileName() const;
    // The export, or nullptr when the library or the export is missing.
    QFunctionPointer resolve(const char* symbol);
    template <typename Function>
    Function function(const char* symbol)
    {
        return reinterpret_cast<Function>(resolve(symbol));
    }

private:
    std::unique_ptr<QLibrary> m_library;
};

// The file "lib<name>.so" would be loaded from, or an empty text when there is none.
QString SharedLibraryPath(const QString& name);
