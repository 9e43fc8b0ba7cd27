#include "lantern/scalesession.h"

#include "lantern/effects.h"
#include "lantern/gifwriter.h"
#include "lantern/scaling.h"

#include "foundation/files.h"
#include "foundation/homefolder.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cmath>

TScaleSession::TScaleSession(const QString& folder, const QString& file)
    : m_folder(folder)
    , m_file(file)
    , m_presets(ReadScalePresets(folder))
{
    m_picture = LoadPicture(file);
    m_sourceSize = m_picture.size();
}

void TScaleSession::storePreset(int index)
{
    if (index >= 0 && index < m_presets.size() && isValid())
        m_presets[index] = m_picture.size();
}

bool TScaleSession::savePresets() const
{
    return WriteScalePresets(m_folder, m_presets);
}

void TScaleSession::change(const QImage& picture)
{
    m_undo = m_picture;
    m_picture = picture;
    m_modified = true;
}

bool TScaleSession::scaleTo(const QSize& size)
{
    if (!isValid() || size.isEmpty() || qint64(size.width()) * size.height() > MaxPicturePixels)
        return false;
    const QImage scaled = LoadScaledPicture(m_file, size);
    if (scaled.isNull())
        return false;
    change(scaled);
    return true;
}

bool TScaleSession::scaleToPreset(int index, bool stretch)
{
    if (index < 0 || index >= m_presets.size())
        return false;
    const QSize box = m_presets[index];
    return scaleTo(stretch ? box : Fit(m_sourceSize, box));
}

bool TScaleSession::bigger()
{
    return isValid() && scaleTo(BiggerSize(m_picture.size()));
}

bool TScaleSession::smaller()
{
    if (!isValid())
        return false;
    const QSize size = SmallerSize(m_picture.size());
    return size.isValid() && scaleTo(size);
}

int TScaleSession::proportionalHeight(int width) const
{
    if (m_sourceSize.isEmpty())
        return width;
    return std::max(1, int(std::lround(double(width) * m_sourceSize.height() / m_sourceSize.width())));
}

bool TScaleSession::crop(const QRect& rect)
{
    const QRect area = rect.normalized().intersected(m_picture.rect());
    if (!isValid() || area.width() < 2 || area.height() < 2)
        return false;
    change(m_picture.copy(area));
    return true;
}

bool TScaleSession::applyEffect(const QString& name, int amount)
{
    if (!isValid() || !IsEffectName(name) || name == QStringLiteral("blend"))
        return false;
    change(ApplyEffect(name, m_picture, amount));
    return true;
}

bool TScaleSession::blend(const QString& blendFile, int amount)
{
    if (!isValid() || blendFile.trimmed().isEmpty())
        return false;
    const QString file = QDir::isAbsolutePath(blendFile) ? blendFile
                                                         : ProgramFolder() + QStringLiteral("bmp/") + blendFile.trimmed();
    if (!QFileInfo(file).isFile())
        return false;
    const QImage other = LoadPicture(file);
    if (other.isNull())
        return false;
    change(BlendPictures(m_picture, other, amount / 100.0));
    return true;
}

bool TScaleSession::undo()
{
    if (m_undo.isNull())
        return false;
    m_picture = m_undo;
    m_undo = QImage();
    m_modified = true;
    return true;
}

QString TScaleSession::resultExtension(Output output, bool makeGif) const
{
    const QString own = QLatin1Char('.') + QFileInfo(m_file).suffix().toLower();
    if (output == Output::Web)
        return own == QStringLiteral(".gif") ? own : QStringLiteral(".jpg");
    if (makeGif)
        return QStringLiteral(".gif");
    return m_modified ? QStringLiteral(".jpg") : own;
}

QString TScaleSession::saveResult(Output output, bool makeGif) const
{
    if (!isValid())
        return QString();
    const QString extension = resultExtension(output, makeGif);
    const QString folder = ProgramFolder() + QStringLiteral("bmp/");
    QDir().mkpath(folder);
    const QString name = QStringLiteral("temp") + extension;
    const QString target = folder + name;
    const QString own = QLatin1Char('.') + QFileInfo(m_file).suffix().toLower();
    // An unchanged picture is copied as it is, unless its format would not match the name.
    if (output == Output::Keep && !m_modified && extension == own) {
        if (QFileInfo(m_file).absoluteFilePath() == QFileInfo(target).absoluteFilePath())
            return name;
        DeleteFileIfExists(target);
        return CopyFileIfExists(m_file, target) ? name : QString();
    }
    const bool saved = extension == QStringLiteral(".gif") ? SaveGif(m_picture, target) : SaveJpeg(m_picture, target);
    return saved ? name : QString();
}
