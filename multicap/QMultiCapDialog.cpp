#include "QMultiCapDialog.h"

#include "BookPages.h"
#include "BookRun.h"
#include "LanguageSource.h"
#include "MultiCapNumbers.h"
#include "RunClock.h"
#include "Settings.h"
#include "platform/Message.h"
#include "ui_QMultiCapDialog.h"

#include <QCloseEvent>
#include <QImage>

#include <utility>

using multicap_texts::Progress;

QMultiCapDialog::QMultiCapDialog(Settings& settings, const LanguageSource& language, Hooks hooks,
                                 QWidget* parent)
    : QDialog(parent), ui(new Ui::QMultiCapDialog), m_settings(settings), m_hooks(std::move(hooks)),
      m_clock(std::make_unique<TimerClock>()) {
    ui->setupUi(this);
    m_pages = new BookPages(this, *ui->verticalLayout,
                            ui->verticalLayout->indexOf(ui->labelCapCount) + 1);
    connect(m_pages, &BookPages::removeRequested, this, &QMultiCapDialog::removeLastSpread);
    connect(m_pages, &BookPages::retakeRequested, this, &QMultiCapDialog::retakeLastSpread);
    multicap_numbers::correctStored(m_settings);
    ui->radioButtonTimer->setChecked(m_settings.multiCapMode == Timed);
    ui->radioButtonSmart->setChecked(m_settings.multiCapMode == Smart);
    ui->radioButtonBook->setChecked(m_settings.multiCapMode == Book);
    ui->groupBoxTimerSetting->setEnabled(m_settings.multiCapMode == Timed);
    ui->lineEditTime->setText(QStringLiteral("%0").arg(m_settings.interval));
    ui->lineEditPages->setText(QStringLiteral("%0").arg(m_settings.capCount));
    // Start works before any language switch.
    applyLanguage(language.current() == 0 ? 0 : 1);
    connect(&language, &LanguageSource::changed, this, &QMultiCapDialog::applyLanguage);

    connect(ui->radioButtonTimer, &QRadioButton::clicked, this, &QMultiCapDialog::onTimerCap);
    connect(ui->radioButtonSmart, &QRadioButton::clicked, this, &QMultiCapDialog::onSmartCap);
    connect(ui->radioButtonBook, &QRadioButton::clicked, this, &QMultiCapDialog::onBookCap);
    connect(ui->lineEditTime, &QLineEdit::textChanged, this, &QMultiCapDialog::onTimeChanged);
    connect(ui->lineEditPages, &QLineEdit::textChanged, this, &QMultiCapDialog::onPagesChanged);
    connect(ui->pushButtonStart, &QPushButton::clicked, this, &QMultiCapDialog::onStartCap);
}

QMultiCapDialog::~QMultiCapDialog() {
    m_clock->stop();
    delete ui;
}

void QMultiCapDialog::endRun() {
    if (running())
        stop();
}

int QMultiCapDialog::spreadsBehind() const {
    return m_book ? m_book->spreadsBehind() : 0;
}

void QMultiCapDialog::endBookRun() {
    if (m_book && running())
        stop();
}

void QMultiCapDialog::setClock(std::unique_ptr<RunClock> clock) {
    m_clock->stop();
    m_clock = std::move(clock);
}

// A switch during a run keeps the run: the button and the progress follow the new language.
void QMultiCapDialog::applyLanguage(int flag) {
    if (flag != 0 && flag != 1)
        return;
    m_language = flag;
    multicap_texts::applyFixed(*this, *ui, flag);
    m_pages->applyLanguage(flag);
    showState();
}

void QMultiCapDialog::showState() {
    ui->pushButtonStart->setText(running() ? multicap_texts::stopText(m_language)
                                           : multicap_texts::startText(m_language));
    // A spread is two pages. A book shows the pages still being made and read while it runs, as
    // the turns may be quicker than the reading; other runs show theirs once stopped.
    m_progress.finishing = m_book ? 2 * m_book->spreadsBehind() : (running() ? 0 : m_captures);
    ui->labelCapCount->setText(multicap_texts::progressText(m_progress, m_language));
    ui->pushButtonStart->setEnabled(running() || !m_book); // a stopped book is being finished
    // The mode of a run is the one it started in: the choice waits until it ends.
    ui->radioButtonTimer->setEnabled(!running());
    ui->radioButtonSmart->setEnabled(!running());
    ui->radioButtonBook->setEnabled(!running());
    ui->groupBoxTimerSetting->setEnabled(!running() && m_settings.multiCapMode == Timed);
    m_pages->setVisible(m_settings.multiCapMode == Book || m_book);
    m_pages->setChangeable(m_book && running() && m_book->spreadsBehind() == 0 &&
                           !m_book->removing() && !m_book->retaking());
}

void QMultiCapDialog::onTimerCap() {
    m_settings.multiCapMode = Timed;
    showState();
}

void QMultiCapDialog::onSmartCap() {
    m_settings.multiCapMode = Smart;
    showState();
}

void QMultiCapDialog::onBookCap() {
    m_settings.multiCapMode = Book;
    showState();
}

// Setting the text runs this again, with the corrected value.
void QMultiCapDialog::onTimeChanged() {
    const auto seconds = multicap_numbers::interval(ui->lineEditTime->text());
    if (!seconds)
        ui->lineEditTime->setText(QStringLiteral("1"));
    else
        m_settings.interval = *seconds;
}

void QMultiCapDialog::onPagesChanged() {
    const auto count = multicap_numbers::count(ui->lineEditPages->text());
    if (!count) {
        m_settings.capCount = multicap_numbers::kDefaultCount;
        ui->lineEditPages->setText(QStringLiteral("%0").arg(multicap_numbers::kDefaultCount));
    } else {
        m_settings.capCount = *count;
    }
}

void QMultiCapDialog::onStartCap() {
    if (running())
        stop();
    else
        start();
}

// A book run without a file to write does not start; the hook has said why. Nor does a run
// while the last book is still being finished.
void QMultiCapDialog::start() {
    if (m_book)
        return;
    const Run run{m_settings.multiCapMode, m_hooks.mainCamera()};
    if (run.mode == Book) {
        const QByteArray path = m_hooks.bookPath();
        if (path.isEmpty())
            return;
        m_book = std::make_unique<BookRun>(run.camera, path);
        m_bookShown = false;
        m_pages->clear();
    }
    m_run = run;
    m_progress = {Progress::Started, 0, 0, run.mode == Book};
    if (m_book)
        m_hooks.bookRunning(true);
    if (m_run->mode != Timed) {
        ZoSetAutoCapCB(m_run->camera, m_hooks.pageCallback);
        ZoSetAutoCap(m_run->camera, true);
    } else {
        m_clock->start(m_settings.interval * 1000, [this] { onTick(); });
    }
    showState();
}

// A stopped timed run keeps its last progress line; a smart or book one says it finished. A book
// run goes on writing the spreads it took, behind the window, and the dialog says so; once they
// are in the file the camera stops collecting pages for it and takes the window's switches back.
void QMultiCapDialog::stop() {
    if (m_run->mode == Timed) {
        m_clock->stop();
    } else {
        ZoSetAutoCap(m_run->camera, false);
        m_progress.stage = Progress::Finished;
    }
    m_run.reset();
    if (m_book)
        m_book->finish([this] { bookFinished(); });
    showState();
}

void QMultiCapDialog::bookFinished() {
    m_progress.taken = m_book->pages();
    m_book.reset();
    m_hooks.restoreCapture();
    m_hooks.bookRunning(false);
    showState();
}

// The first picture comes one interval after the start, and the run ends on the count-th tick.
void QMultiCapDialog::onTick() {
    if (!m_run || m_run->mode != Timed)
        return;
    takeOne(m_hooks.mainCamera());
    if (m_progress.taken < m_settings.capCount)
        return;
    m_clock->stop();
    m_run.reset();
    m_progress.stage = Progress::Finished;
    showState();
}

void QMultiCapDialog::onPageTurned() {
    if (m_run && m_run->mode == Smart)
        takeOne(m_run->camera);
    else if (m_run && m_run->mode == Book)
        addSpread();
}

// The spread is taken now and made, read and written behind, so the window goes on at once; the
// count follows each spread into the file.
void QMultiCapDialog::addSpread() {
    const bool taken =
        m_book->addSpread([this](int pages, const QImage& left, const QImage& right) {
            if (pages <= 0)
                ++m_progress.failed;
            else if (!std::exchange(m_bookShown, true)) // the first pages made the file
                m_hooks.showBook(m_book->path(), left);
            if (pages > 0)
                m_pages->addSpread(left, right);
            m_progress.taken = m_book->pages();
            showState();
        });
    if (!taken)
        ++m_progress.failed; // refused: the engine is still busy with the spreads before
    m_progress.stage = Progress::Taking;
    showState();
}

// The pictures go once the pages are out of the file: for a re-take, just before the new
// spread's pages go in.
void QMultiCapDialog::removeLastSpread() {
    if (m_book)
        m_book->removeLastSpread([this](bool removed) { lastSpreadOut(removed); });
    showState();
}

void QMultiCapDialog::retakeLastSpread() {
    if (m_book)
        m_book->retakeLastSpread([this](bool removed) { lastSpreadOut(removed); });
    showState();
}

void QMultiCapDialog::lastSpreadOut(bool removed) {
    if (removed)
        m_pages->removeLastSpread();
    m_progress.taken = m_book->pages();
    showState();
}

// A failed capture counts as taken, and the progress line says how many failed: a message box
// per failure would stack up, one more at each tick.
void QMultiCapDialog::takeOne(int camera) {
    ++m_progress.taken;
    m_progress.stage = Progress::Taking;
    ++m_captures;
    m_hooks.capture(camera, [this](int written) {
        --m_captures;
        if (written <= 0)
            ++m_progress.failed;
        showState();
    });
    showState();
}

bool QMultiCapDialog::refuseWhileRunning() {
    if (!running())
        return false;
    const bool chinese = m_language == 0;
    platform::showMessage(chinese ? QStringLiteral("提示") : QStringLiteral("Information"),
                          chinese ? QStringLiteral("请先停止连拍!")
                                  : QStringLiteral("Stop the run first."));
    return true;
}

void QMultiCapDialog::closeEvent(QCloseEvent* event) {
    if (refuseWhileRunning())
        event->ignore();
    else
        event->accept();
}

void QMultiCapDialog::reject() {
    if (!refuseWhileRunning())
        QDialog::reject();
}
