#include "MainForm.h"

#include "ui_MainForm.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>

namespace {

struct Text {
    QWidget* widget;
    const char* chinese;
    const char* english;
};

// Sets the caption the widget shows: a button's or label's text, a group box's title.
void setCaption(QWidget* widget, const QString& text) {
    if (auto* button = qobject_cast<QAbstractButton*>(widget))
        button->setText(text);
    else if (auto* label = qobject_cast<QLabel*>(widget))
        label->setText(text);
    else if (auto* group = qobject_cast<QGroupBox*>(widget))
        group->setTitle(text);
}

QString pick(const Text& text, int flag) {
    return QString::fromUtf8(flag == 0 ? text.chinese : text.english);
}

} // namespace

void MainForm::onChinese() {
    applyLanguage(0);
}

void MainForm::onEnglish() {
    applyLanguage(1);
}

// Any flag but 0 and 1 keeps the texts; the layout and the strip follow the flag in every case.
void MainForm::applyLanguage(int flag) {
    m_language = flag;
    if (flag == 0 || flag == 1) {
        setTitleTexts(flag);
        setControlTexts(flag);
        connect(ui->labelSnapMode, SIGNAL(linkActivated(QString)), this,
                SLOT(switch2SnapMode(QString)), Qt::UniqueConnection);
        connect(ui->compinfo, SIGNAL(linkActivated(QString)), this, SLOT(onAbout()),
                Qt::UniqueConnection);
        InitPixtype();
        InitNameRule();
    }
    InitFmt();
    layoutBottomRow();
    if (m_thumbnails.isLoaded())
        m_thumbnails.setLanguage(flag);
}

void MainForm::setTitleTexts(int flag) {
    const QString title =
        flag == 0 ? QStringLiteral("高拍仪软件") : QStringLiteral("Document scanner");
    setWindowTitle(title);
    ui->lab_Title->setText(title);
    if (m_menu != nullptr) {
        m_actionSkin->setText(flag == 0 ? QStringLiteral("换肤") : QStringLiteral("Change skin"));
        m_actionSetting->setText(flag == 0 ? QStringLiteral("设置") : QStringLiteral("Settings"));
        m_actionAbout->setText(flag == 0 ? QStringLiteral("关于") : QStringLiteral("About"));
    }
    ui->tabWidget->setTabText(ui->tabWidget->indexOf(ui->tab),
                              flag == 0 ? QStringLiteral("普通") : QStringLiteral("Ordinary"));
    ui->tabWidget->setTabText(ui->tabWidget->indexOf(ui->tab_2),
                              flag == 0 ? QStringLiteral("高级") : QStringLiteral("Senior"));
}

void MainForm::setControlTexts(int flag) {
    const Text captions[] = {
        {ui->pushButtonScan, "拍照", "Capture"},
        {ui->pushButtonAutoScan, "连拍", "Timer capture"},
        {ui->pushButtonCompose, "双面拍照", "Double capture"},
        {ui->pushButtonPrint, "打印", "Print"},
        {ui->pushButtonOCR, "OCR识别", "OCR"},
        {ui->pushButtonReadIDCard, "身份证读取", "Read ID"},
        {ui->pushButtonReadBarcode, "条码识别", "Read barcode"},
        {ui->pushButtonRec, "开始录像", "Record"},
        {ui->compinfo, "<a href=\"about\" style=\"color:green;\">关于本软件</a>",
         "<a href=\"about\" style=\"color:green;\">About this software</a>"},
        {ui->labelSnapMode, "<a href=\"snap\">快速抓图</a>", "<a href=\"snap\">Snapmode</a>"},
        {ui->groupBox, "主摄像头", "Main camera"},
        {ui->label_6, "分辨率:", "Resolution:"},
        {ui->pushButtonSetImage, "属性", "Property"},
        {ui->groupBox_2, "主摄像头", "Main camera"},
        {ui->label_7, "颜色格式:", "Color fmt:"},
        {ui->label, "亮度", "Brightness"},
        {ui->label_8, "曝光", "Exposure"},
        {ui->checkBoxAutoExp, "自动曝光", "Auto exposure"},
        {ui->groupBox_4, "水印配置", "Watermark configuration"},
        {ui->checkBoxWaterMark, "打水印", "Visible"},
        {ui->pushBtnWaterMark, "设置水印", "Setting"},
        {ui->label_10, "文件格式:", "File format"},
        {ui->checkBoxMix, "图像合并", "Image merging"},
        {ui->radioButtonV, "垂直", "Vertical"},
        {ui->radioButtonH, "水平", "Horizontal"},
        {ui->checkBoxAutoCrop, "自动裁切", "Auto crop"},
        {ui->checkBoxDelBack, "图像增强", "Clean"},
        {ui->checkBoxSplitCap, "切分拍照", "Split Capture"},
        {ui->label_3, "JPG文件压缩比", "JPG quality"},
        {ui->groupBox_3, "副摄像头", "Vice camera"},
        {ui->label_5, "分辨率:", "Resolution:"},
        {ui->pushButtonSetting2, "属性", "Property"},
        {ui->groupBox_6, "文件命名", "Naming rules"},
        {ui->labelFileName, "文件名:", "Prefix"},
        {ui->labelFileNameCount, "位数:", "Count"},
        {ui->labelFileNameStep, "步长:", "Step"},
        {ui->labelFileNameInit, "计数:", "Start"},
        {ui->groupBox_7, "副头预览", "Radiation head Preview"},
        {ui->checkBoxPIP, "开启", "Open"},
        {ui->pushButtonTakePh2, "拍照", "Capture"},
        {ui->checkBoxInVideo, "并入主画面", "Enter the picture"},
        {ui->pushButtonSubRec, "开始录像", "Record"},
        {ui->pushButtonSwitchMainSub, "主副互换", "Switch"},
    };
    for (const Text& text : captions)
        setCaption(text.widget, pick(text, flag));

    const Text toolTips[] = {
        {ui->pushButtonDrag, "设置鼠标为拖动模式", "Drag mode"},
        {ui->pushButtonCut, "设置鼠标为画框模式", "Draw rectangle mode"},
        {ui->pushButtonRotateLeft, "左转", "Rotate left"},
        {ui->pushButtonRotateRight, "右转", "Rotate right"},
        {ui->pushButtonZoomOut, "缩小", "Zoom out"},
        {ui->pushButtonZoomIn, "放大", "Zoom in"},
        {ui->pushButtonFullSrn, "重置视频", "Reset video"},
    };
    for (const Text& text : toolTips)
        text.widget->setToolTip(pick(text, flag));
}
