#include "shell/explorer.h"

#include "cards/imagelist.h"
#include "data/administration.h"
#include "data/collation.h"
#include "data/datasetmodel.h"
#include "data/datasource.h"
#include "data/dm.h"
#include "data/explorercolumns.h"
#include "data/modules.h"
#include "data/quicksearch.h"
#include "data/recordrules.h"
#include "foundation/homefolder.h"
#include "foundation/progressdlg.h"
#include "foundation/settingsfile.h"
#include "foundation/translate.h"
#include "shell/columnpicklist.h"
#include "shell/explorergrid.h"

#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPainter>
#include <QToolButton>
#include <QVBoxLayout>

#include <memory>

namespace {

constexpr int kColumnWithLetters = 155;
constexpr int kColumnWithoutLetters = 173;

bool IsDocumentCalculated(TField* field)
{
    return field && field->IsCalculated();
}

// The unpaid clip of the document explorer.
QPixmap UnpaidClip()
{
    static const QPixmap clip = [] {
        QPixmap p(10, 14);
        p.fill(Qt::transparent);
        QPainter painter(&p);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(QColor(0xc0, 0, 0), 1.5));
        painter.drawRoundedRect(QRectF(2, 1, 6, 12), 3, 3);
        painter.drawLine(QPointF(5, 4), QPointF(5, 11));
        return p;
    }();
    return clip;
}

} // namespace

TExplorer::TExplorer(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("explorer"));
    m_layout = new QVBoxLayout(this);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(0);

    m_headPanel = new QFrame(this);
    m_headPanel->setObjectName(QStringLiteral("panel_CaptionOpenExplorer"));
    m_headPanel->setFixedHeight(21);
    m_headPanel->setAutoFillBackground(true);
    QPalette headPalette = m_headPanel->palette();
    headPalette.setColor(QPalette::Window, QApplication::palette().color(QPalette::Button));
    m_headPanel->setPalette(headPalette);
    auto* head = new QHBoxLayout(m_headPanel);
    head->setContentsMargins(1, 0, 1, 0);
    m_headButton = new QToolButton(m_headPanel);
    m_headButton->setObjectName(QStringLiteral("sbSelectGridHead"));
    m_headButton->setToolTip(Translate(NL("Veldselectie")));
    m_headButton->setAutoRaise(true);
    m_headButton->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    m_headButton->setToolButtonStyle(Qt::ToolButtonTextOnly);
    m_headLabel = new QLabel(m_headPanel);
    m_headLabel->setObjectName(QStringLiteral("lbOpenExplorerCaption"));
    m_headLabel->hide();
    m_fieldsButton = new QToolButton(m_headPanel);
    m_fieldsButton->setObjectName(QStringLiteral("sbSelectVelden"));
    m_fieldsButton->setText(Translate(NL("Velden")));
    m_fieldsButton->setCheckable(true);
    m_fieldsButton->setAutoRaise(true);
    m_fieldsButton->hide();
    m_selectAllButton = new QToolButton(m_headPanel);
    m_selectAllButton->setObjectName(QStringLiteral("sbSelectAllContacts"));
    m_selectAllButton->setText(QStringLiteral("*"));
    m_selectAllButton->setToolTip(Translate(NL("Alles selecteren")));
    m_selectAllButton->setAutoRaise(true);
    head->addWidget(m_headButton, 1);
    head->addWidget(m_headLabel, 1);
    head->addWidget(m_fieldsButton);
    head->addWidget(m_selectAllButton);
    m_layout->addWidget(m_headPanel);

    auto* middle = new QHBoxLayout;
    middle->setContentsMargins(0, 0, 0, 0);
    middle->setSpacing(0);
    m_chooser = new QListWidget(this);
    m_chooser->setObjectName(QStringLiteral("LBVelden"));
    m_chooser->setFixedWidth(150);
    m_chooser->hide();
    m_grid = new TDBGridwListX(this);
    m_bevel = new QFrame(this);
    m_bevel->setObjectName(QStringLiteral("Bevel1"));
    m_bevel->setFrameShape(QFrame::VLine);
    m_bevel->setFrameShadow(QFrame::Sunken);
    m_letters = new QListWidget(this);
    m_letters->setObjectName(QStringLiteral("lbAlfabet"));
    m_letters->setToolTip(Translate(NL("Op eerste letter zoeken")));
    m_letters->setFixedWidth(18);
    m_letters->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_letters->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_letters->setFocusPolicy(Qt::NoFocus);
    for (char c = 'A'; c <= 'Z'; ++c) {
        auto* item = new QListWidgetItem(QString(QLatin1Char(c)), m_letters);
        item->setTextAlignment(Qt::AlignCenter);
    }
    m_letters->installEventFilter(this);
    middle->addWidget(m_chooser);
    middle->addWidget(m_grid, 1);
    middle->addWidget(m_bevel);
    middle->addWidget(m_letters);
    m_layout->addLayout(middle, 1);

    m_searchPanel = new QFrame(this);
    m_searchPanel->setObjectName(QStringLiteral("PanZoekEdit"));
    m_searchPanel->setFrameShape(QFrame::StyledPanel);
    auto* search = new QVBoxLayout(m_searchPanel);
    search->setContentsMargins(2, 1, 2, 2);
    search->setSpacing(1);
    m_searchCaption = new QLabel(m_searchPanel);
    m_searchCaption->setObjectName(QStringLiteral("lbSnelzoeken"));
    m_search = new QLineEdit(m_searchPanel);
    m_search->setObjectName(QStringLiteral("edSearch"));
    search->addWidget(m_searchCaption);
    search->addWidget(m_search);
    m_layout->addWidget(m_searchPanel);
    m_searchPanel->installEventFilter(this);
    m_searchCaption->installEventFilter(this);
    m_search->installEventFilter(this);

    connect(m_letters, &QListWidget::itemClicked, this, &TExplorer::LetterClicked);
    connect(m_search, &QLineEdit::textEdited, this, &TExplorer::SearchEdited);
    connect(m_headButton, &QToolButton::clicked, this, [this] { ChooseSortColumn(); });
    connect(m_fieldsButton, &QToolButton::toggled, m_chooser, &QWidget::setVisible);
    connect(m_selectAllButton, &QToolButton::clicked, this, &TExplorer::SelectAll);
    connect(m_chooser, &QListWidget::itemChanged, this, &TExplorer::ChooserChanged);
    connect(m_grid, &TDBGridwListX::typedTextChanged, m_search, &QLineEdit::setText);
    connect(m_grid, &TDBGridwListX::enterPressed, this, [this] {
        if (IsOpen())
            CloseExplorer();
    });
    connect(m_grid, &TDBGridwListX::normalUse, this, &TExplorer::LeaveAllSelected);
    connect(m_grid, &TDBGridwListX::columnEntered, this, &TExplorer::ColumnEntered);
    connect(m_grid, &TDBGridwListX::cellClicked, this, [this] {
        if (TDataSet* dataSet = DataSet())
            dataSet->CheckBrowseMode();
        if (m_module == 7 && saveEditedDocument)
            saveEditedDocument();
        emit cellClicked();
    });
    connect(m_grid, &TDBGridwListX::deleteWithoutCtrl, this, [this] {
        if ((m_module == 1 || m_module == 6) && removeFromSelection)
            removeFromSelection();
    });
    connect(m_grid, &TDBGridwListX::f2Pressed, this, [this] {
        if ((m_module == 1 || m_module == 6) && showMembership)
            showMembership();
    });
    m_grid->horizontalHeader()->setSectionsMovable(true);
    connect(m_grid->horizontalHeader(), &QHeaderView::sectionMoved, this, [this](int, int, int newVisual) {
        // A column moved to the front is the column the narrow explorer keeps.
        if (newVisual == 0 && m_grid->open)
            m_grid->setProperty("firstColumn", m_grid->VisualColumns().value(0));
    });
    m_grid->cellPicture = [this](const QModelIndex& index) { return CellPicture(index); };

    m_grid->horizontalHeader()->hide();
    setFixedWidth(kNarrowWidth);
    SetProgramSettings(QString());
}

TExplorer::~TExplorer()
{
    if (Tdm* dm = Dm()) {
        TRecordHooks& hooks = dm->Rules().Hooks();
        hooks.selectLetter = nullptr;
        hooks.refreshRecordCounter = nullptr;
        hooks.explorerFirstColumnBound = nullptr;
        hooks.resetExplorerSelection = nullptr;
    }
}

void TExplorer::SetProgramSettings(const QString& ovraIni)
{
    m_ovraIni = ovraIni;
    const bool bottom = ReadSettingBool(Ovra(), QStringLiteral("LETITDOWN"));
    if (bottom != m_searchAtBottom)
        MoveSearchPanel();
}

QString TExplorer::Ovra() const
{
    return m_ovraIni.isEmpty() ? OvraIni() : m_ovraIni;
}

void TExplorer::SetAdministration(TAdministration* administration)
{
    if (IsOpen())
        CloseExplorer();
    m_admin = administration;
    m_grid->SetDataSet(nullptr);
    m_source = nullptr;
    m_module = 0;
    Tdm* dm = Dm();
    if (!dm)
        return;
    QPointer<TExplorer> self(this);
    TRecordHooks& hooks = dm->Rules().Hooks();
    hooks.selectLetter = [self](const QString& letter) {
        if (self)
            self->SelectLetter(letter);
    };
    hooks.refreshRecordCounter = [self] {
        if (self)
            self->UpdateHeading();
    };
    hooks.explorerFirstColumnBound = [self] { return self && !self->m_grid->Columns().isEmpty(); };
    hooks.resetExplorerSelection = [self] {
        if (self)
            self->LeaveAllSelected();
    };
}

Tdm* TExplorer::Dm() const
{
    return m_admin ? m_admin->DataModule() : nullptr;
}

TDataSet* TExplorer::DataSet() const
{
    return m_source ? m_source->DataSet() : nullptr;
}

TTable* TExplorer::Table() const
{
    return qobject_cast<TTable*>(DataSet());
}

void TExplorer::BindDataSource(TDataSource* source, int module)
{
    if (IsOpen())
        CloseExplorer();
    m_source = source;
    m_module = source ? module : 0;
    m_grid->SetDataSet(source ? source->DataSet() : nullptr);
    if (TDataSetModel* model = m_grid->Model())
        connect(model, &TDataSetModel::currentRowChanged, this, &TExplorer::FollowLetter, Qt::UniqueConnection);
    if (m_module == 1 || m_module == 6) {
        m_grid->dragData = [this] { return DragRecords(); };
    } else {
        m_grid->dragData = nullptr;
    }
    RefreshExplorer();
    if (TDataSet* dataSet = DataSet(); dataSet && dataSet->Active() && (m_module == 1 || m_module == 6))
        m_counts.Of(m_module) = dataSet->RecordCount();
    UpdateHeading();
}

void TExplorer::RefreshExplorer()
{
    m_headPanel->setFixedHeight(21);
    TDataSet* dataSet = DataSet();
    if (!dataSet) {
        m_grid->SetColumns({});
        m_letters->hide();
        m_bevel->hide();
        m_headButton->setText(QString());
        return;
    }
    QVariant remembered;
    const bool listActive = m_lists.ActiveList(m_module) > 0;
    if (listActive && dataSet->Active()) {
        dataSet->CheckBrowseMode();
        if (dataSet->FieldCount() > 0)
            remembered = dataSet->Field(0)->AsVariant();
    }
    LeaveAllSelected();
    TTable* table = Table();
    QString sortField;
    if (table) {
        table->SetFiltered(false);
        if (!table->Active())
            table->Open();
        const int position = m_admin ? m_admin->SortColumn(m_module) : 1;
        if (TField* field = table->Field(position))
            sortField = field->FieldName();
        if (Tdm* dm = Dm())
            dm->UseSortIndex(*table, sortField);
        if (remembered.isValid() && table->FieldCount() > 0)
            table->Locate(table->Field(0)->FieldName(), remembered);
    } else if (dataSet->Active() && dataSet->FieldCount() > 1) {
        sortField = dataSet->Field(1)->FieldName();
    }
    if (sortField.isEmpty() && dataSet->FieldCount() > 0)
        sortField = dataSet->Field(0)->FieldName();
    SetNarrowColumn(sortField);
    UpdateLetterList();
    UpdateHeading();
    FillFieldList();
    if (dataSet->ControlsDisabled() && !dataSet->IsEmpty())
        dataSet->EnableControls();
}

void TExplorer::FillFieldList()
{
    m_grid->fieldList.clear();
    TTable* table = Table();
    TDataSet* dataSet = DataSet();
    if (!dataSet)
        return;
    const QList<TIndexDef> indexes = table ? table->IndexDefs() : QList<TIndexDef>();
    for (int i = 0; i < dataSet->FieldCount(); ++i) {
        TField* field = dataSet->Field(i);
        bool indexed = false;
        for (const TIndexDef& def : indexes) {
            if (def.caseInsensitive && def.fields.size() == 1
                && def.fields.first().compare(field->FieldName(), Qt::CaseInsensitive) == 0)
                indexed = true;
        }
        m_grid->fieldList << (indexed ? QStringLiteral("1") : QStringLiteral("0")) + field->DisplayLabel();
    }
}

void TExplorer::SetNarrowColumn(const QString& field)
{
    m_sortField = field;
    m_grid->SetColumns(field.isEmpty() ? QStringList() : QStringList{field});
    m_grid->SetDarkFields({field});
    if (TDataSet* dataSet = DataSet()) {
        if (TField* f = dataSet->FindField(field); f && IsFloatType(f->DataType()))
            f->SetAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    m_grid->setColumnWidth(0, m_letters->isVisible() ? kColumnWithLetters : kColumnWithoutLetters);
}

bool TExplorer::IsOpen() const
{
    return m_grid->open;
}

void TExplorer::UpdateLetterList(bool flag)
{
    TDataSet* dataSet = DataSet();
    bool visible = false;
    if (dataSet && m_module != 7) {
        const QString first = m_grid->FieldOfColumn(m_grid->horizontalHeader()->logicalIndex(0));
        TField* field = dataSet->FindField(first);
        if (field && !field->IsCalculated() && field->DataType() == ftText) {
            bool indexed = flag;
            if (TTable* table = Table()) {
                for (const TIndexDef& def : table->IndexDefs()) {
                    if (def.caseInsensitive && def.fields.size() == 1
                        && def.fields.first().compare(first, Qt::CaseInsensitive) == 0)
                        indexed = true;
                }
            }
            visible = indexed;
        }
    }
    m_letters->setVisible(visible && !IsOpen());
    m_bevel->setVisible(visible && !IsOpen());
    if (!IsOpen())
        m_grid->setColumnWidth(0, visible ? kColumnWithLetters : kColumnWithoutLetters);
    FollowLetter();
}

void TExplorer::UpdateHeading()
{
    TDataSet* dataSet = DataSet();
    QString text;
    if (dataSet) {
        TField* field = dataSet->FindField(m_sortField);
        text = field ? field->DisplayLabel() : m_sortField;
        if (m_module != 7) {
            const int list = m_lists.ActiveList(m_module);
            if (list > 0)
                text += QStringLiteral(" [%1/%2]").arg(m_lists.ActiveListCount(m_module)).arg(m_counts.Of(m_module));
            else
                text += QStringLiteral(" [%1]").arg(m_counts.Of(m_module));
        }
    }
    m_headButton->setText(text);
    emit headingChanged(text);
}

QString TExplorer::HeadingText() const
{
    return IsOpen() ? m_headLabel->text() : m_headButton->text();
}

void TExplorer::SetCardCaption(const QString& caption)
{
    m_cardCaption = caption;
    if (IsOpen())
        m_headLabel->setText(caption);
}

QString TExplorer::ColumnSetFile() const
{
    TTable* table = Table();
    if (!m_admin || !table)
        return {};
    return ExplorerColumnsFile(m_admin->Folder(), table->ResolvedTableName().isEmpty() ? table->TableName()
                                                                                      : table->ResolvedTableName(),
                               m_module);
}

void TExplorer::OpenExplorer()
{
    TDataSet* dataSet = DataSet();
    if (!CanOpen() || IsOpen() || !dataSet || !dataSet->Active())
        return;
    // 1. The heading button gives way to "Velden"; the explorer fills the window.
    m_headButton->hide();
    m_headLabel->show();
    m_fieldsButton->show();
    const QString first = m_grid->FieldOfColumn(m_grid->horizontalHeader()->logicalIndex(0));
    m_grid->setProperty("firstColumn", first);
    m_letters->hide();
    m_bevel->hide();
    setMinimumWidth(0);
    setMaximumWidth(QWIDGETSIZE_MAX);
    m_grid->open = true;
    emit openChanged(true);

    // 2.-4. The remembered column set, checked against the table.
    const int gridWidth = qMax(m_grid->width(), parentWidget() ? parentWidget()->width() : width());
    QList<TExplorerColumn> remembered = LoadExplorerColumns(ColumnSetFile());
    if (remembered.isEmpty())
        remembered.append({first, kColumnWithLetters, true, true});
    const QList<TExplorerColumn> columns = ReconcileExplorerColumns(remembered, *dataSet, qMax(60, gridWidth - 60));
    QStringList fields;
    for (const TExplorerColumn& column : columns)
        fields << column.field;
    m_grid->SetColumns(fields);
    const QSignalBlocker blocker(m_chooser);
    m_chooser->clear();
    for (int i = 0; i < columns.size(); ++i) {
        const TExplorerColumn& column = columns.at(i);
        TField* field = dataSet->FindField(column.field);
        if (IsIntegerType(field->DataType()) || IsFloatType(field->DataType()))
            field->SetAlignment(Qt::AlignRight | Qt::AlignVCenter);
        m_grid->setColumnWidth(i, qMin(column.width, qMax(10, gridWidth - 10)));
        m_grid->setColumnHidden(i, !column.visible);
        auto* item = new QListWidgetItem(field->DisplayLabel(), m_chooser);
        item->setData(Qt::UserRole, column.field);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(column.visible ? Qt::Checked : Qt::Unchecked);
    }

    // 5. The sort column the open explorer had last time.
    QString sortBy = ReadSetting(Ovra(), QStringLiteral("KIEZERX") + QString::number(m_module));
    if (sortBy.isEmpty() || m_grid->ColumnOfField(sortBy) < 0)
        sortBy = first;
    SortExplorerBy(sortBy);

    // 6. Titles, resizing, the caption and the current row.
    m_grid->horizontalHeader()->show();
    m_grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    m_headLabel->setText(m_cardCaption);
    m_grid->FollowCurrentRecord();
    UpdateSearchCaption();
    m_grid->setFocus();
}

void TExplorer::SortExplorerBy(const QString& columnName)
{
    TTable* table = Table();
    Tdm* dm = Dm();
    if (table && dm)
        dm->UseSortIndex(*table, columnName);
    QStringList dark = table ? table->IndexFields() : QStringList{columnName};
    // A calculated column cannot order the table; it reads dark when chosen.
    if (dark.isEmpty())
        dark << columnName;
    m_grid->SetDarkFields(dark);
}

void TExplorer::SaveColumnSet()
{
    const QString file = ColumnSetFile();
    if (file.isEmpty())
        return;
    QList<TExplorerColumn> columns;
    QHeaderView* header = m_grid->horizontalHeader();
    for (int visual = 0; visual < header->count(); ++visual) {
        const int logical = header->logicalIndex(visual);
        TExplorerColumn column;
        column.field = m_grid->FieldOfColumn(logical);
        column.visible = !m_grid->isColumnHidden(logical);
        column.width = column.visible ? m_grid->columnWidth(logical) : header->sectionSize(logical);
        if (column.width <= 0)
            column.width = 100;
        column.dark = m_grid->IsDarkColumn(logical);
        columns.append(column);
    }
    SaveExplorerColumns(file, columns);
}

void TExplorer::CloseExplorer()
{
    if (!IsOpen())
        return;
    TTable* table = Table();
    Tdm* dm = Dm();
    // 1. The index of the column that goes back to the narrow explorer.
    QString first = m_grid->property("firstColumn").toString();
    if (first.isEmpty())
        first = m_sortField;
    if (table && dm) {
        TField* field = table->FindField(first);
        if (!dm->UseSortIndex(*table, first) && field && !field->IsCalculated() && field->Index() > 0) {
            dm->BuildIndex(QStringLiteral("iadr") + QString::number(field->Index()), *table);
            dm->UseSortIndex(*table, first);
        }
    }
    // 2.-3. Back to the heading button; the column set and the sort column are kept.
    m_headButton->show();
    m_headLabel->hide();
    m_fieldsButton->setChecked(false);
    m_fieldsButton->hide();
    m_chooser->hide();
    SaveColumnSet();
    const QStringList dark = m_grid->DarkFields();
    if (!dark.isEmpty())
        WriteSetting(Ovra(), QStringLiteral("KIEZERX") + QString::number(m_module), dark.first());
    {
        const QSignalBlocker blocker(m_chooser);
        m_chooser->clear();
    }
    // 4. One column, docked right.
    m_grid->open = false;
    m_grid->horizontalHeader()->hide();
    SetNarrowColumn(first);
    setFixedWidth(kNarrowWidth);
    UpdateLetterList();
    m_headLabel->clear();
    m_searchCaption->clear();
    UpdateHeading();
    emit openChanged(false);
}

void TExplorer::ToggleExplorer()
{
    if (IsOpen())
        CloseExplorer();
    else
        OpenExplorer();
}

bool TExplorer::ChooseSortColumn()
{
    TTable* table = Table();
    if (!table || !table->Active() || IsOpen())
        return false;
    TfrmList list(this);
    const QList<TPickEntry> entries = SortColumnEntries(*table);
    list.SetEntries(entries);
    const int picked = list.Pick(m_grid->mapToGlobal(QPoint(0, 0)), m_grid->width() - 17);
    if (picked < 0)
        return false;
    const QString field = entries.at(picked).data.toString();
    TField* chosen = table->FindField(field);
    if (!chosen)
        return false;
    if (m_admin)
        m_admin->SetSortColumn(m_module, chosen->Index());
    if (Tdm* dm = Dm())
        dm->UseSortIndex(*table, field);
    SetNarrowColumn(field);
    UpdateLetterList();
    UpdateHeading();
    return true;
}

void TExplorer::LetterClicked(QListWidgetItem* item)
{
    TDataSet* dataSet = DataSet();
    if (!item || !dataSet)
        return;
    LeaveAllSelected();
    const QString found = LocateFromLetter(*dataSet, m_sortField, item->text().at(0));
    if (found.isEmpty())
        FollowLetter();
}

void TExplorer::SelectLetter(const QString& letter)
{
    const QSignalBlocker blocker(m_letters);
    const QString folded = FoldText(letter).toUpper().left(1);
    const QList<QListWidgetItem*> items = folded.isEmpty() ? QList<QListWidgetItem*>()
                                                           : m_letters->findItems(folded, Qt::MatchExactly);
    if (items.isEmpty())
        m_letters->setCurrentItem(nullptr);
    else
        m_letters->setCurrentItem(items.first());
}

void TExplorer::FollowLetter()
{
    TDataSet* dataSet = DataSet();
    if (!m_letters->isVisible() || !dataSet || !dataSet->Active() || dataSet->IsEmpty())
        return;
    TField* field = dataSet->FindField(m_sortField);
    SelectLetter(field ? field->AsString().trimmed().left(1) : QString());
}

void TExplorer::SearchEdited(const QString& text)
{
    TDataSet* dataSet = DataSet();
    if (!dataSet)
        return;
    LeaveAllSelected();
    m_grid->typedText = text;
    QuickSearchLocate(*dataSet, m_grid->SelectedField(), text);
}

void TExplorer::SearchEnter()
{
    TDataSet* dataSet = DataSet();
    if (!dataSet)
        return;
    TField* field = dataSet->FindField(m_grid->SelectedField());
    if (!IsDocumentCalculated(field)) {
        m_search->clear();
        m_grid->typedText.clear();
        return;
    }
    if (m_module != 7 || !dataSet->Database())
        return;
    bool handled = false;
    const int kind = documentKind ? documentKind() : 1;
    const QString dataFolder = Dm() ? Dm()->DataFolder() : DataFolder();
    const QList<TDocumentHit> hits =
        FindDocuments(*dataSet->Database(), field->FieldName(), m_search->text(), kind, dataFolder, &handled);
    if (!handled || hits.isEmpty())
        return;
    int picked = 0;
    if (hits.size() > 1) {
        QList<TPickEntry> entries;
        for (const TDocumentHit& hit : hits)
            entries.append({QString::number(hit.id), hit.number, false, hit.id});
        TfrmList list(this);
        list.SetEntries(entries);
        picked = list.Pick(m_searchPanel->mapToGlobal(QPoint(0, 0)), m_grid->width() - 17);
    }
    if (picked >= 0)
        dataSet->Locate(QStringLiteral("F_ID"), hits.at(picked).id);
}

void TExplorer::ColumnEntered(const QString&)
{
    if (IsOpen())
        UpdateSearchCaption();
}

void TExplorer::UpdateSearchCaption()
{
    TDataSet* dataSet = DataSet();
    TField* field = dataSet ? dataSet->FindField(m_grid->SelectedField()) : nullptr;
    m_searchCaption->setText(
        ReplacePlaceholders(Translate(NL("Snelzoeken in <%s>")), {field ? field->DisplayLabel() : QString()}));
}

void TExplorer::ChooserChanged(QListWidgetItem* item)
{
    const int column = m_grid->ColumnOfField(item->data(Qt::UserRole).toString());
    if (column < 0)
        return;
    const bool visible = item->checkState() == Qt::Checked;
    m_grid->setColumnHidden(column, !visible);
    if (visible && m_grid->columnWidth(column) <= 0)
        m_grid->setColumnWidth(column, 100);
}

void TExplorer::MoveSearchPanel()
{
    m_layout->removeWidget(m_searchPanel);
    m_searchAtBottom = !m_searchAtBottom;
    if (m_searchAtBottom)
        m_layout->addWidget(m_searchPanel);
    else
        m_layout->insertWidget(1, m_searchPanel);
}

bool TExplorer::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_search && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down) {
            m_grid->setFocus();
            return true;
        }
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            SearchEnter();
            return true;
        }
    }
    if ((watched == m_searchPanel || watched == m_searchCaption) && event->type() == QEvent::MouseButtonDblClick) {
        MoveSearchPanel();
        WriteSetting(Ovra(), QStringLiteral("LETITDOWN"), m_searchAtBottom ? QStringLiteral("TRUE") : QStringLiteral("FALSE"));
        return true;
    }
    if (watched == m_letters && event->type() == QEvent::Resize) {
        const int height = qMax(1, m_letters->height() / 26);
        for (int i = 0; i < m_letters->count(); ++i)
            m_letters->item(i)->setSizeHint(QSize(m_letters->width(), height));
    }
    return QWidget::eventFilter(watched, event);
}

bool TExplorer::CanAdd() const
{
    if (!DataSet() || !DataSet()->Active())
        return false;
    if (m_module == 1 || m_module == 6)
        return true;
    // Other documents need the contact chooser, appointments the calendar.
    return m_module == 7 && documentKind && documentKind() == 10;
}

bool TExplorer::AddRecord()
{
    if (!CanAdd())
        return false;
    TDataSet& dataSet = *DataSet();
    if (IsOpen())
        CloseExplorer();
    if (m_module == 7 && saveEditedDocument)
        saveEditedDocument();
    LeaveAllSelected();
    m_busy = true;
    dataSet.CheckBrowseMode();
    if (dataSet.RecNo() < dataSet.RecordCount())
        dataSet.Next();
    bool appended = false;
    {
        TBeingSetUp setUp(dataSet);
        appended = dataSet.Append();
    }
    const int list = m_lists.ActiveList(m_module);
    if (appended) {
        if (m_module == 1 || m_module == 6) {
            if (TField* inList = dataSet.FindField(QStringLiteral("INLIST")))
                inList->SetValue(list > 0);
            if (list > 0) {
                if (TField* lists = dataSet.FindField(QStringLiteral("LISTS")))
                    lists->SetValue(QString(QString(list - 1, QLatin1Char('0')) + QLatin1Char('1')));
            }
        } else if (m_module == 7) {
            dataSet.FieldByName(QStringLiteral("F_TYPE"))->SetValue(10);
            dataSet.FieldByName(QStringLiteral("F_FACNR"))->SetValue(Translate(NL("Sjabloon")));
        }
    }
    m_busy = false;
    if (!appended)
        return false;
    // Errors are the card's to show: the record stays in edit.
    dataSet.Post();
    if (m_module == 1 || m_module == 6) {
        m_counts.Of(m_module) += 1;
        if (list > 0 && m_lists.adjustMemberCount)
            m_lists.adjustMemberCount(m_module, list, 1);
    }
    UpdateHeading();
    if (focusFirstCard)
        focusFirstCard();
    return true;
}

TDeletion TExplorer::MakeDeletion()
{
    TDeletion deletion;
    deletion.dm = Dm();
    deletion.module = m_module;
    deletion.dataSet = DataSet();
    deletion.counts = &m_counts;
    deletion.lists = m_lists;
    return deletion;
}

int TExplorer::DeleteRecords()
{
    TDataSet* dataSet = DataSet();
    if (!dataSet || !dataSet->Active() || !(m_module == 1 || m_module == 6 || m_module == 7))
        return 0;
    TDeleteRequest request;
    request.allSelected = AllSelected();
    if (!request.allSelected) {
        const QList<int> rows = m_grid->MarkedRows();
        if (rows.size() > 1) {
            for (int row : rows) {
                if (dataSet->SetRecNo(row + 1))
                    request.marked.append(dataSet->GetBookmark());
            }
        }
    }
    if (TModule* module = m_admin ? m_admin->Module() : nullptr) {
        request.plural = module->Plural();
        request.moduleTitle = module->Title();
    }
    auto progress = std::make_shared<std::unique_ptr<ProgressRun>>();
    request.progress.begin = [progress](int maximum) {
        *progress = std::make_unique<ProgressRun>(NL("Verwijderen (ESC voor stoppen)"), maximum);
    };
    request.progress.step = [progress] { return !*progress || (*progress)->Step(); };
    request.progress.end = [progress] { progress->reset(); };

    QApplication::setOverrideCursor(Qt::WaitCursor);
    dataSet->DisableControls();
    const int deleted = DeleteMarkedOrAll(request);
    dataSet->EnableControls();
    QApplication::restoreOverrideCursor();
    LeaveAllSelected();
    UpdateHeading();
    return deleted;
}

int TExplorer::DeleteMarkedOrAll(const TDeleteRequest& request)
{
    const int deleted = ::DeleteRecords(MakeDeletion(), request);
    if (request.allSelected) {
        m_grid->SetAllSelected(false);
        if (TTable* table = Table(); table && Dm()) {
            const QString index = table->IndexName();
            Dm()->PackTable(*table);
            if (!table->Active())
                table->Open();
            table->SetIndexName(index);
        }
    }
    return deleted;
}

void TExplorer::SelectAll()
{
    if (!(m_module == 1 || m_module == 6 || m_module == 7))
        return;
    m_grid->SetAllSelected(!m_grid->AllSelected());
    emit selectionChanged();
}

void TExplorer::ClearSelection()
{
    const bool wasAll = m_grid->AllSelected();
    m_grid->SetAllSelected(false);
    m_grid->FollowCurrentRecord();
    if (wasAll || m_grid->MarkedRows().size() > 1) {
        m_grid->clearSelection();
        m_grid->FollowCurrentRecord();
    }
    emit selectionChanged();
}

void TExplorer::LeaveAllSelected()
{
    if (!m_grid->AllSelected())
        return;
    m_grid->SetAllSelected(false);
    emit selectionChanged();
}

bool TExplorer::AllSelected() const
{
    return m_grid->AllSelected();
}

bool TExplorer::CanSelectAll() const
{
    return !AllSelected();
}

bool TExplorer::CanClearSelection() const
{
    return AllSelected() || m_grid->MarkedRows().size() > 1;
}

QPixmap TExplorer::CellPicture(const QModelIndex& index)
{
    TDataSet* dataSet = DataSet();
    if (!dataSet || !index.isValid())
        return {};
    if (m_module == 1 || m_module == 6) {
        if (IsOpen() && !m_grid->IsDarkColumn(index.column()))
            return {};
    } else if (m_module != 7) {
        return {};
    }
    const QString field = m_grid->FieldOfColumn(index.column());
    if (m_module == 7) {
        if (field.compare(QStringLiteral("FNR+DATUM"), Qt::CaseInsensitive) != 0)
            return {};
        TField* type = dataSet->FindField(QStringLiteral("F_TYPE"));
        TField* paid = dataSet->FindField(QStringLiteral("F_PAYED"));
        if (!type || !paid)
            return {};
        const int kind = dataSet->StoredValueAt(index.row(), type->Index()).toInt();
        if ((kind == 1 || kind == 4) && !dataSet->StoredValueAt(index.row(), paid->Index()).toBool())
            return UnpaidClip();
        return {};
    }
    if (m_module != 1 && m_module != 6)
        return {};
    if (IsOpen() && !m_grid->IsDarkColumn(index.column()))
        return {};
    TField* icon = dataSet->FindField(QStringLiteral("ICON"));
    if (!icon)
        return {};
    const QVariant value = dataSet->StoredValueAt(index.row(), icon->Index());
    if (value.isNull() || value.toInt() <= 0)
        return {};
    if (!m_iconsRead) {
        m_iconsRead = true;
        for (const QString& folder : {ProgramFolder(), ResourceFolder()}) {
            for (const QIcon& i : LoadImageList(folder + QStringLiteral("bmp/conIcons.gmp"), 16))
                m_icons.append(i.pixmap(16, 16));
            if (!m_icons.isEmpty())
                break;
        }
    }
    return m_icons.value(value.toInt());
}

QMimeData* TExplorer::DragRecords()
{
    TDataSet* dataSet = DataSet();
    if (!dataSet || dataSet->FieldCount() == 0)
        return nullptr;
    QList<qint64> ids;
    QList<int> rows = m_grid->MarkedRows();
    if (rows.isEmpty() && dataSet->CurrentRow() >= 0)
        rows << dataSet->CurrentRow();
    for (int row : rows)
        ids << dataSet->StoredValueAt(row, 0).toLongLong();
    return ids.isEmpty() ? nullptr : RecordsMimeData(m_module, ids);
}
