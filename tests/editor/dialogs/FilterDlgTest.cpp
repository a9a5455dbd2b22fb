// The filter dialog: layout per output type, sliders, settings round trip,
// rendering only on a change, Continuous Update, Choose Color and Swap View.
#include "dialogs/CFilterDlg.h"

#include "FakeView.h"
#include "framework/HistogramWidget.h"
#include "support/PictureBytes.h"
#include "support/ScriptedGuiPrompt.h"
#include "support/TestDocument.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTest>

#include <gtest/gtest.h>

using namespace lumacut;
using namespace lumacut::test;

namespace {

FilterSettings Sample()
{
    FilterSettings s;
    s.color = MakeColor(10, 20, 30);
    s.activeRed = 1;
    s.activeGreen = 0;
    s.activeBlue = 1;
    s.negative = 1;
    s.kind = 3;
    s.sharpness = -40;
    s.lightDark = 30;
    s.contrast = 120;
    s.gamma = 70;
    return s;
}

// A dialog over a document and a view that shows the New Picture.
struct Fixture {
    explicit Fixture(Output output, FilterSettings settings = Sample())
        : scoped(prompt), doc(MakeTestDocument(16, 8, output)), view(doc.get()), preview(*doc, view)
    {
        dlg.SetPreview(&preview);
        dlg.LoadSettings(settings, doc->m_picNew.Colors());
        dlg.show();
    }
    ScriptedGuiPrompt prompt;
    ScopedGuiPrompt scoped;
    std::unique_ptr<CDibDoc> doc;
    FakeView view;
    DocumentPreview preview;
    CFilterDlg dlg;
};

} // namespace

struct LayoutCase {
    const char* name;
    Output output;
    int kind;
    std::array<const char*, 4> labels;
    std::array<bool, 4> kindEnabled;
    bool sharpness, contrast, gamma;
};

// Test names show the case's name only.
void PrintTo(const LayoutCase& c, std::ostream* os)
{
    *os << c.name;
}

class FilterDlgLayoutTest : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(FilterDlgLayoutTest, LabelsAndEnablingFollowTheOutputType)
{
    const LayoutCase& c = GetParam();
    FilterSettings s = Sample();
    s.kind = c.kind;
    Fixture f(c.output, s);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(f.dlg.m_kind[i]->text().toStdString(), c.labels[i]) << i;
        EXPECT_EQ(f.dlg.m_kind[i]->isEnabled(), c.kindEnabled[i]) << i;
    }
    EXPECT_EQ(f.dlg.m_sharpness->isEnabled(), c.sharpness);
    EXPECT_EQ(f.dlg.m_contrast->isEnabled(), c.contrast);
    EXPECT_EQ(f.dlg.m_gamma->isEnabled(), c.gamma);
    EXPECT_TRUE(f.dlg.m_lightDark->isEnabled());
    // Sample(): red and blue active, green not.
    EXPECT_TRUE(f.dlg.m_editRed->isEnabled());
    EXPECT_FALSE(f.dlg.m_editGreen->isEnabled());
    EXPECT_TRUE(f.dlg.m_editBlue->isEnabled());
    EXPECT_TRUE(f.dlg.m_kind[c.kind]->isChecked());
}

INSTANTIATE_TEST_SUITE_P(
    PerOutputType, FilterDlgLayoutTest,
    ::testing::Values(
        LayoutCase{"TwoColorSharp", Output::TwoColor, 3, {"Define Black", "Define White", "Define Filter", "Define Sharp"},
                   {true, true, true, true}, true, false, false},
        LayoutCase{"TwoColorBlack", Output::TwoColor, 0, {"Define Black", "Define White", "Define Filter", "Define Sharp"},
                   {true, true, true, true}, false, false, false},
        LayoutCase{"GreySharp", Output::Grey, 3, {"Normal Filter", "  ", "  ", "Sharp Filter"},
                   {true, false, false, true}, true, true, true},
        LayoutCase{"GreyNormal", Output::Grey, 0, {"Normal Filter", "  ", "  ", "Sharp Filter"},
                   {true, false, false, true}, false, true, true},
        LayoutCase{"TrueColorNoFilter", Output::TrueColor, 0, {"No Filter", "Emphasize Color", "De-emphasize Color", "Define Sharp"},
                   {true, true, true, true}, false, true, true},
        LayoutCase{"TrueColorEmphasize", Output::TrueColor, 1,
                   {"No Filter", "Emphasize Color", "De-emphasize Color", "Define Sharp"},
                   {true, true, true, true}, true, true, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FilterDlg, SlidersHaveTheirRangesTicksAndPositions)
{
    Fixture f(Output::TrueColor);
    struct {
        QSlider* slider;
        int min, max, tick, pos;
    } expected[] = {{f.dlg.m_contrast, 0, 200, 10, 120},
                    {f.dlg.m_lightDark, -100, 100, 10, 30},
                    {f.dlg.m_gamma, 0, 100, 10, 70},
                    {f.dlg.m_sharpness, -100, 100, 20, -40}};
    for (auto& e : expected) {
        EXPECT_EQ(e.slider->minimum(), e.min);
        EXPECT_EQ(e.slider->maximum(), e.max);
        EXPECT_EQ(e.slider->tickInterval(), e.tick);
        EXPECT_EQ(e.slider->value(), e.pos);
    }
}

TEST(FilterDlg, EachSliderShowsItsValueAsItMoves)
{
    Fixture f(Output::TrueColor);
    struct {
        QSlider* slider;
        QLabel* value;
        const char *loaded, *end, *home;
    } rows[] = {{f.dlg.m_lightDark, f.dlg.m_sliderValues[0], "30", "100", "-100"},
                {f.dlg.m_contrast, f.dlg.m_sliderValues[1], "120 %", "200 %", "0 %"},
                {f.dlg.m_gamma, f.dlg.m_sliderValues[2], "70", "100", "0"},
                {f.dlg.m_sharpness, f.dlg.m_sliderValues[3], "-40", "100", "-100"}};
    for (auto& r : rows) {
        EXPECT_EQ(r.value->text(), r.loaded);
        QTest::keyClick(r.slider, Qt::Key_End);
        EXPECT_EQ(r.value->text(), r.end);
        QTest::keyClick(r.slider, Qt::Key_Home);
        EXPECT_EQ(r.value->text(), r.home);
    }
}

// Settings kept from a picture of another output type may carry a kind that
// this one does not offer (grey has no buttons for 1 and 2).
TEST(FilterDlg, TheCheckedKindIsAlwaysOfferedAndRendersAsTheRecordDoes)
{
    for (Output output : {Output::TwoColor, Output::Grey, Output::TrueColor})
        for (int kind = 0; kind < 4; ++kind) {
            FilterSettings loaded = Sample();
            loaded.kind = kind;
            Fixture f(output, loaded);
            const std::string name =
                std::to_string(f.doc->m_picNew.Colors()) + " colours, kind " + std::to_string(kind);
            int checked = -1;
            for (int i = 0; i < 4; ++i)
                if (f.dlg.m_kind[i]->isChecked())
                    checked = i;
            ASSERT_GE(checked, 0) << name;
            EXPECT_TRUE(f.dlg.m_kind[checked]->isEnabled()) << name;
            EXPECT_FALSE(f.dlg.m_kind[checked]->text().trimmed().isEmpty()) << name;

            f.dlg.Show();
            EXPECT_EQ(f.view.updates, 0) << name << ": nothing new to render";
            FilterSettings shown;
            f.dlg.StoreSettings(shown);
            f.doc->ApplyFilter(loaded);
            const auto before = BlockBytes(f.doc->m_picNew);
            f.doc->ApplyFilter(shown);
            EXPECT_TRUE(BlockBytes(f.doc->m_picNew) == before) << name << ": the shown kind renders otherwise";
        }
}

TEST(FilterDlg, LoadThenStoreGivesTheSameRecord)
{
    CFilterDlg dlg;
    dlg.LoadSettings(Sample(), 0);
    FilterSettings out;
    dlg.StoreSettings(out);
    EXPECT_EQ(out, Sample());
    EXPECT_EQ(dlg.m_lastShown, Sample());
    EXPECT_EQ(dlg.m_values.continuousUpdate, 1); // loading leaves it on
}

TEST(FilterDlg, StoreTakesLowBytesAndMakesFlagsZeroOrOne)
{
    CFilterDlg dlg;
    dlg.m_values.red = 0x1FF;
    dlg.m_values.green = 2;
    dlg.m_values.blue = 3;
    dlg.m_values.activeRed = 7;
    dlg.m_values.negative = -1;
    FilterSettings out;
    dlg.StoreSettings(out);
    EXPECT_EQ(out.color, MakeColor(0xFF, 2, 3));
    EXPECT_EQ(out.activeRed, 1);
    EXPECT_EQ(out.activeGreen, 0);
    EXPECT_EQ(out.negative, 1);
}

TEST(FilterDlg, ShowRendersAndRedrawsOnlyAfterAChange)
{
    Fixture f(Output::Grey);
    EXPECT_EQ(f.view.updates, 0) << "opening the dialog renders nothing";
    f.dlg.Show();
    EXPECT_EQ(f.view.updates, 0) << "nothing changed since loading";

    f.dlg.m_values.continuousUpdate = 0;
    f.dlg.m_continuous->setChecked(false);
    f.dlg.m_lightDark->setValue(-50);
    EXPECT_EQ(f.view.updates, 0) << "continuous update is off";
    f.dlg.Show();
    EXPECT_EQ(f.view.updates, 1);
    EXPECT_EQ(f.dlg.m_lastShown.lightDark, -50);
    f.dlg.Show();
    EXPECT_EQ(f.view.updates, 1) << "the same settings again";
    EXPECT_TRUE(f.prompt.messages.empty());
}

TEST(FilterDlg, ContinuousUpdateRendersEveryChange)
{
    Fixture f(Output::TwoColor);
    ASSERT_TRUE(f.dlg.m_continuous->isChecked()) << "on by default";
    f.dlg.m_lightDark->setValue(10);
    EXPECT_EQ(f.view.updates, 1);
    f.dlg.m_lightDark->setValue(20);
    EXPECT_EQ(f.view.updates, 2);
    f.dlg.m_negative->click();
    EXPECT_EQ(f.view.updates, 3);
    EXPECT_EQ(f.dlg.m_lastShown.negative, 0);

    // Switched off: changes wait for Show; switching on shows them at once.
    f.dlg.m_continuous->click();
    EXPECT_EQ(f.view.updates, 3);
    f.dlg.m_kind[0]->click();
    f.dlg.m_lightDark->setValue(40);
    EXPECT_EQ(f.view.updates, 3);
    f.dlg.m_continuous->click();
    EXPECT_EQ(f.view.updates, 4);
    EXPECT_EQ(f.dlg.m_lastShown.kind, 0);
    EXPECT_EQ(f.dlg.m_lastShown.lightDark, 40);
}

TEST(FilterDlg, UncheckedChannelDisablesItsFieldButKeepsItsValue)
{
    Fixture f(Output::TrueColor);
    f.dlg.m_activeRed->click();
    EXPECT_FALSE(f.dlg.m_editRed->isEnabled());
    FilterSettings out;
    f.dlg.StoreSettings(out);
    EXPECT_EQ(out.activeRed, 0);
    EXPECT_EQ(RedOf(out.color), 10);
}

TEST(FilterDlg, ColourValueOutOfRangeIsRefusedWithFocusAndNoRender)
{
    Fixture f(Output::TrueColor);
    f.dlg.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f.dlg));
    f.dlg.m_editBlue->setText("300");
    f.dlg.m_negative->click();
    EXPECT_EQ(f.prompt.Texts(), std::vector<std::string>{"Enter an integer between 0 and 255."});
    EXPECT_EQ(QApplication::focusWidget(), f.dlg.m_editBlue);
    EXPECT_EQ(f.dlg.m_values.blue, 30) << "the member keeps its valid value";
    EXPECT_EQ(f.view.updates, 0);

    // A bad value in a disabled field (green is not active) blocks nothing.
    f.prompt.messages.clear();
    f.dlg.m_editBlue->setText("31");
    f.dlg.m_editGreen->setText("999");
    f.dlg.m_negative->click();
    EXPECT_TRUE(f.prompt.messages.empty());
    EXPECT_EQ(f.dlg.m_values.green, 20);
    EXPECT_EQ(f.dlg.m_lastShown.color, MakeColor(10, 20, 31));
    EXPECT_EQ(f.view.updates, 1);
}

TEST(FilterDlg, ChooseColorTakesTheSystemDialogsAnswer)
{
    Fixture f(Output::TrueColor);
    f.prompt.colorAnswers.push_back(QColor(200, 100, 50));
    QTest::mouseClick(f.dlg.m_chooseColor, Qt::LeftButton);
    ASSERT_EQ(f.prompt.colorQuestions.size(), 1u);
    EXPECT_EQ(f.prompt.colorQuestions[0], QColor(10, 20, 30));
    EXPECT_EQ(f.dlg.m_editRed->text(), "200");
    EXPECT_EQ(f.dlg.m_editGreen->text(), "100");
    EXPECT_EQ(f.dlg.m_editBlue->text(), "50");
    EXPECT_EQ(f.dlg.m_lastShown.color, MakeColor(200, 100, 50)) << "continuous update renders it";
    EXPECT_EQ(f.view.updates, 1);

    // Cancelled: nothing changes.
    QTest::mouseClick(f.dlg.m_chooseColor, Qt::LeftButton);
    EXPECT_EQ(f.dlg.m_editRed->text(), "200");
    EXPECT_EQ(f.view.updates, 1);
}

TEST(FilterDlg, SwapViewTwiceReturnsViewAndLabel)
{
    Fixture f(Output::TrueColor);
    EXPECT_EQ(f.dlg.m_swapView->text(), "Swap View");
    QTest::mouseClick(f.dlg.m_swapView, Qt::LeftButton);
    EXPECT_TRUE(f.view.showOriginal);
    EXPECT_EQ(f.dlg.m_swapView->text(), "Show Result");
    QTest::mouseClick(f.dlg.m_swapView, Qt::LeftButton);
    EXPECT_FALSE(f.view.showOriginal);
    EXPECT_EQ(f.dlg.m_swapView->text(), "Show Origninal");
    EXPECT_EQ(f.view.plainInvalidates, 2);
    EXPECT_EQ(f.view.erasingInvalidates, 0);
    EXPECT_EQ(f.view.updates, 0) << "nothing rendered";
}

TEST(FilterDlg, OkShowsThenClosesAndCancelRendersNothing)
{
    {
        Fixture f(Output::TrueColor);
            f.dlg.m_continuous->click(); // off
        f.dlg.m_gamma->setValue(5);
        QTest::mouseClick(f.dlg.m_ok, Qt::LeftButton);
        EXPECT_EQ(f.dlg.result(), IDOK);
        EXPECT_EQ(f.view.updates, 1);
        EXPECT_EQ(f.dlg.m_lastShown.gamma, 5);
    }
    {
        Fixture f(Output::TrueColor);
            f.dlg.m_continuous->click(); // off
        f.dlg.m_gamma->setValue(5);
        QTest::mouseClick(f.dlg.m_cancel, Qt::LeftButton);
        EXPECT_EQ(f.dlg.result(), IDCANCEL);
        EXPECT_EQ(f.view.updates, 0);
    }
}

namespace {

// A preview that answers the tone questions and records what it renders.
struct FakePreview : IPreview {
    bool ShowsOriginal() const override { return false; }
    void SetShowsOriginal(bool) override {}
    bool ShowFilter(const FilterSettings& s) override
    {
        shown.push_back(s);
        return true;
    }
    void ShowResize(double, double, int, int, bool) override {}
    std::optional<int> AutoThreshold() override { return threshold; }
    std::optional<Histogram> ToneHistogram(const FilterSettings&) override
    {
        ++histograms;
        Histogram h{};
        h[threshold] = 1;
        return h;
    }
    int threshold = 77;
    int histograms = 0;
    std::vector<FilterSettings> shown;
};

} // namespace

TEST(FilterDlg, AutoSetsTheThresholdShowsItAndRenders)
{
    ScriptedGuiPrompt prompt;
    ScopedGuiPrompt scoped(prompt);
    FakePreview preview;
    CFilterDlg dlg;
    dlg.SetPreview(&preview);
    FilterSettings s = Sample(); // kind 3, green inactive, Light/Dark 30
    s.dither = kDitherAtkinson;
    dlg.LoadSettings(s, kOutputColorsTwo);
    dlg.show();
    ASSERT_TRUE(dlg.m_auto->isVisible());
    EXPECT_EQ(dlg.m_histogram->Marker(), -1) << "dithering has no single threshold";

    QTest::mouseClick(dlg.m_auto, Qt::LeftButton);
    FilterSettings expected = s;
    SetThreshold(expected, 77);
    ASSERT_EQ(preview.shown.size(), 1u);
    EXPECT_EQ(preview.shown[0], expected);
    EXPECT_EQ(dlg.m_editGreen->text(), "77");
    EXPECT_TRUE(dlg.m_editGreen->isEnabled());
    EXPECT_TRUE(dlg.m_kind[2]->isChecked());
    EXPECT_EQ(dlg.m_lightDark->value(), 0);
    EXPECT_EQ(dlg.m_dither->currentIndex(), kDitherNone) << "a plain threshold";
    EXPECT_FALSE(dlg.m_linearLight->isEnabled());
    EXPECT_GT(preview.histograms, 0);
    EXPECT_EQ(dlg.m_histogram->Counts()[77], 1u);
    EXPECT_EQ(dlg.m_histogram->Marker(), 77);
    EXPECT_TRUE(prompt.messages.empty());
}

TEST(FilterDlg, RadiusAndKOutOfRangeAreRefusedWithTheRangeMessage)
{
    ScriptedGuiPrompt prompt;
    ScopedGuiPrompt scoped(prompt);
    FakePreview preview;
    CFilterDlg dlg;
    dlg.SetPreview(&preview);
    dlg.SetAdaptiveRadiusLimit(40);
    FilterSettings s = Sample();
    s.kind = 0;
    s.adaptiveRadius = 5;
    dlg.LoadSettings(s, kOutputColorsTwo);
    dlg.show();
    EXPECT_FALSE(dlg.m_dither->isEnabled()) << "adaptive and dithering are alternatives";
    EXPECT_TRUE(dlg.m_contrast->isEnabled());

    struct {
        QLineEdit* edit;
        const char* text;
        const char* message;
    } const cases[] = {
        {dlg.m_editRadius, "41", "Enter an integer between 1 and 40."},
        {dlg.m_editRadius, "0", "Enter an integer between 1 and 40."},
        {dlg.m_editK, "1.5", "Enter a number between 0 and 1."},
    };
    for (const auto& c : cases) {
        prompt.messages.clear();
        c.edit->setText(c.text);
        dlg.m_negative->click();
        EXPECT_EQ(prompt.Texts(), std::vector<std::string>{c.message}) << c.text;
        c.edit->setText(c.edit == dlg.m_editRadius ? "5" : "0.2");
    }
    EXPECT_TRUE(preview.shown.empty()) << "a refused field renders nothing";
    dlg.m_editRadius->setText("40");
    dlg.m_editK->setText("1");
    dlg.m_negative->click();
    ASSERT_EQ(preview.shown.size(), 1u);
    EXPECT_EQ(preview.shown[0].adaptiveRadius, 40);
    EXPECT_EQ(preview.shown[0].adaptiveK, 1.0);
}
