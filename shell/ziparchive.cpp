#include "shell/ziparchive.h"

#include "foundation/files.h"
#include "foundation/progressdlg.h"
#include "foundation/translate.h"

#include <QApplication>
#include <QDirIterator>
#include <QPointer>
#include <QSaveFile>

#include <zip.h>

#include <limits>

namespace {

// Drives the caller's callback and, when asked, the shared progress window.
class ProgressReporter
{
public:
    ProgressReporter(bool showProgress, const QString& caption, const ZipProgress& callback)
        : m_callback(callback)
    {
        if (showProgress && qobject_cast<QApplication*>(QCoreApplication::instance())) {
            m_dialog = TdlgProg::Instance();
            m_dialog->SetCaption(caption, false);
            m_dialog->SetMaximum(ZipProgressMaximum);
            m_dialog->SetPosition(0);
            m_dialog->show();
            QCoreApplication::processEvents();
        }
    }
    ~ProgressReporter()
    {
        if (m_dialog)
            m_dialog->hide();
    }
    ProgressReporter(const ProgressReporter&) = delete;
    ProgressReporter& operator=(const ProgressReporter&) = delete;

    // fraction 0..1 of the work done; false once a stop was asked for.
    bool Report(double fraction)
    {
        const double scaled = 1.0 + std::clamp(fraction, 0.0, 1.0) * 10000.0;
        const int position = scaled >= double(ZipProgressMaximum) ? ZipProgressMaximum : int(scaled);
        if (m_callback && !m_callback(position))
            m_stopped = true;
        if (m_dialog) {
            m_dialog->SetPosition(position);
            QCoreApplication::processEvents();
            if (m_dialog->StopRequested())
                m_stopped = true;
        }
        return !m_stopped;
    }
    bool Stopped() const { return m_stopped; }

private:
    ZipProgress m_callback;
    QPointer<TdlgProg> m_dialog;
    bool m_stopped = false;
};

void ReportZipError(const ZipOptions& options, const QString& archive, const QString& reason)
{
    SendMessage(options.messages,
                FillPlaceholders(Translate(NL("Fout in zip-archief %s: %s")), {archive, reason}));
}

QString ErrorText(zip_error_t* error)
{
    return QString::fromLocal8Bit(zip_error_strerror(error));
}

void OnZipProgress(zip_t*, double fraction, void* state)
{
    static_cast<ProgressReporter*>(state)->Report(fraction);
}

int OnZipCancel(zip_t*, void* state)
{
    return static_cast<ProgressReporter*>(state)->Stopped() ? 1 : 0;
}

struct FileSpec
{
    QString folder;  // with "/"
    QString mask;
};

FileSpec SplitFileSpec(const QString& fileSpec)
{
    QString spec = fileSpec.trimmed();
    spec.replace(QLatin1Char('\\'), QLatin1Char('/'));
    FileSpec result;
    if (spec.endsWith(QLatin1Char('/')) || QFileInfo(spec).isDir()) {
        result.folder = NormaliseFolder(spec);
        result.mask = QStringLiteral("*");
        return result;
    }
    const qsizetype slash = spec.lastIndexOf(QLatin1Char('/'));
    result.folder = slash < 0 ? QStringLiteral("./") : NormaliseFolder(spec.left(slash + 1));
    result.mask = spec.mid(slash + 1);
    // The old "every file" mask also matches names without an extension.
    if (result.mask.isEmpty() || result.mask == QLatin1String("*.*"))
        result.mask = QStringLiteral("*");
    return result;
}

struct SourceFile
{
    QString path;
    QString entryName;
};

QList<SourceFile> MatchingFiles(const FileSpec& spec, bool withFolders, const QString& archive)
{
    QList<SourceFile> files;
    const QString base = QDir(spec.folder).absolutePath() + QLatin1Char('/');
    const QString archivePath = QFileInfo(archive).absoluteFilePath();
    QDirIterator it(base, {spec.mask}, QDir::Files | QDir::Hidden | QDir::NoSymLinks,
                    withFolders ? QDirIterator::Subdirectories : QDirIterator::NoIteratorFlags);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info(path);
        if (info.isSymLink() || info.absoluteFilePath() == archivePath)
            continue;
        // libzip's own temporary files beside an archive being written.
        if (info.absolutePath() == QFileInfo(archivePath).absolutePath()
            && info.fileName().startsWith(QFileInfo(archivePath).fileName() + QLatin1Char('.')))
            continue;
        const QString entry = withFolders ? path.mid(base.size()) : info.fileName();
        files.append({path, entry});
    }
    std::sort(files.begin(), files.end(),
              [](const SourceFile& a, const SourceFile& b) { return a.entryName < b.entryName; });
    return files;
}

// An entry name that stays inside the target folder: relative, no drive letter, no "..".
bool IsSafeEntryName(const QString& name)
{
    if (name.isEmpty() || name.startsWith(QLatin1Char('/')) || name.contains(QChar(0)))
        return false;
    if (name.size() >= 2 && name.at(1) == QLatin1Char(':'))
        return false;
    const QStringList parts = name.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    if (parts.isEmpty())
        return false;
    for (const QString& part : parts) {
        if (part == QLatin1String(".."))
            return false;
    }
    return true;
}

QString EntryName(zip_t* zip, zip_uint64_t index)
{
    const char* raw = zip_get_name(zip, index, ZIP_FL_ENC_GUESS);
    if (!raw)
        return {};
    QString name = QString::fromUtf8(raw);
    name.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return name;
}

bool IsInside(const QString& path, const QString& root)
{
    const QString canonicalRoot = QFileInfo(root).canonicalFilePath();
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return !canonicalRoot.isEmpty() && !canonical.isEmpty()
        && (canonical == canonicalRoot || canonical.startsWith(canonicalRoot + QLatin1Char('/')));
}

// Copies one entry into file; false with a reason on any error or stop.
bool ExtractEntry(zip_t* zip, zip_uint64_t index, const QString& file, ProgressReporter& progress,
                  quint64& done, quint64 total, QString* reason)
{
    zip_file_t* source = zip_fopen_index(zip, index, 0);
    if (!source) {
        *reason = ErrorText(zip_get_error(zip));
        return false;
    }
    QSaveFile target(file);
    if (!target.open(QIODevice::WriteOnly)) {
        zip_fclose(source);
        *reason = target.errorString();
        return false;
    }
    QByteArray buffer(64 * 1024, Qt::Uninitialized);
    bool ok = true;
    for (;;) {
        const zip_int64_t got = zip_fread(source, buffer.data(), zip_uint64_t(buffer.size()));
        if (got < 0) {
            *reason = ErrorText(zip_file_get_error(source));
            ok = false;
            break;
        }
        if (got == 0)
            break;
        if (target.write(buffer.constData(), got) != got) {
            *reason = target.errorString();
            ok = false;
            break;
        }
        done += quint64(got);
        if (!progress.Report(total ? double(done) / double(total) : 1.0)) {
            *reason = Translate(NL("Gestopt door de gebruiker"));
            ok = false;
            break;
        }
    }
    zip_fclose(source);
    if (!ok) {
        target.cancelWriting();
        return false;
    }
    if (!target.commit()) {
        *reason = target.errorString();
        return false;
    }
    return true;
}

} // namespace

bool ZipFiles(bool showProgress, const QString& archive, const QString& fileSpec,
              bool withFolders, const QString& caption, const ZipOptions& options)
{
    ProgressReporter progress(showProgress, caption, options.progress);
    const QList<SourceFile> files = MatchingFiles(SplitFileSpec(fileSpec), withFolders, archive);
    if (files.isEmpty())
        return true;
    if (!QDir().mkpath(QFileInfo(archive).absolutePath())) {
        ReportZipError(options, archive, Translate(NL("Map kan niet aangemaakt worden")));
        return false;
    }

    int errorCode = 0;
    // zip_close() writes to a temporary file beside the archive and renames it over the old
    // one only when complete.
    zip_t* zip = zip_open(QFile::encodeName(archive).constData(), ZIP_CREATE, &errorCode);
    if (!zip) {
        zip_error_t error;
        zip_error_init_with_code(&error, errorCode);
        ReportZipError(options, archive, ErrorText(&error));
        zip_error_fini(&error);
        return false;
    }
    for (const SourceFile& file : files) {
        zip_source_t* source = zip_source_file(zip, QFile::encodeName(file.path).constData(), 0, -1);
        if (!source || zip_file_add(zip, file.entryName.toUtf8().constData(), source,
                                    ZIP_FL_OVERWRITE | ZIP_FL_ENC_UTF_8) < 0) {
            if (source)
                zip_source_free(source);
            ReportZipError(options, archive, file.path + QStringLiteral(": ")
                                                 + ErrorText(zip_get_error(zip)));
            zip_discard(zip);
            return false;
        }
    }
    zip_register_progress_callback_with_state(zip, 0.001, OnZipProgress, nullptr, &progress);
    zip_register_cancel_callback_with_state(zip, OnZipCancel, nullptr, &progress);
    progress.Report(0.0);
    if (zip_close(zip) < 0) {
        if (!progress.Stopped())
            ReportZipError(options, archive, ErrorText(zip_get_error(zip)));
        zip_discard(zip);
        return false;
    }
    progress.Report(1.0);
    return true;
}

bool UnzipAll(bool showProgress, const QString& archive, const QString& targetFolder,
              const QString& caption, const ZipOptions& options)
{
    ProgressReporter progress(showProgress, caption, options.progress);
    int errorCode = 0;
    zip_t* zip = zip_open(QFile::encodeName(archive).constData(), ZIP_RDONLY, &errorCode);
    if (!zip) {
        zip_error_t error;
        zip_error_init_with_code(&error, errorCode);
        ReportZipError(options, archive, ErrorText(&error));
        zip_error_fini(&error);
        return false;
    }
    const auto fail = [&](const QString& reason) {
        ReportZipError(options, archive, reason);
        zip_discard(zip);
        return false;
    };

    const zip_int64_t count = zip_get_num_entries(zip, 0);
    QStringList names;
    quint64 total = 0;
    for (zip_int64_t i = 0; i < count; ++i) {
        const QString name = EntryName(zip, zip_uint64_t(i));
        if (!IsSafeEntryName(name))
            return fail(FillPlaceholders(Translate(NL("Ongeldige naam in het archief: %s")), {name}));
        zip_stat_t stat;
        if (zip_stat_index(zip, zip_uint64_t(i), 0, &stat) == 0 && (stat.valid & ZIP_STAT_SIZE))
            total += stat.size;
        names.append(name);
    }

    const QString root = NormaliseFolder(targetFolder);
    if (!QDir().mkpath(root))
        return fail(Translate(NL("Map kan niet aangemaakt worden")) + QStringLiteral(": ") + root);
    progress.Report(0.0);
    quint64 done = 0;
    for (zip_int64_t i = 0; i < count; ++i) {
        const QString& name = names.at(int(i));
        const QString path = QDir::cleanPath(root + name);
        const bool isFolder = name.endsWith(QLatin1Char('/'));
        const QString folder = isFolder ? path : QFileInfo(path).absolutePath();
        if (!QDir().mkpath(folder))
            return fail(Translate(NL("Map kan niet aangemaakt worden")) + QStringLiteral(": ") + folder);
        // A link already in the target must not carry an entry elsewhere.
        if (!IsInside(folder, root))
            return fail(FillPlaceholders(Translate(NL("Ongeldige naam in het archief: %s")), {name}));
        if (isFolder)
            continue;
        QString reason;
        if (!ExtractEntry(zip, zip_uint64_t(i), path, progress, done, total, &reason))
            return fail(name + QStringLiteral(": ") + reason);
        zip_stat_t stat;
        if (zip_stat_index(zip, zip_uint64_t(i), 0, &stat) == 0 && (stat.valid & ZIP_STAT_MTIME)) {
            QFile written(path);
            if (written.open(QIODevice::ReadWrite))
                written.setFileTime(QDateTime::fromSecsSinceEpoch(stat.mtime),
                                    QFileDevice::FileModificationTime);
        }
    }
    zip_discard(zip);
    progress.Report(1.0);
    return true;
}
