#include "game_test_support.h"

#include "describe.h"
#include "ts_TsCanvas.h"

namespace leveltest {

jboolean LevelCanvas::loadLevel(jint resourceId) {
    asked.push_back(resourceId);
    auto found = levels.find(resourceId);
    if (found == levels.end()) return CommonCanvas::loadLevel(resourceId);
    VMPtr<VMBytes> data = VMBytes::create(jint(found->second.size()));
    std::copy(found->second.begin(), found->second.end(), reinterpret_cast<uint8_t*>(data->elements()));
    return loadLevel(data);
}

std::vector<uint8_t> levelBytes(const std::string& json) {
    try {
        return assetgen::describeLevelFile("test level", json);
    } catch (const assetgen::DescriptionError& e) {
        ADD_FAILURE() << e.text();
        return {};
    }
}

std::vector<uint8_t> levelBytes(const nlohmann::json& level) { return levelBytes(level.dump()); }

namespace {
VMStatic<LevelCanvas> sharedCanvas;  // one canvas (and its frame thread) for every test
}  // namespace

void GameCanvasTest::SetUp() {
    VMTest::SetUp();
    using com::ventrix::common::Main;
    if (sharedCanvas == nullptr) {
        VMPtr<LevelCanvas> made = LevelCanvas::create();
        made->construct(nullptr);
        made->ts::TsCanvas::onEvent(ts::TsCanvas::EVENT_EXIT);  // no frames, and nothing of the game released
        Main::create()->construct(made);
        sharedCanvas = made;
    }
    canvas = sharedCanvas.get();
    canvas->levels.clear();
    canvas->asked.clear();
    _VM_ensureInitialized(Main::_VM_classRecord);
    Main::canvas = canvas;
    VMPtr<scene::ingame::LevelLoader> made = scene::ingame::LevelLoader::create()->construct();
    Main::levelLoader = made;
    loader = made.get();
}

void GameCanvasTest::TearDown() {
    com::ventrix::common::Main::levelLoader = nullptr;
    com::ventrix::common::Main::canvas = nullptr;
}

bool GameCanvasTest::select(jint level, std::string* printed) {
    testing::internal::CaptureStdout();
    const bool answer = loader->selectLevel(level);
    const std::string out = testing::internal::GetCapturedStdout();
    if (printed != nullptr) *printed = out;
    return answer;
}

void expectEmpty(scene::ingame::LevelLoader* l) {
    using Table = VMIntRows;
    for (Table* t : {l->disguisedRecords.get(), l->componentRecords.get(), l->zoneRecords.get(), l->targetMarkers.get(),
                     l->trapRecords.get(), l->interactionRecords.get(), l->keyRecords.get(), l->generalRecords.get()}) {
        ASSERT_NE(t, nullptr);
        EXPECT_EQ(t->length, 0);
    }
    for (VMArray<jint, 3>* grouped : {l->floorAreas.get(), l->transportParts.get()}) {
        ASSERT_EQ(grouped->length, 1);
        EXPECT_EQ(grouped->get(0)->length, 0);
    }
    ASSERT_EQ(l->bgItems->length, 7);
    for (jint c = 0; c < 7; ++c) {
        EXPECT_EQ(l->bgItems->get(c)->length, 0);
        EXPECT_EQ((*l->bgItemCount)[c], 0);
    }
    EXPECT_EQ(l->map->length, 0);
    EXPECT_EQ(l->playerRecord->length, 0);
    EXPECT_EQ(l->mapWidth + l->mapHeight + l->tileWidth + l->tileHeight + l->tileSetImage + l->headerValue, 0);
    EXPECT_EQ(l->componentCount + l->interactionCount + l->floorAreaCount + l->zoneCount + l->trapCount +
                  l->disguisedCount + l->generalCount + l->keyCount + l->targetCount + l->transportPartCount +
                  l->playerCount,
              0);
    EXPECT_EQ(l->currentLevel, scene::ingame::LevelLoader::NO_LEVEL);
}

std::vector<jint> row(VMIntRows* table, jint r) { return ints(table->get(r)); }

std::vector<jint> ints(VMInts* a) { return std::vector<jint>(a->elements(), a->elements() + a->length); }

}  // namespace leveltest

VM_REGISTER_CLASS(leveltest::LevelCanvas, .name = "leveltest.LevelCanvas")
