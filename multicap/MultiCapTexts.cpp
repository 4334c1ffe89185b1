#include "MultiCapTexts.h"

#include "ui_QMultiCapDialog.h"

namespace multicap_texts {
namespace {

QString pick(int flag, const char* chinese, const char* english) {
    return QString::fromUtf8(flag == 0 ? chinese : english);
}

// English counts in the singular for one: "1 photo taken", "1 page in the book".
QString counted(int flag, const char* chinese, const char* english, const char* englishOne,
                int count) {
    return pick(flag, chinese, count == 1 ? englishOne : english).arg(count);
}

// The pages a run still makes and writes; nothing when there are none.
QString finishingText(const Progress& progress, int flag) {
    if (progress.finishing <= 0)
        return {};
    return counted(flag, ", 正在完成 %0 页", ", finishing %0 pages", ", finishing %0 page",
                   progress.finishing);
}

QString takenText(const Progress& progress, int flag) {
    QString text =
        counted(flag, "已拍照 %0 张", "%0 photos taken", "%0 photo taken", progress.taken);
    if (progress.failed > 0)
        text += pick(flag, " (%0 张失败)", " (%0 failed)").arg(progress.failed);
    return text + finishingText(progress, flag);
}

QString bookText(const Progress& progress, int flag) {
    QString text = counted(flag, "书本已有 %0 页", "%0 pages in the book", "%0 page in the book",
                           progress.taken);
    if (progress.failed > 0)
        text += pick(flag, " (%0 次失败)", " (%0 failed)").arg(progress.failed);
    if (progress.finishing > 0)
        text += finishingText(progress, flag);
    else if (progress.stage == Progress::Finished)
        text += pick(flag, ", 拍照结束", ", photography completed");
    return text;
}

} // namespace

void applyFixed(QDialog& dialog, Ui::QMultiCapDialog& ui, int flag) {
    if (flag != 0 && flag != 1)
        return;
    dialog.setWindowTitle(pick(flag, "连拍", "Multiple capture"));
    ui.groupBox_2->setTitle(pick(flag, "连拍方式", "Capture mode"));
    ui.radioButtonTimer->setText(pick(flag, "定时连拍", "Timed capturing"));
    ui.radioButtonSmart->setText(pick(flag, "智能连拍", "Smart capturing"));
    ui.radioButtonBook->setText(pick(flag, "书本", "Book"));
    ui.groupBoxTimerSetting->setTitle(pick(flag, "定时设置", "Timed settings"));
    ui.label_2->setText(pick(flag, "拍照间隔:", "Interval:"));
    ui.label_3->setText(pick(flag, "秒", "s"));
    ui.label_5->setText(pick(flag, "拍照张数", "Count"));
    ui.label_4->setText(pick(flag, "张", "Pages"));
}

QString startText(int flag) {
    return pick(flag, "启动", "Start");
}

QString stopText(int flag) {
    return pick(flag, "停止", "Stop");
}

QString progressText(const Progress& progress, int flag) {
    const bool failures = progress.failed > 0;
    if (progress.book &&
        (progress.stage == Progress::Taking || progress.stage == Progress::Finished))
        return bookText(progress, flag);
    switch (progress.stage) {
    case Progress::None:
        return {};
    case Progress::Started:
        return pick(flag, "开始拍照", "Start taking photos");
    case Progress::Taking:
        return takenText(progress, flag);
    case Progress::Finished:
        return takenText(progress, flag) + pick(flag, ", 拍照结束", ", photography completed");
    }
    return {};
}

} // namespace multicap_texts
