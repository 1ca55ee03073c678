// TxpCheckBox: box looks, check mark, caption placement, and toggling by
// mouse, Space and accelerator counted through OnClick.
#include "controls/PixelnookFont.h"
#include "controls/xpCheckBox.h"
#include "tests/support/WidgetTestSupport.h"

#include <QEnterEvent>
#include <QFontMetrics>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <vector>

namespace {

const RGB Face{236, 233, 216}, Outline{28, 81, 128}, Green{0, 160, 0}, Silver{192, 192, 192};
const RGB Grey{128, 128, 128}, White{255, 255, 255};

void Enter(QWidget *W)
{
    QEnterEvent E(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QCoreApplication::sendEvent(W, &E);
}

class CheckBoxFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form.setPalette(PinnedPalette());
        Form.resize(260, 80);
        Edit = new QLineEdit(&Form);
        Edit->setGeometry(150, 40, 80, 20);
        Box = new TxpCheckBox(&Form);
        Box->setGeometry(10, 10, 120, 17);
        Box->OnClick = [this](QObject *Sender) {
            EXPECT_EQ(Sender, Box);
            Seen.push_back(Box->Checked());
        };
        Form.show();
        Form.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&Form));
        Edit->setFocus();
        ASSERT_FALSE(Box->HasFocus());
    }

    QWidget Form;
    TxpCheckBox *Box = nullptr;
    QLineEdit *Edit = nullptr;
    std::vector<bool> Seen; // Checked as each OnClick read it
};

struct PixelCase {
    int X, Y;
    RGB Colour;
};

void ExpectPixels(const QImage &Img, const std::vector<PixelCase> &Cases)
{
    for (const PixelCase &C : Cases)
        EXPECT_EQ(PixelAt(Img, C.X, C.Y), C.Colour) << "at (" << C.X << ", " << C.Y << ")";
}

TEST_F(CheckBoxFixture, ConstructedWithItsDefaults)
{
    TxpCheckBox Fresh;
    EXPECT_EQ(Fresh.size(), QSize(97, 17));
    EXPECT_EQ(Fresh.Caption(), QStringLiteral("XP Checkbox"));
    EXPECT_EQ(Fresh.Alignment(), cbaRight);
    EXPECT_EQ(Fresh.Color(), clBtnFace);
    EXPECT_EQ(Fresh.Font(), PixelnookFont());
    EXPECT_EQ(Fresh.focusPolicy(), Qt::TabFocus);
    EXPECT_FALSE(Fresh.Checked() || Fresh.MouseOver() || Fresh.Pressed() || Fresh.HasFocus());
}

// The normal box: ten one-pixel bands from (220, 220, 215) on rows 1..10, the
// end colour on rows 11..14, outline on rows 1 and 14 and columns 1 and 14.
TEST_F(CheckBoxFixture, NormalBoxRows)
{
    const RGB Rows[] = {{224, 224, 219}, {228, 228, 224}, {232, 232, 228},
                        {236, 236, 233}, {239, 239, 237}, {243, 243, 242},
                        {247, 247, 246}, {251, 251, 251}, {255, 255, 255}};
    const QImage Img = Box->Render();
    for (int Y = 2; Y <= 13; ++Y)
        for (int X = 2; X <= 13; ++X)
            ASSERT_EQ(PixelAt(Img, X, Y), Y <= 10 ? Rows[Y - 2] : White) << X << "," << Y;
    for (int I = 1; I <= 14; ++I) {
        EXPECT_EQ(PixelAt(Img, I, 1), Outline);
        EXPECT_EQ(PixelAt(Img, I, 14), Outline);
        EXPECT_EQ(PixelAt(Img, 1, I), Outline);
        EXPECT_EQ(PixelAt(Img, 14, I), Outline);
    }
    ExpectPixels(Img, {{0, 0, Face},
                       {0, 8, Face},
                       {15, 8, Face},
                       {19, 8, Face},
                       {8, 0, Face},
                       {8, 15, Face},
                       {8, 16, Face}});
}

TEST_F(CheckBoxFixture, HotRingAndPressedFill)
{
    const RGB Top{254, 233, 189}, Row5{252, 213, 136}, End{248, 179, 48};
    Enter(Box);
    ASSERT_TRUE(Box->MouseOver());
    ExpectPixels(Box->Render(), {
                                    {5, 2, Top},
                                    {13, 2, Top}, // one pixel at the top
                                    {2, 5, Row5}, // one at the left
                                    {12, 5, Row5},
                                    {13, 5, Row5}, // two at the right
                                    {5, 12, End},
                                    {5, 13, End},
                                    {12, 12, End}, // two at the bottom
                                    {3, 3, Face},
                                    {11, 3, Face},
                                    {3, 11, Face},
                                    {11, 11, Face},
                                    {7, 7, Face},
                                    {1, 5, Outline},
                                    {14, 5, Outline},
                                    {5, 1, Outline},
                                    {5, 14, Outline},
                                });

    // Pressed wins over the pointer: (176, 176, 167) down to (241, 239, 223).
    QTest::mousePress(Box, Qt::LeftButton, Qt::NoModifier, QPoint(8, 8));
    ASSERT_TRUE(Box->Pressed());
    ExpectPixels(Box->Render(), {{5, 2, {183, 183, 173}},
                                 {7, 7, {219, 218, 204}},
                                 {5, 12, {241, 239, 223}},
                                 {1, 5, Outline}});
}

struct MarkCase {
    const char *Name;
    TCheckBoxAlignment Alignment;
    bool Enabled;
    RGB Mark, BoxFill, BoxOutline;
};

class CheckMark : public CheckBoxFixture, public ::testing::WithParamInterface<MarkCase> {};

TEST_P(CheckMark, DrawnThroughItsThreePoints)
{
    const MarkCase &C = GetParam();
    Box->SetAlignment(C.Alignment);
    Box->setEnabled(C.Enabled);
    const int L = C.Alignment == cbaRight ? 1 : Box->width() - 15;
    const QImage Unchecked = Box->Render();
    Box->SetChecked(true);
    const QImage Img = Box->Render();
    for (QPoint P : {QPoint(L + 3, 7), QPoint(L + 5, 10), QPoint(L + 9, 5), QPoint(L + 4, 8),
                     QPoint(L + 7, 8)})
        EXPECT_EQ(PixelAt(Img, P.x(), P.y()), C.Mark) << P.x() << "," << P.y();
    // Three pixels wide: the neighbours across the first stroke are marked too.
    EXPECT_EQ(PixelAt(Img, L + 3, 6), C.Mark);
    EXPECT_EQ(PixelAt(Img, L + 3, 8), C.Mark);
    // The mark stays inside the box and away from its corners.
    EXPECT_EQ(PixelAt(Img, L + 11, 12), PixelAt(Unchecked, L + 11, 12));
    EXPECT_EQ(PixelAt(Img, L + 2, 12), PixelAt(Unchecked, L + 2, 12));
    EXPECT_EQ(PixelAt(Img, L, 7), C.BoxOutline);
    EXPECT_EQ(PixelAt(Img, L + 13, 7), C.BoxOutline);
    EXPECT_EQ(PixelAt(Img, L + 11, 12), C.BoxFill);
}

INSTANTIATE_TEST_SUITE_P(
    Looks, CheckMark,
    ::testing::Values(MarkCase{"Right", cbaRight, true, Green, White, Outline},
                      MarkCase{"Left", cbaLeft, true, Green, White, Outline},
                      MarkCase{"RightDisabled", cbaRight, false, Silver, White, Grey},
                      MarkCase{"LeftDisabled", cbaLeft, false, Silver, White, Grey}),
    [](const ::testing::TestParamInfo<MarkCase> &I) { return std::string(I.param.Name); });

// Bounding box of the caption's pixels: whatever is not the background
// within the columns the box leaves free.
QRect Ink(const QImage &Img, int FromX, int ToX)
{
    QRect Box;
    for (int Y = 0; Y < Img.height(); ++Y)
        for (int X = FromX; X <= ToX; ++X)
            if (PixelAt(Img, X, Y) != Face)
                Box |= QRect(X, Y, 1, 1);
    return Box;
}

TEST_F(CheckBoxFixture, CaptionBesideTheBoxAndClipped)
{
    const QString Long = QStringLiteral("WWWWWWWWWWWWWWWWWWWWWWWW");
    const QFontMetrics FM(Box->Font());
    const int Y0 = (17 - FM.height()) / 2;
    Box->SetCaption(Long);

    const QRect Right = Ink(Box->Render(), 15, 119);
    EXPECT_GE(Right.left(), 20);
    EXPECT_LE(Right.left(), 21);
    EXPECT_LE(Right.right(), 120 - 3);
    EXPECT_GE(Right.right(), 120 - 6) << "a long caption runs up to the clip edge";
    EXPECT_GE(Right.top(), Y0);

    Box->SetAlignment(cbaLeft);
    const QImage Img = Box->Render();
    const QRect Left = Ink(Img, 0, 104);
    EXPECT_GE(Left.left(), 2);
    EXPECT_LE(Left.left(), 3);
    EXPECT_LE(Left.right(), 120 - 21);
    // The box against the right edge: columns W - 15 ... W - 2.
    ExpectPixels(
        Img,
        {{105, 5, Outline}, {118, 5, Outline}, {119, 5, Face}, {104, 5, Face}, {100, 16, Face}});

    Box->setEnabled(false);
    EXPECT_EQ(Ink(Box->Render(), 0, 104), Left) << "the caption stays in place when disabled";
    EXPECT_EQ(PixelAt(Box->Render(), 105, 5), Grey);
}

TEST_F(CheckBoxFixture, FocusRectangleAroundTheCaption)
{
    struct Case {
        TCheckBoxAlignment Alignment;
        int Left, Right; // the rectangle's outer columns
    };
    const QFontMetrics FM(Box->Font());
    const int TW = FM.horizontalAdvance(QStringLiteral("XP Checkbox"));
    const Case Cases[] = {{cbaRight, 17, TW + 24}, {cbaLeft, 1, TW + 7}};
    for (const Case &C : Cases) {
        Box->SetAlignment(C.Alignment);
        Edit->setFocus();
        const QImage Before = Box->Render();
        QTest::mousePress(Box, Qt::LeftButton, Qt::NoModifier, QPoint(8, 8));
        QTest::mouseRelease(Box, Qt::LeftButton, Qt::NoModifier, QPoint(8, 8));
        ASSERT_TRUE(Box->HasFocus());
        const QImage After = Box->Render();
        const auto Dotted = [&](int X, int Y) {
            const RGB B = PixelAt(Before, X, Y);
            return (X + Y) % 2 == 0 ? RGB{255 - B.R, 255 - B.G, 255 - B.B} : B;
        };
        for (int X = C.Left; X <= C.Right; ++X) {
            EXPECT_EQ(PixelAt(After, X, 1), Dotted(X, 1)) << X;
            EXPECT_EQ(PixelAt(After, X, 15), Dotted(X, 15)) << X;
        }
        for (int Y = 2; Y <= 14; ++Y) {
            EXPECT_EQ(PixelAt(After, C.Left, Y), Dotted(C.Left, Y)) << Y;
            EXPECT_EQ(PixelAt(After, C.Right, Y), Dotted(C.Right, Y)) << Y;
        }
    }
    Box->setFocus();
    ASSERT_TRUE(Box->HasFocus());
    const QImage Focused = Box->Render();
    Box->setEnabled(false);
    EXPECT_EQ(PixelAt(Box->Render(), 1, 1), Face);
    EXPECT_NE(PixelAt(Focused, 1, 1), Face);
}

TEST_F(CheckBoxFixture, DisabledBoxIsWhiteWithAGreyOutline)
{
    Enter(Box);
    QTest::mousePress(Box, Qt::LeftButton, Qt::NoModifier, QPoint(8, 8));
    Box->setEnabled(false);
    ExpectPixels(Box->Render(), {{5, 5, White},
                                 {2, 2, White},
                                 {13, 13, White},
                                 {1, 1, Grey},
                                 {14, 14, Grey},
                                 {1, 8, Grey},
                                 {8, 14, Grey}});
}

TEST_F(CheckBoxFixture, BoxClippedInALowControl)
{
    Box->resize(60, 10); // box rows -2 ... 11: only its middle shows
    const QImage Img = Box->Render();
    ASSERT_EQ(Img.size(), QSize(60, 10));
    EXPECT_EQ(PixelAt(Img, 1, 5), Outline);
    EXPECT_EQ(PixelAt(Img, 14, 0), Outline);
    EXPECT_NE(PixelAt(Img, 5, 0), Outline) << "the top edge lies above the control";
}

// --- behaviour -------------------------------------------------------------

TEST_F(CheckBoxFixture, ClickTogglesOnReleaseAndOnClickReadsTheNewValue)
{
    QTest::mousePress(Box, Qt::LeftButton, Qt::NoModifier, QPoint(8, 8));
    EXPECT_TRUE(Seen.empty());
    EXPECT_FALSE(Box->Checked());
    QTest::mouseRelease(Box, Qt::LeftButton, Qt::NoModifier, QPoint(8, 8));
    EXPECT_EQ(Seen, std::vector<bool>{true});
    QTest::mouseClick(Box, Qt::LeftButton, Qt::NoModifier, QPoint(40, 8));
    EXPECT_EQ(Seen, (std::vector<bool>{true, false}));
}

TEST_F(CheckBoxFixture, CheckedFromCodeRaisesNoOnClickButRedrawsAtOnce)
{
    QCoreApplication::processEvents();
    PaintCounter Paints(Box);
    Box->SetChecked(true);
    EXPECT_EQ(Paints.Count, 1);
    Box->SetChecked(true);
    EXPECT_EQ(Paints.Count, 1);
    EXPECT_TRUE(Box->Checked());
    EXPECT_TRUE(Seen.empty());
    Box->SetAlignment(cbaLeft);
    EXPECT_EQ(Paints.Count, 2);
    Box->SetCaption(QStringLiteral("XP Checkbox"));
    EXPECT_EQ(Paints.Count, 2) << "same caption";
    Box->SetColor(RGBColor(1, 2, 3));
    EXPECT_EQ(Paints.Count, 2) << "Color only requests a redraw";
    QCoreApplication::processEvents();
    EXPECT_EQ(PixelAt(Box->Render(), 0, 0), (RGB{1, 2, 3}));
}

struct Step {
    enum Kind { Press, Release, DoubleClick, RightClick, KeyDown, KeyUp, KeyRepeat } What;
    int KeyOrX = 8;
};

struct ToggleCase {
    const char *Name;
    std::vector<Step> Steps;
    std::vector<bool> Seen;
    bool PressedAfter;
};

class CheckBoxToggles : public CheckBoxFixture, public ::testing::WithParamInterface<ToggleCase> {};

TEST_P(CheckBoxToggles, TogglesAndReports)
{
    const ToggleCase &C = GetParam();
    for (const Step &S : C.Steps) {
        const QPoint At(S.KeyOrX, 8);
        switch (S.What) {
        case Step::Press: QTest::mousePress(Box, Qt::LeftButton, Qt::NoModifier, At); break;
        case Step::Release: QTest::mouseRelease(Box, Qt::LeftButton, Qt::NoModifier, At); break;
        case Step::DoubleClick: {
            QTest::mousePress(Box, Qt::LeftButton, Qt::NoModifier, At);
            QTest::mouseRelease(Box, Qt::LeftButton, Qt::NoModifier, At);
            QMouseEvent D(QEvent::MouseButtonDblClick, QPointF(At), Box->mapToGlobal(QPointF(At)),
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(Box, &D);
            QTest::mouseRelease(Box, Qt::LeftButton, Qt::NoModifier, At);
            break;
        }
        case Step::RightClick: QTest::mouseClick(Box, Qt::RightButton, Qt::NoModifier, At); break;
        case Step::KeyDown: QTest::keyPress(Box, Qt::Key(S.KeyOrX)); break;
        case Step::KeyUp: QTest::keyRelease(Box, Qt::Key(S.KeyOrX)); break;
        case Step::KeyRepeat: {
            QKeyEvent Up(QEvent::KeyRelease, S.KeyOrX, Qt::NoModifier, QString(), true);
            QCoreApplication::sendEvent(Box, &Up);
            QKeyEvent Down(QEvent::KeyPress, S.KeyOrX, Qt::NoModifier, QString(), true);
            QCoreApplication::sendEvent(Box, &Down);
            break;
        }
        }
    }
    EXPECT_EQ(Seen, C.Seen);
    EXPECT_EQ(Box->Checked(), C.Seen.size() % 2 == 1);
    EXPECT_EQ(Box->Pressed(), C.PressedAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Sequences, CheckBoxToggles,
    ::testing::Values(
        ToggleCase{"DoubleClickTogglesTwice", {{Step::DoubleClick}}, {true, false}, false},
        ToggleCase{
            "ReleasedElsewhereStaysPressed", {{Step::Press}, {Step::Release, 200}}, {}, true},
        ToggleCase{"NextReleaseOverTheBoxToggles",
                   {{Step::Press}, {Step::Release, 200}, {Step::Press}, {Step::Release}},
                   {true},
                   false},
        ToggleCase{"RightButtonDoesNothing", {{Step::RightClick}}, {}, false},
        ToggleCase{
            "Space", {{Step::KeyDown, Qt::Key_Space}, {Step::KeyUp, Qt::Key_Space}}, {true}, false},
        ToggleCase{"SpaceTogglesOnlyOnRelease", {{Step::KeyDown, Qt::Key_Space}}, {}, true},
        ToggleCase{"EnterDoesNothing",
                   {{Step::KeyDown, Qt::Key_Return}, {Step::KeyUp, Qt::Key_Return}},
                   {},
                   false},
        ToggleCase{"SpaceHeldOtherKeyReleasedTogglesOnce",
                   {{Step::KeyDown, Qt::Key_Space},
                    {Step::KeyDown, Qt::Key_A},
                    {Step::KeyUp, Qt::Key_A},
                    {Step::KeyUp, Qt::Key_Space}},
                   {true},
                   false},
        ToggleCase{"AutoRepeatTogglesOnce",
                   {{Step::KeyDown, Qt::Key_Space},
                    {Step::KeyRepeat, Qt::Key_Space},
                    {Step::KeyRepeat, Qt::Key_Space},
                    {Step::KeyUp, Qt::Key_Space}},
                   {true},
                   false}),
    [](const ::testing::TestParamInfo<ToggleCase> &I) { return std::string(I.param.Name); });

TEST_F(CheckBoxFixture, RightButtonLeavesTheFocusWhereItWas)
{
    QTest::mouseClick(Box, Qt::RightButton, Qt::NoModifier, QPoint(8, 8));
    EXPECT_TRUE(Edit->hasFocus());
    EXPECT_FALSE(Box->HasFocus());
    QTest::mouseClick(Box, Qt::LeftButton, Qt::NoModifier, QPoint(8, 8));
    EXPECT_TRUE(Box->HasFocus());
}

TEST_F(CheckBoxFixture, EnterAndExitFollowTheFocus)
{
    int Entered = 0, Exited = 0;
    Box->OnEnter = [&](QObject *S) {
        EXPECT_EQ(S, Box);
        ++Entered;
    };
    Box->OnExit = [&](QObject *S) {
        EXPECT_EQ(S, Box);
        ++Exited;
    };
    Box->setFocus(Qt::TabFocusReason);
    Edit->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(Entered, 1);
    EXPECT_EQ(Exited, 1);
    EXPECT_FALSE(Box->HasFocus());
}

struct AccelCase {
    const char *Name;
    bool Enabled;
    bool FocusOnBox;
    Qt::Key Key;
    Qt::KeyboardModifiers Modifiers;
    std::vector<bool> Seen;
};

class CheckBoxAccelerator : public CheckBoxFixture,
                            public ::testing::WithParamInterface<AccelCase> {};

TEST_P(CheckBoxAccelerator, FocusesAndToggles)
{
    const AccelCase &C = GetParam();
    Box->SetCaption(QStringLiteral("Make &image pages"));
    Box->setEnabled(C.Enabled);
    QWidget *Target = C.FocusOnBox ? static_cast<QWidget *>(Box) : Edit;
    if (C.FocusOnBox)
        Box->setFocus();
    QTest::keyClick(Target, C.Key, C.Modifiers);
    EXPECT_EQ(Seen, C.Seen);
    EXPECT_EQ(Box->HasFocus(), C.Enabled && (C.FocusOnBox || !C.Seen.empty()));
}

INSTANTIATE_TEST_SUITE_P(
    Keys, CheckBoxAccelerator,
    ::testing::Values(
        AccelCase{"AltFromTheEdit", true, false, Qt::Key_I, Qt::AltModifier, {true}},
        AccelCase{"PlainWhileFocused", true, true, Qt::Key_I, Qt::NoModifier, {true}},
        AccelCase{"UpperCaseWhileFocused", true, true, Qt::Key_I, Qt::ShiftModifier, {true}},
        AccelCase{"OtherCharacter", true, true, Qt::Key_M, Qt::NoModifier, {}},
        AccelCase{"PlainInTheEditIsTyping", true, false, Qt::Key_I, Qt::NoModifier, {}},
        AccelCase{"DisabledIgnoresIt", false, false, Qt::Key_I, Qt::AltModifier, {}}),
    [](const ::testing::TestParamInfo<AccelCase> &I) { return std::string(I.param.Name); });

} // namespace
