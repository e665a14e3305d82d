// How long a sheet run of book labels spends in the barcode component:
// 10,000 EAN-13 codes encoded, and 10,000 labels (bars plus the digits under
// them) drawn into a recording canvas, as the label report draws them.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

#include "Metafile.h"
#include "report/barcode/RM_Barcode.h"

namespace {

constexpr int kLabels = 10000;

std::string Code(int i) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "690%09d", i);
    return buf;
}

void BM_Ean13Encode10000(benchmark::State& state) {
    TRMBarcode bc;
    bc.SetChecksum(true);
    for (auto _ : state) {
        for (int i = 0; i < kLabels; ++i) {
            bc.SetText(Code(i));
            benchmark::DoNotOptimize(bc.EncodeBars());
        }
    }
    state.SetItemsProcessed(state.iterations() * kLabels);
}
BENCHMARK(BM_Ean13Encode10000)->Unit(benchmark::kMillisecond);

// A label page holds far fewer than 10,000 labels; a fresh recorder every
// 100 labels keeps the display list the size of a page.
void BM_Ean13DrawLabels10000(benchmark::State& state) {
    TRMBarcode bc;
    bc.SetChecksum(true);
    bc.SetModul(2);
    bc.SetAngle(static_cast<double>(state.range(0)));
    bool upright = state.range(0) == 90;
    int q = upright ? 90 : 220, r = upright ? 220 : 90;
    size_t records = 0;
    for (auto _ : state) {
        std::unique_ptr<TMetafile> mf;
        std::unique_ptr<TMetafileCanvas> mc;
        for (int i = 0; i < kLabels; ++i) {
            if (i % 100 == 0) {
                mc.reset();
                mf = std::make_unique<TMetafile>();
                mc = std::make_unique<TMetafileCanvas>(mf.get());
            }
            bc.SetText(Code(i));
            PaintBarcodeLabel(bc, mc.get(), q, r, true);
            records += mc->Records().size() % 2;
        }
    }
    benchmark::DoNotOptimize(records);
    state.SetItemsProcessed(state.iterations() * kLabels);
}
BENCHMARK(BM_Ean13DrawLabels10000)->Arg(0)->Arg(90)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
