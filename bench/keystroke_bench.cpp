// One keystroke into a price field of the real window, offscreen: the key event, the
// line and grand-total recomputation and every refreshed text.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <filesystem>

#include "ui/main_window.h"
#include "ui/skin.h"

namespace quilvern {
namespace {

void PriceKeystroke(benchmark::State& state) {
    const auto dir = std::filesystem::temp_directory_path() / "quilvern-bench-keystroke";
    std::filesystem::create_directories(dir);
    qputenv("XDG_CONFIG_HOME", dir.string().c_str());
    TForm1 form(dir.string() + "/");
    form.show();
    form.Data().sheet.lines[16].quantity.SetValue(3);
    auto* price = form.findChild<QLineEdit*>("P007Price");
    price->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(price, "12");
    bool type = true;
    for (auto _ : state) {
        // Alternate a digit and Backspace, so every iteration is one keystroke that
        // changes the text.
        if (type) {
            QTest::keyClick(price, Qt::Key_5);
        } else {
            QTest::keyClick(price, Qt::Key_Backspace);
        }
        type = !type;
    }
    form.close();
    std::filesystem::remove_all(dir);
}
BENCHMARK(PriceKeystroke)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace quilvern

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    quilvern::skin::Apply(application);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
