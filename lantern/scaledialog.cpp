#include "lantern/scaledialog.h"

#include "lantern/effects.h"
#include "lantern/notice.h"
#include "lantern/scaling.h"

#include "foundation/translate.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRubberBand>
#include <QScrollArea>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>
#include <QScopeGuard>

namespace {

constexpr int MaxSide = 10000;

QString EffectObjectName(const QString& effect)
{
    QString name = effect;
    name.replace(QLatin1Char(' '), QLatin1Char('_'));
    return QStringLiteral("btnEffect_") + name;
}

} // namespace

TPictureView::TPictureView(QWidget* parent)
    : QWidget(parent)
{
    setCursor(Qt::CrossCursor);
}

void TPictureView::setPicture(const QImage& picture)
{
    m_picture = picture;
    setFixedSize(picture.size().expandedTo(QSize(1, 1)));
    update();
}

QSize TPictureView::sizeHint() const
{
    return m_picture.size();
}

void TPictureView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawImage(0, 0, m_picture);
}

void TPictureView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_origin = event->position().toPoint();
    m_dragging = true;
    if (!m_band)
        m_band = new QRubberBand(QRubberBand::Rectangle, this);
    m_band->setGeometry(QRect(m_origin, QSize()));
    m_band->show();
}

void TPictureView::mouseMoveEvent(QMouseEvent* event)
{
    if (m_dragging && m_band)
        m_band->setGeometry(QRect(m_origin, event->position().toPoint()).normalized());
}

void TPictureView::mouseReleaseEvent(QMouseEvent* event)
{
    if (!m_dragging || event->button() != Qt::LeftButton)
        return;
    m_dragging = false;
    if (m_band)
        m_band->hide();
    Q_EMIT cropRequested(QRect(m_origin, event->position().toPoint()).normalized());
}

TfrmScalePicture::TfrmScalePicture(const QString& folder, const QString& file, TScaleSession::Output output,
                                   bool makeGif, QWidget* parent)
    : QDialog(parent)
    , m_session(folder, file)
    , m_output(output)
    , m_makeGif(makeGif)
{
    setObjectName(QStringLiteral("frmScalePicture"));
    setWindowTitle(QStringLiteral("Scale"));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setModal(true);
    buildControls();
    showPicture();
    resize(900, 600);
}

void TfrmScalePicture::buildControls()
{
    m_view = new TPictureView;
    m_view->setObjectName(QStringLiteral("imgPicture"));
    connect(m_view, &TPictureView::cropRequested, this, [this](const QRect& rect) {
        if (m_session.crop(rect))
            showPicture();
    });
    m_scroll = new QScrollArea;
    m_scroll->setWidget(m_view);
    m_scroll->setMinimumSize(320, 240);

    auto* side = new QVBoxLayout;
    auto* presets = new QGridLayout;
    const QList<QSize> sizes = m_session.presets();
    for (int i = 0; i < sizes.size(); ++i) {
        auto* button = new QPushButton(PresetCaption(sizes[i]));
        button->setObjectName(QStringLiteral("btnPreset%1").arg(i + 1));
        connect(button, &QPushButton::clicked, this, [this, i] { presetClicked(i); });
        auto* store = new QToolButton;
        store->setText(QStringLiteral("+"));
        store->setObjectName(QStringLiteral("btnStore%1").arg(i + 1));
        connect(store, &QToolButton::clicked, this, [this, i] { storePresetClicked(i); });
        presets->addWidget(button, i, 0);
        presets->addWidget(store, i, 1);
        m_presetButtons.append(button);
    }
    side->addLayout(presets);

    m_stretch = new QCheckBox(QStringLiteral("stretch"));
    m_stretch->setObjectName(QStringLiteral("chkStretch"));
    side->addWidget(m_stretch);

    auto* sizeRow = new QHBoxLayout;
    m_width = new QSpinBox;
    m_width->setObjectName(QStringLiteral("edtWidth"));
    m_width->setRange(1, MaxSide);
    m_height = new QSpinBox;
    m_height->setObjectName(QStringLiteral("edtHeight"));
    m_height->setRange(1, MaxSide);
    connect(m_width, &QSpinBox::valueChanged, this, &TfrmScalePicture::widthChanged);
    sizeRow->addWidget(m_width);
    sizeRow->addWidget(new QLabel(QStringLiteral("*")));
    sizeRow->addWidget(m_height);
    side->addLayout(sizeRow);

    auto* scale = new QPushButton(QStringLiteral("Scale"));
    scale->setObjectName(QStringLiteral("btnScale"));
    connect(scale, &QPushButton::clicked, this, [this] {
        if (m_session.scaleTo(QSize(m_width->value(), m_height->value())))
            showPicture();
    });
    side->addWidget(scale);

    auto* resize = new QHBoxLayout;
    auto* bigger = new QPushButton(QStringLiteral("bigger"));
    bigger->setObjectName(QStringLiteral("btnBigger"));
    connect(bigger, &QPushButton::clicked, this, [this] {
        if (m_session.bigger())
            showPicture();
    });
    auto* smaller = new QPushButton(QStringLiteral("smaller"));
    smaller->setObjectName(QStringLiteral("btnSmaller"));
    connect(smaller, &QPushButton::clicked, this, [this] {
        if (m_session.smaller())
            showPicture();
    });
    resize->addWidget(bigger);
    resize->addWidget(smaller);
    side->addLayout(resize);

    m_undo = new QPushButton(QStringLiteral("undo"));
    m_undo->setObjectName(QStringLiteral("btnUndo"));
    connect(m_undo, &QPushButton::clicked, this, [this] {
        if (m_session.undo())
            showPicture();
    });
    side->addWidget(m_undo);

    auto* expert = new QPushButton(QStringLiteral("expert"));
    expert->setObjectName(QStringLiteral("btnExpert"));
    expert->setCheckable(true);
    side->addWidget(expert);

    m_sizeLabel = new QLabel;
    m_sizeLabel->setObjectName(QStringLiteral("lblSize"));
    side->addWidget(m_sizeLabel);
    side->addStretch();

    auto* ok = new QPushButton(QStringLiteral("Ok"));
    ok->setObjectName(QStringLiteral("btnOk"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &TfrmScalePicture::okClicked);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"));
    cancel->setObjectName(QStringLiteral("btnCancel"));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    side->addWidget(ok);
    side->addWidget(cancel);

    m_effects = static_cast<QGroupBox*>(buildEffectPanel());
    m_effects->setVisible(false);
    connect(expert, &QPushButton::toggled, m_effects, &QWidget::setVisible);

    auto* main = new QHBoxLayout(this);
    main->addWidget(m_scroll, 1);
    main->addLayout(side);
    main->addWidget(m_effects);
}

QWidget* TfrmScalePicture::buildEffectPanel()
{
    auto* box = new QGroupBox(QStringLiteral("expert"));
    box->setObjectName(QStringLiteral("grpExpert"));
    auto* grid = new QGridLayout(box);
    m_amount = new QSpinBox;
    m_amount->setObjectName(QStringLiteral("edtAmount"));
    m_amount->setRange(-255, 255);
    m_amount->setValue(10);
    grid->addWidget(m_amount, 0, 0, 1, 2);
    m_blendList = new QComboBox;
    m_blendList->setObjectName(QStringLiteral("cmbBlend"));
    m_blendList->setEditable(true);
    m_blendList->addItems({QStringLiteral("blendI.bmp"), QStringLiteral("blendII.bmp")});
    m_blendList->setCurrentText(QStringLiteral("blendII.bmp"));
    grid->addWidget(m_blendList, 1, 0, 1, 2);
    const QStringList names = EffectNames();
    for (int i = 0; i < names.size(); ++i) {
        const QString name = names[i];
        auto* button = new QPushButton(name);
        button->setObjectName(EffectObjectName(name));
        connect(button, &QPushButton::clicked, this, [this, name] { effectClicked(name); });
        grid->addWidget(button, 2 + i / 2, i % 2);
    }
    return box;
}

void TfrmScalePicture::showPicture()
{
    const QImage& picture = m_session.picture();
    m_view->setPicture(picture);
    const QSignalBlocker blockWidth(m_width);
    const QSignalBlocker blockHeight(m_height);
    m_width->setValue(picture.width());
    m_height->setValue(picture.height());
    m_sizeLabel->setText(QStringLiteral("%1 x %2").arg(picture.width()).arg(picture.height()));
    m_undo->setEnabled(m_session.canUndo());
}

void TfrmScalePicture::presetClicked(int index)
{
    if (m_session.scaleToPreset(index, m_stretch->isChecked()))
        showPicture();
}

void TfrmScalePicture::storePresetClicked(int index)
{
    m_session.storePreset(index);
    m_presetButtons[index]->setText(PresetCaption(m_session.presets()[index]));
}

void TfrmScalePicture::widthChanged(int width)
{
    if (m_stretch->isChecked())
        return;
    const QSignalBlocker block(m_height);
    m_height->setValue(m_session.proportionalHeight(width));
}

void TfrmScalePicture::effectClicked(const QString& name)
{
    // Effects on a large photo take a moment.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const auto restore = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
    const bool changed = name == QStringLiteral("blend") ? m_session.blend(m_blendList->currentText(), m_amount->value())
                                                         : m_session.applyEffect(name, m_amount->value());
    if (changed)
        showPicture();
}

void TfrmScalePicture::okClicked()
{
    m_session.savePresets();
    m_result = m_session.saveResult(m_output, m_makeGif);
    if (m_result.isEmpty()) {
        LanternNotice(NL("De afbeelding kon niet bewaard worden"), true);
        return;
    }
    accept();
}
