// The Qt painter: page images of a rendered report (saved for looking at) and PDF export
// failures that leave nothing behind.
#include <gtest/gtest.h>

#include <QGuiApplication>

#include <filesystem>

#include "../../util/messageof.h"
#include "../grouped_report.h"
#include "host/memdataset.h"
#include "report/frdbdataset.h"
#include "report/frxrenderer.h"
#include "report/ui/frxqtpainter.h"
#include "util/cp1251.h"

using namespace lm;

namespace {

TfrxPreparedPages renderGrouped(int rows)
{
    TComponent form;
    auto* goods = new TMemDataSet(&form);
    goods->FieldDefs().Add("COUNTRY", ftString, 60);
    goods->FieldDefs().Add("NAME", ftString, 150);
    goods->FieldDefs().Add("PRICE", ftFloat);
    goods->CreateDataSet();
    for (int i = 0; i < rows; ++i)
        goods->AppendRecord({Variant("Страна "_w + std::to_string(i / 7)), Variant("Товар "_w + std::to_string(i)),
                             Variant(i * 1.5)});
    auto* ds = new TfrxDBDataset(&form);
    ds->SetUserName("Товары"_w);
    ds->SetDataSet(goods);
    auto report = lmtest::groupedReport(&form);
    TfrxQtPainter measure;
    TfrxPreparedPages pages;
    TfrxRenderer(*report, measure).Prepare(pages);
    return pages;
}

TEST(QtPainter, PageImagesShowThePrintedPage)
{
    frxEnsureGuiApplication();
    const TfrxPreparedPages pages = renderGrouped(30);
    ASSERT_EQ(pages.Count(), 1);
    const QImage image = frxPageImage(pages, 0, 96);
    EXPECT_EQ(image.size(), QSize(794, 1123));  // A4 at 96 dots per inch
    int dark = 0;
    for (int y = 0; y < image.height(); y += 2)
        for (int x = 0; x < image.width(); x += 2)
            dark += qGray(image.pixel(x, y)) < 128;
    EXPECT_GT(dark, 500);
    // Nothing is drawn in the left margin (10 mm = 38 dots).
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < 36; ++x)
            ASSERT_EQ(image.pixel(x, y), qRgb(255, 255, 255)) << x << "," << y;
    std::filesystem::create_directories(LMPACK_BINARY_DIR "/screenshots");
    EXPECT_TRUE(image.save(LMPACK_BINARY_DIR "/screenshots/report_preview_page1.png"));
}

TEST(QtPainter, PdfThatCannotBeWrittenRaisesAndLeavesNoFile)
{
    frxEnsureGuiApplication();
    const TfrxPreparedPages pages = renderGrouped(5);
    const std::string dir = testing::TempDir() + "/no-such-dir";
    std::filesystem::remove_all(dir);
    EXPECT_NE(lm::test::messageOf([&] { frxExportPdf(pages, dir + "/out.pdf"); }), "(no exception)");
    EXPECT_FALSE(std::filesystem::exists(dir));
    const std::string ok = testing::TempDir() + "/qtpainter.pdf";
    frxExportPdf(pages, ok);
    EXPECT_GT(std::filesystem::file_size(ok), 1000u);
}

} // namespace
