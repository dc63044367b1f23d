// Parsing a layout document of about 1 MB (as UTF-8 on disk) into its tree and freeing it.
// The goal is at least 100 MB/s of layout file.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <string>

#include "dialer/layout/XmlDocument.h"

namespace {

// A layout file shaped like the dialer's: layouts of layers of items, each with value
// elements, comments and some text.
std::string MakeLayoutFile(std::size_t targetBytes) {
    std::string text = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Layouts>\n";
    for (int layout = 0; text.size() < targetBytes; ++layout) {
        text += "  <Layout Name=\"Screen" + std::to_string(layout) + "\" Class=\"Orm.Data.DialPad\">\n";
        text += "    <!-- layer list of screen " + std::to_string(layout) + " -->\n";
        text += "    <Rect Name=\"BoundRect\" X=\"0\" Y=\"0\" Width=\"480\" Height=\"800\"/>\n";
        text += "    <Font Name=\"DefaultFont\" Face=\"Tahoma\" HeightPxl=\"24\" Bold=\"y\" ClearType=\"y\"/>\n";
        for (int layer = 0; layer < 4; ++layer) {
            text += "    <Layer Name=\"Layer" + std::to_string(layer) + "\" ScrollY=\"1\" Clip=\"0\">\n";
            for (int item = 0; item < 6; ++item) {
                text += "      <Item Class=\"Orm.LSP.Button\" Name=\"Key" + std::to_string(item) + "\">\n";
                text += "        <Point Name=\"LeftTop\" X=\"" + std::to_string(item * 160) + "\" Y=\"" +
                        std::to_string(layer * 100) + "\"/>\n";
                text += "        <Color Name=\"TextColor\" Value=\"FFFFFF\"/>\n";
                text += "        <String Name=\"Caption\" Value=\"Key  " + std::to_string(item) + "\"/>\n";
                text += "        <Label>press   to dial</Label>\n";
                text += "      </Item>\n";
            }
            text += "    </Layer>\n";
        }
        text += "  </Layout>\n";
    }
    text += "</Layouts>\n";
    return text;
}

void BM_ParseLayoutFile(benchmark::State& state) {
    const std::string file = MakeLayoutFile(1 << 20);
    // The layout loader hands the parser UTF-16; the file is ASCII here.
    const std::u16string text(file.begin(), file.end());
    std::unique_ptr<WCHAR[]> buffer(new WCHAR[text.size() + 1]);
    std::size_t nodes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::copy(text.begin(), text.end(), buffer.get());
        buffer[text.size()] = 0;
        state.ResumeTiming();
        CXmlDocument document;
        benchmark::DoNotOptimize(document.Parse(buffer.get()));
        nodes = static_cast<std::size_t>(document.GetRoot().GetChild(1).GetChildCount());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(file.size()));
    state.counters["layouts"] = static_cast<double>(nodes);
}
BENCHMARK(BM_ParseLayoutFile)->Unit(benchmark::kMillisecond);

}  // namespace
