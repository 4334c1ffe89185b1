#pragma once

#include "ZoApi.h"

#include <QColor>
#include <QDialog>
#include <QSize>

struct Settings;

namespace Ui {
class ProfileName;
}

// The watermark window: text, font, colour, opacity, angle, date, and where the mark goes. Made
// once, hidden, and shown without blocking the main window. Font, angle, place and mode go to the
// settings at once; text, colour, date flag, opacity and offsets live in the widgets until
// storeSettings() at exit. OK asks for the mark to be applied; neither button reverts anything.
class ProfileName : public QDialog {
    Q_OBJECT

public:
    ProfileName(Settings& settings, QWidget* parent);
    ~ProfileName() override;

    // 0 Chinese, 1 English; any other flag keeps the texts.
    void applyLanguage(int flag);
    // The record handed to the engine; `frame` is the main camera's frame size, which the
    // offsets are taken of.
    void FillWaterMarkParam(_WATERMARKPARAM& record, QSize frame) const;
    bool addsDate() const;
    // The values that live in the widgets, into the settings.
    void storeSettings() const;

signals:
    void okClicked();

private slots:
    void onSetFont();
    void onSetColor();
    void onRadioPos();
    void onRadioFixPos();
    void onOpacChanged(int value);
    void onAncChanged(int value);
    void onHoriChanged(int value);
    void onVertiChanged(int value);
    void onOK();
    void onCancel();
    void onradioButton_LT();
    void onradioButton_RT();
    void onradioButton_RB();
    void onradioButton_LB();
    void onradioButton_M();

private:
    void connectSlots();
    void restoreMode();
    void restorePlace();
    void showColor();
    void showPreview(const QString& family);
    int fontSizeOfRecord() const;
    int checkedPlace() const;

    Settings& m_settings;
    Ui::ProfileName* ui;
    QColor m_color;
};
