// TxpButton: its looks pixel by pixel, and its mouse, key, focus and
// accelerator behaviour counted through OnClick.
#include "controls/PixelnookFont.h"
#include "controls/xpButton.h"
#include "tests/support/WidgetTestSupport.h"

#include <QDialog>
#include <QEnterEvent>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

namespace {

const RGB Grey{214, 211, 211}, Navy{0, 60, 116}, White{255, 255, 255}, Orange{248, 179, 48};
const RGB AccentTop{206, 231, 255}, AccentBottom{105, 130, 238}, AccentFrame{188, 212, 246};
const RGB Face{236, 233, 216};

void Enter(QWidget *W)
{
    QEnterEvent E(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QCoreApplication::sendEvent(W, &E);
}

void Leave(QWidget *W)
{
    QEvent E(QEvent::Leave);
    QCoreApplication::sendEvent(W, &E);
}

void DoubleClick(QWidget *W, QPoint At)
{
    QTest::mousePress(W, Qt::LeftButton, Qt::NoModifier, At);
    QTest::mouseRelease(W, Qt::LeftButton, Qt::NoModifier, At);
    QMouseEvent D(QEvent::MouseButtonDblClick, QPointF(At), W->mapToGlobal(QPointF(At)),
                  Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(W, &D);
    QTest::mouseRelease(W, Qt::LeftButton, Qt::NoModifier, At);
}

// The dots of the focus rectangle on the face of a 75 x 25 button.
bool OnFocusDot(int X, int Y)
{
    return (X == 4 || X == 70 || Y == 4 || Y == 20) && (X + Y) % 2 == 0;
}

// A window with the button and a line edit, shown and active.
class ButtonFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form.setPalette(PinnedPalette());
        Form.resize(200, 80);
        Button = new TxpButton(&Form);
        Button->setGeometry(10, 10, 75, 25);
        Button->SetCaption(QString());
        Button->OnClick = [this](QObject *Sender) {
            EXPECT_EQ(Sender, Button);
            ++Clicks;
        };
        Edit = new QLineEdit(&Form);
        Edit->setGeometry(100, 10, 80, 20);
        Form.show();
        Form.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&Form));
        // The window gives its first control the focus; start from the edit.
        Edit->setFocus();
        ASSERT_FALSE(Button->HasFocus());
    }

    QWidget Form;
    TxpButton *Button = nullptr;
    QLineEdit *Edit = nullptr;
    int Clicks = 0;
};

// --- looks -----------------------------------------------------------------

TEST_F(ButtonFixture, ConstructedWithItsDefaults)
{
    TxpButton Fresh;
    EXPECT_EQ(Fresh.width(), 75);
    EXPECT_EQ(Fresh.height(), 25);
    EXPECT_EQ(Fresh.Caption(), QStringLiteral("XP Button"));
    EXPECT_EQ(Fresh.Font(), PixelnookFont());
    EXPECT_EQ(Fresh.Font().pixelSize(), 11);
    EXPECT_EQ(Fresh.focusPolicy(), Qt::TabFocus);
    EXPECT_FALSE(Fresh.MouseOver() || Fresh.Pressed() || Fresh.HasFocus() || Fresh.Cancel ||
                 Fresh.Default);
    EXPECT_EQ(Fresh.ModalResult, 0);
}

TEST_F(ButtonFixture, NormalFaceIsEightTwoPixelBands)
{
    const RGB Bands[8] = {{253, 253, 253}, {246, 246, 249}, {239, 239, 244}, {232, 232, 240},
                          {226, 225, 236}, {219, 218, 232}, {212, 211, 227}, {205, 204, 223}};
    const QImage Img = Button->grab().toImage();
    ASSERT_EQ(Img.size(), QSize(75, 25));
    for (int Y = 4; Y <= 20; ++Y)
        for (int X = 4; X <= 70; ++X)
            ASSERT_EQ(PixelAt(Img, X, Y), Y == 20 ? Bands[7] : Bands[(Y - 4) / 2]) << X << "," << Y;
}

TEST_F(ButtonFixture, PressedUnderThePointerIsTwelveFineBandsTurnedOver)
{
    Enter(Button);
    QTest::mousePress(Button, Qt::LeftButton, Qt::NoModifier, QPoint(30, 12));
    ASSERT_TRUE(Button->Pressed() && Button->MouseOver());
    // (205, 204, 223) + round(i * (48, 49, 30) / 11)
    const RGB Bands[12] = {{205, 204, 223}, {209, 208, 226}, {214, 213, 228}, {218, 217, 231},
                           {222, 222, 234}, {227, 226, 237}, {231, 231, 239}, {236, 235, 242},
                           {240, 240, 245}, {244, 244, 248}, {249, 249, 250}, {253, 253, 253}};
    ASSERT_TRUE(Button->HasFocus()) << "the press took the focus";
    const QImage Img = Button->Render();
    for (int Y = 4; Y <= 20; ++Y)
        for (int X = 4; X <= 70; ++X) {
            if (OnFocusDot(X, Y))
                continue;
            ASSERT_EQ(PixelAt(Img, X, Y), Y <= 15 ? Bands[Y - 4] : (RGB{253, 253, 253}))
                << X << "," << Y;
        }
}

TEST_F(ButtonFixture, PressedAwayFromThePointerKeepsTheNormalFace)
{
    QTest::keyPress(Button, Qt::Key_Space);
    ASSERT_TRUE(Button->Pressed());
    ASSERT_FALSE(Button->MouseOver());
    const QImage Img = Button->Render();
    EXPECT_EQ(PixelAt(Img, 10, 4), (RGB{253, 253, 253}));
    EXPECT_EQ(PixelAt(Img, 10, 19), (RGB{205, 204, 223}));
}

struct PixelCase {
    int X, Y;
    RGB Colour;
};

// Body, frame and accent lines of the enabled look (75 x 25, not hot).
TEST_F(ButtonFixture, FrameAndAccentLines)
{
    const std::vector<PixelCase> Cases = {
        {0, 0, Face},          {74, 0, Face},          {74, 24, Face},
        {0, 24, Face}, // rounded off
        {1, 0, Grey},          {0, 1, Grey},           {1, 1, Grey},
        {2, 1, Grey}, // grey body
        {0, 12, Grey},         {37, 0, Grey},          {3, 1, Navy},
        {71, 1, Navy},         {1, 3, Navy},           {1, 21, Navy}, // dark frame
        {2, 2, Navy},          {72, 2, Navy},          {2, 22, Navy},
        {72, 22, Navy},        {37, 23, Navy},         {73, 12, Navy},
        {3, 2, AccentTop},     {71, 2, AccentTop},     {37, 2, AccentTop},
        {3, 22, AccentBottom}, {71, 22, AccentBottom}, {2, 3, AccentFrame},
        {72, 3, AccentFrame},  {37, 3, AccentFrame},   {2, 21, AccentFrame},
        {72, 21, AccentFrame}, {37, 21, AccentFrame},  {2, 12, AccentFrame},
        {72, 12, AccentFrame}, {3, 4, White},          {3, 20, White},
        {71, 4, White},        {71, 20, White},        {3, 24, White},
        {71, 24, White},       {74, 3, White},         {74, 21, White},
        {2, 24, Grey},         {72, 24, Grey},         {74, 2, Grey},
        {74, 22, Grey},
    };
    const QImage Img = Button->Render();
    for (const PixelCase &C : Cases)
        EXPECT_EQ(PixelAt(Img, C.X, C.Y), C.Colour) << "at (" << C.X << ", " << C.Y << ")";
}

TEST_F(ButtonFixture, OrangeRingWhileThePointerIsOver)
{
    const std::vector<QPoint> Ring = {{4, 3},  {37, 3}, {70, 3},  {3, 4},  {3, 12},
                                      {3, 20}, {71, 4}, {71, 20}, {4, 21}, {70, 21}};
    Enter(Button);
    const QImage Hot = Button->Render();
    for (const QPoint &At : Ring)
        EXPECT_EQ(PixelAt(Hot, At.x(), At.y()), Orange) << At.x() << "," << At.y();
    // Rounded 2 x 2: the corner pixel keeps the light frame under it.
    EXPECT_EQ(PixelAt(Hot, 3, 3), AccentFrame);
    // The face inside is untouched.
    EXPECT_EQ(PixelAt(Hot, 4, 4), (RGB{253, 253, 253}));

    Leave(Button);
    const QImage Cold = Button->Render();
    for (const QPoint &At : Ring)
        EXPECT_NE(PixelAt(Cold, At.x(), At.y()), Orange) << At.x() << "," << At.y();
}

TEST_F(ButtonFixture, DisabledLookWhateverTheFlags)
{
    Button->setFocus();
    Enter(Button);
    QTest::mousePress(Button, Qt::LeftButton, Qt::NoModifier, QPoint(30, 12));
    Button->setEnabled(false);
    const std::vector<PixelCase> Cases = {
        {0, 0, Face},
        {74, 0, Face},
        {74, 24, Face},
        {0, 24, Face},
        {1, 0, Grey},
        {0, 1, Grey},
        {73, 24, Grey},
        {74, 12, Grey},
        {1, 1, {241, 241, 237}},
        {10, 10, {241, 241, 237}},
        {4, 4, {241, 241, 237}},
        {3, 3, {241, 241, 237}},
        {3, 1, {196, 195, 191}},
        {2, 2, {196, 195, 191}},
        {1, 12, {196, 195, 191}},
        {73, 12, {196, 195, 191}},
        {37, 23, {196, 195, 191}},
    };
    const QImage Img = Button->Render();
    for (const PixelCase &C : Cases)
        EXPECT_EQ(PixelAt(Img, C.X, C.Y), C.Colour) << "at (" << C.X << ", " << C.Y << ")";
}

// Bounding box of the pixels in a colour within the face.
QRect Ink(const QImage &Img, const RGB &Colour, const QRect &Area)
{
    QRect Box;
    for (int Y = Area.top(); Y <= Area.bottom(); ++Y)
        for (int X = Area.left(); X <= Area.right(); ++X)
            if (PixelAt(Img, X, Y) == Colour)
                Box |= QRect(X, Y, 1, 1);
    return Box;
}

TEST_F(ButtonFixture, CaptionCentredAndShiftedWhilePressed)
{
    Button->SetCaption(QStringLiteral("HH"));
    const QFontMetrics FM(Button->Font());
    const int X0 = (75 - FM.horizontalAdvance(QStringLiteral("HH"))) / 2,
              Y0 = (25 - FM.height()) / 2;
    const QRect FaceArea(4, 4, 67, 17);
    const QRect Normal = Ink(Button->Render(), RGB{0, 0, 0}, FaceArea);
    ASSERT_FALSE(Normal.isEmpty());
    EXPECT_GE(Normal.left(), X0);
    EXPECT_LE(Normal.right(), X0 + FM.horizontalAdvance(QStringLiteral("HH")));
    EXPECT_GE(Normal.top(), Y0);
    EXPECT_LE(Normal.bottom(), Y0 + FM.ascent());

    QTest::keyPress(Button, Qt::Key_Space); // pressed, pointer elsewhere
    EXPECT_EQ(Ink(Button->Render(), RGB{0, 0, 0}, FaceArea), Normal.translated(1, 1));
    QTest::keyRelease(Button, Qt::Key_Space);
    EXPECT_EQ(Ink(Button->Render(), RGB{0, 0, 0}, FaceArea), Normal);

    Button->setEnabled(false); // grey caption, never shifted
    EXPECT_EQ(Ink(Button->Render(), RGB{161, 161, 146}, FaceArea), Normal);
}

TEST_F(ButtonFixture, CaptionClippedToTheFace)
{
    Button->SetCaption(QStringLiteral("WWWWWWWWWWWWWWWWWWWWWWWWWWWW"));
    const QImage Img = Button->Render();
    for (int Y = 0; Y < 25; ++Y) {
        for (int X = 0; X < 75; ++X) {
            if (X < 4 || X > 70 || Y < 4 || Y > 20) {
                ASSERT_NE(PixelAt(Img, X, Y), (RGB{0, 0, 0})) << X << "," << Y;
            }
        }
    }
    EXPECT_FALSE(Ink(Img, RGB{0, 0, 0}, QRect(4, 4, 67, 17)).isEmpty());
}

TEST_F(ButtonFixture, DottedFocusRectangleOnTheFace)
{
    const QImage Before = Button->Render();
    Button->setFocus();
    ASSERT_TRUE(Button->HasFocus());
    const QImage After = Button->Render();
    const auto Inverted = [](RGB C) { return RGB{255 - C.R, 255 - C.G, 255 - C.B}; };
    for (int X = 4; X <= 70; ++X)
        for (int Y : {4, 20}) {
            const RGB Want =
                (X + Y) % 2 == 0 ? Inverted(PixelAt(Before, X, Y)) : PixelAt(Before, X, Y);
            EXPECT_EQ(PixelAt(After, X, Y), Want) << X << "," << Y;
        }
    for (int Y = 5; Y <= 19; ++Y)
        for (int X : {4, 70}) {
            const RGB Want =
                (X + Y) % 2 == 0 ? Inverted(PixelAt(Before, X, Y)) : PixelAt(Before, X, Y);
            EXPECT_EQ(PixelAt(After, X, Y), Want) << X << "," << Y;
        }
    EXPECT_EQ(PixelAt(After, 10, 10), PixelAt(Before, 10, 10));
}

struct UnderlineCase {
    const char *Name;
    const char *Caption;
    const char *Shown;
    int Index; // character of Shown underlined; -1 for none
};

class ButtonUnderline : public ButtonFixture,
                        public ::testing::WithParamInterface<UnderlineCase> {};

TEST_P(ButtonUnderline, UnderlinesTheCharacterAfterTheFirstAmpersand)
{
    const UnderlineCase &C = GetParam();
    Button->SetCaption(QString::fromUtf8(C.Caption));
    const QString Shown = QString::fromUtf8(C.Shown);
    const QFontMetrics FM(Button->Font());
    const int X0 = (75 - FM.horizontalAdvance(Shown)) / 2, Y0 = (25 - FM.height()) / 2;
    const int Row = Y0 + FM.height();
    const QImage Img = Button->Render();
    const int From = C.Index < 0 ? 0 : FM.horizontalAdvance(Shown.left(C.Index));
    const int To = C.Index < 0 ? 0 : FM.horizontalAdvance(Shown.left(C.Index + 1));
    ASSERT_LE(Row, 20) << "the underline row lies on the face";
    const RGB Band = PixelAt(Img, 5, Row); // left of any text
    for (int X = 4; X <= 70; ++X) {
        const bool Under = X >= X0 + From && X < X0 + To;
        EXPECT_EQ(PixelAt(Img, X, Row), (Under ? RGB{0, 0, 0} : Band)) << X;
    }
    // Apart from the underline the caption is the shown text.
    if (!Shown.contains(QLatin1Char('&'))) {
        TxpButton Plain(&Form);
        Plain.SetCaption(Shown);
        const QImage PlainImg = Plain.Render();
        for (int Y = 0; Y < 25; ++Y) {
            if (Y == Row)
                continue;
            for (int X = 0; X < 75; ++X)
                ASSERT_EQ(PixelAt(Img, X, Y), PixelAt(PlainImg, X, Y)) << X << "," << Y;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Captions, ButtonUnderline,
                         ::testing::Values(UnderlineCase{"First", "&Go", "Go", 0},
                                           UnderlineCase{"Middle", "Sa&ve", "Save", 2},
                                           UnderlineCase{"TrailingAmpersand", "Go&", "Go", -1},
                                           UnderlineCase{"DoubledAmpersand", "a&&b", "a&b", 1},
                                           UnderlineCase{"NoAmpersand", "Go", "Go", -1}),
                         [](const ::testing::TestParamInfo<UnderlineCase> &I) {
                             return std::string(I.param.Name);
                         });

// --- repaint rules -----------------------------------------------------------

TEST_F(ButtonFixture, PropertiesRedrawAtOnceOnlyWhenTheyChange)
{
    QCoreApplication::processEvents();
    PaintCounter Paints(Button);
    Button->SetCaption(QString());
    EXPECT_EQ(Paints.Count, 0) << "same caption";
    Button->SetCaption(QStringLiteral("Next"));
    EXPECT_EQ(Paints.Count, 1) << "new caption, before any event processing";
    Button->SetFont(Button->Font());
    EXPECT_EQ(Paints.Count, 2) << "font";
    Button->setEnabled(false);
    EXPECT_EQ(Paints.Count, 3) << "disabled";
    Button->ModalResult = 3;
    Button->Default = true;
    Button->setEnabled(true);
    EXPECT_EQ(Paints.Count, 4) << "enabled again";
    Enter(Button);
    EXPECT_EQ(Paints.Count, 5) << "pointer in";
    Enter(Button);
    EXPECT_EQ(Paints.Count, 5) << "pointer in twice";
    Leave(Button);
    EXPECT_EQ(Paints.Count, 6) << "pointer out";
}

// --- clicks --------------------------------------------------------------------

struct Step {
    enum Kind {
        Press,
        Release,
        RightPress,
        RightRelease,
        DoubleClick,
        KeyDown,
        KeyUp,
        KeyRepeat
    } What;
    int KeyOrX = 30;
};

struct ClickCase {
    const char *Name;
    std::vector<Step> Steps;
    int Clicks;
    bool PressedAfter;
};

class ButtonClicks : public ButtonFixture, public ::testing::WithParamInterface<ClickCase> {};

void RunSteps(QWidget *W, const std::vector<Step> &Steps)
{
    for (const Step &S : Steps) {
        const QPoint At(S.KeyOrX, 12);
        switch (S.What) {
        case Step::Press: QTest::mousePress(W, Qt::LeftButton, Qt::NoModifier, At); break;
        case Step::Release: QTest::mouseRelease(W, Qt::LeftButton, Qt::NoModifier, At); break;
        case Step::RightPress: QTest::mousePress(W, Qt::RightButton, Qt::NoModifier, At); break;
        case Step::RightRelease: QTest::mouseRelease(W, Qt::RightButton, Qt::NoModifier, At); break;
        case Step::DoubleClick: DoubleClick(W, At); break;
        case Step::KeyDown: QTest::keyPress(W, Qt::Key(S.KeyOrX)); break;
        case Step::KeyUp: QTest::keyRelease(W, Qt::Key(S.KeyOrX)); break;
        case Step::KeyRepeat: {
            QKeyEvent Up(QEvent::KeyRelease, S.KeyOrX, Qt::NoModifier, QString(), true);
            QCoreApplication::sendEvent(W, &Up);
            QKeyEvent Down(QEvent::KeyPress, S.KeyOrX, Qt::NoModifier, QString(), true);
            QCoreApplication::sendEvent(W, &Down);
            break;
        }
        }
    }
}

TEST_P(ButtonClicks, CountsClicks)
{
    const ClickCase &C = GetParam();
    RunSteps(Button, C.Steps);
    EXPECT_EQ(Clicks, C.Clicks);
    EXPECT_EQ(Button->Pressed(), C.PressedAfter);
}

const int Outside = 120; // a release here is not over the button

INSTANTIATE_TEST_SUITE_P(
    Sequences, ButtonClicks,
    ::testing::Values(
        ClickCase{"Click", {{Step::Press}, {Step::Release}}, 1, false},
        ClickCase{"PressOnly", {{Step::Press}}, 0, true},
        ClickCase{"DoubleClickClicksTwice", {{Step::DoubleClick}}, 2, false},
        ClickCase{
            "ReleasedElsewhereStaysPressed", {{Step::Press}, {Step::Release, Outside}}, 0, true},
        ClickCase{"NextReleaseOverTheButtonClicks",
                  {{Step::Press}, {Step::Release, Outside}, {Step::Press}, {Step::Release}},
                  1,
                  false},
        ClickCase{"RightButtonDoesNothing", {{Step::RightPress}, {Step::RightRelease}}, 0, false},
        ClickCase{"RightReleaseDoesNotEndAPress", {{Step::Press}, {Step::RightRelease}}, 0, true},
        ClickCase{
            "Space", {{Step::KeyDown, Qt::Key_Space}, {Step::KeyUp, Qt::Key_Space}}, 1, false},
        ClickCase{
            "Return", {{Step::KeyDown, Qt::Key_Return}, {Step::KeyUp, Qt::Key_Return}}, 1, false},
        ClickCase{"KeypadEnter",
                  {{Step::KeyDown, Qt::Key_Enter}, {Step::KeyUp, Qt::Key_Enter}},
                  1,
                  false},
        ClickCase{"OtherKeyDoesNothing",
                  {{Step::KeyDown, Qt::Key_A}, {Step::KeyUp, Qt::Key_A}},
                  0,
                  false},
        ClickCase{"SpaceHeldOtherKeyReleasedClicksOnce",
                  {{Step::KeyDown, Qt::Key_Space},
                   {Step::KeyDown, Qt::Key_A},
                   {Step::KeyUp, Qt::Key_A},
                   {Step::KeyUp, Qt::Key_Space}},
                  1,
                  false},
        ClickCase{"AutoRepeatClicksOnceAtTheRealRelease",
                  {{Step::KeyDown, Qt::Key_Space},
                   {Step::KeyRepeat, Qt::Key_Space},
                   {Step::KeyRepeat, Qt::Key_Space},
                   {Step::KeyUp, Qt::Key_Space}},
                  1,
                  false},
        ClickCase{
            "KeyReleaseEndsAMousePress", {{Step::Press}, {Step::KeyUp, Qt::Key_A}}, 1, false}),
    [](const ::testing::TestParamInfo<ClickCase> &I) { return std::string(I.param.Name); });

TEST_F(ButtonFixture, MousePressTakesTheFocusAndShowsIt)
{
    Edit->setFocus();
    ASSERT_FALSE(Button->HasFocus());
    const QImage Before = Button->Render();
    QTest::mousePress(Button, Qt::LeftButton, Qt::NoModifier, QPoint(30, 12));
    EXPECT_TRUE(Button->HasFocus());
    EXPECT_EQ(QApplication::focusWidget(), Button);
    EXPECT_NE(Button->Render().pixel(4, 4), Before.pixel(4, 4)) << "focus rectangle dot";
}

TEST_F(ButtonFixture, RightPressLeavesTheFocusWhereItWas)
{
    Edit->setFocus();
    QTest::mousePress(Button, Qt::RightButton, Qt::NoModifier, QPoint(30, 12));
    QTest::mouseRelease(Button, Qt::RightButton, Qt::NoModifier, QPoint(30, 12));
    EXPECT_FALSE(Button->Pressed());
    EXPECT_EQ(Clicks, 0);
    EXPECT_TRUE(Edit->hasFocus());
    EXPECT_FALSE(Button->HasFocus());
}

TEST_F(ButtonFixture, EnterAndExitFollowTheFocus)
{
    int Entered = 0, Exited = 0;
    Button->OnEnter = [&](QObject *S) {
        EXPECT_EQ(S, Button);
        EXPECT_TRUE(Button->HasFocus());
        ++Entered;
    };
    Button->OnExit = [&](QObject *S) {
        EXPECT_EQ(S, Button);
        ++Exited;
    };
    Edit->setFocus();
    Button->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(Entered, 1);
    EXPECT_TRUE(Button->HasFocus());
    Edit->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(Exited, 1);
    EXPECT_FALSE(Button->HasFocus());
}

TEST_F(ButtonFixture, ClickRunsOnClickBeforeTheDialogResult)
{
    QDialog Dialog;
    TxpButton *Ok = new TxpButton(&Dialog);
    int ResultSeenInHandler = -1;
    Ok->OnClick = [&](QObject *) { ResultSeenInHandler = Dialog.result(); };
    Dialog.setResult(0);

    Ok->Click(); // ModalResult 0: the dialog is left alone
    EXPECT_EQ(ResultSeenInHandler, 0);
    EXPECT_EQ(Dialog.result(), 0);

    Ok->ModalResult = 2;
    Ok->Click();
    EXPECT_EQ(ResultSeenInHandler, 0);
    EXPECT_EQ(Dialog.result(), 2);

    // A plain window has no result to set; the click still happens.
    Button->ModalResult = 2;
    Button->Click();
    EXPECT_EQ(Clicks, 1);
}

// --- Enter / Escape on the window and the accelerator --------------------------

struct FormKeyCase {
    const char *Name;
    bool Default, Cancel, Enabled;
    Qt::Key Key;
    Qt::KeyboardModifiers Modifiers;
    const char *Caption;
    int Clicks;
};

class ButtonFormKeys : public ButtonFixture, public ::testing::WithParamInterface<FormKeyCase> {};

TEST_P(ButtonFormKeys, KeysTypedElsewhereInTheWindow)
{
    const FormKeyCase &C = GetParam();
    Button->Default = C.Default;
    Button->Cancel = C.Cancel;
    Button->SetCaption(QString::fromUtf8(C.Caption));
    Button->setEnabled(C.Enabled);
    // A second button holds the focus: it does not want the key either.
    TxpButton *Other = new TxpButton(&Form);
    Other->setGeometry(10, 40, 75, 25);
    Other->show();
    Other->setFocus();
    ASSERT_TRUE(Other->hasFocus());
    QTest::keyClick(Other, C.Key, C.Modifiers);
    EXPECT_EQ(Clicks, C.Clicks);
    EXPECT_TRUE(Other->hasFocus()) << "the focus does not move";
}

INSTANTIATE_TEST_SUITE_P(
    Keys, ButtonFormKeys,
    ::testing::Values(
        FormKeyCase{"DefaultReturn", true, false, true, Qt::Key_Return, Qt::NoModifier, "", 1},
        FormKeyCase{"DefaultKeypadEnter", true, false, true, Qt::Key_Enter, Qt::KeypadModifier, "",
                    1},
        FormKeyCase{"DefaultIgnoresEscape", true, false, true, Qt::Key_Escape, Qt::NoModifier, "",
                    0},
        FormKeyCase{"CancelEscape", false, true, true, Qt::Key_Escape, Qt::NoModifier, "", 1},
        FormKeyCase{"CancelIgnoresReturn", false, true, true, Qt::Key_Return, Qt::NoModifier, "",
                    0},
        FormKeyCase{"NeitherIgnoresReturn", false, false, true, Qt::Key_Return, Qt::NoModifier, "",
                    0},
        FormKeyCase{"DisabledDefault", true, false, false, Qt::Key_Return, Qt::NoModifier, "", 0},
        FormKeyCase{"AcceleratorCharacter", false, false, true, Qt::Key_S, Qt::NoModifier, "&Save",
                    1},
        FormKeyCase{"AcceleratorOtherCase", false, false, true, Qt::Key_S, Qt::ShiftModifier,
                    "&save", 1},
        FormKeyCase{"AcceleratorWithAlt", false, false, true, Qt::Key_S, Qt::AltModifier, "&Save",
                    1},
        FormKeyCase{"LastMarkedCharacterCounts", false, false, true, Qt::Key_V, Qt::NoModifier,
                    "&Sa&ve", 1},
        FormKeyCase{"EarlierMarkIsNoAccelerator", false, false, true, Qt::Key_S, Qt::NoModifier,
                    "&Sa&ve", 0},
        FormKeyCase{"DoubleAmpersandMarksNothing", false, false, true, Qt::Key_S, Qt::NoModifier,
                    "&&Save", 0},
        FormKeyCase{"OtherCharacter", false, false, true, Qt::Key_X, Qt::NoModifier, "&Save", 0},
        FormKeyCase{"DisabledIgnoresAccelerator", false, false, false, Qt::Key_S, Qt::AltModifier,
                    "&Save", 0}),
    [](const ::testing::TestParamInfo<FormKeyCase> &I) { return std::string(I.param.Name); });

TEST_F(ButtonFixture, KeysTakenByTheFocusedEditDoNotReachTheButtons)
{
    Button->SetCaption(QStringLiteral("&Save"));
    Edit->setFocus();
    QTest::keyClick(Edit, Qt::Key_S);
    EXPECT_EQ(Clicks, 0);
    EXPECT_EQ(Edit->text(), QStringLiteral("s"));
    // Return is not the edit's: it reaches the Default button.
    Button->Default = true;
    QTest::keyClick(Edit, Qt::Key_Return);
    EXPECT_EQ(Clicks, 1);
}

} // namespace
