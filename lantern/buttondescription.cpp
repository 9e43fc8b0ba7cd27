#include "lantern/buttondescription.h"

#include "lantern/colour.h"

#include "foundation/numbers.h"

#include <QRegularExpression>
#include <QStringList>

namespace {

QStringList Lines(const QString& text)
{
    QString normalised = text;
    normalised.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    normalised.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return normalised.split(QLatin1Char('\n'));
}

QString FirstWord(const QString& line)
{
    const QString trimmed = line.trimmed();
    const int blank = trimmed.indexOf(QRegularExpression(QStringLiteral("\\s")));
    return blank < 0 ? trimmed : trimmed.left(blank);
}

} // namespace

QString DefaultFontName()
{
    return QStringLiteral("Liberation Sans");
}

QString DescriptionValue(const QString& text, const QString& key, bool* found)
{
    for (const QString& line : Lines(text)) {
        if (FirstWord(line).compare(key, Qt::CaseInsensitive) != 0)
            continue;
        if (found)
            *found = true;
        const QString trimmed = line.trimmed();
        const int blank = trimmed.indexOf(QRegularExpression(QStringLiteral("\\s")));
        return blank < 0 ? QString() : trimmed.mid(blank + 1).trimmed();
    }
    if (found)
        *found = false;
    return QString();
}

TWebImageIniString::TWebImageIniString(const QString& text)
    : m_text(text)
{
    fontName = readString(QStringLiteral("FONTNAME"), DefaultFontName());
    fontSize = readInteger(QStringLiteral("FONTSIZE"), 10);
    fontColor = readColour(QStringLiteral("FONTCOLOR"), 0);
    fontBold = readBool(QStringLiteral("FONTBOLD"), false);
    fontItalic = readBool(QStringLiteral("FONTITALIC"), false);
    fontUnderline = readBool(QStringLiteral("FONTUNDERLINE"), false);
    fontAlignment = readInteger(QStringLiteral("FONTALIGNMENT"), 2);
    antial = readBool(QStringLiteral("ANTIAL"), true);
    shadowI = readBool(QStringLiteral("SHADOWI"), false);
    shadowColorI = readColour(QStringLiteral("SHADOWCOLORI"), 0);
    shadowExtentI = readInteger(QStringLiteral("SHADOWEXTENTI"), 2);
    shadowII = readBool(QStringLiteral("SHADOWII"), false);
    shadowColorII = readColour(QStringLiteral("SHADOWCOLORII"), 0);
    shadowExtentII = readInteger(QStringLiteral("SHADOWEXTENTII"), 2);
    blur = readBool(QStringLiteral("BLUR"), false);
    blurValue = readInteger(QStringLiteral("BLURVALUE"), 0);
    quickBlur = readBool(QStringLiteral("QUICKBLUR"), false);
    quickBlurValue = readInteger(QStringLiteral("QUICKBLURVALUE"), 0);
    framed = readBool(QStringLiteral("FRAMED"), false);
    backImageOn = readBool(QStringLiteral("BACKIMAGEON"), false);
    backImagePath = readString(QStringLiteral("BACKIMAGEPATH"), QString());
    tiled = readBool(QStringLiteral("TILED"), false);
    tvFilter = readBool(QStringLiteral("TVFILTER"), false);
    backColor = readColour(QStringLiteral("BACKCOLOR"), 0);
    blend = readBool(QStringLiteral("BLEND"), false);
    blendTransparency = readInteger(QStringLiteral("BLENDTRANSPARENCY"), 0);
    const int left = readInteger(QStringLiteral("RECTLEFT"), 0);
    const int top = readInteger(QStringLiteral("RECTTOP"), 0);
    const int right = readInteger(QStringLiteral("RECTRIGHT"), 0);
    const int bottom = readInteger(QStringLiteral("RECTBOTTOM"), 0);
    textRect = QRect(left, top, right - left, bottom - top);
    imageWidth = readInteger(QStringLiteral("IMAGEWIDTH"), 200);
    imageHeight = readInteger(QStringLiteral("IMAGEHEIGHT"), 95);
    autoWidth = readBool(QStringLiteral("AUTOWIDTH"), false);
    dualStateButtons = readBool(QStringLiteral("DUALSTATEBUTTONS"), false);
    dualStateButtonsImagePath = readString(QStringLiteral("DUALSTATEBUTTONSIMAGEPATH"), QString());
    dualStateBackColor = readColour(QStringLiteral("DUALSTATEBACKCOLOR"), 0);
    dualStateFontColor = readColour(QStringLiteral("DUALSTATEFONTCOLOR"), 0);
    includeMenuImage = readBool(QStringLiteral("INCLUDEMENUIMAGE"), false);
}

QString TWebImageIniString::readString(const QString& key, const QString& defaultValue) const
{
    bool found = false;
    const QString value = DescriptionValue(m_text, key, &found);
    return found && !value.isEmpty() ? value : defaultValue;
}

int TWebImageIniString::readInteger(const QString& key, int defaultValue) const
{
    return IntOrDefault(DescriptionValue(m_text, key), defaultValue);
}

bool TWebImageIniString::readBool(const QString& key, bool defaultValue) const
{
    bool found = false;
    const QString value = DescriptionValue(m_text, key, &found);
    if (!found)
        return defaultValue;
    return value.compare(QStringLiteral("TRUE"), Qt::CaseInsensitive) == 0;
}

QColor TWebImageIniString::readColour(const QString& key, int defaultValue) const
{
    const QString value = DescriptionValue(m_text, key);
    bool ok = false;
    int number = defaultValue;
    if (value.startsWith(QLatin1Char('$')))
        number = value.mid(1).toInt(&ok, 16);
    else if (value.startsWith(QStringLiteral("0x"), Qt::CaseInsensitive))
        number = value.mid(2).toInt(&ok, 16);
    else
        number = value.toInt(&ok);
    return ColourFromNumber(ok ? number : defaultValue);
}

void TWebImageIniString::writeInteger(const QString& key, int value)
{
    QStringList lines = Lines(m_text);
    const QString line = key + QLatin1Char(' ') + QString::number(value);
    bool replaced = false;
    for (QString& existing : lines) {
        if (FirstWord(existing).compare(key, Qt::CaseInsensitive) == 0) {
            existing = line;
            replaced = true;
            break;
        }
    }
    if (!replaced)
        lines.append(line);
    m_text = lines.join(QStringLiteral("\r\n"));
    if (key.compare(QStringLiteral("IMAGEWIDTH"), Qt::CaseInsensitive) == 0)
        imageWidth = value;
}
