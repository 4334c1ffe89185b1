#pragma once

#include <QDialog>

#include <functional>

namespace Ui {
class QSetUIDlg;
}

// Six colour swatches, one per skin: a click applies that skin and closes the dialog.
class QSetUIDlg : public QDialog {
    Q_OBJECT

public:
    using ApplySkin = std::function<void(int index)>;

    explicit QSetUIDlg(ApplySkin applySkin, QWidget* parent = nullptr);
    ~QSetUIDlg() override;

    // Opens the dialog in `language` and returns when it is closed.
    static void choose(int language, ApplySkin applySkin);

    void applyLanguage(int flag);

public slots:
    void onChocolate();
    void onBlue();
    void onMGreen();
    void onGreen();
    void onPink();
    void onBrown();

private:
    void pick(int index);

    Ui::QSetUIDlg* ui;
    ApplySkin m_applySkin;
};
