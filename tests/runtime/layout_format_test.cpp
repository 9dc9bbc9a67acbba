// Reading stored layouts: what a faulty layout is told.

#include "forms/errors.h"
#include "layout.h"

#include <gtest/gtest.h>

namespace {

using forms::detail::parseLayout;

QByteArray withControl(const QByteArray& control)
{
    return QByteArray(R"({"form":"f","clientWidth":100,"clientHeight":100,"controls":[)") + control + "]}";
}

// A layout of one control "a" of the kind, with a box and one more setting.
QByteArray withBoxed(const char* kind, const char* setting)
{
    return withControl(QByteArray(R"({"name":"a","kind":")") + kind + R"(","left":0,"top":0,"width":1,"height":1,)" +
                       setting + "}");
}

struct Fault {
    const char* name;
    QByteArray json;
    const char* message;
};

class FaultyLayout : public ::testing::TestWithParam<Fault> {};

TEST_P(FaultyLayout, IsRejectedWithWhereAndWhat)
{
    try {
        parseLayout(GetParam().json, QStringLiteral("t.json"));
        FAIL() << "accepted";
    } catch (const forms::LayoutError& e) {
        EXPECT_NE(std::string(e.what()).find(GetParam().message), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("t.json"), std::string::npos) << e.what();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Faults, FaultyLayout,
    ::testing::Values(
        Fault{"notJson", "{", "t.json: "}, Fault{"notAnObject", "[1]", "must be a JSON object"},
        Fault{"noControls", R"({"form":"f","clientWidth":1,"clientHeight":1})", "'controls' must be a list"},
        Fault{"unknownSetting", withBoxed("label", R"("colour":"#000000")"), "control 'a': unknown setting 'colour'"},
        Fault{"unknownKind", withControl(R"({"name":"a","kind":"slider"})"), "unknown kind 'slider'"},
        Fault{"missingBox", withControl(R"({"name":"a","kind":"label","left":0,"top":0})"),
              "'width' must be a whole number"},
        Fault{"fractionalTwips", withControl(R"({"name":"a","kind":"label","left":0.5,"top":0,"width":1,"height":1})"),
              "'left' must be a whole number"},
        Fault{"badColour", withBoxed("label", R"("foreColor":"red")"), "'foreColor' must be #RRGGBB"},
        Fault{"badAlignment", withBoxed("label", R"("alignment":"middle")"),
              "'alignment' must be left, right or center"},
        Fault{"unknownButtonStyle", withBoxed("button", R"("style":"grafical")"),
              "control 'a': 'style' must be standard or graphical"},
        Fault{"unknownFigure", withBoxed("shape", R"("figure":"oval")"), "'figure' must be rectangle or circle"},
        Fault{"unknownBackStyle", withBoxed("label", R"("backStyle":"clear")"),
              "'backStyle' must be opaque or transparent"},
        Fault{"menuItemAmongControls", withControl(R"({"name":"m","kind":"menuItem","caption":"M"})"),
              "unknown kind 'menuItem'"},
        Fault{"unknownBorder", R"({"form":"f","clientWidth":1,"clientHeight":1,"border":"fixeddialog","controls":[]})",
              "'border' must be sizable or fixedDialog"},
        Fault{"zeroInterval", withControl(R"({"name":"t","kind":"timer","interval":0})"), "'interval' must be above 0"},
        Fault{"nameTwice",
              withControl(R"({"name":"t","kind":"timer","interval":5},{"name":"t","kind":"timer","interval":5})"),
              "'t' is empty or used twice"},
        Fault{"tabOrderStranger", R"({"form":"f","clientWidth":1,"clientHeight":1,"controls":[],"tabOrder":["x"]})",
              "names 'x', which is no control"}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(Layout, ReadsLinesAsTheirBoundingBox)
{
    const auto stored = parseLayout(withControl(R"({"name":"l","kind":"line","x1":5684,"y1":3600,"x2":120,"y2":3600})"),
                                    QStringLiteral("t.json"));
    ASSERT_EQ(stored.controls.size(), 1u);
    EXPECT_EQ(stored.controls[0].left, 120);
    EXPECT_EQ(stored.controls[0].width, 5564);
    EXPECT_EQ(stored.controls[0].height, 0);
}

}  // namespace
