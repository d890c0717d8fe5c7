// lmpack report convert|fixup|render: version-2 conversion, the converted-report fix-up, and
// printing a report over a query to PDF.
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "command.h"
#include "db/fibdatabase.h"
#include "db/fibdataset.h"
#include "db/fibtransaction.h"
#include "report/frdbdataset.h"
#include "report/frexpressionmap.h"
#include "report/frfstream.h"
#include "report/frxpainter.h"
#include "report/frxreport.h"
#include "report/frxrenderer.h"
#include "report/repconv2to3.h"
#include "report/repfixup3.h"
#include "util/cp1251.h"
#include "util/exceptions.h"
#include "util/strs_files.h"
#ifdef LMPACK_REPORT_PDF
#include "report/ui/frxqtpainter.h"
#endif

namespace {

using namespace lm;

int convert(const std::string& in, const std::string& out)
{
    const std::string data = FileToStr(in);
    if (!IsFR2Stream(data))
        throw EFrfError();
    TfrxReport report;
    ConvertFR2Report(report, data);
    report.SaveToFile(out);
    return 0;
}

int fixup(const std::string& in, const std::string& out, const std::string& dataset)
{
    TComponent form;
    auto* ds = new TfrxDBDataset(&form);
    ds->SetUserName(dataset);
    auto* report = new TfrxReport(&form);
    report->LoadFromFile(in);
    ConvertReport(*report, ds);
    report->SaveToFile(out);
    return 0;
}

#ifdef LMPACK_REPORT_PDF

// The dataset name of the first master data band, empty when there is none.
std::string masterDataSetName(const TfrxReport& report)
{
    for (TfrxComponent* c : report.AllObjects())
        if (c->ClassName() == "TfrxMasterData")
            return c->Prop("DataSet").empty() ? c->Prop("DataSetName") : c->Prop("DataSet");
    return {};
}

// The dataset of the first D."F" field reference in the report's texts, as a version-2 report
// names it (a dataset, possibly qualified by its form).
std::string referencedDataSet(const TfrxReport& report)
{
    for (TfrxComponent* c : report.AllObjects())
        for (const char* prop : {"Text", "Condition", "Expression"}) {
            const std::string& text = c->Prop(prop);
            for (std::size_t open = text.find('['); open != std::string::npos; open = text.find('[', open + 1)) {
                const std::size_t close = matchingBracket(text, open);
                std::string dataset, field;
                if (close != std::string::npos &&
                    splitFieldReference(text.substr(open + 1, close - open - 1), dataset, field))
                    return dataset;
            }
        }
    return {};
}

std::string lastPart(const std::string& path)
{
    const auto dot = path.rfind('.');
    return dot == std::string::npos ? path : path.substr(dot + 1);
}

int render(const std::string& reportFile, const std::string& dbName, const std::string& query, const std::string& pdf)
{
    TComponent form, dataForm;
    auto* report = new TfrxReport(&form);
    report->LoadFromFile(reportFile);
    frxEnsureGuiApplication();
    TFIBDatabase db;
    db.SetDatabaseName(dbName);
    db.Open();
    TFIBTransaction tr;
    tr.SetDefaultDatabase(&db);
    tr.SetKind(TFIBTransaction::tkReadOnly);

    const bool fromV2 = IsFR2Stream(FileToStr(reportFile));
    // A version-2 report names its fields by the host's dataset (form.dataset); the query's
    // dataset takes that name so that the fix-up maps them.
    std::string v2Name = fromV2 ? referencedDataSet(*report) : std::string();
    auto* data = new TpFIBDataSet(v2Name.find('.') != std::string::npos ? &dataForm : &form);
    if (v2Name.find('.') != std::string::npos)
        dataForm.SetName(v2Name.substr(0, v2Name.rfind('.')));
    data->SetName(v2Name.empty() ? std::string("Data") : lastPart(v2Name));
    data->SetDatabase(&db);
    data->SetTransaction(&tr);
    data->SetSelectSQL(query);
    data->Open();
    auto* ds = new TfrxDBDataset(&form);
    const std::string master = masterDataSetName(*report);
    ds->SetUserName(fromV2 || master.empty() ? data->Name() : master);
    ds->SetDataSet(data);
    if (fromV2)
        ConvertReport(*report, ds);

    const bool progress = isatty(2);
    TfrxQtPainter measure;
    TfrxRenderer renderer(*report, measure);
    if (progress)
        renderer.OnProgress = [](int page) { std::fprintf(stderr, "\r%s %d", cp1251ToUtf8("Страница"_w).c_str(), page); };
    TfrxPreparedPages pages;
    renderer.Prepare(pages);
    if (progress)
        std::fprintf(stderr, "\n");
    frxExportPdf(pages, pdf, report->Prop("ReportOptions.Name"));
    return 0;
}

#endif

int runReport(const std::vector<std::string>& args)
{
    const std::string sub = args.empty() ? std::string() : args[0];
    if (sub == "convert" && args.size() == 3)
        return convert(args[1], args[2]);
    if (sub == "fixup" && args.size() == 5 && args[3] == "--dataset")
        return fixup(args[1], args[2], utf8ToCp1251(args[4]));
    if (sub == "render" && args.size() == 8) {
        std::string db, query, pdf;
        for (std::size_t i = 2; i + 1 < args.size(); i += 2) {
            if (args[i] == "--db") db = args[i + 1];
            else if (args[i] == "--query") query = utf8ToCp1251(args[i + 1]);
            else if (args[i] == "--pdf") pdf = args[i + 1];
        }
        if (db.empty() || query.empty() || pdf.empty())
            return lmcli::usageError("report");
#ifdef LMPACK_REPORT_PDF
        return render(args[1], db, query, pdf);
#else
        throw Exception("PDF output is not built into this lmpack (no Qt)");
#endif
    }
    return lmcli::usageError("report");
}

[[maybe_unused]] const bool registered = lmcli::registerCommand(
    {"report",
     "lmpack report convert IN.frf OUT.fr3        version-2 to version-3 conversion\n"
     "lmpack report fixup IN.fr3 OUT.fr3 --dataset NAME   the converted-report fix-up, NAME the master\n"
     "lmpack report render REPORT --db DB --query SQL --pdf OUT\n"
     "                                   the query's dataset serves the report's master data",
     runReport});

} // namespace
