// How long the window stops answering while it captures: the real main window on the offscreen
// platform with one 8-megapixel virtual camera, automatic crop, split, flattening, cleaning and
// upright on. A 5 ms timer runs beside each capture, and `longest_gap_ms` is the longest time
// between two of its ticks, less the 5 ms: what a user feels as a frozen window. The time of an
// iteration is the whole capture, until its file is written.
//   /0../8: one press in each format of the list (JPG, single PDF, multi PDF, BMP, TIF, PNG,
//           TIFF, searchable single PDF, searchable multi PDF);
//   Presses: ten presses in a row in searchable multi-page PDF.
// And how long it stops when a recording of two seconds is stopped: the camera's picture scaled to
// 1440 x 1080, with the tone of the bench's own sound server as its sound. The iteration runs
// until the file is complete.
//   StopRecording/0: the window's Stop button;
//   StopRecording/1: ZoStopRecordEx, which returns with the file complete;
//   RecordingRuns: for comparison, 1.5 s of a running recording without a stop.
#include "BenchMain.h"
#include "MainForm.h"
#include "ZoApi.h"
#include "platform/Message.h"
#include "support/SoundServer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdlib>
#include <memory>
#include <utility>

namespace {

constexpr int kTickMs = 5;

QTemporaryDir& home() {
    static QTemporaryDir dir;
    return dir;
}

// Before the engine and Qt read their environment: a throwaway home, one virtual camera at its
// largest resolution, and the page switches on.
void prepareEnvironment() {
    const QByteArray root = QFile::encodeName(home().path());
    setenv("HOME", root.constData(), 1);
    setenv("XDG_CONFIG_HOME", (root + "/.config").constData(), 1);
    setenv("XDG_DATA_HOME", (root + "/.local/share").constData(), 1);
    setenv("TMPDIR", root.constData(), 1);
    QDir().mkpath(home().filePath(QStringLiteral("run")));
    QFile::setPermissions(home().filePath(QStringLiteral("run")),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    setenv("XDG_RUNTIME_DIR", (root + "/run").constData(), 1); // the bench's sound server
    setenv("CAMCORE_VIRTUAL_CAMERAS", "1", 1);
    setenv("CAMCORE_REAL_CAMERAS", "0", 1);
    QDir().mkpath(home().filePath(QStringLiteral("Documents/Papyra")));
    QFile settings(home().filePath(QStringLiteral("Documents/Papyra/zoconf.ini")));
    if (settings.open(QIODevice::WriteOnly))
        settings.write("[Zo twain driver param]\nResolution=0\nAutoCrop=1\nDelBack=1\n"
                       "Dewarp=1\nAutoOrient=1\n");
}

// The longest time the event loop left a 5 ms timer waiting while `until` was false.
double longestGap(const std::function<bool()>& until) {
    QElapsedTimer clock;
    clock.start();
    qint64 last = clock.elapsed();
    qint64 longest = 0;
    QTimer ticks;
    ticks.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticks, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        longest = std::max(longest, now - last);
        last = now;
    });
    ticks.start(kTickMs);
    const QDeadlineTimer deadline(120000);
    while (!until() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    longest = std::max(longest, clock.elapsed() - last);
    return double(std::max<qint64>(0, longest - kTickMs));
}

class Window {
public:
    Window() {
        platform::setMessageInterceptor(
            [](const QString&, const QString& text) { qWarning("message: %s", qPrintable(text)); });
        m_form = std::make_unique<MainForm>();
        m_form->show();
        m_form->findChild<QAbstractButton*>(QStringLiteral("checkBoxSplitCap"))->setChecked(true);
        ZoEnableSplitCap(0, true);
        // The first frames of the stream come before anything is timed.
        const QDeadlineTimer deadline(10000);
        while (!deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    void chooseFormat(int index) {
        m_form->findChild<QComboBox*>(QStringLiteral("comboBoxFmt"))->setCurrentIndex(index);
    }
    void press() { m_form->findChild<QAbstractButton*>(QStringLiteral("pushButtonScan"))->click(); }
    static bool idle() { return ZoCapturesPending(0) == 0; }
    void pressRecord() {
        m_form->findChild<QAbstractButton*>(QStringLiteral("pushButtonRec"))->click();
    }

private:
    std::unique_ptr<MainForm> m_form;
};

Window* g_window = nullptr;

void BM_CaptureFormat(benchmark::State& state) {
    g_window->chooseFormat(int(state.range(0)));
    double worst = 0;
    for (auto _ : state) {
        bool pressed = false;
        worst = std::max(worst, longestGap([&] {
                             if (!pressed) {
                                 pressed = true;
                                 g_window->press();
                             }
                             return Window::idle();
                         }));
    }
    state.counters["longest_gap_ms"] = worst;
}
BENCHMARK(BM_CaptureFormat)->DenseRange(0, 8)->Iterations(2)->Unit(benchmark::kMillisecond);

void BM_TenSearchablePresses(benchmark::State& state) {
    g_window->chooseFormat(8);
    double worst = 0;
    for (auto _ : state) {
        int presses = 0;
        worst = std::max(worst, longestGap([&] {
                             if (presses < 10) {
                                 ++presses;
                                 g_window->press();
                                 return false;
                             }
                             return Window::idle();
                         }));
    }
    state.counters["longest_gap_ms"] = worst;
}
BENCHMARK(BM_TenSearchablePresses)->Iterations(1)->Unit(benchmark::kMillisecond);

// Two seconds of a recording, on the event loop.
void recordTwoSeconds() {
    const QDeadlineTimer deadline(2000);
    while (!deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

void BM_StopRecording(benchmark::State& state) {
    const bool button = state.range(0) == 0;
    double worst = 0;
    int run = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const QByteArray path =
            QFile::encodeName(home().filePath(QStringLiteral("Documents/stop%1.mp4").arg(++run)));
        if (button)
            g_window->pressRecord();
        else
            ZoStartRecordEx(0, path.constData(), true);
        recordTwoSeconds();
        state.ResumeTiming();
        bool stopped = false;
        worst = std::max(worst, longestGap([&] {
                             if (!std::exchange(stopped, true)) {
                                 if (button)
                                     g_window->pressRecord();
                                 else
                                     ZoStopRecordEx(0);
                             }
                             return ZoRecordingsFinishing() == 0;
                         }));
    }
    state.counters["longest_gap_ms"] = worst;
}
BENCHMARK(BM_StopRecording)->DenseRange(0, 1)->Iterations(3)->Unit(benchmark::kMillisecond);

void BM_RecordingRuns(benchmark::State& state) {
    double worst = 0;
    for (auto _ : state) {
        state.PauseTiming();
        g_window->pressRecord();
        recordTwoSeconds();
        state.ResumeTiming();
        QElapsedTimer running;
        running.start();
        worst = std::max(worst, longestGap([&] { return running.elapsed() >= 1500; }));
        state.PauseTiming();
        g_window->pressRecord();
        longestGap([] { return ZoRecordingsFinishing() == 0; });
        state.ResumeTiming();
    }
    state.counters["longest_gap_ms"] = worst;
}
BENCHMARK(BM_RecordingRuns)->Iterations(3)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    prepareEnvironment();
    bench::preferOffscreen();
    QApplication app(argc, argv);
    std::unique_ptr<testing_support::SoundServer> sound;
    std::unique_ptr<Window> window; // goes before the application and the sound server
    return bench::runBenchmarks(argc, argv, [&window, &sound] {
        sound = std::make_unique<testing_support::SoundServer>();
        if (!sound->running())
            qWarning("%s: recordings are made without sound", qPrintable(sound->error()));
        window = std::make_unique<Window>();
        g_window = window.get();
    });
}
