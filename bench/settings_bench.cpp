// Benchmarks of the settings subsystem (Linux, release build):
//  - reading one block near the end of a 10 MB settings text with LeerBloqueTexto, against
//    its peer, one any-case InStr of the opening tag over the same text (target: at most 3x);
//  - EncDesEnc in keyed XOR mode and XorBuffer, in MB/s (target: at least 100 MB/s).
// Run: build/<release folder>/bench/bench_settings [--benchmark_repetitions=5]. The ratio
// is printed after the table.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

#include "settings/crypto_drelo.h"
#include "settings/string_cipher.h"
#include "settings/tagged_text.h"
#include "text/toolbox.h"

namespace {

constexpr std::size_t kTextBytes = 10u << 20;

// A 10 MB settings text: many blocks with Latin-1 values, the wanted block near the end.
const std::string& BigSettingsText() {
  static const std::string text = [] {
    std::string t;
    t.reserve(kTextBytes + 256);
    for (int i = 0; t.size() < kTextBytes; ++i) {
      t += "[Clave" + std::to_string(i) + "]\r\nValor n\u00famero " + std::to_string(i) +
           " con a\u00f1o y \u20ac\r\n[/Clave" + std::to_string(i) + "]\r\n";
    }
    t += "[NombreProducto]\r\nKelv Personal\r\n[/NombreProducto]\r\n[Fin]\r\nx\r\n[/Fin]";
    return t;
  }();
  return text;
}

void BM_LeerBloqueTexto10MB(benchmark::State& state) {
  const std::string& text = BigSettingsText();
  for (auto _ : state) {
    std::string v = kelv::LeerBloqueTexto(text, "nombreproducto");
    benchmark::DoNotOptimize(v);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_LeerBloqueTexto10MB)->Unit(benchmark::kMillisecond);

void BM_InStrAnyCase10MB(benchmark::State& state) {
  const std::string& text = BigSettingsText();
  for (auto _ : state) {
    std::size_t p = kelv::InStr(1, text, "[nombreproducto]", kelv::Compare::AnyCase);
    benchmark::DoNotOptimize(p);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_InStrAnyCase10MB)->Unit(benchmark::kMillisecond);

std::string PlainText(std::size_t bytes, bool latin) {
  std::string t;
  const std::string unit = latin ? "Contrase\u00f1a de a\u00f1o \u20ac; " : "Provider=SQLOLEDB;Data Source=srv; ";
  while (t.size() < bytes) t += unit;
  return t;
}

void BM_EncDesEncXor(benchmark::State& state) {
  const std::string text = PlainText(1u << 20, state.range(0) != 0);
  for (auto _ : state) {
    std::string v = kelv::EncDesEnc(text, true, true, 1, "57204618");
    benchmark::DoNotOptimize(v);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_EncDesEncXor)->Arg(0)->Arg(1)->ArgNames({"latin"})->Unit(benchmark::kMillisecond);

void BM_XorBuffer(benchmark::State& state) {
  const std::string data = PlainText(1u << 20, false);
  for (auto _ : state) {
    std::string v = kelv::XorBuffer("QqRrSs86420975", data);
    benchmark::DoNotOptimize(v);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(data.size()));
}
BENCHMARK(BM_XorBuffer)->Unit(benchmark::kMillisecond);

// Prints the table as usual and remembers each benchmark's CPU time per iteration (the
// median when repetitions are asked for, else the mean of the runs); CPU time is steadier
// than wall time on a shared machine.
class RecordingReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs) {
      const std::string name = r.run_name.str();
      if (r.run_type == Run::RT_Aggregate) {
        if (r.aggregate_name == "median") median_[name] = r.GetAdjustedCPUTime();
      } else {
        sum_[name] += r.GetAdjustedCPUTime();
        count_[name] += 1;
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }
  double Time(const std::string& name) const {
    if (auto it = median_.find(name); it != median_.end()) return it->second;
    auto it = sum_.find(name);
    return it == sum_.end() ? 0 : it->second / count_.at(name);
  }

 private:
  std::map<std::string, double> median_, sum_;
  std::map<std::string, int> count_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RecordingReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  double read = reporter.Time("BM_LeerBloqueTexto10MB"), peer = reporter.Time("BM_InStrAnyCase10MB");
  if (read > 0 && peer > 0) {
    std::printf("\nLeerBloqueTexto / any-case InStr on 10 MB: %.2fx (target: at most 3x)\n", read / peer);
  }
  benchmark::Shutdown();
  return 0;
}
