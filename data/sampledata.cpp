#include "data/sampledata.h"

#include "data/connection.h"
#include "data/documentnumbers.h"
#include "data/engine_statement.h"
#include "data/shareddb.h"
#include "documents/factuur.h"
#include "foundation/settingsfile.h"
#include "foundation/textfile.h"
#include "foundation/textutil.h"

#include <QDate>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSqlQuery>

#include <sqlite3.h>

#include <cmath>
#include <functional>
#include <random>
#include <vector>

SampleSize DemoSampleSize()
{
    return {40, 25, 15, 60, 5};
}

SampleSize LargeSampleSize()
{
    return {100000, 20000, 10000, 100000, 400};
}

namespace {

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

class Generator;

// An INSERT of the columns the table has; a column the template left out is skipped, so the
// sample data fits every contacts and products template.
class Inserter
{
public:
    Inserter(sqlite3* handle, const QString& table, const QStringList& columns, QString* error);
    ~Inserter() { sqlite3_finalize(m_statement); }
    Inserter(const Inserter&) = delete;
    Inserter& operator=(const Inserter&) = delete;

    bool IsReady() const { return m_statement != nullptr; }
    void Set(int column, const QString& text);
    void Set(int column, double value);
    void Set(int column, int value);
    void SetNull(int column);
    bool Step();

private:
    int Slot(int column) const { return column < int(m_slots.size()) ? m_slots[column] : 0; }

    sqlite3* m_handle;
    sqlite3_stmt* m_statement = nullptr;
    std::vector<int> m_slots;   // per wanted column: its bind position, 0 when absent
    QString* m_error;
};

QStringList TableColumns(sqlite3* handle, const QString& table)
{
    QStringList columns;
    sqlite3_stmt* s = nullptr;
    const QByteArray sql = QStringLiteral("SELECT name FROM pragma_table_info(?) ORDER BY cid").toUtf8();
    if (sqlite3_prepare_v2(handle, sql.constData(), -1, &s, nullptr) != SQLITE_OK)
        return columns;
    const QByteArray name = table.toUtf8();
    sqlite3_bind_text(s, 1, name.constData(), int(name.size()), SQLITE_TRANSIENT);
    while (sqlite3_step(s) == SQLITE_ROW)
        columns.append(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, 0))));
    sqlite3_finalize(s);
    return columns;
}

Inserter::Inserter(sqlite3* handle, const QString& table, const QStringList& columns, QString* error)
    : m_handle(handle), m_error(error)
{
    const QStringList present = TableColumns(handle, table);
    QStringList names;
    m_slots.assign(columns.size(), 0);
    for (int i = 0; i < columns.size(); ++i) {
        for (const QString& p : present) {
            if (p.compare(columns.at(i), Qt::CaseInsensitive) == 0) {
                names.append(QuoteIdentifier(p));
                m_slots[i] = int(names.size());
                break;
            }
        }
    }
    if (names.isEmpty()) {
        *m_error = QStringLiteral("the table %1 is missing").arg(table);
        return;
    }
    QStringList marks;
    for (int i = 0; i < names.size(); ++i)
        marks.append(QStringLiteral("?"));
    const QByteArray sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                               .arg(QuoteIdentifier(table), names.join(u','), marks.join(u','))
                               .toUtf8();
    if (sqlite3_prepare_v2(handle, sql.constData(), -1, &m_statement, nullptr) != SQLITE_OK) {
        *m_error = QString::fromUtf8(sqlite3_errmsg(handle));
        m_statement = nullptr;
    }
}

void Inserter::Set(int column, const QString& text)
{
    const int slot = Slot(column);
    if (slot == 0)
        return;
    if (text.isNull()) {
        sqlite3_bind_null(m_statement, slot);
        return;
    }
    const QByteArray utf8 = text.toUtf8();
    sqlite3_bind_text(m_statement, slot, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

void Inserter::Set(int column, double value)
{
    if (const int slot = Slot(column))
        sqlite3_bind_double(m_statement, slot, value);
}

void Inserter::Set(int column, int value)
{
    if (const int slot = Slot(column))
        sqlite3_bind_int(m_statement, slot, value);
}

void Inserter::SetNull(int column)
{
    if (const int slot = Slot(column))
        sqlite3_bind_null(m_statement, slot);
}

bool Inserter::Step()
{
    const int rc = sqlite3_step(m_statement);
    sqlite3_reset(m_statement);
    sqlite3_clear_bindings(m_statement);
    if (rc == SQLITE_DONE)
        return true;
    *m_error = QString::fromUtf8(sqlite3_errmsg(m_handle));
    return false;
}

QStringList ColumnList(const char* text)
{
    return QString::fromLatin1(text).split(QLatin1Char(','));
}

class Generator
{
public:
    Generator(TDatabase& db, const SampleSize& size, SampleStepReport report)
        : m_db(db), m_size(size), m_report(std::move(report)), m_random(20260101)
    {
    }

    bool Run(const QString& folder);
    QString Error() const { return m_error; }

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
        return m_today.addDays(-Int(daysBackLow, daysBackHigh)).toString(Qt::ISODate);
    }

    bool CheckEmpty();
    bool LoadPlaces();
    QString Phone(const QString& postcode);
    QString Mobile();
    QString VatNumber();
    QString Iban();
    QString Ean();

    bool Exec(const QString& sql);
    QStringList DropIndexes(const QString& table);
    bool RestoreIndexes(const QStringList& statements);
    bool Finish(bool ok, const QStringList& indexes);

    bool Contacts();
    bool Products(const QString& folder);
    bool Documents(const QString& folder);

    TDatabase& m_db;
    SampleSize m_size;
    SampleStepReport m_report;
    std::mt19937 m_random;
    // Read once: the clock and its time zone cost more than making a row.
    const QDate m_today = QDate::currentDate();
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

QString DataFolderOf(const TDatabase& db)
{
    return QFileInfo(db.sharedFile()).absolutePath() + QLatin1Char('/');
}

// Sample data goes only into an administration that holds nothing of the user's yet.
bool Generator::CheckEmpty()
{
    const struct
    {
        const char* sql;
        int most;
    } checks[] = {{"SELECT COUNT(*) FROM Adressen", 1}, {"SELECT COUNT(*) FROM factuur", 0},
                  {"SELECT COUNT(*) FROM faclijn", 0}};
    for (const auto& check : checks) {
        QString reason;
        const QVariant count = m_db.Scalar(QString::fromLatin1(check.sql), {}, &reason);
        if (!reason.isEmpty()) {
            m_error = reason;
            return false;
        }
        if (count.toInt() > check.most) {
            m_error = QStringLiteral("the administration holds data already; sample data goes only into a new one");
            return false;
        }
    }
    if (m_size.contacts < m_size.suppliers + 2 || m_size.products < 1 || m_size.lines < m_size.documents
        || m_size.documents < 0 || m_size.suppliers < 1) {
        m_error = QStringLiteral("impossible sample size");
        return false;
    }
    return true;
}

bool Generator::LoadPlaces()
{
    QSqlQuery q(m_db.sql());
    if (!q.exec(QStringLiteral("SELECT code, gemeente FROM shared.Post")))
        return false;
    // The province is not kept in the table; read it from the list the table came from.
    QHash<QString, QString> provinces;
    QFile csv(PostcodeListFile(DataFolderOf(m_db)));
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

bool Generator::Exec(const QString& sql)
{
    char* message = nullptr;
    if (sqlite3_exec(m_db.handle(), sql.toUtf8().constData(), nullptr, nullptr, &message) == SQLITE_OK)
        return true;
    m_error = QString::fromUtf8(message ? message : "error");
    sqlite3_free(message);
    return false;
}

// Many rows go in faster without the secondary indexes; they are built once at the end.
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
        Exec(QStringLiteral("DROP INDEX ") + QuoteIdentifier(name));
    return statements;
}

bool Generator::RestoreIndexes(const QStringList& statements)
{
    for (const QString& sql : statements)
        if (!Exec(sql))
            return false;
    return true;
}

// The dropped indexes are part of the transaction: a rollback brings them back too.
bool Generator::Finish(bool ok, const QStringList& indexes)
{
    ok = ok && RestoreIndexes(indexes);
    if (ok && m_db.Commit())
        return true;
    if (ok)
        m_error = QStringLiteral("the commit failed");
    m_db.Rollback();
    return false;
}

bool Generator::Contacts()
{
    if (!m_db.Transaction()) {
        m_error = QStringLiteral("the database is busy");
        return false;
    }
    const QStringList indexes = DropIndexes(QStringLiteral("Adressen"));
    QStringList columns = TableColumns(m_db.handle(), QStringLiteral("Adressen")).mid(0, 1);
    columns += ColumnList("Name,GivenName,COMPANY,Title,ComName,Address,Zip,Place,Country,Telephone private,"
                          "Telephone Office,fax,Gsm,Emailaddress,Website,vatNumber,AccountNr,Language,Birthday,"
                          "CreatingDate,C_CHANGED,C_P_SPRICE,C_P_NAME,LISTS,INLIST,ICON");
    Inserter insert(m_db.handle(), QStringLiteral("Adressen"), columns, &m_error);
    if (!insert.IsReady())
        return Finish(false, indexes);
    static const QStringList privateDomains = Words("telenet.be,skynet.be,proximus.be,gmail.com,hotmail.com,outlook.be,scarlet.be");
    bool ok = true;
    for (int id = 2; ok && id <= m_size.contacts; ++id) {
        const double r = Real(0, 1);
        const Language language = r < 0.5 ? Dutch : r < 0.85 ? French : German;
        const NameSet& names = Names(language);
        const bool woman = Chance(0.5);
        const QString given = Pick(woman ? names.women : names.men);
        const QString surname = Pick(names.surnames);
        const Place& place = Pick(m_places[language]);
        // The first contacts are the businesses that supply the products.
        const bool company = id <= m_size.suppliers + 1 || Chance(0.6);
        const QString companyName = company ? Pick(names.companyForms).arg(Chance(0.3) ? place.name : surname) : QString();
        const QString person = QString(surname + QLatin1Char(' ') + given).trimmed();
        const QString comName = (company ? companyName + QLatin1Char(' ') + person : person).left(99);
        if (id <= m_size.suppliers + 1)
            m_supplierNames.append(comName);
        const QString domain = company ? AsciiSlug(companyName) + QStringLiteral(".be") : Pick(privateDomains);
        int i = 0;
        insert.Set(i++, id);
        insert.Set(i++, surname);
        insert.Set(i++, given);
        insert.Set(i++, company ? companyName : QString());
        insert.Set(i++, woman ? names.women_title : names.men_title);
        insert.Set(i++, comName);
        insert.Set(i++, QStringLiteral("%1 %2").arg(Pick(names.streets)).arg(Int(1, 250)));
        insert.Set(i++, place.code);
        insert.Set(i++, place.name);
        insert.Set(i++, names.country);
        insert.Set(i++, Chance(0.6) ? Phone(place.code) : QString());
        insert.Set(i++, company ? Phone(place.code) : QString());
        insert.Set(i++, company && Chance(0.3) ? Phone(place.code) : QString());
        insert.Set(i++, Chance(0.8) ? Mobile() : QString());
        insert.Set(i++, AsciiSlug(given) + QLatin1Char('.') + AsciiSlug(surname) + QLatin1Char('@') + domain);
        insert.Set(i++, company ? QStringLiteral("www.") + domain : QString());
        insert.Set(i++, company ? VatNumber() : QString());
        insert.Set(i++, Chance(0.7) ? Iban() : QString());
        insert.Set(i++, names.languageCode);
        insert.Set(i++, company ? QString() : QDate(Int(1940, 2005), Int(1, 12), Int(1, 28)).toString(Qt::ISODate));
        insert.Set(i++, Date(0, 3650));
        insert.Set(i++, 0);
        insert.Set(i++, company && Chance(0.2) ? QStringLiteral("P_SPRICE") : QString());
        insert.Set(i++, QString());
        insert.Set(i++, QStringLiteral("0"));
        insert.Set(i++, 0);
        insert.Set(i++, 0);
        ok = insert.Step();
    }
    return Finish(ok, indexes);
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
    if (!m_db.Transaction()) {
        m_error = QStringLiteral("the database is busy");
        return false;
    }
    const QStringList indexes = DropIndexes(QStringLiteral("Products"));
    // The empty first product of a new administration makes way for the catalogue.
    if (!Exec(QStringLiteral("DELETE FROM Products")))
        return Finish(false, indexes);
    QStringList columns = TableColumns(m_db.handle(), QStringLiteral("Products")).mid(0, 1);
    columns += ColumnList("P_CODE,P_NAME,P_CATEGORY,P_GROUPBY,P_EAN,P_UNIT,P_CURRENCY,P_PRICE,P_PRICEE,P_SPRICE,"
                          "P_SPRICEE,P_VAT,P_DISCOUNT,P_NODISCOUNT,P_AMOUNT,P_Quantity,P_Minimum,P_SUPNR,P_SUPPLIER,"
                          "P_CREATINGDATE,LISTS,INLIST,ICON");
    Inserter insert(m_db.handle(), QStringLiteral("Products"), columns, &m_error);
    if (!insert.IsReady())
        return Finish(false, indexes);
    QStringList usedCategories;
    QStringList usedGroups;
    bool ok = true;
    for (int id = 1; ok && id <= m_size.products; ++id) {
        const Category& c = categories[Int(0, int(std::size(categories)) - 1)];
        const QString item = Pick(Words(c.items));
        const QString name = item + QLatin1Char(' ') + Pick(Words(c.variants));
        const QString group = Pick(Words(c.groups));
        // Cheap articles are far more common than dear ones.
        const double price = std::round(std::exp(Real(std::log(c.low), std::log(c.high))) * 100) / 100;
        const double selling = std::round(price * Real(1.25, 1.9) * 100) / 100;
        const int supplier = Int(2, m_size.suppliers + 1);
        if (!usedCategories.contains(QString::fromUtf8(c.name)))
            usedCategories.append(QString::fromUtf8(c.name));
        if (!usedGroups.contains(group))
            usedGroups.append(group);
        int i = 0;
        insert.Set(i++, id);
        insert.Set(i++, QStringLiteral("%1-%2").arg(QString::fromLatin1(c.code)).arg(id, 5, 10, QLatin1Char('0')));
        insert.Set(i++, name);
        insert.Set(i++, QString::fromUtf8(c.name));
        insert.Set(i++, group);
        insert.Set(i++, Ean());
        insert.Set(i++, QString::fromUtf8(c.unit));
        insert.Set(i++, QStringLiteral("EUR"));
        insert.Set(i++, price);
        insert.Set(i++, price);
        insert.Set(i++, selling);
        insert.Set(i++, selling);
        insert.Set(i++, c.vat);
        insert.Set(i++, Chance(0.1) ? 5.0 : 0.0);
        insert.Set(i++, 0);
        insert.Set(i++, 1.0);
        insert.Set(i++, double(Int(0, 500)));
        insert.Set(i++, double(Int(5, 20)));
        insert.Set(i++, supplier);
        insert.Set(i++, m_supplierNames.value(supplier - 2));
        insert.Set(i++, Date(0, 2000));
        insert.Set(i++, QStringLiteral("0"));
        insert.Set(i++, 0);
        insert.Set(i++, 0);
        ok = insert.Step();
        m_products.append({name, selling, c.vat});
    }
    if (!Finish(ok, indexes))
        return false;
    SaveTextLines(folder + QStringLiteral("P_CATEGORY.fld"), usedCategories);
    SaveTextLines(folder + QStringLiteral("P_GROUPBY.fld"), usedGroups);
    return true;
}

bool Generator::Documents(const QString& folder)
{
    // The stored totals are the document engine's own for these lines, so a sample document
    // opens without any difference between its lines and its header.
    const QString dataFolder = DataFolderOf(m_db);
    FactuurSetup setup = ReadFactuurSetup(dataFolder + QStringLiteral("ovra.ini"), dataFolder);
    setup.mainCurrency = QStringLiteral("EUR");
    setup.alternativeCurrency = QStringLiteral("EUR");
    setup.vatInclusive = EvalBool(ReadSetting(folder + QStringLiteral("admin.ini"), QStringLiteral("VATINC")));
    QStringList notices;
    TFactuur engine(nullptr, setup, [&notices](const QString& text) { notices.append(text); });

    if (!m_db.Transaction()) {
        m_error = QStringLiteral("the database is busy");
        return false;
    }
    QStringList indexes = DropIndexes(QStringLiteral("factuur"));
    indexes += DropIndexes(QStringLiteral("faclijn"));
    Inserter header(m_db.handle(), QStringLiteral("factuur"),
                    ColumnList("F_ID,F_FACNR,F_FACDATE,F_EXPDATE,F_CID,F_CURRENCY,F_NOTES,F_PAYED,F_LOCKED,F_DISCOUNT,"
                               "F_TOTVAL,F_TOTEURO,F_TYPE,F_HERCOUNT,F_VNR,F_FREE,F_VATCOEF,F_PREPAYED"),
                    &m_error);
    Inserter line(m_db.handle(), QStringLiteral("faclijn"),
                  ColumnList("FL_ID,FL_FNR,FL_AMOUNT,FL_PRODUCT,FL_PRICE,FL_EURO,FL_VAT,FL_Discount,FL_PID,FL_IVK,"
                             "FL_Afkoef,FL_Afsoort"),
                  &m_error);
    if (!header.IsReady() || !line.IsReady())
        return Finish(false, indexes);
    QHash<int, int> counters;
    const int span = std::min(3 * 365, m_size.documents * 30);
    const QDate first = m_today.addDays(-span);
    int lineCount = 0;
    int lineId = 0;
    bool ok = true;
    QList<LineRow> rows;
    for (int id = 1; ok && id <= m_size.documents; ++id) {
        const double r = Real(0, 1);
        const int type = r < 0.8 ? DT_SALESINVOICE : r < 0.9 ? DT_QUOTATION : r < 0.95 ? DT_CREDITNOTE : DT_PURCHASEINVOICE;
        const QDate date = first.addDays(qint64(id) * span / m_size.documents);
        DocumentHeader doc;
        doc.F_ID = id;
        doc.F_TYPE = type;
        doc.F_FACDATE = date;
        doc.F_EXPDATE = date.addMonths(1);
        doc.F_CURRENCY = QStringLiteral("EUR");
        if (IsNumberedDocumentType(type))
            doc.F_FACNR = DocumentNumberText(QString(), type, ++counters[type], date.year());
        else
            doc.F_FACNR = QStringLiteral("AK%1").arg(id, 6, 10, QLatin1Char('0'));
        // Spread the lines so that the total is exact.
        const int remainingDocs = m_size.documents - id + 1;
        const int remaining = m_size.lines - lineCount;
        const int average = remaining / remainingDocs;
        const int count = id == m_size.documents ? remaining
                                                 : qBound(1, Int(1, 2 * average - 1), remaining - (remainingDocs - 1));
        lineCount += count;
        doc.F_DISCOUNT = Chance(0.1) ? 5.0 : 0.0;
        rows.clear();
        for (int n = 0; n < count; ++n) {
            const int pid = Int(1, m_size.products);
            const Product& p = m_products.at(pid - 1);
            LineRow row;
            row.FL_FNR = id;
            row.FL_AMOUNT = Chance(0.1) ? std::round(Real(0.5, 20) * 100) / 100 : double(Int(1, 10));
            row.FL_PRODUCT = p.name;
            // A VAT-inclusive administration keeps prices with VAT in the lines.
            const double price = setup.vatInclusive ? std::round(p.price * (1 + p.vat / 100) * 100) / 100 : p.price;
            row.FL_PRICE = price;
            row.FL_EURO = price;
            row.FL_VAT = p.vat;
            row.FL_Discount = Chance(0.15) ? 10.0 : 0.0;
            row.FL_PID = pid;
            row.FL_IVK = 0.0;
            row.FL_Afkoef = type == DT_PURCHASEINVOICE ? 1.0 : 0.0;
            row.FL_Afsoort = type == DT_PURCHASEINVOICE ? Int(1, 3) : 0;
            rows.append(row);
        }
        doc.F_CID = Int(2, m_size.contacts);
        doc.F_NOTES = Chance(0.2) ? QStringLiteral("Levering op afspraak") : QString();
        doc.F_PAYED = date.daysTo(m_today) > 45 || Chance(0.3);
        doc.F_LOCKED = date.daysTo(m_today) > 30;
        engine.LoadLines(doc, rows);
        const DocumentSave save = engine.PrepareSave();
        for (const LineRow& stored : save.rows) {
            int i = 0;
            line.Set(i++, ++lineId);
            line.Set(i++, id);
            auto real = [&line, &i](const std::optional<double>& x) {
                if (x)
                    line.Set(i++, *x);
                else
                    line.SetNull(i++);
            };
            auto whole = [&line, &i](const std::optional<int>& x) {
                if (x)
                    line.Set(i++, *x);
                else
                    line.SetNull(i++);
            };
            real(stored.FL_AMOUNT);
            line.Set(i++, stored.FL_PRODUCT.value_or(QString()));
            real(stored.FL_PRICE);
            real(stored.FL_EURO);
            real(stored.FL_VAT);
            real(stored.FL_Discount);
            whole(stored.FL_PID);
            real(stored.FL_IVK);
            real(stored.FL_Afkoef);
            whole(stored.FL_Afsoort);
            ok = ok && line.Step();
        }
        int i = 0;
        header.Set(i++, id);
        header.Set(i++, doc.F_FACNR);
        header.Set(i++, date.toString(Qt::ISODate));
        header.Set(i++, doc.F_EXPDATE.toString(Qt::ISODate));
        header.Set(i++, doc.F_CID);
        header.Set(i++, doc.F_CURRENCY);
        header.Set(i++, doc.F_NOTES);
        header.Set(i++, doc.F_PAYED ? 1 : 0);
        header.Set(i++, doc.F_LOCKED ? 1 : 0);
        header.Set(i++, doc.F_DISCOUNT);
        header.Set(i++, save.F_TOTVAL);
        header.Set(i++, save.F_TOTEURO);
        header.Set(i++, type);
        header.Set(i++, 0);
        header.Set(i++, 0);
        header.Set(i++, QString());
        header.Set(i++, save.F_VATCOEF);
        header.SetNull(i++);
        ok = ok && header.Step();
    }
    if (!Finish(ok, indexes))
        return false;
    m_lastNumbers = counters;
    m_size.lines = lineId;
    return true;
}

bool Generator::Run(const QString& folder)
{
    QElapsedTimer timer;
    timer.start();
    if (!CheckEmpty())
        return false;
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
        {"documents and lines", [&] { return Documents(folder); }},
    };
    for (const Step& step : steps) {
        QElapsedTimer stepTimer;
        stepTimer.start();
        if (!step.run()) {
            m_error = QStringLiteral("%1: %2").arg(QString::fromLatin1(step.what), m_error);
            return false;
        }
        if (m_report)
            m_report(QString::fromLatin1(step.what), stepTimer.elapsed());
    }
    const QString ini = folder + QStringLiteral("admin.ini");
    WriteSetting(ini, QStringLiteral("AdressenID"), QString::number(m_size.contacts));
    WriteSetting(ini, QStringLiteral("ProductsID"), QString::number(m_size.products));
    WriteSetting(ini, QStringLiteral("factuurID"), QString::number(m_size.documents));
    WriteSetting(ini, QStringLiteral("faclijnID"), QString::number(m_size.lines));
    for (auto it = m_lastNumbers.cbegin(); it != m_lastNumbers.cend(); ++it)
        WriteSetting(ini, QStringLiteral("LASTNR") + DocumentTypeLetter(it.key()), QString::number(it.value()));
    Exec(QStringLiteral("PRAGMA optimize"));
    if (m_report)
        m_report(QStringLiteral("total"), timer.elapsed());
    return true;
}

} // namespace

bool FillSampleData(TDatabase& db, const QString& administrationFolder, const SampleSize& size, QString* error,
                    const SampleStepReport& report)
{
    QString folder = administrationFolder;
    if (!folder.endsWith(u'/'))
        folder += u'/';
    Generator generator(db, size, report);
    if (generator.Run(folder))
        return true;
    if (error)
        *error = generator.Error();
    return false;
}
