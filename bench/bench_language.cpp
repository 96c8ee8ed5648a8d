// Parsing the twelve language files, and looking up every text that the editor shows.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "i18n/embedded_languages.h"
#include "i18n/ini_document.h"
#include "i18n/language_table.h"

namespace {

const std::u16string kKeys[] = {
    u"IDS_STRING101",  u"IDS_STRING104", u"IDS_STRING105", u"IDS_STRING106",  u"IDS_STRING107",
    u"IDS_STRING108",  u"IDS_STRING112", u"IDS_STRING113", u"IDS_STRING115",  u"IDS_STRING116",
    u"IDS_STRING117",  u"IDS_STRING119", u"IDS_STRING127", u"IDS_STRING128",  u"IDS_STRING135",
    u"IDS_STRING136",  u"IDS_STRING140", u"IDS_STRING141", u"IDS_STRING142",  u"IDS_STRING143",
    u"IDS_STRING144",  u"IDS_STRING145", u"IDS_STRING147", u"IDS_STRING148",  u"IDS_STRING149",
    u"IDS_STRING150",  u"IDS_STRING156", u"IDS_STRING157", u"IDS_STRING158",  u"IDS_STRING159",
    u"IDS_STRING160",  u"IDS_STRING161", u"IDS_STRING162", u"IDS_STRING163",  u"IDS_STRING1630",
    u"IDS_STRING166",  u"IDS_STRING167", u"IDS_STRING171", u"IDS_STRING172",  u"IDS_STRING173",
    u"IDS_STRING174",  u"IDS_STRING175", u"IDS_STRING177", u"IDS_STRING1770", u"IDS_STRING178",
    u"IDS_STRING1780", u"IDS_STRING179", u"IDS_STRING181", u"IDS_STRING1810", u"IDS_STRING182",
    u"IDS_STRING184",  u"IDS_STRING185", u"IDS_STRING190", u"IDS_STRING191",  u"IDS_STRING192",
    u"IDS_STRING193",  u"IDS_STRING196", u"IDS_STRING213", u"IDS_STRING215",  u"IDS_STRING216",
    u"IDS_STRING217",  u"IDS_STRING219", u"IDS_STRING220", u"IDS_STRING2200", u"IDS_STRING221",
    u"IDS_STRING222",  u"IDS_STRING228", u"IDS_STRING246", u"IDS_STRING247",  u"IDS_STRING248",
    u"IDS_STRING249",  u"IDS_STRING251", u"IDS_STRING309", u"IDS_STRING340",
};

void ParseFile(benchmark::State& state) {
    std::string_view name = dashcam::kLanguageNames[static_cast<std::size_t>(state.range(0))];
    state.SetLabel(std::string(name));
    std::span<const unsigned char> bytes = dashcam::EmbeddedLanguageResource(name);
    for (auto _ : state) {
        dashcam::IniDocument doc;
        benchmark::DoNotOptimize(doc.ParseLanguageBuffer(bytes.data(), bytes.size()));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(ParseFile)->DenseRange(0, 11);

void LookupEveryKey(benchmark::State& state) {
    std::string_view name = dashcam::kLanguageNames[static_cast<std::size_t>(state.range(0))];
    state.SetLabel(std::string(name));
    dashcam::LanguageTable table;
    std::u16string wide(name.begin(), name.end());
    table.LoadLanguage(wide);
    for (auto _ : state)
        for (const std::u16string& key : kKeys)
            benchmark::DoNotOptimize(table.LookupText(key));
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * std::size(kKeys)));
}
BENCHMARK(LookupEveryKey)->Arg(0)->Arg(9)->Arg(10);

// One lookup against documents of growing size: the cost must stay flat.
void LookupInLargeDocument(benchmark::State& state) {
    std::vector<unsigned char> bytes = {0xFF, 0xFE};
    std::u16string file = u"[font]\r\nDEFAULT_UI_CHARSET=1\r\n[text]\r\n";
    for (std::int64_t i = 0; i < state.range(0); ++i) {
        std::string line =
            "IDS_STRING" + std::to_string(100000 + i) + "=\"text " + std::to_string(i) + "\"\r\n";
        file.append(line.begin(), line.end());
    }
    file += u"IDS_STRING101=\"found\"\r\n";
    for (char16_t c : file) {
        bytes.push_back(static_cast<unsigned char>(c & 0xFF));
        bytes.push_back(static_cast<unsigned char>(c >> 8));
    }
    dashcam::IniDocument doc;
    doc.ParseLanguageBuffer(bytes.data(), bytes.size());
    for (auto _ : state) {
        benchmark::DoNotOptimize(doc.FindValue(u"ids_string101"));
        benchmark::DoNotOptimize(doc.FindValue(u"DEFAULT_UI_CHARSET", u"font"));
    }
}
BENCHMARK(LookupInLargeDocument)->RangeMultiplier(10)->Range(100, 100000);

} // namespace
