// Parsing the twelve language files, and looking up every text that the editor shows.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "i18n/embedded_languages.h"
#include "i18n/ini_document.h"
#include "i18n/interface_keys.h"
#include "i18n/language_table.h"

namespace {


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
        for (std::u16string_view key : dashcam::InterfaceKeys())
            benchmark::DoNotOptimize(table.LookupText(key));
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * dashcam::InterfaceKeys().size()));
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
