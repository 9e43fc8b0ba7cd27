#include "lanternhelpers.h"

#include "lantern/gifwriter.h"
#include "lantern/lanternclient.h"

#include <QAbstractButton>
#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QPainter>
#include <QTimer>
#include <QtEndian>

LanternHome::LanternHome()
{
    QDir().mkpath(home() + QStringLiteral("bmp"));
    qputenv("QUILLON_HOME", home().toUtf8());
    SetLanternNoticeLog(folder.file(QStringLiteral("notices.txt")));
}

LanternHome::~LanternHome()
{
    SetLanternNoticeLog(QString());
    qunsetenv("QUILLON_HOME");
}

QString LanternHome::home() const
{
    return folder.path() + QStringLiteral("home/");
}

QStringList LanternHome::notices() const
{
    const QString text = QString::fromUtf8(folder.read(QStringLiteral("notices.txt")));
    return text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QImage TestPicture(const QSize& size)
{
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y, qRgb(x * 255 / std::max(1, size.width() - 1), y * 255 / std::max(1, size.height() - 1), 128));
    QPainter painter(&image);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawEllipse(QRect(size.width() / 4, size.height() / 4, size.width() / 2, size.height() / 2));
    painter.setBrush(Qt::black);
    painter.drawRect(QRect(size.width() / 10, size.height() / 10, size.width() / 8, size.height() / 8));
    return image;
}

bool WriteTestPicture(const QString& file, const QSize& size)
{
    return SavePicture(TestPicture(size), file);
}

bool SavePicture(const QImage& image, const QString& file)
{
    QDir().mkpath(QFileInfo(file).absolutePath());
    // Qt reads GIF but does not write it.
    if (file.endsWith(QStringLiteral(".gif"), Qt::CaseInsensitive))
        return SaveGif(image, file);
    return image.save(file);
}

int ColourCount(const QImage& image)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    QSet<QRgb> colours;
    for (int y = 0; y < rgb.height(); ++y)
        for (int x = 0; x < rgb.width(); ++x)
            colours.insert(rgb.pixel(x, y) & 0xffffff);
    return int(colours.size());
}

namespace {

quint32 Crc32(const QByteArray& bytes)
{
    quint32 crc = 0xffffffffu;
    for (char c : bytes) {
        crc ^= quint8(c);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    return crc ^ 0xffffffffu;
}

} // namespace

QByteArray PngClaiming(int width, int height)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImage(1, 1, QImage::Format_RGB32).save(&buffer, "PNG");
    // The IHDR chunk follows the 8-byte signature: length, type, width, height, ..., CRC.
    qToBigEndian<quint32>(quint32(width), png.data() + 16);
    qToBigEndian<quint32>(quint32(height), png.data() + 20);
    qToBigEndian<quint32>(Crc32(png.mid(12, 17)), png.data() + 29);
    return png;
}

void ClickInModalDialog(const QString& buttonName, const std::function<void(QWidget*)>& before)
{
    auto* timer = new QTimer;
    timer->setInterval(20);
    auto tries = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, tries, buttonName, before] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (!dialog && ++*tries < 250)
            return;
        timer->stop();
        timer->deleteLater();
        if (!dialog)
            return;
        if (before)
            before(dialog);
        if (auto* button = dialog->findChild<QAbstractButton*>(buttonName))
            button->click();
        else
            dialog->close();
    });
    timer->start();
}
