#pragma once

#include <QColor>
#include <QRect>
#include <QString>

// Reads a button description: lines of a key, a blank and a value. A key names the first
// word of a line (case ignored), so SHADOWI never picks up a SHADOWII line; the first
// matching line wins.
QString DescriptionValue(const QString& text, const QString& key, bool* found = nullptr);

// The description of a web button or title image, as kept in a section of "site.ini".
class TWebImageIniString
{
public:
    explicit TWebImageIniString(const QString& text = QString());

    QString text() const { return m_text; }
    QString readString(const QString& key, const QString& defaultValue) const;
    int readInteger(const QString& key, int defaultValue) const;
    // True only for "TRUE" (any case); defaultValue when the key is absent.
    bool readBool(const QString& key, bool defaultValue) const;
    // A colour number 0x00BBGGRR, decimal or hexadecimal ("$FF0000", "0xFF0000").
    QColor readColour(const QString& key, int defaultValue) const;
    // Rewrites the key's first line in the text (appended when absent) and the field.
    void writeInteger(const QString& key, int value);

    QString fontName;
    int fontSize = 10;
    QColor fontColor;
    bool fontBold = false;
    bool fontItalic = false;
    bool fontUnderline = false;
    int fontAlignment = 2;   // 0 left, 1 right, else centred
    bool antial = true;
    bool shadowI = false;
    QColor shadowColorI;
    int shadowExtentI = 2;
    bool shadowII = false;
    QColor shadowColorII;
    int shadowExtentII = 2;
    bool blur = false;
    int blurValue = 0;
    bool quickBlur = false;
    int quickBlurValue = 0;
    bool framed = false;
    bool backImageOn = false;
    QString backImagePath;
    bool tiled = false;
    bool tvFilter = false;
    QColor backColor;
    bool blend = false;
    int blendTransparency = 0;
    QRect textRect;          // from RECTLEFT, RECTTOP, RECTRIGHT, RECTBOTTOM (exclusive right, bottom)
    int imageWidth = 200;
    int imageHeight = 95;
    bool autoWidth = false;
    // Kept for the callers; the renderer doesn't use them.
    bool dualStateButtons = false;
    QString dualStateButtonsImagePath;
    QColor dualStateBackColor;
    QColor dualStateFontColor;
    bool includeMenuImage = false;

private:
    QString m_text;
};

// The caption font when a description names none.
QString DefaultFontName();
