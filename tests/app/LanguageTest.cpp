#include "CameraFixture.h"

#include "PanelItems.h"
#include "QPanel.h"
#include "QVisualizer.h"
#include "TesoLiveApi.h"
#include "ZoApi.h"
#include "support/QtMessages.h"
#include "support/SoundServer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScreen>
#include <QStyle>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolTip>
#include <QtTest/QTest>

#include <algorithm>
#include <functional>
#include <vector>

namespace {

using namespace app_test;

// A widget's text in Chinese and English. No English means the text stays Chinese in both
// languages; kValue marks a text that shows a value (a number, a glyph, a progress line).
struct Text {
    const char* object;
    const char* chinese;
    const char* english = nullptr;
};
constexpr const char* kValue = "\x01";

// What one window shows: its title, the caption of every control that has one, and every
// tool tip. A window added later adds its table here.
struct WindowTexts {
    const char* object;
    Text title;
    std::vector<Text> captions;
    std::vector<Text> toolTips;
};

const char kJpgZh[] = "JPG文件压缩比: 数值越大, 画质越好, 文件越大。"
                      "达到或超过摄像头自身的画质时, 直接保存摄像头的原图, 文件不会再变大。";
const char kJpgEn[] =
    "JPG quality: higher values keep more detail in larger files. At or above the camera's own "
    "quality the camera's picture is saved unchanged, so the file does not grow any further.";

const std::vector<WindowTexts> kWindows = {
    {"MainForm",
     {"", "高拍仪软件", "Document scanner"},
     {{"lab_Title", "高拍仪软件", "Document scanner"},
      {"lab_Ico", kValue},
      {"btnMenu", kValue},
      {"btnMenu_Min", kValue},
      {"btnMenu_Max", kValue},
      {"btnMenu_Close", kValue},
      {"pushButtonScan", "拍照", "Capture"},
      {"pushButtonAutoScan", "连拍", "Timer capture"},
      {"pushButtonCompose", "双面拍照", "Double capture"},
      {"pushButtonPrint", "打印", "Print"},
      {"pushButtonOCR", "OCR识别", "OCR"},
      {"pushButtonReadIDCard", "身份证读取", "Read ID"},
      {"pushButtonReadBarcode", "条码识别", "Read barcode"},
      {"pushButtonCapturePDF", "PDF拍照", "PDF capture"},
      {"pushButtonRec", "开始录像", "Record"},
      {"compinfo", "<a href=\"about\" style=\"color:green;\">关于本软件</a>",
       "<a href=\"about\" style=\"color:green;\">About this software</a>"},
      {"labelMarkMode", "进入展台", "Presentation"},
      {"labelSnapMode", "<a href=\"snap\">快速抓图</a>", "<a href=\"snap\">Snap mode</a>"},
      {"groupBox", "主摄像头", "Main camera"},
      {"label_6", "分辨率:", "Resolution:"},
      {"pushButtonSetImage", "属性", "Property"},
      {"groupBox_2", "主摄像头", "Main camera"},
      {"label_7", "颜色格式:", "Color fmt:"},
      {"label", "亮度", "Brightness"},
      {"label_Bright", kValue},
      {"label_8", "曝光", "Exposure"},
      {"label_Expos", kValue},
      {"checkBoxAutoExp", "自动曝光", "Auto exposure"},
      {"radioButtonDocument", "文档拍摄", "Document"},
      {"radioButtonCredent", "证件拍摄", "ID card"},
      {"groupBox_4", "水印配置", "Watermark configuration"},
      {"checkBoxWaterMark", "打水印", "Visible"},
      {"pushBtnWaterMark", "设置水印", "Setting"},
      {"label_11", "DPI:"},
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
      {"label_JPG", kValue},
      {"label_2", "分辨率:", "Resolution:"},
      {"groupBox_3", "副摄像头", "Sub camera"},
      {"label_5", "分辨率:", "Resolution:"},
      {"pushButtonSetting2", "属性", "Property"},
      {"checkBoxDenoising", "自动去噪", "Denoise"},
      {"groupBox_6", "文件命名", "Naming rules"},
      {"labelFileName", kValue}, // follows the naming rule: "Prefix:" or "File name:"
      {"labelFileNameCount", "位数:", "Count"},
      {"labelFileNameStep", "步长:", "Step"},
      {"labelFileNameInit", "计数:", "Start"},
      {"pushButtonRecogID", "身份证识别", "ID recognition"},
      {"pushButtonFinger", "指纹识别", "Fingerprint"},
      {"groupBox_7", "副头预览", "Camera preview"},
      {"checkBoxPIP", "开启", "Open"},
      {"pushButtonTakePh2", "拍照", "Capture"},
      {"checkBoxInVideo", "并入主画面", "Enter the picture"},
      {"pushButtonSubRec", "开始录像", "Record"},
      {"pushButtonSwitchMainSub", "主副互换", "Switch"},
      {"checkBoxMainSub", "主副合成", "Main + sub"}},
     {{"btnMenu", "菜单", "Menu"},
      {"btnMenu_Min", "最小化", "Minimize"},
      {"btnMenu_Max", "最大化", "Maximize"},
      {"btnMenu_Close", "关闭", "Close"},
      {"pushButtonDrag", "设置鼠标为拖动模式", "Drag mode"},
      {"pushButtonCut", "设置鼠标为画框模式", "Draw rectangle mode"},
      {"pushButtonRotateLeft", "左转", "Rotate left"},
      {"pushButtonRotateRight", "右转", "Rotate right"},
      {"pushButtonZoomOut", "缩小", "Zoom out"},
      {"pushButtonZoomIn", "放大", "Zoom in"},
      {"pushButtonFullSrn", "重置视频", "Reset video"},
      {"pushButtonOpenFolder", "目录设置", "Work folder"},
      {"pushButtonVisualizer", "进入展台", "Presentation mode"},
      {"label_3", kJpgZh, kJpgEn},
      {"horizontalSliderJPG", kJpgZh, kJpgEn},
      {"label_JPG", kJpgZh, kJpgEn}}},
    {"QMultiCapDialog",
     {"", "连拍", "Multiple capture"},
     {{"groupBox_2", "连拍方式", "Capture mode"},
      {"radioButtonTimer", "定时连拍", "Timed capturing"},
      {"radioButtonSmart", "智能连拍", "Smart capturing"},
      {"radioButtonBook", "书本", "Book"},
      {"groupBoxTimerSetting", "定时设置", "Timed settings"},
      {"label_2", "拍照间隔:", "Interval:"},
      {"label_3", "秒", "s"},
      {"label_5", "拍照张数", "Count"},
      {"label_4", "张", "Pages"},
      {"labelCapCount", kValue},
      {"pushButtonRemoveSpread", "删除上一页", "Remove last spread"},
      {"pushButtonRetakeSpread", "重拍", "Re-take"},
      {"pushButtonStart", "启动", "Start"}},
     {}},
    {"ProfileName",
     {"", "水印设置", "Watermark setting"},
     {{"groupBox", "水印信息", "Information"},
      {"pushButtonFont", "字体", "Font"},
      {"labelFont", kValue},
      {"pushButtonColor", "颜色", "Color"},
      {"label", "透明度", "Opacity"},
      {"labelPercent", kValue},
      {"label_7", "旋转角度", "Rotation angle"},
      {"labelPercent_AN", kValue},
      {"checkBoxTime", "添加时间", "Add date"},
      {"radioButton", "小字", "Small"},
      {"radioButton_2", "中字", "Middle"},
      {"radioButton_3", "大字", "Large"},
      {"groupBox_2", "水印位置", "Location"},
      {"radioButtonPos", "垂直水平定位", "Coordinate"},
      {"radioButtonFixPos", "固定位置", "Fixed position"},
      {"groupBox_4", "坐标", "Coordinate"},
      {"label_3", "水平偏移", "Horizontal offset"},
      {"labelPercent_H", kValue},
      {"label_4", "%"},
      {"label_5", "垂直偏移", "Vertical offset"},
      {"labelPercent_V", kValue},
      {"label_6", "%"},
      {"groupBox_3", "固定位置", "Fixed position"},
      {"radioButton_LT", "左上角", "Left-top corner"},
      {"radioButton_RT", "右上角", "Right-top corner"},
      {"radioButton_RB", "右下角", "Right-bottom corner"},
      {"radioButton_LB", "左下角", "Left-bottom corner"},
      {"radioButton_M", "中间", "Middle"},
      {"pushButtonOK", "确定", "OK"},
      {"pushButtonCancel", "取消", "Cancel"}},
     {}},
    {"QBarcodeResultDlg",
     {"", "条码识别结果显示(支持一维码和二维码)", "Barcode results (1D and 2D codes)"},
     {{"pushButtonExport", "导出", "Export"}, {"pushButtonClose", "关闭", "Close"}},
     {}},
    {"QOCRResultDlg",
     {"", "OCR识别结果", "OCR results"},
     {{"pushButtonSave", "保存", "Save"}, {"labelSaved", kValue}},
     {{"labelSaved", kValue}}},
    // The presentation window's toolbar keeps hidden buttons whose texts are never seen.
    {"QVisualizer",
     {"", "QVisualizer"},
     {{"pushButtonPen", "画笔"},
      {"pushButtonTrangle", "三角形"},
      {"pushButtonEllipse", "椭圆"},
      {"pushButtonRect", "矩形"},
      {"pushButtonOpcity", "透明度"},
      {"pushButtonLineWidth", "线宽"},
      {"pushButtonColor", "颜色"},
      {"pushButtonReturn", "返回"},
      {"pushButtonEraser", "橡皮擦"},
      {"pushButtonQuit", "退出"},
      {"pushButtonMouse", "鼠标"},
      {"pushButtonClear", "清除"},
      {"pushButtonLine", "直线"},
      {"pushButtonArrow", "箭头"}},
     {}},
    {"QSnapWidget", {"", "QSnapWidget"}, {}, {}},
    {"QFingerShowDlg",
     {"", "指纹识别", "Fingerprint"},
     {{"label", "姓  名:", "Name:"},
      {"pushButton", "指纹采集", "Enrol finger"},
      {"pushButton_2", "指纹比对", "Identify finger"}},
     {}},
};

// The dialogs the window opens and waits for: the annotation toolbar's line width and opacity,
// and the menu's skin, settings and about dialogs.
const std::vector<WindowTexts> kDialogs = {
    {"QLineWidthDlg",
     {"", "设置线宽", "Set line width"},
     {{"label", "线宽:", "Line width"},
      {"pushButtonOK", "确认", "OK"},
      {"pushButtonCancel", "取消", "Cancel"}},
     {}},
    {"QSetOpcityDlg",
     {"", "设置透明度:", "Set opacity"},
     {{"label", "透明度:", "Opacity"},
      {"labelOpcity", kValue},
      {"pushButtonOK", "确认", "OK"},
      {"pushButtonCancel", "取消", "Cancel"}},
     {}},
    {"QSetUIDlg",
     {"", "界面设置", "Skin setting"},
     {{"label", "请点击按钮设置选择相应的界面",
       "Please click on the button to select the appropriate interface."}},
     {}},
    {"QSettingDlg",
     {"", "设置", "Settings"},
     {{"groupBox", "录像设置", "Record settings"},
      {"label", "麦克风:", "Microphone:"},
      {"groupBox_2", "缩放设置", "Resize"},
      {"checkBoxResize", "是否缩放", "Resize captures"},
      {"label_2", "缩放比率:", "Ratio:"},
      {"groupBox_3", "OCR生成结果", "OCR results"},
      {"label_3", "导出为:", "Save as:"}},
     {}},
    {"QAboutDlg",
     {"", "关于高拍仪软件", "About Document scanner"},
     {{"label", "欢迎使用高拍仪软件", "Welcome to Document scanner"},
      {"label_5", kValue},
      {"label_9", kValue},
      {"labelURL_2", kValue}},
     {}},
};

bool hasChinese(const QString& text) {
    return std::any_of(text.begin(), text.end(),
                       [](QChar c) { return c.unicode() >= 0x4e00 && c.unicode() <= 0x9fff; });
}

// Texts a user sees cut off: a caption wider than the room its control gives it. Labels that
// wrap, or show markup, lay themselves out.
QStringList cutShort(const QWidget& window) {
    QStringList found;
    for (const QWidget* widget : window.findChildren<QWidget*>()) {
        if (widget->window() != &window || !widget->isVisibleTo(&window) ||
            widget->geometry().isEmpty())
            continue; // label_2 of the main window has no size: nothing of it is seen
        const QStyle* style = widget->style();
        QString text;
        int room = widget->width();
        if (const auto* label = qobject_cast<const QLabel*>(widget)) {
            if (label->wordWrap() || label->text().contains('<'))
                continue;
            text = label->text();
            room = label->contentsRect().width();
        } else if (qobject_cast<const QCheckBox*>(widget) ||
                   qobject_cast<const QRadioButton*>(widget)) {
            text = static_cast<const QAbstractButton*>(widget)->text();
            room -= style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, widget) +
                    style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, widget);
        } else if (const auto* button = qobject_cast<const QPushButton*>(widget)) {
            text = button->text();
            room -= 8;
        } else if (const auto* group = qobject_cast<const QGroupBox*>(widget)) {
            text = group->title();
            room -= 16;
        }
        text.remove('&');
        if (!text.isEmpty() && widget->fontMetrics().horizontalAdvance(text) > room)
            found << QStringLiteral("%1 cuts \"%2\" (%3 of %4 pixels)")
                         .arg(widget->objectName(), text)
                         .arg(widget->fontMetrics().horizontalAdvance(text))
                         .arg(room);
    }
    return found;
}

QString expected(const Text& text, int flag) {
    return QString::fromUtf8(flag == 1 && text.english != nullptr ? text.english : text.chinese);
}

const Text* find(const std::vector<Text>& table, const QString& object) {
    for (const Text& text : table)
        if (object == QLatin1String(text.object))
            return &text;
    return nullptr;
}

bool caption(const QWidget* widget, QString* text) {
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget))
        *text = button->text();
    else if (const auto* label = qobject_cast<const QLabel*>(widget))
        *text = label->text();
    else if (const auto* group = qobject_cast<const QGroupBox*>(widget))
        *text = group->title();
    else
        return false;
    return true;
}

// Every widget of the window (not of the windows it owns) whose caption or tool tip differs
// from its table, or that shows a text the table does not know.
QStringList differences(const QWidget& window, const WindowTexts& table, int flag) {
    QStringList found;
    const auto differ = [&](const QString& what, const QString& shown, const QString& wanted) {
        if (shown != wanted)
            found << QStringLiteral("%1: \"%2\" instead of \"%3\"").arg(what, shown, wanted);
    };
    differ(QStringLiteral("title"), window.windowTitle(), expected(table.title, flag));
    for (const QWidget* widget : window.findChildren<QWidget*>()) {
        if (widget->window() != &window)
            continue;
        const QString name = widget->objectName();
        QString shown;
        if (caption(widget, &shown)) {
            const Text* text = find(table.captions, name);
            if (text == nullptr && !shown.isEmpty())
                found << QStringLiteral("%1: unlisted text \"%2\"").arg(name, shown);
            else if (text != nullptr && text->chinese != kValue)
                differ(name, shown, expected(*text, flag));
        }
        const Text* tip = find(table.toolTips, name);
        if (tip == nullptr && !widget->toolTip().isEmpty())
            found << QStringLiteral("%1: unlisted tool tip \"%2\"").arg(name, widget->toolTip());
        else if (tip != nullptr && tip->chinese != kValue)
            differ(name + QStringLiteral(" tool tip"), widget->toolTip(), expected(*tip, flag));
    }
    return found;
}

// Controls that lie outside their group or on one another: what a panel squeezed below its
// layout's minimum shows (the layout then takes the missing height from the largest items).
QStringList crowded(const QWidget& parent) {
    QStringList found;
    QList<const QWidget*> placed;
    for (const QWidget* part : parent.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (!part->isVisible() || part->isWindow() || part->geometry().isEmpty())
            continue; // label_2 has no size
        const QString name = part->objectName();
        if (!parent.rect().contains(part->geometry()))
            found << name + QStringLiteral(" leaves ") + parent.objectName();
        for (const QWidget* other : placed)
            if (part->geometry().intersects(other->geometry()))
                found << name + QStringLiteral(" lies on ") + other->objectName();
        placed << part;
        found << crowded(*part);
    }
    return found;
}

class LanguageTest : public CameraTest {
protected:
    static void SetUpTestSuite() { s_sound = new testing_support::SoundServer; }
    static void TearDownTestSuite() {
        delete s_sound;
        s_sound = nullptr;
    }

    static testing_support::SoundServer* s_sound;
};

testing_support::SoundServer* LanguageTest::s_sound = nullptr;

// The main window and every window of the program, switched there and back while the
// modeless ones are open; the tabs follow too.
TEST_F(LanguageTest, EveryWindowShowsItsOwnTextsInBothLanguages) {
    auto form = makeFormWith(2);
    button(*form, "pushBtnWaterMark")->click();
    button(*form, "pushButtonAutoScan")->click();
    auto* tabs = control<QTabWidget>(*form, "tabWidget");
    for (const int flag : {1, 0, 1}) {
        form->applyLanguage(flag);
        for (const WindowTexts& table : kWindows) {
            const QWidget* window = nullptr;
            for (const QWidget* widget : QApplication::allWidgets())
                if (widget->isWindow() && widget->objectName() == QLatin1String(table.object))
                    window = widget;
            ASSERT_NE(window, nullptr) << table.object;
            const QStringList found = differences(*window, table, flag);
            EXPECT_TRUE(found.isEmpty()) << table.object << " in language " << flag << ":\n"
                                         << found.join('\n').toStdString();
        }
        EXPECT_EQ(tabs->tabText(0), flag == 0 ? QStringLiteral("普通") : "Ordinary");
        EXPECT_EQ(tabs->tabText(1), flag == 0 ? QStringLiteral("高级") : "Advanced");
    }
}

// Every window and dialog of the program, in both languages, as a user opens them: each shows the
// texts of its table and no Chinese in the English window, and no caption is cut short. Both
// tabs of the main window are looked at, the windows beside it are shown, and the modal dialogs
// are answered while they are open.
TEST_F(LanguageTest, EveryDialogSpeaksTheWindowsLanguageAndHoldsItsTexts) {
    auto form = makeFormWith(2);
    button(*form, "pushBtnWaterMark")->click();
    button(*form, "pushButtonAutoScan")->click();
    QVisualizer* visualizer = nullptr;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (auto* found = qobject_cast<QVisualizer*>(window))
            visualizer = found;
    ASSERT_NE(visualizer, nullptr);
    const QList<QAction*> menu = control<QPushButton>(*form, "btnMenu")->menu()->actions();
    const std::vector<std::function<void()>> open = {
        [&] { visualizer->panel()->onItem(panel::kLineWidth); },
        [&] { visualizer->panel()->onItem(panel::kOpacity); }, [&] { menu.at(0)->trigger(); },
        [&] { menu.at(1)->trigger(); },
        [&] {
            menu.at(2)->trigger();
        }};
    const auto check = [](const QWidget& window, const WindowTexts& table, int flag) {
        QStringList faults = differences(window, table, flag) + cutShort(window);
        for (const QWidget* widget : window.findChildren<QWidget*>()) {
            QString shown;
            if (flag == 1 && widget->window() == &window && widget->isVisibleTo(&window) &&
                caption(widget, &shown) && hasChinese(shown + widget->toolTip()))
                faults << widget->objectName() + QStringLiteral(" speaks Chinese: ") + shown;
        }
        if (flag == 1 && hasChinese(window.windowTitle()))
            faults << QStringLiteral("the title speaks Chinese");
        EXPECT_TRUE(faults.isEmpty()) << table.object << " in language " << flag << ":\n"
                                      << faults.join('\n').toStdString();
    };
    auto* tabs = control<QTabWidget>(*form, "tabWidget");
    for (const int flag : {0, 1}) {
        form->applyLanguage(flag);
        for (const char* page : {"tab", "tab_2"}) {
            tabs->setCurrentWidget(control<QWidget>(*form, page));
            QApplication::processEvents();
            check(*form, kWindows[0], flag);
        }
        // The windows that stay open beside it; the presentation layers show pictures only.
        for (const WindowTexts& table : kWindows) {
            const QLatin1String name(table.object);
            if (name == "MainForm" || name == "QVisualizer" || name == "QSnapWidget")
                continue;
            QWidget* window = nullptr;
            for (QWidget* widget : QApplication::topLevelWidgets())
                if (widget->objectName() == name)
                    window = widget;
            ASSERT_NE(window, nullptr) << table.object;
            const bool shown = window->isVisible();
            window->show();
            QApplication::processEvents();
            check(*window, table, flag);
            if (!shown)
                window->hide();
        }
        for (std::size_t i = 0; i < kDialogs.size(); ++i) {
            bool seen = false;
            QTimer::singleShot(0, [&, i] {
                QWidget* dialog = QApplication::activeModalWidget();
                ASSERT_NE(dialog, nullptr) << kDialogs[i].object;
                EXPECT_EQ(dialog->objectName(), QLatin1String(kDialogs[i].object));
                check(*dialog, kDialogs[i], flag);
                seen = true;
                dialog->close();
            });
            open[i]();
            EXPECT_TRUE(seen) << kDialogs[i].object;
        }
    }
}

// A switch while a recording and a multi-capture run are on, after choices and a capture: the
// lists keep their entries in the new words without telling the engine again, the counter
// stays, and each running thing shows the new language's stop text, which stops it.
TEST_F(LanguageTest, SwitchKeepsChoicesCountersAndWhatIsRunning) {
    ASSERT_TRUE(s_sound->running()) << s_sound->error().toStdString();
    auto form = makeFormWith(2, "OpenSub=1\nAudioIndex=0\n");
    ASSERT_TRUE(waitForVideo(*form));
    combo(*form, "comboBoxColor")->setCurrentIndex(2);
    combo(*form, "comboBoxFmt")->setCurrentIndex(3);
    combo(*form, "comboBoxNameRule")->setCurrentIndex(3);
    combo(*form, "comboBoxRes")->setCurrentIndex(1);
    button(*form, "pushButtonScan")->click();
    const QString counter = control<QLineEdit>(*form, "lineEditFileNameInit")->text();

    QAbstractButton* record = button(*form, "pushButtonSubRec");
    record->click();
    ASSERT_EQ(record->text(), "Stop");
    button(*form, "pushButtonAutoScan")->click();
    auto* multi = form->findChild<QWidget*>("QMultiCapDialog");
    multi->findChild<QAbstractButton*>("radioButtonSmart")->click();
    auto* start = multi->findChild<QAbstractButton*>("pushButtonStart");
    start->click();
    ASSERT_EQ(start->text(), "Stop");

    const QList<std::pair<const char*, int>> lists = {{"comboBoxDev", form->mainCamera()},
                                                      {"comboBoxRes", 1},
                                                      {"comboBoxColor", 2},
                                                      {"comboBoxFmt", 3},
                                                      {"comboBoxNameRule", 3},
                                                      {"comboBoxDev_2", 0}};
    const int from = traceLines().size();
    form->applyLanguage(0);
    for (const auto& [name, entry] : lists)
        EXPECT_EQ(combo(*form, name)->currentIndex(), entry) << name;
    EXPECT_EQ(combo(*form, "comboBoxColor")->currentText(), QStringLiteral("黑白"));
    EXPECT_EQ(combo(*form, "comboBoxNameRule")->currentText(), QStringLiteral("自定义"));
    EXPECT_EQ(control<QLineEdit>(*form, "lineEditFileNameInit")->text(), counter);
    for (const QString& call : callsSince(from))
        EXPECT_FALSE(call.startsWith("ZoSetResolution") || call.startsWith("ZoOpenCamera") ||
                     call.startsWith("ZoStartRecord") || call.startsWith("ZoSetAutoCap("))
            << call.toStdString();
    EXPECT_EQ(record->text(), QStringLiteral("停止录像"));
    EXPECT_EQ(start->text(), QStringLiteral("停止"));

    form->applyLanguage(1);
    for (const auto& [name, entry] : lists)
        EXPECT_EQ(combo(*form, name)->currentIndex(), entry) << name;
    EXPECT_EQ(combo(*form, "comboBoxColor")->currentText(), "Black and white");

    const int stopping = traceLines().size();
    record->click();
    start->click();
    EXPECT_EQ(record->text(), "Record");
    EXPECT_EQ(start->text(), "Start");
    const QStringList calls = callsSince(stopping);
    EXPECT_FALSE(calls.filter(QRegularExpression("^ZoStopRecordQueued\\(1, ")).isEmpty())
        << calls.join(' ').toStdString();
    EXPECT_TRUE(calls.contains("ZoSetAutoCap(0, false)")) << calls.join(' ').toStdString();
}

// At several widths from the smallest the window allows, in both languages: the five command
// buttons lie inside the window in their order, apart from each other and from the picture
// buttons beside them, and their words fit; the panel's groups do not overlap; a list too
// narrow for its entry shows it whole in its tool tip; no button takes Enter or the focus.
TEST_F(LanguageTest, WindowHoldsItsTextsFromTheSmallestSizeUp) {
    // The offscreen platform cannot raise a window: the sub camera's and the tool tip's.
    const testing_support::ExpectQtWarning noRaise(QStringLiteral("does not support raise()"));
    // Both readers answer, so every command the window has is shown.
    QTemporaryDir fingers;
    setenv("CAMCORE_VIRTUAL_IDCARD", "card.txt", 1);
    setenv(TESOLIVE_VIRTUAL_FINGER_ENV, QFile::encodeName(fingers.path()).constData(), 1);
    auto form = makeFormWith(2, "OpenSub=1\n");
    unsetenv("CAMCORE_VIRTUAL_IDCARD");
    unsetenv(TESOLIVE_VIRTUAL_FINGER_ENV);
    for (const char* command : {"pushButtonReadBarcode", "pushButtonRec", "pushButtonRecogID",
                                "labelSnapMode", "pushButtonReadIDCard", "pushButtonFinger"})
        EXPECT_FALSE(control<QWidget>(*form, command)->isHidden()) << command;
    const char* row[] = {"pushButtonOCR", "pushButtonPrint", "pushButtonCompose",
                         "pushButtonAutoScan", "pushButtonScan"};
    // The window's minimum width is the narrowest at which both rows fit, unless the screen is
    // narrower still (the offscreen screen is 800 pixels wide): check from that width up.
    const QSize screen = QGuiApplication::primaryScreen()->availableGeometry().size();
    const QSize smallest(880, form->minimumHeight());
    EXPECT_EQ(form->minimumWidth(), std::min(smallest.width(), screen.width()));
    for (const int flag : {0, 1}) {
        form->applyLanguage(flag);
        for (const int width : {smallest.width(), smallest.width() + 37, 1200, 1601}) {
            form->resize(width, smallest.height());
            ASSERT_EQ(form->width(), width);
            const QRect window = form->rect();
            QRect previous;
            for (const char* name : row) {
                auto* command = control<QPushButton>(*form, name);
                const QRect place = command->geometry();
                EXPECT_TRUE(window.contains(place)) << name << " at width " << width;
                if (!previous.isNull()) {
                    EXPECT_GT(place.left(), previous.right()) << name << " at width " << width;
                }
                for (const char* side : {"pushButtonOpenFolder", "pushButtonVisualizer"})
                    EXPECT_FALSE(place.intersects(control<QWidget>(*form, side)->geometry()))
                        << name << " meets " << side << " at width " << width;
                EXPECT_LE(command->fontMetrics().horizontalAdvance(command->text()) + 8,
                          place.width())
                    << name;
                previous = place;
            }
        }
        // The second tab with the sub camera's controls shown is the tallest page; each skin
        // draws its own frames and indicators.
        for (int skin = 1; skin <= 6; ++skin) {
            form->applySkin(skin);
            for (const char* page : {"tab", "tab_2"}) {
                auto* tabs = control<QTabWidget>(*form, "tabWidget");
                tabs->setCurrentWidget(control<QWidget>(*form, page));
                QApplication::processEvents();
                form->resize(form->minimumSize());
                QApplication::processEvents();
                const QStringList faults = crowded(*control<QWidget>(*form, page));
                EXPECT_TRUE(faults.isEmpty())
                    << page << " in language " << flag << ", skin " << skin << ":\n"
                    << faults.join('\n').toStdString();
            }
        }
    }

    // Whether or not the name fits its list, hovering shows all of it.
    QComboBox* camera = combo(*form, "comboBoxDev");
    QHelpEvent help(QEvent::ToolTip, QPoint(5, 5), camera->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(camera, &help);
    EXPECT_EQ(QToolTip::text(), camera->currentText());
    QToolTip::hideText();

    for (QPushButton* command : form->findChildren<QPushButton*>())
        EXPECT_FALSE(command->isDefault() || command->autoDefault())
            << command->objectName().toStdString();
    EXPECT_EQ(qobject_cast<QPushButton*>(form->focusWidget()), nullptr);
}

// The sub camera's resolutions are listed as soon as a camera is chosen, before it is turned
// on, and the entry chosen there is the one it opens at.
TEST_F(LanguageTest, SubCameraResolutionsAreListedBeforeItIsTurnedOn) {
    auto form = makeFormWith(2);
    QComboBox* resolutions = combo(*form, "comboBoxRes2");
    ASSERT_FALSE(button(*form, "checkBoxPIP")->isChecked());
    ASSERT_EQ(resolutions->count(), ZoGetResCount(1));
    EXPECT_GE(resolutions->findText("3264x2448"), 0);
    resolutions->setCurrentIndex(2);
    const int from = traceLines().size();
    button(*form, "checkBoxPIP")->click();
    const QStringList calls = callsSince(from);
    EXPECT_TRUE(calls.contains("ZoSetDefaultResolution(1, 2)")) << calls.join(' ').toStdString();
    EXPECT_EQ(resolutions->currentIndex(), 2);
}

} // namespace
