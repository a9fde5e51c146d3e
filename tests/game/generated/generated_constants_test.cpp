// The constant types: each is an interface found by its dotted name, and
// generated.Build holds the build's 372 strings, 315 of them empty.
#include <map>

#include "generated_Build.h"
#include "java_lang_Class.h"
#include "vm_test.h"

namespace {

class ConstantTypesTest : public VMTest {};

TEST_F(ConstantTypesTest, EveryConstantTypeIsAnInterfaceFoundByName) {
    const char* const names[] = {"generated.Build",
                                 "generated.RP",
                                 "generated.Texts",
                                 "generated.LevelEntity",
                                 "generated.prop.PropShort",
                                 "global.GameScene",
                                 "generated.entity.AirportBGItem",
                                 "generated.entity.AirportComponentItem",
                                 "generated.entity.AirportInteractionItem",
                                 "generated.entity.BaseBGItem",
                                 "generated.entity.BaseComponentItem",
                                 "generated.entity.BaseInteractionItem",
                                 "generated.entity.BlockingFloorArea",
                                 "generated.entity.CommonTrap",
                                 "generated.entity.DisguisedChar",
                                 "generated.entity.GeneralChar",
                                 "generated.entity.HotelBGItem",
                                 "generated.entity.HotelComponentItem",
                                 "generated.entity.HotelInteractionItem",
                                 "generated.entity.KeyItem",
                                 "generated.entity.MansionBGItem",
                                 "generated.entity.MansionComponentItem",
                                 "generated.entity.MansionInteractionItem",
                                 "generated.entity.ParkBGItem",
                                 "generated.entity.ParkComponentItem",
                                 "generated.entity.ParkInteractionItem",
                                 "generated.entity.Player",
                                 "generated.entity.StageGlobalEntity",
                                 "generated.entity.TargetMarker",
                                 "generated.entity.TransportPart"};
    for (const char* name : names) {
        java::lang::Class* type = java::lang::Class::forName(java::lang::String::_VM_fromUTF8(name));
        ASSERT_NE(type, nullptr) << name;
        EXPECT_TRUE(type->isInterface()) << name;
        EXPECT_EQ(type->newInstanceFunction, nullptr) << name;
    }
}

TEST_F(ConstantTypesTest, BuildHoldsTheBuildsStrings) {
    std::map<std::string, int> held;
    for (jint i = 0; i < generated::Build::COUNT; ++i) ++held[text(generated::Build::constant(i))];
    const std::map<std::string, int> expected = {{"", 315},
                                                 {"WINMO", 1},
                                                 {"Windows Mobile", 2},
                                                 {"GENERIC_WINDOWS_MOBILE", 1},
                                                 {"WINCE_API_GDI", 1},
                                                 {"GTB7610WINMO", 1},
                                                 {"B7610 WinMo, GT-B7610, B7610, B7610 OmniaPro", 1},
                                                 {"i910 Omnia WinMo", 1},
                                                 {"Samsung", 1},
                                                 {"SAMSUNG", 1},
                                                 {"Marvell PXA312", 1},
                                                 {"PORTRAIT", 1},
                                                 {"touch", 1},
                                                 {"tall", 2},
                                                 {"both", 1},
                                                 {"normal", 1},
                                                 {"english", 1},
                                                 {"EN", 1},
                                                 {"WAV", 4},
                                                 {"SansSerif", 1},
                                                 {"s:32x32,l:64x64", 1},
                                                 {"capture://", 1},
                                                 {"ffffff", 1},
                                                 {"None", 2},
                                                 {"Professional", 1},
                                                 {"ECLIPSE", 1},
                                                 {"ZedIRIvoz", 1},
                                                 {"1.98.36", 1},
                                                 {"4.4.0", 1},
                                                 {"999.999.999", 1},
                                                 {"7045", 1},
                                                 {"5.2", 1},
                                                 {"6.1", 2},
                                                 {"3.5", 1},
                                                 {"2.0", 1},
                                                 {"1.1", 1},
                                                 {"2", 1},
                                                 {"SP2", 1},
                                                 {"android-1.5", 1},
                                                 {"2009-06-01", 1},
                                                 {"2009-09-01", 1},
                                                 {"2010-02-11", 1},
                                                 {"2013-01-23", 1},
                                                 {"12:38:48", 1},
                                                 // Our own: the title (three, in two forms), developer and publisher,
                                                 // score service, archive.
                                                 {"Vessilo", 2},
                                                 {"VESSILO", 1},
                                                 {"Vessilo developers", 2},
                                                 {"http://scores.invalid/", 1},
                                                 {"Vessilo.jar", 1}};
    EXPECT_EQ(held, expected);
    EXPECT_EQ(generated::Build::COUNT, 372);
    // Each constant is the one shared string of its literal.
    EXPECT_EQ(generated::Build::VERSION.get(), VM_STR("1.98.36").get());
    EXPECT_EQ(generated::Build::constant(generated::Build::COUNT - 1).get(), VM_STR("").get());
}

}  // namespace
