// The styled controls on a high-density screen: painted at device pixel
// ratio 2 they keep their geometry in device-independent pixels, and their
// captions are drawn at the finer resolution instead of being enlarged.
#include "controls/xpButton.h"
#include "controls/xpCheckBox.h"
#include "tests/support/WidgetTestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

struct DensityCase {
    const char *Name;
    std::function<std::unique_ptr<QWidget>()> Make;
    QRect Detail; // where the caption may hold detail finer than a pixel
};

std::unique_ptr<QWidget> Button(bool Enabled)
{
    auto B = std::make_unique<TxpButton>(nullptr);
    B->resize(89, 25);
    B->SetCaption(QStringLiteral("Build Site"));
    B->setEnabled(Enabled);
    return B;
}

std::unique_ptr<QWidget> CheckBox(TCheckBoxAlignment Alignment)
{
    auto C = std::make_unique<TxpCheckBox>(nullptr);
    C->resize(137, 17);
    C->SetCaption(QStringLiteral("Use custom Template"));
    C->SetAlignment(Alignment);
    return C;
}

class Density : public ::testing::TestWithParam<DensityCase> {};

TEST_P(Density, SameGeometrySharperCaption)
{
    const DensityCase &C = GetParam();
    const std::unique_ptr<QWidget> W = C.Make();
    const QImage Plain = PaintedAt(W.get(), 1);
    const QImage Sharp = PaintedAt(W.get(), 2);
    ASSERT_EQ(Sharp.size(), Plain.size() * 2);
    const DensityReport R = CompareDensity(Plain, Sharp, C.Detail);
    EXPECT_EQ(R.MovedOutside, 0) << ::testing::PrintToString(R);
    EXPECT_GT(R.FineDetail, 0.5) << ::testing::PrintToString(R);
    EXPECT_GT(R.Sharpness, 1.3 * R.SmoothSharpness) << ::testing::PrintToString(R);
}

INSTANTIATE_TEST_SUITE_P(
    Controls, Density,
    ::testing::Values(
        DensityCase{"Button", [] { return Button(true); }, QRect(4, 4, 81, 17)},
        DensityCase{"DisabledButton", [] { return Button(false); }, QRect(4, 4, 81, 17)},
        DensityCase{"CheckBox", [] { return CheckBox(cbaRight); }, QRect(20, 2, 115, 15)},
        DensityCase{"CheckBoxLeft", [] { return CheckBox(cbaLeft); }, QRect(2, 2, 115, 15)}),
    [](const ::testing::TestParamInfo<DensityCase> &Info) { return std::string(Info.param.Name); });

} // namespace
