// quillon-artwork: renders the program's pictures from the breeze icon theme.
//
//     quillon-artwork <output folder> [--preview <folder>]
//
// Writes the icon strips IL265.bmp (24 x 24 cells), ILsmall.bmp and conIcons.gmp (16 x 16
// cells), the module pictures (48 x 48), logo.bmp and splash.bmp. Strip cells lie side by side;
// magenta (0xFF00FF) is the transparent colour, so anti-aliased edges are settled against the
// light button face and pixels mostly transparent become magenta. With --preview, PNG copies
// are written too, for looking at them.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QSvgRenderer>

#include <cstdio>

namespace {

const QString kThemeRoot = QStringLiteral("/usr/share/icons/breeze/");
const char* const kCategories[] = {"actions", "places", "apps", "mimetypes", "devices",
                                   "status", "emblems", "categories", "preferences"};
const QRgb kMagenta = qRgb(0xFF, 0x00, 0xFF);
const QColor kButtonFace(0xF0, 0xF0, 0xF0);
QString g_fontFamily = QStringLiteral("Liberation Sans");
bool g_missing = false;

// ---------------------------------------------------------------------------------------------
// Image list tables: index -> breeze icon. Indexes the program refers to carry their meaning.

struct Cell
{
    int index;
    const char* icon;
    const char* meaning;
};

// "bmp/IL265.bmp": tool and button-bar icons, 24 x 24 (22-pixel breeze icons, centred).
// The tool buttons take their image per module: Bestand, Bewerken, Zoeken, Extra, Selecties,
// Help; image 57 is also the heading icon of the card designer.
const Cell kToolIcons[] = {
    {0, "view-filter", "Selecties, modules without selections (hidden there)"},
    {1, "document-new", "new"},
    {2, "document-save", "save"},
    {3, "document-print", "print"},
    {4, "help-contents", "Help, products"},
    {5, "document-open", "Bestand, contacts"},
    {6, "document-open", "Bestand, products"},
    {7, "document-open", "Bestand, sales documents"},
    {8, "view-filter", "Selecties, contacts"},
    {9, "view-pim-contacts", "contacts"},
    {10, "view-calendar", "calendar"},
    {11, "package-x-generic", "products"},
    {12, "view-financial-list", "sales documents"},
    {13, "configure", "Extra, calendar"},
    {14, "mail-message-new", "e-mail"},
    {15, "help-contents", "Help, calendar"},
    {16, "configure", "Extra, sales documents"},
    {17, "help-contents", "Help, contacts"},
    {18, "help-contents", "Help, sales documents"},
    {19, "document-print-preview", "print preview"},
    {20, "edit-copy", "duplicate"},
    {21, "edit-delete", "delete"},
    {22, "edit-find", "Zoeken, contacts"},
    {23, "edit-find-replace", "replace"},
    {24, "view-list-details", "lists"},
    {25, "tag", "labels"},
    {26, "office-chart-bar", "turnover graph"},
    {27, "view-pim-journal", "history"},
    {28, "help-contents", "Help, designers and e-mail designer"},
    {29, "configure", "Extra, products"},
    {30, "document-export", "export"},
    {31, "view-filter", "Selecties, products"},
    {32, "document-import", "import"},
    {33, "appointment-new", "appointment"},
    {34, "view-calendar-day", "day view"},
    {35, "view-calendar-week", "week view"},
    {36, "view-calendar-month", "month view"},
    {37, "go-previous", "previous"},
    {38, "go-next", "next"},
    {39, "view-refresh", "refresh"},
    {40, "document-properties", "properties"},
    {41, "edit-find", "Zoeken, products"},
    {42, "list-add", "add"},
    {43, "document-edit", "Bewerken, contacts"},
    {44, "mail-send", "send"},
    {45, "x-office-document", "word-processor document"},
    {46, "edit-find", "Zoeken, sales documents"},
    {47, "configure", "Extra, contacts"},
    {48, "view-currency-list", "currencies"},
    {49, "document-edit", "Bewerken, sales documents"},
    {50, "document-edit", "Bewerken, calendar"},
    {51, "document-open", "Bestand, calendar"},
    {52, "configure", "Extra, card designers; Selecties (\"Tinsel\"), e-mail designer"},
    {53, "document-edit", "Bewerken, products"},
    {54, "object-columns", "Extra (\"Band\"), list designer"},
    {55, "edit-find", "Zoeken, calendar"},
    {56, "view-form", "card"},
    {57, "document-open", "Bestand, designers; heading of the card designer"},
    {58, "text-field", "Zoeken (\"Veld\"), designers"},
    {59, "document-edit", "Bewerken, designers"},
    {60, "edit-select-all", "select all"},
    {61, "preferences-other", "Extra (\"Systeem\"), e-mail designer"},
};

// "bmp/ILsmall.bmp": small icons, 16 x 16. Field-tree icons of the field kinds and data types,
// the card's button glyphs (kind - 87 for kinds 101..199) and the history entry types.
const Cell kSmallIcons[] = {
    {0, "im-user", "contact"},
    {1, "system-users", "contacts"},
    {2, "package-x-generic", "product"},
    {3, "x-office-document", "document"},
    {4, "folder", "folder"},
    {5, "edit-find", "search"},
    {6, "insert-text", "text"},
    {7, "format-number-percent", "integer"},
    {8, "checkbox", "yes/no"},
    {9, "accessories-calculator", "floating number"},
    {10, "view-currency-list", "product price with its euro companion"},
    {11, "clock", "time"},
    {12, "view-pim-notes", "notes (memo)"},
    {13, "user-identity", "picture, icon and graphic columns; the default record icon"},
    {14, "phone", "telephone; history: Telefoon"},
    {15, "smartphone", "GSM"},
    {16, "printer", "fax; history: Fax"},
    {17, "mail-message", "e-mail; history: E-mail"},
    {18, "globe", "web address"},
    {19, "view-calendar-day", "date"},
    {20, "view-barcode", "VAT number"},
    {21, "wallet-open", "credit card number"},
    {22, "view-bank", "bank account number"},
    {23, "view-financial-list", "money"},
    {24, "view-list-details", "list field (kinds 13, 14, 111)"},
    {25, "mark-location", "place with postcode completion"},
    {26, "view-filter", "selection"},
    {27, "mail-message-new", "e-mail template"},
    {28, "x-office-document", "history: Word documenten"},
    {29, "view-calendar", "calendar"},
    {30, "configure", "settings"},
    {31, "tag", "category"},
    {32, "bookmarks", "label"},
    {33, "document-print", "history: Afgedrukte documenten"},
    {34, "document-print-preview", "history: Afgedrukte Facturen"},
    {35, "view-pim-notes", "history: Nota's"},
    {36, "appointment-new", "history: Afspraken"},
    {37, "image-x-generic", "external picture (file name)"},
    {38, "document-new", "new field"},
    {39, "object-locked", "locked"},
    {40, "object-unlocked", "unlocked"},
    {41, "story-editor", "product description"},
    {42, "list-add", "add"},
    {43, "edit-delete", "delete"},
    {44, "edit-copy", "copy"},
    {45, "document-save", "save"},
    {46, "document-open", "open"},
    {47, "view-refresh", "refresh"},
    {48, "go-previous", "previous"},
    {49, "go-next", "next"},
    {50, "go-home", "address"},
    {51, "flag-red", "flag"},
    {52, "data-warning", "important"},
    {53, "dialog-ok-apply", "done"},
    {54, "help-contents", "help"},
    {55, "office-chart-bar", "chart"},
    {56, "view-pim-journal", "history"},
    {57, "mail-attachment", "attachment"},
    {58, "view-form", "card"},
    {59, "insert-table", "table"},
    {60, "view-list-tree", "list field with sub-choices (kind 124)"},
};

// "bmp/conIcons.gmp": contact icons, 16 x 16, chosen per record (its ICON value).
const Cell kContactIcons[] = {
    {0, "im-user", "person"},
    {1, "system-users", "group"},
    {2, "user-identity", "portrait"},
    {3, "meeting-attending", "meeting"},
    {4, "go-home", "private"},
    {5, "view-bank", "bank"},
    {6, "package-x-generic", "supplier"},
    {7, "view-financial-list", "customer"},
    {8, "phone", "telephone"},
    {9, "smartphone", "mobile"},
    {10, "mail-message", "e-mail"},
    {11, "globe", "abroad"},
    {12, "emblem-favorite", "favourite"},
    {13, "rating", "rated"},
    {14, "data-error", "important"},
    {15, "data-warning", "warning"},
    {16, "flag-red", "red flag"},
    {17, "flag-green", "green flag"},
    {18, "flag-blue", "blue flag"},
    {19, "flag-yellow", "yellow flag"},
    {20, "flag-black", "black flag"},
    {21, "object-locked", "locked"},
    {22, "document-share", "shared"},
    {23, "user-online", "active"},
    {24, "user-away", "away"},
    {25, "user-busy", "busy"},
    {26, "user-offline", "inactive"},
    {27, "view-calendar-birthday", "birthday"},
    {28, "appointment-new", "appointment"},
    {29, "view-pim-tasks", "to do"},
    {30, "view-pim-notes", "note"},
    {31, "tag", "tagged"},
    {32, "bookmarks", "bookmarked"},
    {33, "mark-location", "location"},
    {34, "printer", "print"},
    {35, "x-office-document", "document"},
    {36, "games-highscores", "top customer"},
    {37, "help-hint", "tip"},
    {38, "dialog-ok-apply", "done"},
    {39, "chronometer", "waiting"},
    {40, "mail-attachment", "attachment"},
    {41, "configure", "service"},
    {42, "office-chart-line", "growth"},
    {43, "view-barcode", "registered"},
    {44, "wallet-open", "payment"},
};

// Module pictures, 48 x 48: the picture of the work area shown beside the tool bar.
struct ModulePicture
{
    const char* file;
    const char* icon;
    QColor top;
    QColor bottom;
};

// ---------------------------------------------------------------------------------------------

QString FindIcon(const QString& name, int size)
{
    const QString file = name + QStringLiteral(".svg");
    const QList<int> sizes{size, size == 24 ? 22 : size, 22, 16, 32, 48, 64};
    for (int s : sizes) {
        for (const char* category : kCategories) {
            const QString path = kThemeRoot + QLatin1String(category) + QLatin1Char('/')
                + QString::number(s) + QLatin1Char('/') + file;
            if (QFileInfo::exists(path))
                return path;
        }
    }
    return {};
}

QImage RenderIcon(const QString& name, int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QString path = FindIcon(name, size);
    if (path.isEmpty()) {
        std::fprintf(stderr, "quillon-artwork: no breeze icon \"%s\"\n", qPrintable(name));
        g_missing = true;
        path = FindIcon(QStringLiteral("unknown"), size);
    }
    QSvgRenderer renderer(path);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, QRectF(0, 0, size, size));
    return image;
}

// Settles an icon with alpha onto an opaque cell: mostly transparent pixels become the
// transparent colour, the rest is blended onto the button face.
void PutKeyed(QImage& strip, const QImage& icon, int x, int y)
{
    const QImage source = icon.convertToFormat(QImage::Format_ARGB32);
    for (int j = 0; j < source.height(); ++j) {
        for (int i = 0; i < source.width(); ++i) {
            const QRgb p = source.pixel(i, j);
            const int a = qAlpha(p);
            if (a < 80)
                continue;
            const auto mix = [a](int c, int b) { return (c * a + b * (255 - a)) / 255; };
            strip.setPixel(x + i, y + j, qRgb(mix(qRed(p), kButtonFace.red()),
                                              mix(qGreen(p), kButtonFace.green()),
                                              mix(qBlue(p), kButtonFace.blue())));
        }
    }
}

template <size_t N>
QImage Strip(const Cell (&cells)[N], int cell, int iconSize)
{
    int count = 0;
    for (const Cell& c : cells)
        count = std::max(count, c.index + 1);
    QImage strip(cell * count, cell, QImage::Format_RGB32);
    strip.fill(kMagenta);
    const int margin = (cell - iconSize) / 2;
    for (const Cell& c : cells)
        PutKeyed(strip, RenderIcon(QString::fromLatin1(c.icon), iconSize), c.index * cell + margin, margin);
    return strip;
}

QImage ModuleImage(const ModulePicture& picture)
{
    const int size = 48;
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(kButtonFace);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient gradient(0, 0, 0, size);
    gradient.setColorAt(0, picture.top);
    gradient.setColorAt(1, picture.bottom);
    QPainterPath tile;
    tile.addRoundedRect(QRectF(0.5, 0.5, size - 1, size - 1), 6, 6);
    painter.fillPath(tile, gradient);
    painter.setPen(QPen(picture.bottom.darker(115), 1));
    painter.drawPath(tile);
    painter.drawImage(QPoint(8, 8), RenderIcon(QString::fromLatin1(picture.icon), 32));
    painter.end();
    return image.convertToFormat(QImage::Format_RGB32);
}

QFont Font(int pixelSize, bool bold)
{
    QFont font(g_fontFamily);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

// The word mark: a pen on a blue tile and "Quillon PRO".
void DrawWordMark(QPainter& painter, const QPoint& at, int tileSize, int textSize, const QColor& ink)
{
    QLinearGradient gradient(at, at + QPoint(0, tileSize));
    gradient.setColorAt(0, QColor(0x3D, 0xAE, 0xE9));
    gradient.setColorAt(1, QColor(0x1D, 0x6F, 0xB8));
    QPainterPath tile;
    tile.addRoundedRect(QRectF(at, QSizeF(tileSize, tileSize)), tileSize / 6.0, tileSize / 6.0);
    painter.fillPath(tile, gradient);
    const int iconSize = tileSize * 2 / 3;
    QImage pen = RenderIcon(QStringLiteral("draw-freehand"), 64)
                     .scaled(iconSize, iconSize, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    // The monochrome pen turned white on the tile.
    QPainter tint(&pen);
    tint.setCompositionMode(QPainter::CompositionMode_SourceIn);
    tint.fillRect(pen.rect(), Qt::white);
    tint.end();
    painter.drawImage(at + QPoint((tileSize - iconSize) / 2, (tileSize - iconSize) / 2), pen);

    const int textX = at.x() + tileSize + tileSize / 4;
    painter.setFont(Font(textSize, true));
    painter.setPen(ink);
    const QFontMetrics metrics(painter.font());
    const int baseline = at.y() + (tileSize + metrics.capHeight()) / 2;
    painter.drawText(textX, baseline, QStringLiteral("Quillon"));
    const int proX = textX + metrics.horizontalAdvance(QStringLiteral("Quillon ")) ;
    painter.setFont(Font(textSize, false));
    painter.setPen(QColor(0x3D, 0xAE, 0xE9));
    painter.drawText(proX, baseline, QStringLiteral("PRO"));
}

QImage Logo()
{
    QImage image(300, 80, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    DrawWordMark(painter, QPoint(12, 12), 56, 34, QColor(0x23, 0x26, 0x29));
    painter.end();
    return image.convertToFormat(QImage::Format_RGB32);
}

QImage Splash()
{
    const QSize size(480, 300);
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    QLinearGradient background(0, 0, 0, size.height());
    background.setColorAt(0, QColor(0xFC, 0xFC, 0xFC));
    background.setColorAt(1, QColor(0xE3, 0xEA, 0xF1));
    painter.fillRect(image.rect(), background);
    // A band at the foot for the progress text and version the splash window writes.
    painter.fillRect(QRect(0, size.height() - 56, size.width(), 56), QColor(0x1D, 0x6F, 0xB8));
    painter.fillRect(QRect(0, size.height() - 60, size.width(), 4), QColor(0x3D, 0xAE, 0xE9));
    DrawWordMark(painter, QPoint(40, 80), 72, 44, QColor(0x23, 0x26, 0x29));
    // The work areas, as a quiet row of icons.
    const char* const icons[] = {"view-pim-contacts", "view-calendar", "package-x-generic",
                                 "view-financial-list", "mail-message-new", "document-print"};
    int x = 40;
    for (const char* icon : icons) {
        QImage picture = RenderIcon(QString::fromLatin1(icon), 22);
        QPainter tint(&picture);
        tint.setCompositionMode(QPainter::CompositionMode_SourceIn);
        tint.fillRect(picture.rect(), QColor(0x7F, 0x8C, 0x8D));
        tint.end();
        painter.drawImage(QPoint(x, 182), picture);
        x += 40;
    }
    painter.setPen(QColor(0xBD, 0xC3, 0xC7));
    painter.drawLine(40, 170, size.width() - 40, 170);
    painter.end();
    return image.convertToFormat(QImage::Format_RGB32);
}

bool Save(const QImage& image, const QString& folder, const QString& name, const QString& preview)
{
    const QString path = folder + name;
    // Written whole and renamed, so an interrupted build never leaves half a picture.
    const QString temporary = path + QStringLiteral(".part");
    if (!image.save(temporary, "BMP")) {
        std::fprintf(stderr, "quillon-artwork: cannot write %s\n", qPrintable(path));
        return false;
    }
    QFile::remove(path);
    if (!QFile::rename(temporary, path)) {
        std::fprintf(stderr, "quillon-artwork: cannot write %s\n", qPrintable(path));
        return false;
    }
    if (!preview.isEmpty())
        image.save(preview + QFileInfo(name).completeBaseName() + QStringLiteral(".png"), "PNG");
    return true;
}

void LoadFonts()
{
    const QString folder = QStringLiteral("/usr/share/fonts/truetype/liberation2/");
    for (const char* file : {"LiberationSans-Regular.ttf", "LiberationSans-Bold.ttf"}) {
        const int id = QFontDatabase::addApplicationFont(folder + QLatin1String(file));
        if (id >= 0 && !QFontDatabase::applicationFontFamilies(id).isEmpty())
            g_fontFamily = QFontDatabase::applicationFontFamilies(id).first();
    }
}

} // namespace

int main(int argc, char** argv)
{
    // A build step: no display is needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() < 2) {
        std::fprintf(stderr, "usage: quillon-artwork <output folder> [--preview <folder>]\n");
        return 2;
    }
    const QString out = QDir(arguments.at(1)).absolutePath() + QLatin1Char('/');
    QString preview;
    const qsizetype at = arguments.indexOf(QStringLiteral("--preview"));
    if (at > 0 && at + 1 < arguments.size())
        preview = QDir(arguments.at(at + 1)).absolutePath() + QLatin1Char('/');
    if (!QDir().mkpath(out) || (!preview.isEmpty() && !QDir().mkpath(preview)))
        return 1;
    LoadFonts();

    const ModulePicture modules[] = {
        {"contacts.bmp", "kaddressbook", QColor(0xEA, 0xF4, 0xFC), QColor(0xC9, 0xE2, 0xF5)},
        {"design.bmp", "kolourpaint", QColor(0xF4, 0xEE, 0xFA), QColor(0xDE, 0xD0, 0xEE)},
        {"emails.bmp", "kmail", QColor(0xEA, 0xF4, 0xFC), QColor(0xC9, 0xE2, 0xF5)},
        {"cal.bmp", "korganizer", QColor(0xFD, 0xF1, 0xE8), QColor(0xF5, 0xD9, 0xC4)},
        {"products.bmp", "package-x-generic", QColor(0xFB, 0xF6, 0xE6), QColor(0xF1, 0xE3, 0xB8)},
        {"fact.bmp", "kmymoney", QColor(0xEB, 0xF7, 0xEE), QColor(0xC9, 0xE9, 0xD2)},
    };

    bool ok = Save(Strip(kToolIcons, 24, 22), out, QStringLiteral("IL265.bmp"), preview);
    ok = Save(Strip(kSmallIcons, 16, 16), out, QStringLiteral("ILsmall.bmp"), preview) && ok;
    ok = Save(Strip(kContactIcons, 16, 16), out, QStringLiteral("conIcons.gmp"), preview) && ok;
    for (const ModulePicture& module : modules)
        ok = Save(ModuleImage(module), out, QString::fromLatin1(module.file), preview) && ok;
    ok = Save(Logo(), out, QStringLiteral("logo.bmp"), preview) && ok;
    ok = Save(Splash(), out, QStringLiteral("splash.bmp"), preview) && ok;
    if (!preview.isEmpty()) {
        // One enlarged sheet of every picture, rows wrapped at 32 cells, for a quick look.
        QList<QImage> rows;
        const auto addStrip = [&rows](const QImage& strip, int cell) {
            for (int x = 0; x < strip.width(); x += 32 * cell)
                rows.append(strip.copy(x, 0, std::min(32 * cell, strip.width() - x), cell)
                                .scaled(std::min(32 * cell, strip.width() - x) * 3, cell * 3));
        };
        addStrip(Strip(kToolIcons, 24, 22), 24);
        addStrip(Strip(kSmallIcons, 16, 16), 16);
        addStrip(Strip(kContactIcons, 16, 16), 16);
        QImage pictures(6 * 56, 48, QImage::Format_RGB32);
        pictures.fill(Qt::white);
        QPainter row(&pictures);
        for (int i = 0; i < 6; ++i)
            row.drawImage(i * 56, 0, ModuleImage(modules[i]));
        row.end();
        rows.append(pictures.scaled(pictures.size() * 2));
        rows.append(Logo());
        int width = 0, height = 0;
        for (const QImage& r : rows) {
            width = std::max(width, r.width());
            height += r.height() + 8;
        }
        QImage sheet(width, height, QImage::Format_RGB32);
        sheet.fill(Qt::white);
        QPainter painter(&sheet);
        int y = 0;
        for (const QImage& r : rows) {
            painter.drawImage(0, y, r);
            y += r.height() + 8;
        }
        painter.end();
        sheet.save(preview + QStringLiteral("sheet.png"), "PNG");
    }
    if (g_missing)
        std::fprintf(stderr, "quillon-artwork: some icons were missing; see above\n");
    return ok ? 0 : 1;
}
