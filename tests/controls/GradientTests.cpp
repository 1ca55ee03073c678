// FillGradient: band geometry, channel rounding, directions, system colours
// and the painter state it leaves behind.
#include "controls/XPGraphUtil.h"
#include "tests/support/WidgetTestSupport.h"

#include <QApplication>
#include <QPainter>

#include <gtest/gtest.h>

#include <vector>

namespace {

const RGB Untouched{255, 0, 255};

QImage Canvas(int W, int H)
{
    QImage Img(W, H, QImage::Format_RGB32);
    Img.fill(QColor(Untouched.R, Untouched.G, Untouched.B));
    return Img;
}

QImage Paint(int W, int H, const TRect &R, TColor From, TColor To, TGradientDirection Dir,
             quint8 Count)
{
    QImage Img = Canvas(W, H);
    QPainter P(&Img);
    FillGradient(P, R, From, To, Dir, Count, PinnedPalette());
    return Img;
}

// Colour of each line along the axis (rows for vertical, columns for horizontal),
// checked across the whole rectangle and nothing painted outside it.
void ExpectLines(const QImage &Img, const TRect &R, bool Vertical, const std::vector<RGB> &Lines)
{
    ASSERT_EQ(int(Lines.size()), Vertical ? RectHeight(R) : RectWidth(R));
    for (int Y = 0; Y < Img.height(); ++Y)
        for (int X = 0; X < Img.width(); ++X) {
            const bool Inside = X >= R.Left && X < R.Right && Y >= R.Top && Y < R.Bottom;
            const RGB Want = Inside ? Lines[Vertical ? Y - R.Top : X - R.Left] : Untouched;
            ASSERT_EQ(PixelAt(Img, X, Y), Want) << "at (" << X << ", " << Y << ")";
        }
}

const RGB Near{253, 253, 253}, Blue{205, 204, 223};
const TColor NearC = RGBColor(253, 253, 253), BlueC = RGBColor(205, 204, 223);

std::vector<RGB> Repeat(std::initializer_list<RGB> Bands, int Each, RGB Tail, int TailCount)
{
    std::vector<RGB> Out;
    for (const RGB &B : Bands)
        Out.insert(Out.end(), Each, B);
    Out.insert(Out.end(), TailCount, Tail);
    return Out;
}

struct GradientCase {
    const char *Name;
    TRect R;
    TColor From, To;
    TGradientDirection Dir;
    quint8 Count;
    std::vector<RGB> Lines;
};

class GradientLines : public ::testing::TestWithParam<GradientCase> {};

TEST_P(GradientLines, PaintsTheBandsAndNothingElse)
{
    const GradientCase &C = GetParam();
    const QImage Img = Paint(80, 30, C.R, C.From, C.To, C.Dir, C.Count);
    ExpectLines(Img, C.R, C.Dir == gdTopToBottom || C.Dir == gdBottomToTop, C.Lines);
}

// The face of a 75 x 25 button: eight 2-pixel bands and one last line in the end colour.
const std::vector<RGB> ButtonFace = Repeat({{253, 253, 253},
                                            {246, 246, 249},
                                            {239, 239, 244},
                                            {232, 232, 240},
                                            {226, 225, 236},
                                            {219, 218, 232},
                                            {212, 211, 227},
                                            {205, 204, 223}},
                                           2, Blue, 1);
// The same colours bottom to top start from the blue-grey end.
const std::vector<RGB> ButtonFaceReversed = Repeat({{205, 204, 223},
                                                    {212, 211, 227},
                                                    {219, 218, 232},
                                                    {226, 225, 236},
                                                    {232, 232, 240},
                                                    {239, 239, 244},
                                                    {246, 246, 249},
                                                    {253, 253, 253}},
                                                   2, Near, 1);

INSTANTIATE_TEST_SUITE_P(
    Bands, GradientLines,
    ::testing::Values(
        GradientCase{"ButtonFace", {4, 4, 71, 21}, NearC, BlueC, gdTopToBottom, 8, ButtonFace},
        GradientCase{"ButtonFaceBottomToTop",
                     {4, 4, 71, 21},
                     NearC,
                     BlueC,
                     gdBottomToTop,
                     8,
                     ButtonFaceReversed},
        // Horizontal: the same bands as columns, starting at the left edge.
        GradientCase{"LeftToRight", {3, 2, 20, 6}, NearC, BlueC, gdLeftToRight, 8, ButtonFace},
        GradientCase{
            "RightToLeft", {3, 2, 20, 6}, NearC, BlueC, gdRightToLeft, 8, ButtonFaceReversed},
        // One pixel along the axis: no band fits, the line takes the end colour.
        GradientCase{"OneRowTopToBottom", {0, 5, 10, 6}, NearC, BlueC, gdTopToBottom, 8, {Blue}},
        GradientCase{"OneRowBottomToTop", {0, 5, 10, 6}, NearC, BlueC, gdBottomToTop, 8, {Near}},
        GradientCase{"OneColumnRightToLeft", {7, 0, 8, 4}, NearC, BlueC, gdRightToLeft, 8, {Near}},
        // More bands asked than lines: one band per line, no remainder.
        GradientCase{"CountAboveSize",
                     {1, 1, 9, 6},
                     RGBColor(0, 0, 0),
                     RGBColor(100, 200, 40),
                     gdTopToBottom,
                     200,
                     {{0, 0, 0}, {25, 50, 10}, {50, 100, 20}, {75, 150, 30}, {100, 200, 40}}},
        // Halves round away from zero, both ways: 10 - 0.5 -> 9, 10 + 0.5 -> 11, 10 - 1.5 -> 8.
        GradientCase{"HalvesAwayFromZero",
                     {0, 0, 4, 3},
                     RGBColor(10, 10, 10),
                     RGBColor(9, 11, 7),
                     gdTopToBottom,
                     3,
                     {{10, 10, 10}, {9, 11, 8}, {9, 11, 7}}},
        // Count 0 or 1: a plain fill in FromColor whatever the direction.
        GradientCase{"CountOne", {2, 2, 6, 5}, NearC, BlueC, gdBottomToTop, 1, {Near, Near, Near}},
        GradientCase{
            "CountZero", {2, 2, 6, 5}, NearC, BlueC, gdRightToLeft, 0, {Near, Near, Near, Near}},
        // Count 2 over 5 lines: two 2-line bands, the fifth line in the end colour.
        GradientCase{"TwoBandsAndRemainder",
                     {0, 0, 3, 5},
                     RGBColor(0, 0, 0),
                     RGBColor(255, 255, 255),
                     gdTopToBottom,
                     2,
                     {{0, 0, 0}, {0, 0, 0}, {255, 255, 255}, {255, 255, 255}, {255, 255, 255}}}),
    [](const ::testing::TestParamInfo<GradientCase> &I) { return std::string(I.param.Name); });

TEST(FillGradient, EmptyRectanglesDrawNothing)
{
    const TRect Empty[] = {{5, 5, 5, 10}, {5, 5, 10, 5}, {10, 5, 5, 10}, {5, 10, 10, 5}};
    for (const TRect &R : Empty)
        for (quint8 Count : {quint8(0), quint8(8)}) {
            const QImage Img = Paint(20, 20, R, NearC, BlueC, gdTopToBottom, Count);
            EXPECT_EQ(Img, Canvas(20, 20))
                << R.Left << "," << R.Top << "," << R.Right << "," << R.Bottom;
        }
}

TEST(FillGradient, SystemColoursAreResolvedAgainstThePalette)
{
    QPalette Pal = PinnedPalette();
    Pal.setColor(QPalette::Window, QColor(1, 2, 3));
    QImage Img = Canvas(4, 2);
    {
        QPainter P(&Img);
        FillGradient(P, TRect{0, 0, 4, 2}, clBtnFace, RGBColor(9, 9, 9), gdTopToBottom, 2, Pal);
    }
    EXPECT_EQ(PixelAt(Img, 0, 0), (RGB{1, 2, 3}));
    EXPECT_EQ(PixelAt(Img, 0, 1), (RGB{9, 9, 9}));

    // Without a palette an image canvas takes the application's.
    const QPalette Saved = QApplication::palette();
    QApplication::setPalette(Pal);
    QImage Img2 = Canvas(4, 2);
    {
        QPainter P(&Img2);
        FillGradient(P, TRect{0, 0, 4, 2}, RGBColor(9, 9, 9), clBtnFace, gdTopToBottom, 1);
        FillGradient(P, TRect{0, 1, 4, 2}, RGBColor(9, 9, 9), clBtnFace, gdTopToBottom, 2);
    }
    QApplication::setPalette(Saved);
    EXPECT_EQ(PixelAt(Img2, 0, 0), (RGB{9, 9, 9}));
    EXPECT_EQ(PixelAt(Img2, 3, 1), (RGB{1, 2, 3}));
}

TEST(FillGradient, LeavesTheBrushAndASolidPen)
{
    struct Case {
        quint8 Count;
        Qt::PenStyle PenAfter;
    } Cases[] = {{8, Qt::SolidLine}, {1, Qt::DashLine}}; // the plain fill leaves the pen alone
    for (const Case &C : Cases) {
        QImage Img = Canvas(20, 20);
        QPainter P(&Img);
        P.setBrush(Qt::NoBrush);
        P.setPen(QPen(QColor(1, 2, 3), 2, Qt::DashLine));
        FillGradient(P, TRect{0, 0, 20, 20}, NearC, BlueC, gdTopToBottom, C.Count, PinnedPalette());
        EXPECT_EQ(P.brush().style(), Qt::NoBrush);
        EXPECT_EQ(P.pen().style(), C.PenAfter);
        EXPECT_EQ(P.pen().color(), QColor(1, 2, 3));
        EXPECT_EQ(P.pen().width(), 2);
        EXPECT_EQ(P.compositionMode(), QPainter::CompositionMode_SourceOver);

        // A solid brush set before is still the brush after.
        P.setBrush(QColor(7, 8, 9));
        FillGradient(P, TRect{0, 0, 20, 20}, NearC, BlueC, gdLeftToRight, C.Count, PinnedPalette());
        EXPECT_EQ(P.brush().style(), Qt::SolidPattern);
        EXPECT_EQ(P.brush().color(), QColor(7, 8, 9));
    }
}

TEST(FillGradient, ColoursNeverLeaveTheByteRange)
{
    // Every count from 2 to 255 over the widest swing, in both directions.
    for (int Count = 2; Count <= 255; ++Count)
        for (TGradientDirection Dir : {gdTopToBottom, gdBottomToTop}) {
            QImage Img = Canvas(1, 255);
            {
                QPainter P(&Img);
                FillGradient(P, TRect{0, 0, 1, 255}, RGBColor(0, 255, 0), RGBColor(255, 0, 255),
                             Dir, quint8(Count), PinnedPalette());
            }
            const RGB Start = Dir == gdTopToBottom ? RGB{0, 255, 0} : RGB{255, 0, 255};
            const RGB End = Dir == gdTopToBottom ? RGB{255, 0, 255} : RGB{0, 255, 0};
            ASSERT_EQ(PixelAt(Img, 0, 0), Start) << Count;
            ASSERT_EQ(PixelAt(Img, 0, 254), End) << Count;
            // Monotonic from start to end in every channel.
            for (int Y = 1; Y < 255; ++Y) {
                const RGB A = PixelAt(Img, 0, Y - 1), B = PixelAt(Img, 0, Y);
                ASSERT_TRUE(Dir == gdTopToBottom ? (B.R >= A.R && B.G <= A.G)
                                                 : (B.R <= A.R && B.G >= A.G))
                    << "count " << Count << " row " << Y;
            }
        }
}

} // namespace
