// Each page stands as its table declares it: every row where its place says, with its caption, and the rows
// without a place out of sight. The pages' own tests pin the pixel positions; this one keeps page and table one.
#include <QWidget>
#include <gtest/gtest.h>

#include <algorithm>

#include "forms/page_form.h"
#include "page_test_env.h"
#include "pages/etc_dlg.h"
#include "pages/parking_dlg.h"
#include "pages/system_dlg.h"
#include "ui/controls.h"
#include "ui/ui_text.h"

namespace dashcam {
namespace {

template <class Page> const PageForm& FormOf();
template <> const PageForm& FormOf<CParkingDlg>() { return RecordPageForm(); }
template <> const PageForm& FormOf<CEtcDlg>() { return MemoryCardPageForm(); }
template <> const PageForm& FormOf<CSystemDlg>() { return SystemPageForm(); }

template <class Page> class PageTableTest : public test::PageTest<Page> {};
using Pages = testing::Types<CParkingDlg, CEtcDlg, CSystemDlg>;
TYPED_TEST_SUITE(PageTableTest, Pages);

TYPED_TEST(PageTableTest, EveryRowStandsWhereItsTableSays) {
    const PageForm& form = FormOf<TypeParam>();
    TypeParam& page = *this->page_;
    auto at = [&form](int n) { return form.scaled ? ToDevice(n) : n; };
    std::vector<int> titles;
    for (const FormControl& row : form.controls) {
        SCOPED_TRACE(row.id);
        const QWidget* control = page.item(row.id);
        ASSERT_NE(control, nullptr);
        if (!row.placed()) {
            EXPECT_TRUE(control->isHidden() || row.kind == ControlKind::FocusSink);
            continue;
        }
        EXPECT_EQ(control->y(), at(row.place.y));
        int x = at(row.place.x);
        if (row.place.from == From::RightOf)
            x += page.item(row.place.anchor)->geometry().right() + 1;
        for (int k = 0; row.place.from == From::PastWidthOf && k < row.place.anchorCount; ++k)
            x = std::max(x, at(row.place.x) + page.item(row.place.anchor + k)->width());
        EXPECT_EQ(control->x(), x);
        if (row.sizing == Sizing::Fixed) {
            EXPECT_EQ(control->size(), QSize(row.width, row.height));
        }
        if (!row.caption.empty() && row.sizing != Sizing::Measure && row.kind != ControlKind::Figure) {
            EXPECT_EQ(ControlText(control), UiText(row.caption).trimmed());
        }
        if (row.namedAfter[0] != 0) {
            EXPECT_FALSE(control->accessibleName().isEmpty());
        }
        if (row.kind == ControlKind::Title)
            titles.push_back(row.id);
    }
    EXPECT_EQ(page.leaders(), titles);
}

} // namespace
} // namespace dashcam
