// One function key from its mouse-down to the panel painted again: the
// dispatcher, the key's commands and the rate check over the real channel
// to the in-process simulator (which answers at once), the model changed,
// and the front panel window repainted offscreen from its cached pictures.
// Goal: under 5 ms a key.
//
//   cmake --build build --target bench_keys && QT_QPA_PLATFORM=offscreen build/bench/bench_keys

#include "core/panel.h"
#include "keys/key_dispatcher.h"
#include "shell/front_panel.h"
#include "sim/instrument.h"
#include "sim/sim_device.h"
#include "windows/front_panel_window.h"
#include "windows/picture_store.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>

#include <benchmark/benchmark.h>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

// The pictures the build draws beside the program; missing, they are the
// store's placeholders, cached all the same.
QString pictureFolder()
{
    return QDir(QCoreApplication::applicationDirPath() + u"/../DISPLAY_BMP"_s).absolutePath();
}

// An identified panel in its window, on the simulated instrument.
struct KeyBench
{
    KeyBench()
    {
        link.Port(1);
        link.BaudRate(9600);
        link.Open();
        Panel &p = parts.panel;
        p.state.REMOTE_OK = true;
        p.controls.CHK_COM_TF.enabled = false;
        p.state.DISPLAY_BMP_PATH = pictures.folder();
        p.display.setAllLit(false);  // after the lamp test
        p.display.setLit(display::Lamp::DC_LAB1, true);
        for (int key = 0; key < shell::kKeyCount; ++key)
            p.controls.BUTT1_IMG[std::size_t(key)] = shell::keyPicture(key, false);
        p.controls.SHIFT_IMG = u"SHIFT_BUTT1.BMP"_s;
        p.controls.START_IMG = u"START_BUTT1.BMP"_s;
        p.timers.ACDC_Timer.setInterval(500);
        keys::connectKeyTimers(p);
        form.show();
        QCoreApplication::processEvents();
        form.repaint();  // every picture read once
    }

    sim::Instrument instrument;
    shell::Class1 link{[this](int, qint32, shell::LinkError *, QString *) -> std::unique_ptr<QIODevice> {
        auto device = std::make_unique<sim::SimDevice>(instrument);
        device->open(QIODevice::ReadWrite);
        return device;
    }};
    PanelParts parts{link};
    display::PictureStore pictures{pictureFolder()};
    shell::SHOW_Form form{parts.panel, pictures};
};

std::unique_ptr<KeyBench> g_bench;

KeyBench &bench()
{
    if (!g_bench)
        g_bench = std::make_unique<KeyBench>();
    return *g_bench;
}

// Two keys pressed in turn, so every press changes the panel.
void pressAndPaint(benchmark::State &run, int first, int second)
{
    KeyBench &b = bench();
    Panel &p = b.parts.panel;
    int key = first;
    for (auto _ : run) {
        keys::BUTT1_IMG_MouseDown(p, key);
        keys::BUTT1_IMG_MouseUp(p, key);
        b.form.repaint();
        key = key == first ? second : first;
    }
    if (p.state.MODE1.isEmpty())
        run.SkipWithError("no function was selected");
    run.SetItemsProcessed(run.iterations());
}

// ACV, DCV: two commands, the rate query, the list rebuilt.
void voltKeys(benchmark::State &run)
{
    pressAndPaint(run, 0, 1);
}
BENCHMARK(voltKeys)->Unit(benchmark::kMillisecond);

// ACI, DCI: four commands and two rate queries each.
void currentKeys(benchmark::State &run)
{
    pressAndPaint(run, 2, 3);
}
BENCHMARK(currentKeys)->Unit(benchmark::kMillisecond);

// The repaint alone, for the share of the window.
void repaintOnly(benchmark::State &run)
{
    KeyBench &b = bench();
    for (auto _ : run)
        b.form.repaint();
}
BENCHMARK(repaintOnly)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (!QFileInfo::exists(pictureFolder()))
        qWarning("no pictures in %s: the placeholders are painted", qPrintable(pictureFolder()));
    if (const QByteArray shot = qgetenv("RAVELO_BENCH_SHOT"); !shot.isEmpty()) {
        keys::BUTT1_IMG_MouseDown(bench().parts.panel, 0);
        bench().form.grab().save(QString::fromLocal8Bit(shot));
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_bench.reset();
    return 0;
}
