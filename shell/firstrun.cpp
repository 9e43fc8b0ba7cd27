#include "shell/firstrun.h"

#include "data/profiles.h"
#include "foundation/homefolder.h"
#include "foundation/settingsfile.h"
#include "foundation/translate.h"
#include "shell/startupsettings.h"

#include <QCheckBox>
#include <QDir>
#include <QEvent>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QVBoxLayout>
#include <QWizardPage>

namespace {

const char* const kLanguageCodes[] = {"NL", "F", "UK", "DE"};

// Each language is offered in its own words, whatever the wizard shows at the moment.
const char* const kLanguageNames[] = {"Nederlands", "Français", "English", "Deutsch"};

struct CompanyField
{
    const char* column;   // the profile column
    int size;             // its declared size
};

const CompanyField kCompanyFields[] = {
    {"Name", 60},           {"company", 60}, {"Address", 60},         {"Zip", 10},
    {"Place", 50},          {"Telephone office", 20}, {"Telephone Private", 20}, {"Fax", 20},
    {"Gsm", 20},            {"Email", 60},   {"Website", 60},         {"vatnr", 20},
    {"Accountnr", 34},
};

QString CompanyCaption(const QString& column)
{
    static const QMap<QString, QString> captions{
        {QStringLiteral("Name"), NL("Naam")},
        {QStringLiteral("company"), NL("Bedrijf")},
        {QStringLiteral("Address"), NL("Adres")},
        {QStringLiteral("Zip"), NL("Postcode")},
        {QStringLiteral("Place"), NL("Gemeente")},
        {QStringLiteral("Telephone office"), NL("Telefoon kantoor")},
        {QStringLiteral("Telephone Private"), NL("Telefoon privé")},
        {QStringLiteral("Fax"), NL("Fax")},
        {QStringLiteral("Gsm"), NL("Gsm")},
        {QStringLiteral("Email"), NL("E-mail")},
        {QStringLiteral("Website"), NL("Website")},
        {QStringLiteral("vatnr"), NL("BTW-nummer")},
        {QStringLiteral("Accountnr"), NL("Rekeningnummer")},
    };
    return Translate(captions.value(column));
}

// The default name: "Mijn bedrijf" in the wizard's language, numbered when taken.
QString FreeDefaultName()
{
    const QString base = Translate(NL("Mijn bedrijf"));
    QString name = base;
    QString error;
    for (int n = 2; n < 100 && !CheckNewAdministrationName(name, &error); ++n)
        name = base + QLatin1Char(' ') + QString::number(n);
    return name;
}

class NameCheckPage : public QWizardPage
{
public:
    explicit NameCheckPage(TfrmFirstRun* wizard) : m_wizard(wizard) {}
    bool validatePage() override { return m_wizard->CheckName(); }

private:
    TfrmFirstRun* m_wizard;
};

QLabel* Intro(QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setWordWrap(true);
    return label;
}

} // namespace

QString DefaultFirstRunLanguage()
{
    // A LANGUAGE already chosen (a reinstalled program keeps its ovra.ini) comes first.
    const QString chosen = ReadSetting(OvraIni(), QStringLiteral("LANGUAGE")).toUpper();
    const int index = LanguageIndexOf(chosen);
    if (!chosen.isEmpty() && index >= 1 && index <= 4)
        return QString::fromLatin1(kLanguageCodes[index - 1]);
    switch (QLocale::system().language()) {
    case QLocale::French:
        return QStringLiteral("F");
    case QLocale::English:
        return QStringLiteral("UK");
    case QLocale::German:
        return QStringLiteral("DE");
    default:
        return QStringLiteral("NL");
    }
}

TfrmFirstRun::TfrmFirstRun(QWidget* parent) : QWizard(parent)
{
    setObjectName(QStringLiteral("frmFirstRun"));
    QFont f = font();
    f.setFamily(QStringLiteral("Liberation Sans"));
    setFont(f);
    setWizardStyle(QWizard::ClassicStyle);
    setOption(QWizard::NoBackButtonOnStartPage);
    BuildPages();
    const int start = std::max(0, LanguageIndexOf(DefaultFirstRunLanguage()) - 1);
    m_languages->setCurrentRow(start);
    ApplyLanguage();
    resize(560, 460);
}

void TfrmFirstRun::BuildPages()
{
    // Language.
    auto* language = new QWizardPage(this);
    language->setObjectName(QStringLiteral("pageLanguage"));
    auto* languageLayout = new QVBoxLayout(language);
    auto* languageIntro = Intro(language);
    languageIntro->setObjectName(QStringLiteral("labLanguage"));
    languageLayout->addWidget(languageIntro);
    m_languages = new QListWidget(language);
    m_languages->setObjectName(QStringLiteral("lstLanguage"));
    for (const char* name : kLanguageNames)
        m_languages->addItem(QString::fromUtf8(name));
    languageLayout->addWidget(m_languages);
    connect(m_languages, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0)
            ApplyLanguage();
    });
    setPage(LanguagePage, language);

    // Administration name.
    auto* name = new NameCheckPage(this);
    name->setObjectName(QStringLiteral("pageName"));
    auto* nameLayout = new QVBoxLayout(name);
    auto* nameIntro = Intro(name);
    nameIntro->setObjectName(QStringLiteral("labName"));
    nameLayout->addWidget(nameIntro);
    m_name = new QLineEdit(name);
    m_name->setObjectName(QStringLiteral("edtName"));
    m_name->setText(FreeDefaultName());
    nameLayout->addWidget(m_name);
    m_nameError = new QLabel(name);
    m_nameError->setObjectName(QStringLiteral("labNameError"));
    m_nameError->setWordWrap(true);
    m_nameError->setStyleSheet(QStringLiteral("color: #b00000;"));
    m_nameError->hide();
    nameLayout->addWidget(m_nameError);
    nameLayout->addStretch();
    connect(m_name, &QLineEdit::textEdited, m_nameError, &QLabel::hide);
    setPage(NamePage, name);

    // Own company data: all of it may stay empty.
    auto* company = new QWizardPage(this);
    company->setObjectName(QStringLiteral("pageCompany"));
    auto* companyLayout = new QVBoxLayout(company);
    auto* companyIntro = Intro(company);
    companyIntro->setObjectName(QStringLiteral("labCompany"));
    companyLayout->addWidget(companyIntro);
    auto* form = new QFormLayout;
    for (const CompanyField& field : kCompanyFields) {
        const QString column = QString::fromLatin1(field.column);
        auto* edit = new QLineEdit(company);
        edit->setObjectName(QStringLiteral("edtProfile") + QString(column).remove(u' '));
        edit->setMaxLength(field.size);
        auto* caption = new QLabel(company);
        caption->setObjectName(QStringLiteral("labProfile") + QString(column).remove(u' '));
        caption->setBuddy(edit);
        form->addRow(caption, edit);
        m_company.insert(column, edit);
    }
    companyLayout->addLayout(form);
    setPage(CompanyPage, company);

    // Options.
    auto* options = new QWizardPage(this);
    options->setObjectName(QStringLiteral("pageOptions"));
    auto* optionsLayout = new QVBoxLayout(options);
    auto* optionsIntro = Intro(options);
    optionsIntro->setObjectName(QStringLiteral("labOptions"));
    optionsLayout->addWidget(optionsIntro);
    m_vatInclusive = new QCheckBox(options);
    m_vatInclusive->setObjectName(QStringLiteral("chkVatInclusive"));
    optionsLayout->addWidget(m_vatInclusive);
    m_sampleData = new QCheckBox(options);
    m_sampleData->setObjectName(QStringLiteral("chkSampleData"));
    optionsLayout->addWidget(m_sampleData);
    optionsLayout->addStretch();
    setPage(OptionsPage, options);

    // Summary.
    auto* summary = new QWizardPage(this);
    summary->setObjectName(QStringLiteral("pageSummary"));
    auto* summaryLayout = new QVBoxLayout(summary);
    m_summary = Intro(summary);
    m_summary->setObjectName(QStringLiteral("labSummary"));
    m_summary->setTextFormat(Qt::PlainText);
    summaryLayout->addWidget(m_summary);
    summaryLayout->addStretch();
    setPage(SummaryPage, summary);

    connect(this, &QWizard::currentIdChanged, this, [this](int id) {
        if (id == SummaryPage)
            FillSummary();
        // The first field of each page takes the keys, so Enter goes on at once.
        if (id == LanguagePage)
            m_languages->setFocus();
        else if (id == NamePage)
            m_name->setFocus();
        else if (id == CompanyPage)
            m_company.value(QStringLiteral("Name"))->setFocus();
        else if (id == OptionsPage)
            m_vatInclusive->setFocus();
    });
}

QLineEdit* TfrmFirstRun::CompanyEdit(const QString& column) const
{
    for (auto it = m_company.cbegin(); it != m_company.cend(); ++it)
        if (it.key().compare(column, Qt::CaseInsensitive) == 0)
            return it.value();
    return nullptr;
}

QString TfrmFirstRun::LanguageCode() const
{
    const int row = m_languages->currentRow();
    return QString::fromLatin1(kLanguageCodes[row >= 0 && row < 4 ? row : 0]);
}

bool TfrmFirstRun::CheckName()
{
    QString error;
    if (CheckNewAdministrationName(m_name->text(), &error)) {
        m_nameError->hide();
        return true;
    }
    m_nameError->setText(error);
    m_nameError->show();
    m_name->setFocus();
    m_name->selectAll();
    return false;
}

NewAdministration TfrmFirstRun::Request() const
{
    NewAdministration request;
    request.name = m_name->text().trimmed();
    request.vatInclusive = m_vatInclusive->isChecked();
    request.sampleData = m_sampleData->isChecked();
    for (auto it = m_company.cbegin(); it != m_company.cend(); ++it)
        request.profile.insert(it.key(), it.value()->text().trimmed());
    return request;
}

void TfrmFirstRun::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        ApplyLanguage();
    QWizard::changeEvent(event);
}

// Shows every text in the chosen language at once.
void TfrmFirstRun::ApplyLanguage()
{
    const int index = LanguageIndexOf(LanguageCode());
    const QString oldDefault = FreeDefaultName();
    SetLanguageIndex(index);
    // A name the user did not type follows the language.
    if (m_name->text() == oldDefault || m_languageShown == 0)
        m_name->setText(FreeDefaultName());
    m_languageShown = index;

    setWindowTitle(ApplicationTitle() + QStringLiteral(" - ") + Translate(NL("Eerste gebruik")));
    page(LanguagePage)->setTitle(Translate(NL("Welkom")));
    findChild<QLabel*>(QStringLiteral("labLanguage"))
        ->setText(Translate(NL("Kies de taal waarin het programma werkt.")));
    page(NamePage)->setTitle(Translate(NL("Uw administratie")));
    findChild<QLabel*>(QStringLiteral("labName"))
        ->setText(Translate(NL("Alle gegevens van een bedrijf staan in een administratie. Geef ze een naam.")));
    page(CompanyPage)->setTitle(Translate(NL("Uw bedrijfsgegevens")));
    findChild<QLabel*>(QStringLiteral("labCompany"))
        ->setText(Translate(NL("Deze gegevens worden het eerste contact van de administratie. U kunt ze later aanvullen.")));
    for (auto it = m_company.cbegin(); it != m_company.cend(); ++it)
        findChild<QLabel*>(QStringLiteral("labProfile") + QString(it.key()).remove(u' '))->setText(CompanyCaption(it.key()));
    page(OptionsPage)->setTitle(Translate(NL("Instellingen")));
    findChild<QLabel*>(QStringLiteral("labOptions"))->setText(Translate(NL("Hoe werkt deze administratie?")));
    m_vatInclusive->setText(Translate(NL("Deze Administratie werkt  BTW inclusief")));
    m_sampleData->setText(Translate(NL("Voorbeeldgegevens invullen (contacten, producten en documenten)")));
    page(SummaryPage)->setTitle(Translate(NL("Klaar")));
    setButtonText(QWizard::BackButton, Translate(NL("< Vorige")));
    setButtonText(QWizard::NextButton, Translate(NL("Volgende >")));
    setButtonText(QWizard::FinishButton, Translate(NL("Voltooien")));
    setButtonText(QWizard::CancelButton, Translate(NL("Annuleren")));
    if (m_nameError->isVisible())
        CheckName();
    if (currentId() == SummaryPage)
        FillSummary();
}

void TfrmFirstRun::FillSummary()
{
    const NewAdministration request = Request();
    QStringList lines;
    lines << Translate(NL("Met Voltooien wordt deze administratie gemaakt:")) << QString();
    lines << Translate(NL("Taal")) + QStringLiteral(": ") + m_languages->currentItem()->text();
    lines << Translate(NL("Administratie")) + QStringLiteral(": ") + request.name;
    const QString company = request.profile.value(QStringLiteral("company"));
    const QString name = request.profile.value(QStringLiteral("Name"));
    if (!company.isEmpty() || !name.isEmpty())
        lines << Translate(NL("Bedrijf")) + QStringLiteral(": ") + QString(company + QLatin1Char(' ') + name).trimmed();
    lines << (request.vatInclusive ? Translate(NL("Bedragen BTW inclusief")) : Translate(NL("Bedragen BTW exclusief")));
    if (request.sampleData)
        lines << Translate(NL("Met voorbeeldgegevens"));
    m_summary->setText(lines.join(u'\n'));
}

bool RunFirstRunSetup(QWidget* parent, NewAdministration* request)
{
    const int languageBefore = LanguageIndex();
    TfrmFirstRun wizard(parent);
    if (wizard.exec() != QDialog::Accepted) {
        SetLanguageIndex(languageBefore);
        return false;
    }
    QDir().mkpath(DataFolder());
    const QString code = wizard.LanguageCode();
    WriteSetting(OvraIni(), QStringLiteral("LANGUAGE"), code);
    SetLanguageIndex(LanguageIndexOf(code));
    // A new business today counts in euro; the old default (Belgian francs) would make every
    // document of the new administration ask for an exchange rate.
    bool found = false;
    ReadSetting(OvraIni(), QStringLiteral("MUNT"), &found);
    if (!found)
        WriteSetting(OvraIni(), QStringLiteral("MUNT"), QStringLiteral("EUR"));
    if (request)
        *request = wizard.Request();
    return true;
}
