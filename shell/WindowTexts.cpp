#include "WindowTexts.h"

#include <QAbstractButton>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QTabWidget>

namespace {

struct Text {
    const char* objectName;
    const char* chinese;
    const char* english;
};

const Text kCaptions[] = {
    {"pushButtonScan", "拍照", "Capture"},
    {"pushButtonAutoScan", "连拍", "Timer capture"},
    {"pushButtonCompose", "双面拍照", "Double capture"},
    {"pushButtonPrint", "打印", "Print"},
    {"pushButtonOCR", "OCR识别", "OCR"},
    {"pushButtonReadIDCard", "身份证读取", "Read ID"},
    {"pushButtonReadBarcode", "条码识别", "Read barcode"},
    {"pushButtonRec", "开始录像", "Record"},
    {"compinfo", "<a href=\"about\" style=\"color:green;\">关于本软件</a>",
     "<a href=\"about\" style=\"color:green;\">About this software</a>"},
    {"labelSnapMode", "<a href=\"snap\">快速抓图</a>", "<a href=\"snap\">Snap mode</a>"},
    {"groupBox", "主摄像头", "Main camera"},
    {"label_6", "分辨率:", "Resolution:"},
    {"pushButtonSetImage", "属性", "Property"},
    {"groupBox_2", "主摄像头", "Main camera"},
    {"label_7", "颜色格式:", "Color fmt:"},
    {"label", "亮度", "Brightness"},
    {"label_8", "曝光", "Exposure"},
    {"checkBoxAutoExp", "自动曝光", "Auto exposure"},
    {"groupBox_4", "水印配置", "Watermark configuration"},
    {"checkBoxWaterMark", "打水印", "Visible"},
    {"pushBtnWaterMark", "设置水印", "Setting"},
    {"label_10", "文件格式:", "File format"},
    {"checkBoxMix", "图像合并", "Image merging"},
    {"radioButtonV", "垂直", "Vertical"},
    {"radioButtonH", "水平", "Horizontal"},
    {"checkBoxAutoCrop", "自动裁切", "Auto crop"},
    {"checkBoxDelBack", "图像增强", "Clean"},
    {"checkBoxSplitCap", "切分拍照", "Split Capture"},
    {"checkBoxFlatten", "展平", "Flatten"},
    {"checkBoxUpright", "自动方向", "Upright"},
    {"label_3", "JPG文件压缩比", "JPG quality"},
    {"groupBox_3", "副摄像头", "Sub camera"},
    {"label_5", "分辨率:", "Resolution:"},
    {"pushButtonSetting2", "属性", "Property"},
    {"groupBox_6", "文件命名", "Naming rules"},
    {"labelFileName", "文件名:", "Prefix"},
    {"labelFileNameCount", "位数:", "Count"},
    {"labelFileNameStep", "步长:", "Step"},
    {"labelFileNameInit", "计数:", "Start"},
    {"groupBox_7", "副头预览", "Camera preview"},
    {"checkBoxPIP", "开启", "Open"},
    {"pushButtonTakePh2", "拍照", "Capture"},
    {"checkBoxInVideo", "并入主画面", "Enter the picture"},
    {"pushButtonSubRec", "开始录像", "Record"},
    {"pushButtonSwitchMainSub", "主副互换", "Switch"},
    {"checkBoxMainSub", "主副合成", "Main + sub"},
    {"pushButtonRecogID", "身份证识别", "ID recognition"},
    {"pushButtonFinger", "指纹识别", "Fingerprint"},
    {"labelMarkMode", "进入展台", "Presentation"},
    {"pushButtonCapturePDF", "PDF拍照", "PDF capture"},
    {"radioButtonDocument", "文档拍摄", "Document"},
    {"radioButtonCredent", "证件拍摄", "ID card"},
    {"checkBoxDenoising", "自动去噪", "Denoise"},
    {"label_2", "分辨率:", "Resolution:"},
};

// The engine keeps the camera's own JPEG when the chosen quality would add nothing to it, so a
// higher setting stops making larger files there.
const char kJpgTipChinese[] =
    "JPG文件压缩比: 数值越大, 画质越好, 文件越大。"
    "达到或超过摄像头自身的画质时, 直接保存摄像头的原图, 文件不会再变大。";
const char kJpgTipEnglish[] =
    "JPG quality: higher values keep more detail in larger files. At or above the camera's own "
    "quality the camera's picture is saved unchanged, so the file does not grow any further.";

const Text kToolTips[] = {
    {"pushButtonDrag", "设置鼠标为拖动模式", "Drag mode"},
    {"pushButtonCut", "设置鼠标为画框模式", "Draw rectangle mode"},
    {"pushButtonRotateLeft", "左转", "Rotate left"},
    {"pushButtonRotateRight", "右转", "Rotate right"},
    {"pushButtonZoomOut", "缩小", "Zoom out"},
    {"pushButtonZoomIn", "放大", "Zoom in"},
    {"pushButtonFullSrn", "重置视频", "Reset video"},
    // These two show only a picture, so the tool tip is all that says what they do.
    {"pushButtonOpenFolder", "目录设置", "Work folder"},
    {"pushButtonVisualizer", "进入展台", "Presentation mode"},
    {"label_3", kJpgTipChinese, kJpgTipEnglish},
    {"horizontalSliderJPG", kJpgTipChinese, kJpgTipEnglish},
    {"label_JPG", kJpgTipChinese, kJpgTipEnglish},
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

QWidget* named(QDialog* window, const char* name) {
    return window->findChild<QWidget*>(QString::fromLatin1(name));
}

void setTitleTexts(QDialog* window, int flag) {
    const QString title =
        flag == 0 ? QStringLiteral("高拍仪软件") : QStringLiteral("Document scanner");
    window->setWindowTitle(title);
    setCaption(named(window, "lab_Title"), title);
    auto* tabs = window->findChild<QTabWidget*>(QStringLiteral("tabWidget"));
    tabs->setTabText(tabs->indexOf(named(window, "tab")),
                     flag == 0 ? QStringLiteral("普通") : QStringLiteral("Ordinary"));
    tabs->setTabText(tabs->indexOf(named(window, "tab_2")),
                     flag == 0 ? QStringLiteral("高级") : QStringLiteral("Advanced"));
}

} // namespace

void applyWindowTexts(QDialog* window, int flag) {
    setTitleTexts(window, flag);
    for (const Text& text : kCaptions)
        setCaption(named(window, text.objectName), pick(text, flag));
    for (const Text& text : kToolTips)
        named(window, text.objectName)->setToolTip(pick(text, flag));
}
