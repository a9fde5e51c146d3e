// Locale, device identity, URL requests, orientation, properties and the idle
// timer.
#include <gtest/gtest.h>

#include <string>

#include "ce.h"
#include "hal.h"
#include "host_support.h"
#include "program_dir.h"

namespace {

std::string locale() {
    char* name = HAL_getLocale();
    std::string result = name ? name : "<null>";
    HAL_free(name);
    return result;
}

}  // namespace

TEST(HalLocale, MapsTheEnvironmentOntoTheLocaleTable) {
    ScopedEnv messages("LC_MESSAGES", nullptr);
    ScopedEnv all("LC_ALL", nullptr);
    const struct {
        const char* lang;
        const char* expected;
    } cases[] = {
        {"it_IT.UTF-8", "it-it"},      {"fr_FR", "fr-fr"}, {"pt_PT.UTF-8", "pt-pt"},
        {"de_DE.UTF-8@euro", "de-de"}, {"es_ES", "es-es"}, {"ru_RU.UTF-8", "ru"},
        {"en_US.UTF-8", "en-us"},      {"C", "en-us"},     {"", "en-us"},
        {"pt_BR.UTF-8", "en-us"},      {"fr_CA", "en-us"}, {"ja_JP", "en-us"},
    };
    for (const auto& c : cases) {
        ScopedEnv lang("LANG", c.lang);
        EXPECT_EQ(locale(), c.expected) << c.lang;
    }
}

TEST(HalLocale, LcAllWinsOverLang) {
    ScopedEnv lang("LANG", "de_DE.UTF-8");
    ScopedEnv messages("LC_MESSAGES", nullptr);
    ScopedEnv all("LC_ALL", "ru_RU.UTF-8");
    EXPECT_EQ(locale(), "ru");
    EXPECT_EQ(ce::LanguageCodeForLocaleName("es"), u"0C0A");
}

TEST(HalDeviceId, IsStableLowerCaseHexAndHonoursTheLimit) {
    char16_t full[64];
    int32_t length = 64;
    ASSERT_EQ(HAL_getDeviceId(full, &length), 0);
    ASSERT_EQ(length, 40);
    for (int i = 0; i < length; ++i) {
        char16_t c = full[i];
        EXPECT_TRUE((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f')) << i;
    }
    char16_t again[64];
    int32_t againLength = 64;
    ASSERT_EQ(HAL_getDeviceId(again, &againLength), 0);
    EXPECT_EQ(std::u16string(full, 40), std::u16string(again, 40));

    // A limit of 5 cuts the third byte in two: its high nibble is written.
    char16_t part[8] = {};
    int32_t partLength = 5;
    ASSERT_EQ(HAL_getDeviceId(part, &partLength), 0);
    EXPECT_EQ(partLength, 5);
    EXPECT_EQ(std::u16string(part, 5), std::u16string(full, 5));
    int32_t zero = 0;
    EXPECT_EQ(HAL_getDeviceId(part, &zero), 0);
    EXPECT_EQ(zero, 0);
    int32_t negative = -3;
    EXPECT_EQ(HAL_getDeviceId(part, &negative), 0);
    EXPECT_EQ(negative, 0);

    EXPECT_EQ(HAL_getDeviceId(nullptr, &length), 2);
    EXPECT_EQ(HAL_getDeviceId(full, nullptr), 2);
}

TEST(HalDeviceId, Sha1MatchesKnownDigests) {
    auto hex = [](const std::string& input) {
        uint8_t digest[20];
        ce::Sha1(reinterpret_cast<const uint8_t*>(input.data()), input.size(), digest);
        std::string out;
        for (uint8_t b : digest) {
            out += "0123456789abcdef"[b >> 4];
            out += "0123456789abcdef"[b & 15];
        }
        return out;
    };
    EXPECT_EQ(hex(""), "da39a3ee5e6b4b0d3255bfef95601890afd80709");
    EXPECT_EQ(hex("abc"), "a9993e364706816aba3e25717850c26c9cd0d89d");
    EXPECT_EQ(hex("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
              "84983e441c3bd26ebaae4aa1f95129e5e54670f1");
}

TEST(HalOpenURL, KeepsExactlyTheGivenCharacters) {
    const char16_t url[] = u"http://example.org/xyz";
    int32_t mustExit = 0;
    EXPECT_EQ(HAL_openURL(url, 18, &mustExit), 0);
    EXPECT_EQ(mustExit, 1);
    EXPECT_EQ(hostPendingURL(), u"http://example.org");
    EXPECT_EQ(HAL_openURL(url, 4, nullptr), 0);
    EXPECT_EQ(hostPendingURL(), u"http");
    EXPECT_EQ(HAL_openURL(nullptr, 3, &mustExit), 2);
    hostSetPendingURL(nullptr, 0);
}

TEST(HalRequestExit, PostsTheExitMessageToTheMainWindow) {
    TestRuntimeFolder folder;
    EXPECT_EQ(HAL_requestExit(), 0);  // no window: nothing to post, still 0
    ce::MSG message;
    EXPECT_FALSE(ce::PeekMessageW(&message, nullptr, 0, 0, ce::PM_REMOVE));
    ASSERT_TRUE(HAL_createHostWindow(nullptr, u"RequestExit", ce::DefWindowProcW));
    EXPECT_EQ(HAL_requestExit(), 0);
    ASSERT_TRUE(ce::PeekMessageW(&message, HAL_getMainWindow(), 0, 0, ce::PM_REMOVE));
    EXPECT_EQ(message.message, 0x401u);
    EXPECT_EQ(message.wParam, 0u);
    EXPECT_EQ(message.lParam, 0);
    HAL_releaseHostWindow();
}

TEST(HalOrientation, MapsCodesAndRefusesOutOfRange) {
    for (int32_t code = 0; code <= 4; ++code) {
        ASSERT_EQ(HAL_setOrientation(code), 0);
        int32_t read = -1;
        EXPECT_EQ(HAL_getOrientation(&read), 0);
        EXPECT_EQ(read, code);
    }
    ASSERT_EQ(HAL_setOrientation(0), 0);
    EXPECT_EQ(ce::GetDisplayOrientation(), 4);
    ASSERT_EQ(HAL_setOrientation(1), 0);
    EXPECT_EQ(ce::GetDisplayOrientation(), 0);
    EXPECT_EQ(HAL_setOrientation(5), 8);
    EXPECT_EQ(HAL_setOrientation(-1), 8);
    EXPECT_EQ(HAL_getOrientation(nullptr), 0);
}

TEST(HalKeepAwake, UsesNineTenthsOfTheShortestTimeoutCappedAt5000) {
    using ce::PowerValue;
    TestRuntimeFolder folder;
    ASSERT_TRUE(HAL_createHostWindow(nullptr, u"KeepAwake", ce::DefWindowProcW));
    auto idleTimerPeriod = [] { return ce::TimerPeriod(HAL_getMainWindow(), 1); };
    auto period = [&](uint32_t batt, uint32_t screen) {
        ce::SetPowerTimeout(PowerValue::BattPowerOff, batt);
        ce::SetPowerTimeout(PowerValue::ScreenPowerOff, screen);
        HAL_resetKeepAwakePeriod();
        EXPECT_EQ(HAL_setKeepDeviceAwake(1), 1);
        return idleTimerPeriod();
    };
    EXPECT_EQ(period(3, 0), 2700u);
    EXPECT_EQ(period(60, 0), 5000u);
    EXPECT_EQ(period(60, 4), 3600u);
    EXPECT_EQ(period(0, 0), 5000u);
    // The period is computed once and cached.
    ce::SetPowerTimeout(PowerValue::BattPowerOff, 1);
    EXPECT_EQ(HAL_setKeepDeviceAwake(1), 1);
    EXPECT_EQ(idleTimerPeriod(), 5000u);

    uint64_t resets = ce::SystemIdleTimerResetCount();
    HAL_idleTimerTick(1);
    HAL_idleTimerTick(2);
    EXPECT_EQ(ce::SystemIdleTimerResetCount(), resets + 1);
    EXPECT_EQ(HAL_setKeepDeviceAwake(0), 1);
    EXPECT_EQ(idleTimerPeriod(), 0u);
    HAL_idleTimerTick(1);
    EXPECT_EQ(ce::SystemIdleTimerResetCount(), resets + 1);
    ce::SetPowerTimeout(PowerValue::BattPowerOff, 0);
    HAL_resetKeepAwakePeriod();
    HAL_releaseHostWindow();
}

class HalProperties : public ::testing::Test {
protected:
    void TearDown() override { HAL_releaseProperties(); }
    void write(const char* name, const std::string& text) { dir_.put(std::string("properties/") + name, text); }
    TempProgramDir dir_{"hal_properties"};
};

namespace {
std::u16string appValue(const char16_t* key, int32_t room = 64) {
    int32_t keyLength = static_cast<int32_t>(std::char_traits<char16_t>::length(key));
    char16_t buffer[64];
    int32_t length = room;
    int status = HAL_getApplicationProperty(key, keyLength, buffer, &length);
    if (status != 0) return u"<" + std::u16string(1, char16_t(u'0' + status)) + u">";
    return std::u16string(buffer, static_cast<size_t>(length));
}
}  // namespace

TEST_F(HalProperties, ReadsBothFilesLaterLinesWin) {
    write("app.prop",
          "MIDlet-Name: Vessilo\r\nMIDlet-1: Vessilo, /icon.png, ZedIRIvoz\nEmpty: \nMIDlet-Name: Vessilo 2\n"
          "no colon here\nUnicode: caf\xC3\xA9\n");
    write("sys.prop", "device.model: X1\n");
    HAL_loadProperties();
    EXPECT_EQ(appValue(u"MIDlet-Name"), u"Vessilo 2");
    EXPECT_EQ(appValue(u"MIDlet-1"), u"Vessilo, /icon.png, ZedIRIvoz");
    EXPECT_EQ(appValue(u"Unicode"), u"caf\u00e9");
    EXPECT_EQ(HAL_getApplicationPropertyLength(u"MIDlet-Name", 11), 9);
    EXPECT_EQ(HAL_getApplicationPropertyLength(u"device.model", 12), -1);
    EXPECT_EQ(HAL_getSystemPropertyLength(u"device.model", 12), 2);

    // An empty value is present, with length 0.
    EXPECT_EQ(HAL_getApplicationPropertyLength(u"Empty", 5), 0);
    EXPECT_EQ(appValue(u"Empty"), u"");
    // Absent and empty keys: 4.
    EXPECT_EQ(appValue(u"Missing"), u"<4>");
    int32_t length = 10;
    char16_t buffer[10];
    EXPECT_EQ(HAL_getApplicationProperty(u"", 0, buffer, &length), 4);
    // A short buffer gets a prefix.
    EXPECT_EQ(appValue(u"MIDlet-Name", 3), u"Ves");
}

TEST_F(HalProperties, ByteOrderMarkCarriageReturnsAndOversizedFiles) {
    // A leading byte-order mark does not hide the first key; a CR before the
    // line end is not part of the value.
    write("app.prop", "\xEF\xBB\xBFMIDlet-1: A, /a.png, app.Main\r\nMIDlet-Name: A\r\n");
    std::string big = "big: value\n";
    big.resize((1 << 20) + 1, '#');
    write("sys.prop", big);
    HAL_loadProperties();
    EXPECT_EQ(appValue(u"MIDlet-1"), u"A, /a.png, app.Main");
    EXPECT_EQ(appValue(u"MIDlet-Name"), u"A");
    // Over 1 MB: refused whole.
    EXPECT_EQ(HAL_getSystemPropertyLength(u"big", 3), -1);
}

TEST_F(HalProperties, RejectsBadArgumentsAndSurvivesMissingFiles) {
    HAL_loadProperties();  // neither file exists
    EXPECT_EQ(HAL_getSystemPropertyLength(u"a", 1), -1);
    EXPECT_EQ(HAL_getSystemPropertyLength(nullptr, 4), -1);
    int32_t length = 4;
    char16_t buffer[4];
    EXPECT_EQ(HAL_getSystemProperty(nullptr, 4, buffer, &length), 2);
    EXPECT_EQ(HAL_getSystemProperty(u"a", 1, buffer, nullptr), 2);
    EXPECT_EQ(HAL_getSystemProperty(u"a", 1, buffer, &length), 4);
}
