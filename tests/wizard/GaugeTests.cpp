// ProgressGauge: the bar length at every stage of a build, the inverted
// percentage text, clamping and the one repaint per whole-percent change.
#include "controls/PixelnookFont.h"
#include "tests/support/WidgetTestSupport.h"
#include "wizard/ProgressGauge.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QTest>

#include <gtest/gtest.h>

#include <string>

namespace {

const RGB Black{0, 0, 0}, White{255, 255, 255};

class GaugeFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form.resize(300, 40);
        Gauge = new ProgressGauge(&Form);
        Gauge->setGeometry(72, 8, 217, 17);
        Form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Form));
        QCoreApplication::processEvents();
    }

    QWidget Form;
    ProgressGauge *Gauge = nullptr;
};

TEST_F(GaugeFixture, ConstructedWithItsDefaults)
{
    ProgressGauge Fresh;
    EXPECT_EQ(Fresh.MinValue(), 0);
    EXPECT_EQ(Fresh.MaxValue(), 100);
    EXPECT_EQ(Fresh.Progress(), 0);
    EXPECT_EQ(Fresh.focusPolicy(), Qt::NoFocus);
}

// "Percent35", "PercentMinus5": a table row's name from the progress it sets.
std::string PercentName(int Progress)
{
    return Progress < 0 ? "PercentMinus" + std::to_string(-Progress)
                        : "Percent" + std::to_string(Progress);
}

struct BarCase {
    int Progress;
    int L; // bar covers columns 1 ... L - 1
};

class GaugeBar : public GaugeFixture, public ::testing::WithParamInterface<BarCase> {};

TEST_P(GaugeBar, BarEndsAtL)
{
    const BarCase &C = GetParam();
    Gauge->SetProgress(C.Progress);
    const QImage Img = Gauge->grab().toImage();
    ASSERT_EQ(Img.size(), QSize(217, 17));
    // Rows 1 and 15 lie above and below the text.
    for (int Y : {1, 15})
        for (int X = 1; X <= 215; ++X)
            ASSERT_EQ(PixelAt(Img, X, Y), X < C.L ? Black : White)
                << "progress " << C.Progress << " at " << X << "," << Y;
    // The frame.
    for (int X = 0; X < 217; ++X) {
        ASSERT_EQ(PixelAt(Img, X, 0), Black);
        ASSERT_EQ(PixelAt(Img, X, 16), Black);
    }
    for (int Y = 0; Y < 17; ++Y) {
        ASSERT_EQ(PixelAt(Img, 0, Y), Black);
        ASSERT_EQ(PixelAt(Img, 216, Y), Black);
    }
}

INSTANTIATE_TEST_SUITE_P(Stages, GaugeBar,
                         ::testing::Values(BarCase{0, 1}, BarCase{10, 21}, BarCase{35, 75},
                                           BarCase{50, 108}, BarCase{65, 140}, BarCase{80, 172},
                                           BarCase{100, 216}, BarCase{150, 216}, BarCase{-5, 1},
                                           BarCase{1, 2}, BarCase{99, 213}),
                         [](const ::testing::TestParamInfo<BarCase> &I) {
                             return PercentName(I.param.Progress);
                         });

// The text as drawn by itself: white on black at the centre, no antialiasing.
QImage TextAlone(const QString &Text)
{
    QImage Img(217, 17, QImage::Format_RGB32);
    Img.fill(Qt::black);
    QFont Font = PixelnookFont();
    Font.setStyleStrategy(QFont::NoAntialias);
    QPainter P(&Img);
    P.setFont(Font);
    const QFontMetrics FM(Font, &Img);
    P.setPen(Qt::white);
    P.drawText((216 - FM.horizontalAdvance(Text)) / 2, (16 - FM.height()) / 2 + FM.ascent(), Text);
    return Img;
}

struct TextCase {
    int Progress;
    const char *Text;
    int L;
};

class GaugeText : public GaugeFixture, public ::testing::WithParamInterface<TextCase> {};

// Each text pixel inverts what lies under it: black on the white part,
// white on the bar.
TEST_P(GaugeText, TextInvertsWhatLiesUnderIt)
{
    const TextCase &C = GetParam();
    Gauge->SetProgress(C.Progress);
    const QImage Img = Gauge->grab().toImage();
    const QImage Text = TextAlone(QString::fromUtf8(C.Text));
    int OverBar = 0, OverWhite = 0;
    for (int Y = 1; Y <= 15; ++Y)
        for (int X = 1; X <= 215; ++X) {
            const bool Bar = X < C.L;
            const bool Ink = PixelAt(Text, X, Y) == White;
            ASSERT_TRUE(PixelAt(Text, X, Y) == White || PixelAt(Text, X, Y) == Black)
                << "no grey text pixels";
            ASSERT_EQ(PixelAt(Img, X, Y), (Bar != Ink) ? Black : White) << X << "," << Y;
            if (Ink)
                ++(Bar ? OverBar : OverWhite);
        }
    if (C.Progress == 50) {
        EXPECT_GT(OverBar, 0) << "the text crosses the bar's end";
        EXPECT_GT(OverWhite, 0);
    }
    EXPECT_GT(OverBar + OverWhite, 10);
}

INSTANTIATE_TEST_SUITE_P(Percentages, GaugeText,
                         ::testing::Values(TextCase{0, "0%", 1}, TextCase{50, "50%", 108},
                                           TextCase{80, "80%", 172}, TextCase{100, "100%", 216}),
                         [](const ::testing::TestParamInfo<TextCase> &I) {
                             return PercentName(I.param.Progress);
                         });

TEST_F(GaugeFixture, SameValuePaintsOnce)
{
    PaintCounter Paints(Gauge);
    Gauge->SetProgress(35);
    EXPECT_EQ(Paints.Count, 1) << "painted at once, before any event processing";
    Gauge->SetProgress(35);
    Gauge->SetProgress(135); // clamps to 100: a change
    EXPECT_EQ(Paints.Count, 2);
    Gauge->SetProgress(100);
    Gauge->SetProgress(1000);
    EXPECT_EQ(Paints.Count, 2);
    EXPECT_EQ(Gauge->Progress(), 100);
    Gauge->SetProgress(-5);
    EXPECT_EQ(Gauge->Progress(), 0);
    EXPECT_EQ(Paints.Count, 3);
}

TEST_F(GaugeFixture, RepaintsOnlyWhenTheWholePercentChanges)
{
    Gauge->SetMaxValue(1000);
    QCoreApplication::processEvents();
    PaintCounter Paints(Gauge);
    Gauge->SetProgress(350);
    EXPECT_EQ(Paints.Count, 1);
    Gauge->SetProgress(359); // still 35 %
    EXPECT_EQ(Paints.Count, 1);
    EXPECT_EQ(Gauge->Progress(), 359);
    EXPECT_EQ(Gauge->PercentDone(), 35);
    Gauge->SetProgress(360);
    EXPECT_EQ(Paints.Count, 2);
}

TEST(ProgressGaugeRange, PercentDoneCutsTowardZero)
{
    struct Case {
        int Min, Max, Progress, Percent;
    } Cases[] = {
        {0, 100, 35, 35},
        {50, 150, 100, 50},
        {0, 3, 2, 66},
        {-10, 10, -9, 5},
        {7, 7, 7, 0}, // empty range
        {0, 2147483647, 2147483647, 100},
        {-2147483647 - 1, 2147483647, 0, 50},
        {-2147483647 - 1, 2147483647, -2, 49},
    };
    for (const Case &C : Cases) {
        ProgressGauge G;
        G.SetMaxValue(C.Max);
        G.SetMinValue(C.Min);
        G.SetMaxValue(C.Max);
        G.SetProgress(C.Progress);
        EXPECT_EQ(G.Progress(), C.Progress);
        EXPECT_EQ(G.PercentDone(), C.Percent) << C.Min << ".." << C.Max << " at " << C.Progress;
    }
}

TEST(ProgressGaugeRange, RangeChangesKeepTheProgressInside)
{
    ProgressGauge G;
    G.SetProgress(80);
    G.SetMaxValue(50);
    EXPECT_EQ(G.Progress(), 50);
    G.SetMinValue(60); // above the maximum: the maximum follows
    EXPECT_EQ(G.MaxValue(), 60);
    EXPECT_EQ(G.Progress(), 60);
}

// On a high-density screen the gauge keeps its frame and bar where they are
// in device-independent pixels and writes its percentage at the finer
// resolution, still inverted where it crosses the bar (at 50).
class GaugeDensity : public ::testing::TestWithParam<int> {};

TEST_P(GaugeDensity, SameGeometrySharperText)
{
    ProgressGauge G;
    G.resize(217, 17);
    G.SetProgress(GetParam());
    const QImage Plain = PaintedAt(&G, 1);
    const QImage Sharp = PaintedAt(&G, 2);
    ASSERT_EQ(Sharp.size(), Plain.size() * 2);
    const DensityReport R = CompareDensity(Plain, Sharp, QRect(1, 1, 215, 15));
    EXPECT_EQ(R.MovedOutside, 0) << ::testing::PrintToString(R);
    EXPECT_GT(R.FineDetail, 0.5) << ::testing::PrintToString(R);
    EXPECT_GT(R.Sharpness, 1.3 * R.SmoothSharpness) << ::testing::PrintToString(R);
    // Only black and white: the exclusive-or leaves no grey at any density.
    for (int Y = 0; Y < Sharp.height(); ++Y)
        for (int X = 0; X < Sharp.width(); ++X) {
            const RGB C = PixelAt(Sharp, X, Y);
            ASSERT_TRUE(C == Black || C == White) << X << ", " << Y;
        }
}

INSTANTIATE_TEST_SUITE_P(Progress, GaugeDensity, ::testing::Values(35, 50),
                         [](const ::testing::TestParamInfo<int> &Info) {
                             return PercentName(Info.param);
                         });

} // namespace
