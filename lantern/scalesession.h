#pragma once

#include <QImage>
#include <QList>
#include <QRect>
#include <QSize>
#include <QString>

// The state behind the scaling dialog, without the window: the source picture, the current
// (scaled, cropped, retouched) picture, one undo step and the preset boxes.
class TScaleSession
{
public:
    // How the result of Ok is written: LetHimScale keeps an unchanged file as it is,
    // LetHimScaleWeb always encodes for the web.
    enum class Output { Keep, Web };

    // folder holds "web.ini" with the presets.
    TScaleSession(const QString& folder, const QString& file);

    bool isValid() const { return !m_picture.isNull(); }
    QString sourceFile() const { return m_file; }
    QSize sourceSize() const { return m_sourceSize; }
    const QImage& picture() const { return m_picture; }
    bool isModified() const { return m_modified; }

    QList<QSize> presets() const { return m_presets; }
    // Stores the current picture size as preset index (0..2).
    void storePreset(int index);
    bool savePresets() const;

    // Every scaling starts again from the source file.
    bool scaleTo(const QSize& size);
    // Exactly the preset with stretch, else the largest proportional size inside it.
    bool scaleToPreset(int index, bool stretch);
    bool bigger();
    bool smaller();   // false (and nothing changes) when a side would become 0
    // The height that keeps the source's proportions at width.
    int proportionalHeight(int width) const;

    // Crops to rect (picture coordinates); a rectangle smaller than 2x2 inside the
    // picture does nothing.
    bool crop(const QRect& rect);
    bool applyEffect(const QString& name, int amount);
    // Mixes in the blend picture (a name in "bmp/" or a full path) with weight amount/100.
    bool blend(const QString& blendFile, int amount);
    bool canUndo() const { return !m_undo.isNull(); }
    bool undo();

    // Saves the result in ProgramFolder() + "bmp/" and returns its name ("temp.jpg"), or
    // an empty text when it could not be written.
    QString saveResult(Output output, bool makeGif) const;
    // The extension the result gets (".gif", ".jpg" or the source's own, lower case).
    QString resultExtension(Output output, bool makeGif) const;

private:
    void change(const QImage& picture);

    QString m_folder;
    QString m_file;
    QSize m_sourceSize;
    QImage m_picture;
    QImage m_undo;
    bool m_modified = false;
    QList<QSize> m_presets;
};
