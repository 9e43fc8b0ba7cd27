#pragma once

#include "lantern/scalesession.h"

#include <QDialog>
#include <QImage>
#include <QPoint>
#include <QWidget>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRubberBand;
class QScrollArea;
class QSpinBox;

// Shows the picture at its real size; dragging a rectangle over it asks for a crop.
class TPictureView : public QWidget
{
    Q_OBJECT

public:
    explicit TPictureView(QWidget* parent = nullptr);
    void setPicture(const QImage& picture);
    QSize sizeHint() const override;

Q_SIGNALS:
    void cropRequested(const QRect& rect);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QImage m_picture;
    QRubberBand* m_band = nullptr;
    QPoint m_origin;
    bool m_dragging = false;
};

// The modal "Scale" window of LetHimScale and LetHimScaleWeb.
class TfrmScalePicture : public QDialog
{
    Q_OBJECT

public:
    TfrmScalePicture(const QString& folder, const QString& file, TScaleSession::Output output, bool makeGif,
                     QWidget* parent = nullptr);

    bool isValid() const { return m_session.isValid(); }
    // "temp" plus extension after Ok; empty when cancelled or not saved.
    QString result() const { return m_result; }
    const TScaleSession& session() const { return m_session; }

private:
    void buildControls();
    QWidget* buildEffectPanel();
    void showPicture();
    void presetClicked(int index);
    void storePresetClicked(int index);
    void widthChanged(int width);
    void effectClicked(const QString& name);
    void okClicked();

    TScaleSession m_session;
    TScaleSession::Output m_output;
    bool m_makeGif;
    QString m_result;

    TPictureView* m_view = nullptr;
    QScrollArea* m_scroll = nullptr;
    QLabel* m_sizeLabel = nullptr;
    QList<QPushButton*> m_presetButtons;
    QCheckBox* m_stretch = nullptr;
    QSpinBox* m_width = nullptr;
    QSpinBox* m_height = nullptr;
    QPushButton* m_undo = nullptr;
    QGroupBox* m_effects = nullptr;
    QSpinBox* m_amount = nullptr;
    QComboBox* m_blendList = nullptr;
};
