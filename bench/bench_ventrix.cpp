// The application skeleton. Targets at -O2:
//   BM_MainTickAndPaint     at most 20 us for one tick and one paint of the game
//                           canvas around a scene manager that does nothing
//   BM_FastRandomNextInt    at most 3 ns for one nextInt
#include <benchmark/benchmark.h>

#include "VM.h"
#include "bench_support.h"
#include "com_ventrix_common_CommonCanvas.h"
#include "com_ventrix_common_Main.h"
#include "com_ventrix_utility_SceneManager.h"
#include "hal_thread.h"
#include "ts_util_FastRandom.h"

namespace benchventrix {

class EmptySceneManager : public com::ventrix::utility::SceneManager {
    VM_DECLARE_CLASS(EmptySceneManager, com::ventrix::utility::SceneManager)

public:
    VMPtr<EmptySceneManager> construct() {
        Super::construct();
        return this;
    }
    void setupFonts() override {}
    void setupLoadingPage() override {}
    void createGameSave() override {}
    void createScene() override {}
};

void BM_MainTickAndPaint(benchmark::State& state) {
    benchBoot();
    using com::ventrix::common::CommonCanvas;
    using com::ventrix::common::Main;
    VMPtr<CommonCanvas> canvas = CommonCanvas::create()->construct(nullptr);
    canvas->postEvent(ts::TsCanvas::EVENT_EXIT);  // the benchmark drives the frames
    for (int i = 0; i < 1000 && canvas->thread->isAlive(); ++i) VMThread::sleep(VMThread::current(), 1);
    canvas->exiting = false;
    VMPtr<Main> controller = Main::create()->construct(canvas);
    controller->setSceneManager(EmptySceneManager::create()->construct());
    VMPtr<javax::microedition::lcdui::Graphics> g = canvas->getGraphics();
    for (auto _ : state) {
        canvas->tick();
        canvas->paintGame(g);
    }
    Main::releaseAll();
}
BENCHMARK(BM_MainTickAndPaint);

void BM_FastRandomNextInt(benchmark::State& state) {
    benchBoot();
    VMPtr<ts::util::FastRandom> random = ts::util::FastRandom::create()->construct(12345);
    ts::util::FastRandom* r = random.get();
    for (auto _ : state) benchmark::DoNotOptimize(r->nextInt());
}
BENCHMARK(BM_FastRandomNextInt);

}  // namespace benchventrix

VM_REGISTER_CLASS(benchventrix::EmptySceneManager, .name = "benchventrix.EmptySceneManager")
