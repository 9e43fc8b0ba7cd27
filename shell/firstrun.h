#pragma once

#include <QWizard>

#include "data/newadministration.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;

// The first-run set-up: language, administration name, the user's own company data (the
// profile), VAT-inclusive amounts and demo data, then a summary. Enter on every page accepts
// the defaults and ends on Finish.
class TfrmFirstRun : public QWizard
{
    Q_OBJECT
public:
    enum PageId { LanguagePage, NamePage, CompanyPage, OptionsPage, SummaryPage };

    explicit TfrmFirstRun(QWidget* parent = nullptr);

    NewAdministration Request() const;
    QString LanguageCode() const;     // "NL", "F", "UK" or "DE"

    // The widgets, for tests and the pages.
    QListWidget* LanguageList() const { return m_languages; }
    QLineEdit* NameEdit() const { return m_name; }
    QLineEdit* CompanyEdit(const QString& column) const;
    QCheckBox* VatInclusiveBox() const { return m_vatInclusive; }
    QCheckBox* SampleDataBox() const { return m_sampleData; }
    QLabel* NameErrorLabel() const { return m_nameError; }

    // The name page's check; shows the reason on the page.
    bool CheckName();

protected:
    void changeEvent(QEvent* event) override;

private:
    void BuildPages();
    void ApplyLanguage();
    void FillSummary();

    QListWidget* m_languages = nullptr;
    QLineEdit* m_name = nullptr;
    QLabel* m_nameError = nullptr;
    QMap<QString, QLineEdit*> m_company;
    QCheckBox* m_vatInclusive = nullptr;
    QCheckBox* m_sampleData = nullptr;
    QLabel* m_summary = nullptr;
    int m_languageShown = 0;
};

// The language a first run starts in: from the system locale (French, English, German),
// else Dutch. One of "NL", "F", "UK", "DE".
QString DefaultFirstRunLanguage();

// Runs the wizard (splash hidden by the caller). On Finish: writes LANGUAGE to ovra.ini,
// reloads the translation in that language, and fills *request; false when cancelled.
bool RunFirstRunSetup(QWidget* parent, NewAdministration* request);
