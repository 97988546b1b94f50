// Benchmarks of the query translator (Linux, release build):
//  - DeAccesASQL over the corpus in bench/sqltranslate_corpus (realistic queries of 200
//    bytes to 8 KB: joins, IIF, Switch, dates, aliases, WHERE conditions), in MB/s
//    (target: at least 10 MB/s);
//  - one 64 KB query with more than 2,000 call rewrites (target: under 50 ms);
//  - queries of 64 KB to 1 MB made of many UNIONed selects that use the translator's
//    constructs (aliases used in the list, WHERE conditions, IIF, Forms references, Format,
//    LIKE patterns, UPDATE-free SELECTs): the time per byte must not grow with the size
//    (the ratios of each size's time per byte to the 64 KB one are printed).
// The peer of each is one any-case Replace pass over the same text (what the simplest of the
// translator's 42 passes costs); the ratios translator/peer are printed after the table.
// Run: build/<release folder>/bench/bench_sqltranslate
#include <benchmark/benchmark.h>

#include <cstdio>
#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "platform/files.h"
#include "sqltranslate/cambia_tipo_sql.h"
#include "text/toolbox.h"

namespace {

const std::vector<std::string>& Corpus() {
  static const std::vector<std::string> corpus = [] {
    std::vector<std::string> c;
    std::vector<std::filesystem::path> files;
    for (const auto& e : std::filesystem::directory_iterator(KELV_SQL_CORPUS)) files.push_back(e.path());
    std::sort(files.begin(), files.end());
    for (const auto& f : files) {
      if (auto bytes = kelv::ReadFileBytes(f.string())) c.push_back(*bytes);
    }
    return c;
  }();
  return corpus;
}

std::size_t CorpusBytes() {
  std::size_t n = 0;
  for (const auto& q : Corpus()) n += q.size();
  return n;
}

// A 64 KB union of select lists full of Access calls.
const std::string& BigQuery() {
  static const std::string text = [] {
    const char* frag[] = {
        "SELECT Legajo, CINT(Horas%d) AS H, Trim([Nombre]) AS N, IIF(Activo,'S','N') AS A, "
        "Round(Importe%d) AS R, cdate(Fecha%d) AS F, instr(Nombre,'ez') AS P, CBOOL(Fijo) AS B "
        "FROM Novedades "
        "WHERE Periodo = #5/1/2006# AND Confirmada",
        "SELECT Legajo, CLNG(Dias%d) AS D, IIF(IsNull(Monto%d),0,Monto%d) AS M, "
        "datepart('ww',Fecha) AS S, Weekday(Fecha) AS W, CSNG(Tasa%d) AS T, Trim(Motivo) AS X "
        "FROM Ausencias "
        "WHERE Justificada AND Dias > 0"};
    std::string t;
    char buf[512];
    for (int i = 0; t.size() < 65536 - 400; ++i) {
      std::snprintf(buf, sizeof buf, frag[i % 2], i, i, i, i);
      if (i) t += "\r\nUNION ALL ";
      t += buf;
    }
    return t;
  }();
  return text;
}

// About n bytes of UNIONed selects, each using constructs the passes rewrite.
std::string UnionQuery(std::size_t n) {
  const char* frag =
      "SELECT P.Legajo AS L%d, [L%d]+1 AS Siguiente, IIf(P.Activo,'S','N') AS A, "
      "Format(P.Alta,'dd/mm/yyyy') AS F, Nz(P.Horas,0) * 2 AS H, LCase(P.Nombre) AS N, "
      "CInt(P.Dias) AS D "
      "FROM Personas AS P "
      "WHERE P.Sector = [Forms]![frmMain]![txtSector%d] AND P.Nombre LIKE 'A*' AND P.Fijo";
  std::string t;
  char buf[640];
  for (int i = 0; t.size() < n; ++i) {
    std::snprintf(buf, sizeof buf, frag, i, i, i % 7);
    if (i) t += "\r\nUNION ALL ";
    t += buf;
  }
  return t;
}

int CallRewrites(const std::string& q) {
  int n = 0;
  for (const char* lit : {"CINT(", "Trim(", "IIF(", "Round(", "cdate(", "instr(", "CLNG(",
                          "IsNull(", "datepart(", "Weekday(", "CSNG(", "CBOOL("}) {
    for (std::size_t p = q.find(lit); p != std::string::npos; p = q.find(lit, p + 1)) ++n;
  }
  return n;
}



void BM_TranslateCorpus(benchmark::State& state) {
  kelv::clsCambiaTipoSQL t;
  for (auto _ : state) {
    for (const auto& q : Corpus()) benchmark::DoNotOptimize(t.DeAccesASQL(q));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * CorpusBytes()));
}
BENCHMARK(BM_TranslateCorpus)->Unit(benchmark::kMicrosecond);

void BM_PeerCorpusOnePass(benchmark::State& state) {
  for (auto _ : state) {
    for (const auto& q : Corpus())
      benchmark::DoNotOptimize(kelv::Replace(q, "where ", "Where ", kelv::Compare::AnyCase));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * CorpusBytes()));
}
BENCHMARK(BM_PeerCorpusOnePass)->Unit(benchmark::kMicrosecond);

void BM_Translate64KB(benchmark::State& state) {
  kelv::clsCambiaTipoSQL t;
  const std::string& q = BigQuery();
  for (auto _ : state) benchmark::DoNotOptimize(t.DeAccesASQL(q));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * q.size()));
  state.counters["call_rewrites"] = CallRewrites(q);
}
BENCHMARK(BM_Translate64KB)->Unit(benchmark::kMillisecond);

void BM_TranslateUnion(benchmark::State& state) {
  kelv::clsCambiaTipoSQL t;
  const std::string q = UnionQuery(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(t.DeAccesASQL(q));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * q.size()));
  state.counters["bytes"] = static_cast<double>(q.size());
}
BENCHMARK(BM_TranslateUnion)
    ->RangeMultiplier(2)
    ->Range(64 << 10, 1 << 20)
    ->Unit(benchmark::kMillisecond);

void BM_Peer64KBOnePass(benchmark::State& state) {
  const std::string& q = BigQuery();
  for (auto _ : state)
    benchmark::DoNotOptimize(kelv::Replace(q, "where ", "Where ", kelv::Compare::AnyCase));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * q.size()));
}
BENCHMARK(BM_Peer64KBOnePass)->Unit(benchmark::kMillisecond);

// Collects the real time per iteration of every run so the ratios can be printed.
class Ratios : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs) {
      // With --benchmark_repetitions the median stands for the benchmark.
      std::string nombre = r.benchmark_name();
      const std::string mediana = "_median";
      if (r.run_type == Run::RT_Aggregate) {
        if (nombre.size() <= mediana.size() ||
            nombre.compare(nombre.size() - mediana.size(), mediana.size(), mediana) != 0)
          continue;
        nombre.resize(nombre.size() - mediana.size());
      }
      tiempos_[nombre] = r.GetAdjustedRealTime();
      const auto b = r.counters.find("bytes");
      if (b != r.counters.end()) bytes_[nombre] = b->second;
    }
    ConsoleReporter::ReportRuns(runs);
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    auto ratio = [&](const char* a, const char* b) {
      if (tiempos_.count(a) && tiempos_.count(b) && tiempos_[b] > 0)
        std::printf("%s / %s = %.1f\n", a, b, tiempos_[a] / tiempos_[b]);
    };
    std::printf("\ncorpus: %zu queries, %zu bytes; 64 KB query: %zu bytes, %d call rewrites\n",
                Corpus().size(), CorpusBytes(), BigQuery().size(), CallRewrites(BigQuery()));
    ratio("BM_TranslateCorpus", "BM_PeerCorpusOnePass");
    ratio("BM_Translate64KB", "BM_Peer64KBOnePass");
    // Growth with the size: time per byte of each UNION query, and its ratio to the smallest
    // one's (about 1 at every size when the cost is linear).
    double base = 0;
    std::vector<std::pair<double, std::string>> tallas;
    for (const auto& [nombre, bytes] : bytes_) tallas.emplace_back(bytes, nombre);
    std::sort(tallas.begin(), tallas.end());
    for (const auto& [bytes, nombre] : tallas) {
      // Real times are reported in the benchmark's unit, milliseconds here.
      const double nsPorByte = tiempos_[nombre] * 1e6 / bytes;
      if (base == 0) base = nsPorByte;
      std::printf("%s: %.0f bytes, %.1f ns/byte, %.2f x the smallest's time per byte\n",
                  nombre.c_str(), bytes, nsPorByte, nsPorByte / base);
    }
  }

 private:
  std::map<std::string, double> tiempos_;
  std::map<std::string, double> bytes_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  Ratios reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
