// quillon-generate <home folder> [name]
// Makes a large administration for benchmarks and trials: 100,000 contacts, 20,000 products
// and 10,000 documents with 100,000 lines, with Dutch, French and German names, streets and
// the Belgian postcodes. The same run always gives the same data.

#include "data/connection.h"
#include "data/engine_statement.h"
#include "data/schema.h"
#include "data/shareddb.h"
#include "data/tabletemplate.h"
#include "foundation/homefolder.h"
#include "foundation/msgdlg.h"
#include "foundation/settingsfile.h"
#include "foundation/textfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QSqlError>
#include <QSqlQuery>

#include <sqlite3.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <random>

namespace {

constexpr int kContacts = 100000;
constexpr int kProducts = 20000;
constexpr int kDocuments = 10000;
constexpr int kLines = 100000;
constexpr int kSuppliers = 400;

enum Language { Dutch, French, German };

struct NameSet
{
    QStringList men;
    QStringList women;
    QStringList surnames;
    QStringList streets;
    QStringList companyForms;   // "%1" = surname
    QString country;
    QString languageCode;
    QString men_title;
    QString women_title;
};

QStringList Words(const char* text)
{
    return QString::fromUtf8(text).split(QLatin1Char(','), Qt::SkipEmptyParts);
}

const NameSet& Names(Language language)
{
    static const NameSet dutch{
        Words("Jan,Pieter,Koen,Bart,Tom,Wim,Luc,Marc,Dirk,Geert,Stijn,Wouter,Jeroen,Joris,Bram,Lars,Sander,Thomas,Ruben,"
              "Niels,Maarten,Hendrik,Willem,Kris,Peter,Johan,Frank,Filip,Jens,Arne,Seppe,Wannes,Jef,Rik,Gert"),
        Words("An,Els,Katrien,Sofie,Lien,Griet,Inge,Hilde,Marleen,Veerle,Eva,Lotte,Emma,Fien,Anouk,Sanne,Femke,"
              "Marieke,Liesbeth,Nele,Joke,Ilse,Annelies,Evelien,Ellen,Leen,Greet,Karolien,Tine,Hanne"),
        Words("Peeters,Janssens,Maes,Jacobs,Mertens,Willems,Claes,Goossens,Wouters,De Smet,Vermeulen,Van den Bossche,"
              "Desmet,Hermans,De Backer,Van de Velde,Coppens,Verstraete,Pauwels,Martens,Michiels,Smets,Claeys,Declercq,"
              "Vandenberghe,De Vos,Aerts,Lambrechts,Van Damme,Bosmans,De Clercq,Van Dyck,Verhoeven,De Wit,Bakker,Visser,"
              "Smit,Meijer,De Boer,Mulder,De Groot,Bos,Vos,Dekker,Van Leeuwen,Jansen,De Jong,Van Dijk,Hendrickx,Segers,"
              "Van Acker,Dewaele,Vervoort,Cools,Van Hoof,D'Hondt,Vanhove,Timmermans,Geerts,Thys"),
        Words("Kerkstraat,Stationsstraat,Dorpsstraat,Molenstraat,Nieuwstraat,Schoolstraat,Kapelstraat,Veldstraat,"
              "Beekstraat,Hoogstraat,Markt,Grote Markt,Kouter,Lindenlaan,Kastanjelaan,Industrieweg,Steenweg,Gentsesteenweg,"
              "Koning Albertlaan,Leopoldlaan,Sint-Jansstraat,Bosstraat,Heidestraat,Zandstraat,Meersstraat,Pastorijstraat,"
              "Kasteelstraat,Brugstraat,Hoevestraat,Vaartstraat,Wilgenlaan,Processiestraat,Ringlaan,Boomgaardstraat"),
        Words("%1 BV,%1 & Zonen,Bouwbedrijf %1,Garage %1,%1 Consulting,Bakkerij %1,Drukkerij %1,%1 NV,Schrijnwerkerij %1,"
              "Elektro %1,Transport %1,Brouwerij %1,Advocatenkantoor %1,%1 Interieur,Tuinaanleg %1"),
        QStringLiteral("België"),
        QStringLiteral("NL"),
        QStringLiteral("Dhr."),
        QStringLiteral("Mevr."),
    };
    static const NameSet french{
        Words("Jean,Pierre,Michel,Philippe,Alain,Jacques,Luc,Marc,Nicolas,Julien,Olivier,Laurent,François,Thierry,"
              "Benoît,Sébastien,Christophe,Éric,Antoine,Mathieu,Damien,Grégory,Xavier,Cédric,Frédéric,Maxime,Hugo,Louis"),
        Words("Marie,Isabelle,Nathalie,Catherine,Sophie,Anne,Valérie,Sandrine,Christine,Martine,Céline,Émilie,Julie,"
              "Aurélie,Camille,Chloé,Léa,Manon,Hélène,Élodie,Françoise,Geneviève,Véronique,Mélanie,Pauline,Margaux"),
        Words("Dubois,Lambert,Dupont,Martin,Simon,Laurent,Leclercq,Lejeune,Renard,Dumont,François,Mathieu,Denis,"
              "Lemaire,Collard,Hubert,Henry,Gérard,Leroy,Noël,Bernard,Thiry,Goffin,Piette,Delvaux,Lefèvre,Charlier,"
              "Jacquet,Marchal,Gilson,Massart,Servais,Demoulin,Dethier,Lecomte,Rousseau,Fontaine,Mercier,Gaillard,"
              "Degrève,Wathelet,Closset,Dessart,Pirotte,Hennuy,Lhoest,Bodart"),
        Words("Rue de la Gare,Rue de l'Église,Rue du Moulin,Grand-Place,Rue Haute,Rue Neuve,Avenue des Tilleuls,"
              "Rue de Namur,Chaussée de Bruxelles,Rue du Château,Rue des Écoles,Place Communale,Rue de la Station,"
              "Avenue Albert Ier,Rue Saint-Martin,Rue du Bois,Rue des Champs,Rue de la Fontaine,Chemin du Tram,"
              "Rue Royale,Rue du Pont,Avenue de la Libération,Rue des Fleurs,Rue de Liège,Route de Marche,Rue Émile Vandervelde"),
        Words("%1 SRL,Boulangerie %1,Garage %1,%1 & Fils,Menuiserie %1,%1 SA,Imprimerie %1,Transports %1,"
              "Électricité %1,Cabinet %1,Brasserie %1,Toitures %1,Jardins %1"),
        QStringLiteral("Belgique"),
        QStringLiteral("FR"),
        QStringLiteral("M."),
        QStringLiteral("Mme"),
    };
    static const NameSet german{
        Words("Hans,Peter,Klaus,Jürgen,Wolfgang,Michael,Thomas,Andreas,Stefan,Matthias,Jörg,Uwe,Günter,Dieter,Markus,"
              "Tobias,Lukas,Jonas,Felix,Maximilian,Bernd,Ralf,Achim,Norbert"),
        Words("Anna,Maria,Ursula,Monika,Petra,Sabine,Claudia,Andrea,Birgit,Jutta,Katrin,Julia,Lena,Laura,Sarah,Hannah,"
              "Sophie,Lisa,Greta,Gisela,Renate,Heike"),
        Words("Müller,Schmitz,Schneider,Fischer,Weber,Meyer,Wagner,Becker,Schulz,Hoffmann,Schäfer,Koch,Bauer,Richter,"
              "Klein,Wolf,Schröder,Neumann,Schwarz,Zimmermann,Braun,Krüger,Hofmann,Hartmann,Lange,Kraus,Heinen,Kessler,"
              "Jost,Thelen,Pauels,Cremer,Mießen,Hilgers,Kohnen,Lentz,Margraff,Radermacher,Weynand,Keutgen,Scholzen"),
        Words("Hauptstraße,Kirchstraße,Bahnhofstraße,Schulstraße,Bergstraße,Gartenstraße,Lindenstraße,Aachener Straße,"
              "Marktplatz,Dorfstraße,Mühlenweg,Am Bach,Klosterstraße,Neustraße,Herbesthaler Straße,Malmedyer Straße,"
              "Talstraße,Feldweg,Rathausplatz,Wiesenweg,Hochstraße,Judenstraße"),
        Words("%1 GmbH,Bäckerei %1,Autohaus %1,Schreinerei %1,%1 & Söhne,%1 AG,Druckerei %1,Elektro %1,Metzgerei %1,"
              "Gartenbau %1,Dachdeckerei %1"),
        QStringLiteral("Belgien"),
        QStringLiteral("DE"),
        QStringLiteral("Herr"),
        QStringLiteral("Frau"),
    };
    return language == Dutch ? dutch : language == French ? french : german;
}

struct Place
{
    QString code;
    QString name;
};

// The municipality names of the list are capitals for main municipalities: "SINT-NIKLAAS".
QString NiceName(const QString& name)
{
    if (name != name.toUpper())
        return name;
    QString result = name.toLower();
    bool start = true;
    for (QChar& c : result) {
        if (start && c.isLetter())
            c = c.toUpper();
        start = c == u' ' || c == u'-' || c == u'\'' || c == u'(';
    }
    return result;
}

Language LanguageOfPlace(int code, const QString& province)
{
    if (code >= 4700 && code <= 4791)
        return German;
    static const QStringList flemish{QStringLiteral("Anvers"), QStringLiteral("Brabant Flamand"),
                                     QStringLiteral("Flandre-Occidentale"), QStringLiteral("Flandre-Orientale"),
                                     QStringLiteral("Limbourg")};
    if (flemish.contains(province))
        return Dutch;
    if (province.startsWith(u"Bruxelles"))
        return code % 2 ? Dutch : French;
    return French;
}

QString AsciiSlug(const QString& text)
{
    QString folded = text.normalized(QString::NormalizationForm_D);
    QString slug;
    for (QChar c : folded) {
        if (c == u'ß')
            slug += QStringLiteral("ss");
        else if (c.isLetterOrNumber() && c.unicode() < 128)
            slug += c.toLower();
    }
    return slug;
}

class Generator
{
public:
    explicit Generator(TDatabase& db) : m_db(db), m_random(20260101) {}

    bool Run(const QString& folder);

private:
    int Int(int low, int high) { return std::uniform_int_distribution<int>(low, high)(m_random); }
    double Real(double low, double high) { return std::uniform_real_distribution<double>(low, high)(m_random); }
    bool Chance(double p) { return Real(0, 1) < p; }
    template <typename T> const T& Pick(const QList<T>& list) { return list.at(Int(0, int(list.size()) - 1)); }
    QString Digits(int n)
    {
        QString s;
        for (int i = 0; i < n; ++i)
            s += QChar(u'0' + Int(0, 9));
        return s;
    }
    QString Date(int daysBackLow, int daysBackHigh)
    {
        return QDate::currentDate().addDays(-Int(daysBackLow, daysBackHigh)).toString(Qt::ISODate);
    }

    bool LoadPlaces();
    QString Phone(const QString& postcode);
    QString Mobile();
    QString VatNumber();
    QString Iban();
    QString Ean();

    bool Exec(const char* sql);
    sqlite3_stmt* Prepare(const QString& sql);
    bool Step(sqlite3_stmt* statement);
    void Bind(sqlite3_stmt* s, int i, const QString& text);
    void Bind(sqlite3_stmt* s, int i, double value) { sqlite3_bind_double(s, i, value); }
    void Bind(sqlite3_stmt* s, int i, int value) { sqlite3_bind_int(s, i, value); }
    QStringList DropIndexes(const QString& table);
    bool RestoreIndexes(const QStringList& statements);

    bool Contacts();
    bool Products(const QString& folder);
    bool Documents();

    TDatabase& m_db;
    std::mt19937 m_random;
    QList<Place> m_places[3];
    QStringList m_supplierNames;
    struct Product
    {
        QString name;
        double price;
        double vat;
    };
    QList<Product> m_products;
    QHash<int, int> m_lastNumbers;
    QString m_error;
};

bool Generator::LoadPlaces()
{
    QSqlQuery q(m_db.sql());
    if (!q.exec(QStringLiteral("SELECT code, gemeente FROM shared.Post")))
        return false;
    // The province is not kept in the table; read it from the list the table came from.
    QHash<QString, QString> provinces;
    QFile csv(PostcodeListFile(DataFolder()));
    if (csv.open(QIODevice::ReadOnly)) {
        while (!csv.atEnd()) {
            const QStringList f = QString::fromUtf8(csv.readLine()).trimmed().split(QLatin1Char(','));
            if (f.size() >= 4)
                provinces.insert(f.at(0), f.at(3));
        }
    }
    while (q.next()) {
        const QString code = q.value(0).toString();
        m_places[LanguageOfPlace(code.toInt(), provinces.value(code))].append({code, NiceName(q.value(1).toString())});
    }
    return !m_places[Dutch].isEmpty() && !m_places[French].isEmpty() && !m_places[German].isEmpty();
}

QString Generator::Phone(const QString& postcode)
{
    static const QHash<QChar, QStringList> zones{
        {u'1', Words("02,010,016")}, {u'2', Words("03,014,015")}, {u'3', Words("016,011,013")},
        {u'4', Words("04,087,080")}, {u'5', Words("081,082,083")}, {u'6', Words("071,063,061")},
        {u'7', Words("065,069,068")}, {u'8', Words("050,056,059,051")}, {u'9', Words("09,053,052,055")}};
    const QString zone = Pick(zones.value(postcode.isEmpty() ? u'9' : postcode.at(0), Words("09")));
    if (zone.size() == 2)
        return zone + QLatin1Char(' ') + Digits(3) + QLatin1Char(' ') + Digits(2) + QLatin1Char(' ') + Digits(2);
    return zone + QLatin1Char(' ') + Digits(2) + QLatin1Char(' ') + Digits(2) + QLatin1Char(' ') + Digits(2);
}

QString Generator::Mobile()
{
    return QStringLiteral("04%1 %2 %3 %4").arg(Int(70, 99)).arg(Digits(2), Digits(2), Digits(2));
}

// Belgian VAT numbers end in 97 minus the first eight digits modulo 97.
QString Generator::VatNumber()
{
    const qint64 base = qint64(Int(2000000, 9999999));
    const int check = 97 - int(base % 97);
    const QString digits = QStringLiteral("0%1%2").arg(base, 7, 10, QLatin1Char('0')).arg(check, 2, 10, QLatin1Char('0'));
    return QStringLiteral("BE %1.%2.%3").arg(digits.mid(0, 4), digits.mid(4, 3), digits.mid(7, 3));
}

// A Belgian IBAN with a valid national and international check.
QString Generator::Iban()
{
    const qint64 account = qint64(Int(1, 999)) * 10000000 + Int(0, 9999999);
    int national = int(account % 97);
    if (national == 0)
        national = 97;
    const QString bban = QStringLiteral("%1%2").arg(account, 10, 10, QLatin1Char('0')).arg(national, 2, 10, QLatin1Char('0'));
    // BBAN + "BE00", letters as numbers (B = 11, E = 14), modulo 97, piecewise.
    const QString numeric = bban + QStringLiteral("111400");
    int mod = 0;
    for (QChar c : numeric)
        mod = (mod * 10 + (c.unicode() - '0')) % 97;
    const QString iban = QStringLiteral("BE%1").arg(98 - mod, 2, 10, QLatin1Char('0')) + bban;
    return iban.mid(0, 4) + QLatin1Char(' ') + iban.mid(4, 4) + QLatin1Char(' ') + iban.mid(8, 4) + QLatin1Char(' ') + iban.mid(12, 4);
}

QString Generator::Ean()
{
    QString code = QStringLiteral("54") + Digits(10);
    int sum = 0;
    for (int i = 0; i < 12; ++i)
        sum += (code.at(i).unicode() - '0') * (i % 2 ? 3 : 1);
    return code + QChar(u'0' + (10 - sum % 10) % 10);
}

bool Generator::Exec(const char* sql)
{
    char* message = nullptr;
    if (sqlite3_exec(m_db.handle(), sql, nullptr, nullptr, &message) == SQLITE_OK)
        return true;
    m_error = QString::fromUtf8(message ? message : "error");
    sqlite3_free(message);
    return false;
}

sqlite3_stmt* Generator::Prepare(const QString& sql)
{
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(m_db.handle(), sql.toUtf8().constData(), -1, &statement, nullptr) != SQLITE_OK) {
        m_error = QString::fromUtf8(sqlite3_errmsg(m_db.handle()));
        return nullptr;
    }
    return statement;
}

bool Generator::Step(sqlite3_stmt* statement)
{
    const int rc = sqlite3_step(statement);
    sqlite3_reset(statement);
    sqlite3_clear_bindings(statement);
    if (rc == SQLITE_DONE)
        return true;
    m_error = QString::fromUtf8(sqlite3_errmsg(m_db.handle()));
    return false;
}

void Generator::Bind(sqlite3_stmt* s, int i, const QString& text)
{
    if (text.isNull()) {
        sqlite3_bind_null(s, i);
        return;
    }
    const QByteArray utf8 = text.toUtf8();
    sqlite3_bind_text(s, i, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

// Rows go in faster without the secondary indexes; they are built once at the end.
QStringList Generator::DropIndexes(const QString& table)
{
    QStringList statements;
    QSqlQuery q(m_db.sql());
    q.prepare(QStringLiteral("SELECT name, sql FROM sqlite_master WHERE type = 'index' AND tbl_name = ? AND sql IS NOT NULL"));
    q.addBindValue(table);
    QStringList names;
    if (q.exec())
        while (q.next()) {
            names.append(q.value(0).toString());
            statements.append(q.value(1).toString());
        }
    q.finish();
    for (const QString& name : names)
        Exec((QStringLiteral("DROP INDEX ") + QuoteIdentifier(name)).toUtf8().constData());
    return statements;
}

bool Generator::RestoreIndexes(const QStringList& statements)
{
    for (const QString& sql : statements)
        if (!Exec(sql.toUtf8().constData()))
            return false;
    return true;
}

bool Generator::Contacts()
{
    const QStringList indexes = DropIndexes(QStringLiteral("Adressen"));
    sqlite3_stmt* insert = Prepare(QStringLiteral(
        "INSERT INTO Adressen (nummer, Name, GivenName, COMPANY, Title, ComName, Address, Zip, Place, Country, "
        "\"Telephone private\", \"Telephone Office\", fax, Gsm, Emailaddress, Website, vatNumber, AccountNr, Language, "
        "Birthday, CreatingDate, C_CHANGED, C_P_SPRICE, C_P_NAME, LISTS, INLIST, ICON) "
        "VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)"));
    if (!insert || !m_db.Transaction())
        return false;
    static const QStringList privateDomains = Words("telenet.be,skynet.be,proximus.be,gmail.com,hotmail.com,outlook.be,scarlet.be");
    bool ok = true;
    for (int id = 2; ok && id <= kContacts; ++id) {
        const double r = Real(0, 1);
        const Language language = r < 0.5 ? Dutch : r < 0.85 ? French : German;
        const NameSet& names = Names(language);
        const bool woman = Chance(0.5);
        const QString given = Pick(woman ? names.women : names.men);
        const QString surname = Pick(names.surnames);
        const Place& place = Pick(m_places[language]);
        // The first contacts are the businesses that supply the products.
        const bool company = id <= kSuppliers + 1 || Chance(0.6);
        const QString companyName = company ? Pick(names.companyForms).arg(Chance(0.3) ? place.name : surname) : QString();
        const QString person = QString(surname + QLatin1Char(' ') + given).trimmed();
        const QString comName = (company ? companyName + QLatin1Char(' ') + person : person).left(99);
        if (id <= kSuppliers + 1)
            m_supplierNames.append(comName);
        const QString domain = company ? AsciiSlug(companyName) + QStringLiteral(".be") : Pick(privateDomains);
        int i = 1;
        Bind(insert, i++, id);
        Bind(insert, i++, surname);
        Bind(insert, i++, given);
        Bind(insert, i++, company ? companyName : QString());
        Bind(insert, i++, woman ? names.women_title : names.men_title);
        Bind(insert, i++, comName);
        Bind(insert, i++, QStringLiteral("%1 %2").arg(Pick(names.streets)).arg(Int(1, 250)));
        Bind(insert, i++, place.code);
        Bind(insert, i++, place.name);
        Bind(insert, i++, names.country);
        Bind(insert, i++, Chance(0.6) ? Phone(place.code) : QString());
        Bind(insert, i++, company ? Phone(place.code) : QString());
        Bind(insert, i++, company && Chance(0.3) ? Phone(place.code) : QString());
        Bind(insert, i++, Chance(0.8) ? Mobile() : QString());
        Bind(insert, i++, AsciiSlug(given) + QLatin1Char('.') + AsciiSlug(surname) + QLatin1Char('@') + domain);
        Bind(insert, i++, company ? QStringLiteral("www.") + domain : QString());
        Bind(insert, i++, company ? VatNumber() : QString());
        Bind(insert, i++, Chance(0.7) ? Iban() : QString());
        Bind(insert, i++, names.languageCode);
        Bind(insert, i++, company ? QString() : QDate(Int(1940, 2005), Int(1, 12), Int(1, 28)).toString(Qt::ISODate));
        Bind(insert, i++, Date(0, 3650));
        Bind(insert, i++, 0);
        Bind(insert, i++, company && Chance(0.2) ? QStringLiteral("P_SPRICE") : QString());
        Bind(insert, i++, QString());
        Bind(insert, i++, QStringLiteral("0"));
        Bind(insert, i++, 0);
        Bind(insert, i++, 0);
        ok = Step(insert);
    }
    sqlite3_finalize(insert);
    ok = ok && RestoreIndexes(indexes);
    if (ok)
        return m_db.Commit();
    m_db.Rollback();
    return false;
}

bool Generator::Products(const QString& folder)
{
    struct Category
    {
        const char* name;
        const char* code;
        double vat;
        const char* groups;
        const char* items;
        const char* variants;
        double low, high;
        const char* unit;
    };
    static const Category categories[] = {
        {"Kantoor", "KAN", 21, "Papier,Schrijfgerei,Archivering",
         "Kopieerpapier A4 80 g,Balpen,Ordner 80 mm,Nietmachine,Markeerstift,Notitieblok A5,Enveloppen C5,Plakband,Perforator,Bureaulamp",
         "blauw,zwart,rood,groen,wit,grijs,doos van 10,pak van 500", 0.5, 60, "stuk"},
        {"Elektro", "ELE", 21, "Kabels,Verlichting,Schakelmateriaal",
         "Verlengkabel,Stopcontact,Schakelaar,LED-lamp E27,LED-spot GU10,Installatiekabel,Zekering,Contactdoos,Bewegingsmelder",
         "3 m,5 m,10 m,25 m,wit,zwart,2700 K,4000 K,IP44", 2, 120, "stuk"},
        {"Gereedschap", "GER", 21, "Handgereedschap,Elektrisch,Meten",
         "Schroevendraaier,Hamer,Tang,Boormachine,Slijpmachine,Rolmaat,Waterpas,Zaag,Beitel,Schroefmachine",
         "PH2,PZ1,300 g,500 g,18 V,750 W,5 m,60 cm,set van 6", 3, 350, "stuk"},
        {"Tuin", "TUI", 21, "Gereedschap,Bewatering,Meubilair",
         "Tuinslang,Snoeischaar,Hark,Spade,Tuinstoel,Parasol,Sproeier,Kruiwagen,Bladblazer",
         "15 m,25 m,groen,antraciet,hout,aluminium,klein,groot", 4, 400, "stuk"},
        {"Sanitair", "SAN", 21, "Kranen,Leidingen,Toebehoren",
         "Mengkraan,Douchekop,Sifon,Knelkoppeling,Koperen buis,Afvoerbuis,Wastafel,Spiegelkast",
         "15 mm,22 mm,32 mm,40 mm,chroom,wit,1 m,2 m", 2, 450, "stuk"},
        {"Voeding", "VOE", 6, "Dranken,Koffie,Snoep",
         "Koffiebonen,Gemalen koffie,Thee,Mineraalwater,Bruiswater,Chocolade,Koekjes,Sinaasappelsap,Melk",
         "250 g,500 g,1 kg,1 l,33 cl,doos van 20,bak van 6", 0.8, 25, "doos"},
        {"Informatica", "INF", 21, "Randapparatuur,Opslag,Netwerk",
         "USB-stick,Externe schijf,Muis,Toetsenbord,Netwerkkabel,Switch,Webcam,Headset,Printerinkt,Toner",
         "32 GB,64 GB,1 TB,2 TB,draadloos,Cat6 2 m,Cat6 5 m,zwart,kleur", 5, 300, "stuk"},
        {"Diensten", "DIE", 21, "Arbeid,Verplaatsing,Onderhoud",
         "Werkuur technicus,Werkuur monteur,Verplaatsingskosten,Onderhoudscontract,Installatie,Advies,Opleiding",
         "per uur,halve dag,volledige dag,per maand,per jaar", 25, 900, "uur"},
        {"Drukwerk", "DRU", 21, "Kantoordrukwerk,Promotie,Verpakking",
         "Visitekaartjes,Briefpapier,Flyers A5,Affiches A2,Kartonnen doos,Stickers,Folders",
         "100 stuks,250 stuks,500 stuks,1000 stuks,kleur,zwart-wit", 15, 700, "pak"},
        {"Boeken", "BOE", 6, "Vakliteratuur,Jeugd,Reizen",
         "Handboek boekhouding,Fiscaal zakboekje,Kookboek,Reisgids België,Woordenboek Nederlands-Frans,Atlas",
         "editie 2024,editie 2025,paperback,gebonden", 10, 80, "stuk"},
    };
    const QStringList indexes = DropIndexes(QStringLiteral("Products"));
    if (!Exec("DELETE FROM Products"))
        return false;
    sqlite3_stmt* insert = Prepare(QStringLiteral(
        "INSERT INTO Products (P_ID, P_CODE, P_NAME, P_CATEGORY, P_GROUPBY, P_EAN, P_UNIT, P_CURRENCY, P_PRICE, P_PRICEE, "
        "P_SPRICE, P_SPRICEE, P_VAT, P_DISCOUNT, P_NODISCOUNT, P_AMOUNT, P_Quantity, P_Minimum, P_SUPNR, P_SUPPLIER, "
        "P_CREATINGDATE, LISTS, INLIST, ICON) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)"));
    if (!insert || !m_db.Transaction())
        return false;
    QStringList usedCategories;
    QStringList usedGroups;
    bool ok = true;
    for (int id = 1; ok && id <= kProducts; ++id) {
        const Category& c = categories[Int(0, int(std::size(categories)) - 1)];
        const QString item = Pick(Words(c.items));
        const QString name = item + QLatin1Char(' ') + Pick(Words(c.variants));
        const QString group = Pick(Words(c.groups));
        // Cheap articles are far more common than dear ones.
        const double price = std::round(std::exp(Real(std::log(c.low), std::log(c.high))) * 100) / 100;
        const double selling = std::round(price * Real(1.25, 1.9) * 100) / 100;
        const int supplier = Int(2, kSuppliers + 1);
        if (!usedCategories.contains(QString::fromUtf8(c.name)))
            usedCategories.append(QString::fromUtf8(c.name));
        if (!usedGroups.contains(group))
            usedGroups.append(group);
        int i = 1;
        Bind(insert, i++, id);
        Bind(insert, i++, QStringLiteral("%1-%2").arg(QString::fromLatin1(c.code)).arg(id, 5, 10, QLatin1Char('0')));
        Bind(insert, i++, name);
        Bind(insert, i++, QString::fromUtf8(c.name));
        Bind(insert, i++, group);
        Bind(insert, i++, Ean());
        Bind(insert, i++, QString::fromUtf8(c.unit));
        Bind(insert, i++, QStringLiteral("EUR"));
        Bind(insert, i++, price);
        Bind(insert, i++, price);
        Bind(insert, i++, selling);
        Bind(insert, i++, selling);
        Bind(insert, i++, c.vat);
        Bind(insert, i++, Chance(0.1) ? 5.0 : 0.0);
        Bind(insert, i++, 0);
        Bind(insert, i++, 1.0);
        Bind(insert, i++, double(Int(0, 500)));
        Bind(insert, i++, double(Int(5, 20)));
        Bind(insert, i++, supplier);
        Bind(insert, i++, m_supplierNames.value(supplier - 2));
        Bind(insert, i++, Date(0, 2000));
        Bind(insert, i++, QStringLiteral("0"));
        Bind(insert, i++, 0);
        Bind(insert, i++, 0);
        ok = Step(insert);
        m_products.append({name, selling, c.vat});
    }
    sqlite3_finalize(insert);
    ok = ok && RestoreIndexes(indexes);
    if (!ok) {
        m_db.Rollback();
        return false;
    }
    SaveTextLines(folder + QStringLiteral("P_CATEGORY.fld"), usedCategories);
    SaveTextLines(folder + QStringLiteral("P_GROUPBY.fld"), usedGroups);
    return m_db.Commit();
}

bool Generator::Documents()
{
    QStringList indexes = DropIndexes(QStringLiteral("factuur"));
    indexes += DropIndexes(QStringLiteral("faclijn"));
    sqlite3_stmt* header = Prepare(QStringLiteral(
        "INSERT INTO factuur (F_ID, F_FACNR, F_FACDATE, F_EXPDATE, F_CID, F_CURRENCY, F_NOTES, F_PAYED, F_LOCKED, "
        "F_DISCOUNT, F_TOTVAL, F_TOTEURO, F_TYPE, F_HERCOUNT, F_VNR, F_FREE, F_VATCOEF, F_PREPAYED) "
        "VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)"));
    sqlite3_stmt* line = Prepare(QStringLiteral(
        "INSERT INTO faclijn (FL_ID, FL_FNR, FL_AMOUNT, FL_PRODUCT, FL_PRICE, FL_EURO, FL_VAT, FL_Discount, FL_PID, "
        "FL_IVK, FL_Afkoef, FL_Afsoort) VALUES (?,?,?,?,?,?,?,?,?,?,?,?)"));
    if (!header || !line || !m_db.Transaction())
        return false;
    QHash<int, int> counters;
    const QDate first = QDate::currentDate().addDays(-3 * 365);
    int lineId = 0;
    bool ok = true;
    for (int id = 1; ok && id <= kDocuments; ++id) {
        const double r = Real(0, 1);
        const int type = r < 0.8 ? 1 : r < 0.9 ? 2 : r < 0.95 ? 3 : 4;
        const QDate date = first.addDays(qint64(id) * 3 * 365 / kDocuments);
        QString number;
        if (type == 4) {
            number = QStringLiteral("AK%1").arg(id, 6, 10, QLatin1Char('0'));
        } else {
            const QString letter = QStringLiteral("FOC").mid(type - 1, 1);
            number = QStringLiteral("%1%2%3").arg(letter).arg(date.year()).arg(++counters[type], 5, 10, QLatin1Char('0'));
        }
        // Spread the lines so that the total is exact.
        const int remainingDocs = kDocuments - id + 1;
        const int remaining = kLines - lineId;
        const int average = remaining / remainingDocs;
        const int count = id == kDocuments ? remaining : qBound(1, Int(1, 2 * average - 1), remaining - (remainingDocs - 1));
        const double discount = Chance(0.1) ? 5.0 : 0.0;
        double net = 0;
        double vat = 0;
        for (int n = 0; ok && n < count; ++n) {
            const int pid = Int(1, kProducts);
            const Product& p = m_products.at(pid - 1);
            const double amount = Chance(0.1) ? std::round(Real(0.5, 20) * 100) / 100 : double(Int(1, 10));
            const double lineDiscount = Chance(0.15) ? 10.0 : 0.0;
            const double lineNet = amount * p.price * (1 - lineDiscount / 100);
            net += lineNet;
            vat += lineNet * p.vat / 100;
            int i = 1;
            Bind(line, i++, ++lineId);
            Bind(line, i++, id);
            Bind(line, i++, amount);
            Bind(line, i++, p.name);
            Bind(line, i++, p.price);
            Bind(line, i++, p.price);
            Bind(line, i++, p.vat);
            Bind(line, i++, lineDiscount);
            Bind(line, i++, pid);
            Bind(line, i++, 0.0);
            Bind(line, i++, type == 4 ? 1.0 : 0.0);
            Bind(line, i++, type == 4 ? Int(1, 3) : 0);
            ok = Step(line);
        }
        net *= 1 - discount / 100;
        vat *= 1 - discount / 100;
        const double total = std::round(net * 100) / 100;
        int i = 1;
        Bind(header, i++, id);
        Bind(header, i++, number);
        Bind(header, i++, date.toString(Qt::ISODate));
        Bind(header, i++, date.addMonths(1).toString(Qt::ISODate));
        Bind(header, i++, Int(2, kContacts));
        Bind(header, i++, QStringLiteral("EUR"));
        Bind(header, i++, Chance(0.2) ? QStringLiteral("Levering op afspraak") : QString());
        Bind(header, i++, date.daysTo(QDate::currentDate()) > 45 || Chance(0.3) ? 1 : 0);
        Bind(header, i++, date.daysTo(QDate::currentDate()) > 30 ? 1 : 0);
        Bind(header, i++, discount);
        Bind(header, i++, total);
        Bind(header, i++, total);
        Bind(header, i++, type);
        Bind(header, i++, 0);
        Bind(header, i++, 0);
        Bind(header, i++, QString());
        Bind(header, i++, net > 0 ? (net + vat) / net : 1.0);
        Bind(header, i++, 0.0);
        ok = ok && Step(header);
    }
    sqlite3_finalize(header);
    sqlite3_finalize(line);
    ok = ok && RestoreIndexes(indexes);
    if (!ok) {
        m_db.Rollback();
        return false;
    }
    if (!m_db.Commit())
        return false;
    m_lastNumbers = counters;
    return true;
}

bool Generator::Run(const QString& folder)
{
    QElapsedTimer timer;
    timer.start();
    if (!LoadPlaces()) {
        m_error = QStringLiteral("the postcode table is empty");
        return false;
    }
    struct Step
    {
        const char* what;
        std::function<bool()> run;
    };
    const Step steps[] = {
        {"contacts", [this] { return Contacts(); }},
        {"products", [&] { return Products(folder); }},
        {"documents and lines", [this] { return Documents(); }},
    };
    for (const Step& step : steps) {
        QElapsedTimer stepTimer;
        stepTimer.start();
        if (!step.run()) {
            std::fprintf(stderr, "quillon-generate: %s failed: %s\n", step.what, qPrintable(m_error));
            return false;
        }
        std::printf("%-22s %6lld ms\n", step.what, static_cast<long long>(stepTimer.elapsed()));
    }
    const QString ini = folder + QStringLiteral("admin.ini");
    WriteSetting(ini, QStringLiteral("AdressenID"), QString::number(kContacts));
    WriteSetting(ini, QStringLiteral("ProductsID"), QString::number(kProducts));
    WriteSetting(ini, QStringLiteral("factuurID"), QString::number(kDocuments));
    WriteSetting(ini, QStringLiteral("faclijnID"), QString::number(kLines));
    for (auto it = m_lastNumbers.cbegin(); it != m_lastNumbers.cend(); ++it)
        WriteSetting(ini, QStringLiteral("LASTNR") + QStringLiteral("FOC").mid(it.key() - 1, 1), QString::number(it.value()));
    Exec("PRAGMA optimize");
    std::printf("%-22s %6lld ms\n", "total", static_cast<long long>(timer.elapsed()));
    return true;
}

bool AddProfile(TDatabase& db, const QString& name)
{
    QSqlQuery q(db.sql());
    q.prepare(QStringLiteral("SELECT 1 FROM shared.profiles WHERE admin = ? COLLATE NOCASE"));
    q.addBindValue(name);
    if (q.exec() && q.next())
        return true;
    q.finish();
    QSqlQuery insert(db.sql());
    insert.prepare(QStringLiteral(
        "INSERT INTO shared.profiles (id, admin, Name, company, Zip, Address, Place, \"Telephone Private\", "
        "\"Telephone office\", Fax, Gsm, Email, Website, vatnr, Accountnr) "
        "VALUES ((SELECT COALESCE(MAX(id), 0) + 1 FROM shared.profiles), ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    for (const char* value : {"", "Peeters Jan", "Quillon Demo BV", "9000", "Kouter 12", "Gent", "", "09 223 45 67",
                              "09 223 45 68", "0475 12 34 56", "info@quillon-demo.be", "www.quillon-demo.be",
                              "BE 0123.456.749", "BE68 5390 0754 7034"})
        insert.addBindValue(QString::fromUtf8(value));
    insert.bindValue(0, name);
    return insert.exec();
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2 || args.size() > 3) {
        std::fprintf(stderr, "usage: quillon-generate <home folder> [name]\n");
        return 2;
    }
    // Messages of the library go to the terminal; nobody is there to click them away.
    SetMessageHook([](const MessageRequest& request) {
        std::fprintf(stderr, "%s\n", qPrintable(request.text));
        return MessageAnswer{};
    });
    SetDefaultBusyAsker([](const QString& question) {
        std::fprintf(stderr, "%s\n", qPrintable(question));
        return false;
    });
    const QString home = QDir(args.at(1)).absolutePath();
    const QString name = args.size() > 2 ? args.at(2).trimmed() : QStringLiteral("Groot");
    if (name.isEmpty() || name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')) || name.startsWith(QLatin1Char('.'))) {
        std::fprintf(stderr, "quillon-generate: \"%s\" is no administration name\n", qPrintable(name));
        return 2;
    }
    SetProgramFolder(home);
    if (!EnsureHomeFolder()) {
        std::fprintf(stderr, "quillon-generate: cannot set up the home folder %s\n", qPrintable(home));
        return 1;
    }
    QString error;
    if (!EnsureSharedDatabase(DataFolder(), &error)) {
        std::fprintf(stderr, "quillon-generate: cannot create shared.sqlite: %s\n", qPrintable(error));
        return 1;
    }
    const QString folder = DataFolder() + name + QLatin1Char('/');
    if (QFile::exists(folder + QStringLiteral("admin.sqlite"))) {
        std::fprintf(stderr, "quillon-generate: the administration %s exists already; nothing was changed\n",
                     qPrintable(folder));
        return 1;
    }
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "quillon-generate: cannot create %s\n", qPrintable(folder));
        return 1;
    }
    const QString install = ProgramFolder() + QStringLiteral("install/");
    CopyNewAdministrationFiles(install, folder);
    const QString ini = folder + QStringLiteral("admin.ini");
    WriteSetting(ini, QStringLiteral("SCHERMA"), QStringLiteral("Default"));
    WriteSetting(ini, QStringLiteral("SCHERMP"), QStringLiteral("Default"));
    WriteSetting(ini, QStringLiteral("VATINC"), QStringLiteral("FALSE"));
    bool found = false;
    ReadSetting(OvraIni(), QStringLiteral("MUNT"), &found);
    if (!found)
        WriteSetting(OvraIni(), QStringLiteral("MUNT"), QStringLiteral("EUR"));
    ReadSetting(OvraIni(), QStringLiteral("DEFADMIN"), &found);
    if (!found)
        WriteSetting(OvraIni(), QStringLiteral("DEFADMIN"), name);

    std::unique_ptr<TDatabase> db = TDatabase::Open(folder + QStringLiteral("admin.sqlite"),
                                                    SharedDatabaseFile(DataFolder()), &error);
    if (!db) {
        std::fprintf(stderr, "quillon-generate: %s\n", qPrintable(error));
        return 1;
    }
    if (!AddProfile(*db, name)) {
        std::fprintf(stderr, "quillon-generate: cannot store the profile\n");
        return 1;
    }
    NewTableContext context;
    context.installFolder = install;
    context.profile = ProfileOf(db->sql(), name, QStringLiteral("shared.profiles"));
    context.mainCurrency = QStringLiteral("EUR");
    const QString datadefs = ProgramFolder() + QStringLiteral("datadefs/");
    if (!CreateTableFromTemplate(1, datadefs + QStringLiteral("Standaard.cb"), QStringLiteral("Adressen"), folder,
                                 db->sql(), context, &error)
        || !CreateTableFromTemplate(6, datadefs + QStringLiteral("Standaard.pb"), QStringLiteral("Products"), folder,
                                    db->sql(), context, &error)
        || !CreateAdministrationTables(db->sql(), &error)) {
        std::fprintf(stderr, "quillon-generate: %s\n", qPrintable(error));
        return 1;
    }
    Generator generator(*db);
    if (!generator.Run(folder))
        return 1;
    std::printf("administration %s ready\n", qPrintable(folder));
    return 0;
}
