#pragma once

#include "MultiCapTexts.h"
#include "ZoApi.h"

#include <QDialog>

#include <functional>
#include <memory>
#include <optional>

class BookPages;
class LanguageSource;
class BookRun;
class RunClock;
struct Settings;

namespace Ui {
class QMultiCapDialog;
}

// Multi-capture: a capture every few seconds up to a count (timed), one for each new page the
// camera engine sees (smart), or each new spread of an open book as two pages of one searchable
// PDF (book). Created hidden with the main window as parent; closing hides it and keeps its
// state, and it refuses to close while a run is on.
class QMultiCapDialog : public QDialog {
    Q_OBJECT

public:
    struct Hooks {
        std::function<int()> mainCamera;
        // One capture of a camera into a new file and the strip, without any message box,
        // finished behind the window: the job number, 0 when it was refused at once. `ended`
        // then hears the number of images written, 0 when it failed (also for a refusal).
        std::function<int(int camera, std::function<void(int written)> ended)> capture;
        // The engine's callback for a smart or book run; the main window passes its calls on to
        // onPageTurned().
        ZoAutoCaptureCallback pageCallback = nullptr;
        // A new file for a book run's document, or empty (after saying why) when there is none.
        std::function<QByteArray()> bookPath;
        // After a book run: the capture switches the main window shows, sent to its camera again.
        std::function<void()> restoreCapture;
        // A book's document as one entry of the strip, once its first pages are in the file,
        // shown by a page of it.
        std::function<void(const QByteArray& path, const QImage& picture)> showBook;
        // True while a book run owns the camera's capture switches, false once it gave them back.
        std::function<void(bool running)> bookRunning;
    };

    // Its texts follow `language`.
    QMultiCapDialog(Settings& settings, const LanguageSource& language, Hooks hooks,
                    QWidget* parent = nullptr);
    ~QMultiCapDialog() override;

    void applyLanguage(int flag);
    bool running() const { return m_run.has_value(); }
    // Spreads of a book run taken and not yet in its file.
    int spreadsBehind() const;
    // Stops a run as the stop button does; the program ends it before closing the cameras.
    void endRun();
    // The main camera was plugged in again or another chosen: a book run ends there, whole. The
    // engine ends the camera's document with the device, and a page taken later would start the
    // book's file anew.
    void endBookRun();
    // Tests drive timed runs by a clock of their own.
    void setClock(std::unique_ptr<RunClock> clock);

public slots:
    void onTimerCap();
    void onSmartCap();
    void onBookCap();
    void onTimeChanged();
    void onPagesChanged();
    void onStartCap();
    // The engine found a new page during a smart run.
    void onPageTurned();

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override; // Escape closes, under the same rule

private:
    enum Mode { Timed = 0, Smart = 1, Book = 2 };
    struct Run {
        int mode = Timed; // the mode it was started in
        int camera = 0;   // the camera a smart or book run watches, which its stop switches off
    };
    void start();
    void stop();
    void onTick();
    void takeOne(int camera);
    void addSpread();
    void removeLastSpread();
    void retakeLastSpread();
    void lastSpreadOut(bool removed);
    void bookFinished();
    void showState();
    bool refuseWhileRunning();

    Ui::QMultiCapDialog* ui;
    Settings& m_settings;
    Hooks m_hooks;
    std::unique_ptr<RunClock> m_clock;
    std::optional<Run> m_run;
    std::unique_ptr<BookRun> m_book; // the document of a book run
    BookPages* m_pages = nullptr;    // the book's pages, shown in book mode
    bool m_bookShown = false;        // the book's document is in the strip
    multicap_texts::Progress m_progress;
    int m_captures = 0; // a timed or smart run's captures not yet written
    int m_language = 1;
};
