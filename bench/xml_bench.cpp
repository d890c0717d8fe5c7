// XML parse and save of a generated ~50 MB Windows-1251 document (500,000 elements with
// attributes and text) against pugixml in the same run.
//
// Times: parsing from memory (TXMLNode::Create against pugixml's load_buffer, which also copies
// the text it is given), and saving the indented form to a file (SaveXML, which writes the text
// as it makes it and flushes the file to disk before putting it in place, against pugixml's
// save_file with a two-space indent, which does not flush). Freeing the trees is outside the
// timed part.
//
// Peak memory: each side loads the file into a tree in a fresh process of this program
// (posix_spawn of itself with --peak=...), and the parent reads that child's peak resident set
// and CPU time from wait4's rusage. A fresh process per side keeps the other side's allocations
// and this process's own document out of the figure; both children carry the same program
// baseline. The in-process timings are steady-state (memory already touched by earlier
// iterations), the child's CPU time is the cold case.
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>

#include <pugixml.hpp>

#include "ratio.h"
#include "util/cp1251.h"
#include "xml/xmlnode.h"

extern char** environ;

using namespace lm::literals;

namespace {

constexpr int kElements = 500000;

std::string makeDocument()
{
    std::string doc = "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\r\n<goods>\r\n";
    doc.reserve(56u << 20);
    const std::string name = "Товар №"_w;
    const std::string text = "Таблетки &amp; капсулы, уп. "_w;
    for (int i = 0; i < kElements; ++i) {
        const std::string n = std::to_string(i);
        doc += "  <item id=\"" + n + "\" name=\"" + name + n + "\" price=\"" + std::to_string(i % 1000) + "," +
               std::to_string(10 + i % 90) + "\">" + text + n + "</item>\r\n";
    }
    doc += "</goods>\r\n";
    return doc;
}

const std::string& document()
{
    static const std::string doc = makeDocument();
    return doc;
}

std::string tempFile(const char* name)
{
    return std::string(P_tmpdir) + "/lmpack_xml_bench_" + std::to_string(::getpid()) + "_" + name;
}

// Times parse(text) over the document; freeing the tree it returns is outside the timed part.
template <class Parse>
void timeParse(benchmark::State& state, Parse parse)
{
    const std::string& text = document();
    for (auto _ : state) {
        auto tree = parse(text);
        benchmark::DoNotOptimize(tree.get());
        state.PauseTiming();
        tree.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}

void BM_ParseOurs(benchmark::State& state)
{
    timeParse(state, [](const std::string& text) { return lm::TXMLNode::Create(text); });
}

void BM_ParsePugixml(benchmark::State& state)
{
    timeParse(state, [&state](const std::string& text) {
        auto doc = std::make_unique<pugi::xml_document>();
        const pugi::xml_parse_result result = doc->load_buffer(text.data(), text.size(), pugi::parse_default, pugi::encoding_utf8);
        if (!result)
            state.SkipWithError(result.description());
        return doc;
    });
}

void BM_SaveOurs(benchmark::State& state)
{
    const std::unique_ptr<lm::TXMLNode> root = lm::TXMLNode::Create(document());
    const std::string path = tempFile("ours.xml");
    for (auto _ : state)
        root->SaveXML(path);
    std::remove(path.c_str());
}

void BM_SavePugixml(benchmark::State& state)
{
    pugi::xml_document doc;
    doc.load_buffer(document().data(), document().size(), pugi::parse_default | pugi::parse_declaration, pugi::encoding_utf8);
    const std::string path = tempFile("pugixml.xml");
    for (auto _ : state)
        if (!doc.save_file(path.c_str(), "  ", pugi::format_default, pugi::encoding_utf8))
            state.SkipWithError("save_file failed");
    std::remove(path.c_str());
}

// Interleaved repetitions (see ratio.h): the ratios are medians over rounds with their spread.
#define LM_BENCH(f) BENCHMARK(f)->Unit(benchmark::kMillisecond)->Iterations(2)->Repetitions(7)
LM_BENCH(BM_ParseOurs);
LM_BENCH(BM_ParsePugixml);
LM_BENCH(BM_SaveOurs);
LM_BENCH(BM_SavePugixml);

// The child side of the memory figure: load the file into a tree and keep it until exit.
int loadForPeak(const std::string& side, const std::string& path)
{
    if (side == "ours") {
        const std::unique_ptr<lm::TXMLNode> root = lm::TXMLNode::CreateFromFile(path);
        return root->GetCount() == kElements ? 0 : 1;
    }
    pugi::xml_document doc;
    if (!doc.load_file(path.c_str(), pugi::parse_default, pugi::encoding_utf8))
        return 1;
    return std::distance(doc.first_child().begin(), doc.first_child().end()) == kElements ? 0 : 1;
}

struct ChildFigures {
    double peakMiB = -1;  // peak resident set
    double cpuMs = -1;    // user + system time of the whole child: start, read, parse, exit
};

// Figures of a child that loads the file into a tree.
ChildFigures childFigures(const char* self, const std::string& side, const std::string& path)
{
    const std::string arg = "--peak=" + side;
    char* argv[] = {const_cast<char*>(self), const_cast<char*>(arg.c_str()), const_cast<char*>(path.c_str()), nullptr};
    pid_t pid = 0;
    ChildFigures figures;
    if (posix_spawn(&pid, "/proc/self/exe", nullptr, nullptr, argv, environ) != 0)
        return figures;
    int status = 0;
    struct rusage usage {};
    if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return figures;
    figures.peakMiB = static_cast<double>(usage.ru_maxrss) / 1024.0;
    auto ms = [](const timeval& tv) { return tv.tv_sec * 1000.0 + tv.tv_usec / 1000.0; };
    figures.cpuMs = ms(usage.ru_utime) + ms(usage.ru_stime);
    return figures;
}

void reportPeakMemory(const char* self)
{
    const std::string path = tempFile("peak.xml");
    std::ofstream(path, std::ios::binary) << document();
    const ChildFigures ours = childFigures(self, "ours", path);
    const ChildFigures anchor = childFigures(self, "pugixml", path);
    std::remove(path.c_str());
    std::printf("Document: %zu bytes, %d elements\n", document().size(), kElements);
    std::printf("Loading the file in a fresh process each (peak resident set; CPU time of the whole process):\n"
                "  ours    %7.1f MiB %7.1f ms\n  pugixml %7.1f MiB %7.1f ms\n"
                "  memory ratio %.2fx (goal: at most 3x), time ratio %.2fx\n\n",
                ours.peakMiB, ours.cpuMs, anchor.peakMiB, anchor.cpuMs,
                anchor.peakMiB > 0 ? ours.peakMiB / anchor.peakMiB : 0.0,
                anchor.cpuMs > 0 ? ours.cpuMs / anchor.cpuMs : 0.0);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strncmp(argv[1], "--peak=", 7) == 0)
        return loadForPeak(argv[1] + 7, argv[2]);
    reportPeakMemory(argv[0]);
    return lmbench::RunWithRatios(argc, argv,
                                  {{"parse (goal >= 0.5x)", "BM_ParseOurs", "BM_ParsePugixml"},
                                   {"save (goal >= 0.5x)", "BM_SaveOurs", "BM_SavePugixml"}});
}
