#pragma once

#include "lantern/buttondescription.h"

#include <QImage>
#include <QList>
#include <QStringList>
#include <QString>

// Web buttons and title images rendered from a description (MakeButton).

// The width of the topic-item frame and its height.
inline constexpr int TopicItemWidth = 239;
inline constexpr int TopicItemHeight = 43;

struct ButtonRender
{
    QImage image;          // null when nothing may be written
    QString missingFile;   // the file whose absence stopped the rendering
};

// Steps 1 to 6: the finished picture before it is saved. imagesFolder holds the background,
// cap and blend images. The description's IMAGEWIDTH follows the caption with AUTOWIDTH.
ButtonRender RenderButtonImage(TWebImageIniString& description, const QString& caption, const QString& imagesFolder);

// The nine frame pieces in the order they are read and drawn.
const QStringList& TopicItemPieceNames();
// The 239x43 frame built from the nine pieces in that order: corners in the corners, bars
// and background tiled between them. An empty piece is left out.
QImage AssembleTopicFrame(const QList<QImage>& pieces);
// The frame of a topic item assembled from the nine "vyx_srch_" pieces of imagesFolder
// (extension ".jpg" or ".gif"); null with missingFile set when a piece can't be read.
ButtonRender AssembleTopicItem(const QString& imagesFolder, const QString& extension);

// The whole MakeButton: reads the description, renders, saves outputName + ".gif" (inside
// siteFolder when relative), reduces to colourDepth bits when 2..7. A missing background or
// frame piece shows "waar is <file>" and writes nothing. True when the image was written.
bool MakeButtonFile(const QString& caption, const QString& siteFolder, const QString& outputName,
                    const QString& descriptionName, int colourDepth);
