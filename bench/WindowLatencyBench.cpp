// How long the window stops answering while it captures: the real main window on the offscreen
// platform with two 8-megapixel virtual cameras, automatic crop, split, flattening, cleaning and
// upright on. A 5 ms timer runs beside each capture, and `longest_gap_ms` is the longest time
// between two of its ticks, less the 5 ms: what a user feels as a frozen window. The time of an
// iteration is the whole capture, until its file is written.
//   /0../8: one press in each format of the list (JPG, single PDF, multi PDF, BMP, TIF, PNG,
//           TIFF, searchable single PDF, searchable multi PDF);
//   Presses: ten presses in a row in searchable multi-page PDF;
//   BarcodeRead: the barcode button, until the result window shows the codes;
//   ResolutionChange: the main camera from 8 megapixels to the next size and back, until the
//           new stream's first frame;
//   CameraSwap: the other virtual camera chosen as the main one, until its first frame;
//   BookStop: a book run stopped with spreads still being made, until its file is finished.
// And how long it stops when a recording of two seconds is stopped: the camera's picture scaled to
// 1440 x 1080, with the tone of the bench's own sound server as its sound. The iteration runs
// until the file is complete.
//   StopRecording/0: the window's Stop button;
//   StopRecording/1: ZoStopRecordEx, which returns with the file complete;
//   RecordingRuns: for comparison, 1.5 s of a running recording without a stop.
#include "BenchMain.h"
#include "CamCoreTesting.h"
#include "MainForm.h"
#include "QBarcodeResultDlg.h"
#include "QMultiCapDialog.h"
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
    setenv("CAMCORE_VIRTUAL_CAMERAS", "2", 1);
    setenv("CAMCORE_REAL_CAMERAS", "0", 1);
    QDir().mkpath(home().filePath(QStringLiteral("Documents/Papyra")));
    QFile settings(home().filePath(QStringLiteral("Documents/Papyra/zoconf.ini")));
    if (settings.open(QIODevice::WriteOnly))
        settings.write("[Zo twain driver param]\nDevIndex=0\nResolution=0\nAutoCrop=1\n"
                       "DelBack=1\nDewarp=1\nAutoOrient=1\n");
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
    void press() { click("pushButtonScan"); }
    void click(const char* name) {
        m_form->findChild<QAbstractButton*>(QString::fromLatin1(name))->click();
    }
    QComboBox* list(const char* name) {
        return m_form->findChild<QComboBox*>(QString::fromLatin1(name));
    }
    template <typename T> T* child() { return m_form->findChild<T*>(); }
    int mainCamera() const { return m_form->mainCamera(); }
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

// Whether camera `camera` has shown a frame since `before` of them.
bool framesAfter(int camera, std::uint64_t before) {
    return camcore::testing::frameCounts(camera).frames > before;
}

void BM_BarcodeRead(benchmark::State& state) {
    double worst = 0;
    for (auto _ : state) {
        auto* dialog = g_window->child<QBarcodeResultDlg>();
        if (dialog != nullptr)
            dialog->hide();
        bool pressed = false;
        worst = std::max(worst, longestGap([&] {
                             if (!pressed) {
                                 pressed = true;
                                 g_window->click("pushButtonReadBarcode");
                             }
                             dialog = g_window->child<QBarcodeResultDlg>();
                             return dialog != nullptr && dialog->isVisible();
                         }));
    }
    state.counters["longest_gap_ms"] = worst;
}
BENCHMARK(BM_BarcodeRead)->Iterations(3)->Unit(benchmark::kMillisecond);

// Chooses `index` in the list `name` and waits for the main camera's next frame after that.
double changeAndWaitForFrame(const char* name, int index) {
    bool changed = false;
    int camera = 0;
    std::uint64_t before = 0;
    return longestGap([&] {
        if (!changed) {
            changed = true;
            g_window->list(name)->setCurrentIndex(index);
            camera = g_window->mainCamera();
            before = camcore::testing::frameCounts(camera).frames;
            return false;
        }
        return framesAfter(camera, before);
    });
}

// The list `name` from its first entry to its second and back, each until the next frame.
void BM_ListChange(benchmark::State& state, const char* name) {
    double worst = 0;
    for (auto _ : state) {
        worst = std::max(worst, changeAndWaitForFrame(name, 1));
        worst = std::max(worst, changeAndWaitForFrame(name, 0));
    }
    state.counters["longest_gap_ms"] = worst;
}
BENCHMARK_CAPTURE(BM_ListChange, ResolutionChange, "comboBoxRes")
    ->Iterations(2)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ListChange, CameraSwap, "comboBoxDev")
    ->Iterations(2)
    ->Unit(benchmark::kMillisecond);

// The run's page watch needs the new leaf to lie still for some frames before it takes the spread.
void turnAndWaitForSpread() {
    camcore::testing::turnVirtualPage(0);
    const std::uint64_t until = camcore::testing::frameCounts(0).frames + 45;
    const QDeadlineTimer deadline(30000);
    while (!framesAfter(0, until) && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

void BM_BookStop(benchmark::State& state) {
    double worst = 0;
    int behind = 0;
    for (auto _ : state) {
        state.PauseTiming();
        g_window->click("pushButtonAutoScan");
        auto* dialog = g_window->child<QMultiCapDialog>();
        dialog->findChild<QAbstractButton*>(QStringLiteral("radioButtonBook"))->click();
        auto* start = dialog->findChild<QAbstractButton*>(QStringLiteral("pushButtonStart"));
        start->click();
        for (int spread = 1; spread <= 3; ++spread)
            turnAndWaitForSpread();
        behind = dialog->spreadsBehind();
        state.ResumeTiming();
        bool stopped = false;
        worst = std::max(worst, longestGap([&] {
                             if (!stopped) {
                                 stopped = true;
                                 start->click();
                             }
                             return dialog->spreadsBehind() == 0 && start->isEnabled();
                         }));
        dialog->hide();
    }
    state.counters["longest_gap_ms"] = worst;
    state.counters["spreads_behind"] = behind;
}
BENCHMARK(BM_BookStop)->Iterations(1)->Unit(benchmark::kMillisecond);

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
