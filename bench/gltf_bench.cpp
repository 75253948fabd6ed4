// glTF export and import of 10,000 animated boxes (each a group of its own with two tween
// points a second apart) beside saving and opening the same document, timed in turn within
// one run: export against save, import against open.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "bench/bench_scene.h"
#include "bench/side_by_side.h"
#include "refhost/document/document_file.h"
#include "refhost/framework/host_state.h"
#include "refhost/gltf/gltf_export.h"
#include "refhost/gltf/gltf_import.h"
#include "refhost/session/host_session.h"

namespace {

namespace fs = std::filesystem;

// The boxes' document, written once.
fs::path BoxesDocument(uint32_t groups) {
    fs::path const path =
        fs::temp_directory_path() / ("keypose_gltf_bench_" + std::to_string(groups) + ".json");
    {
        bench::BenchDocument document(groups);
        bench::GiveTweenPoints(document.Selected(), 2, 600);
        refhost::Document& front = *refhost::HostState::Instance().Front();
        front.clock.maximum = 600;
        front.clock.current = 0;
        std::ofstream(path) << refhost::DocumentText(front);
    }
    refhost::HostState::Instance().Reset();
    return path;
}

void ExportImportAgainstSaveOpen(benchmark::State& state) {
    auto const groups = static_cast<uint32_t>(state.range(0));
    fs::path const document = BoxesDocument(groups);
    fs::path const saved = fs::temp_directory_path() / "keypose_gltf_bench_saved.json";
    fs::path const glb = fs::temp_directory_path() / "keypose_gltf_bench.glb";
    enum { kSave, kExport, kOpen, kImport };
    bench::SideBySide<4> timer;
    {
        refhost::HostSession session(KEYPOSE_MODULE_PATH);
        refhost::Document& open = session.Open(document.string());
        session.SetTime(0);
        for (auto _ : state) {
            timer.Time(kSave, [&] { refhost::SaveDocument(open, saved.string()); });
            timer.Time(kExport, [&] { refhost::gltf::ExportGltf(session, glb.string()); });
            timer.Time(kOpen, [&] {
                std::unique_ptr<refhost::Document> read = refhost::OpenDocument(saved.string());
                benchmark::DoNotOptimize(read.get());
            });
            timer.Time(kImport, [&] {
                std::vector<std::string> warnings;
                std::unique_ptr<refhost::Document> read =
                    refhost::gltf::ImportGltf(glb.string(), warnings);
                benchmark::DoNotOptimize(read.get());
            });
        }
    }
    refhost::HostState::Instance().Reset();
    double const n = groups;
    timer.ReportTime(state, kSave, "save", n);
    timer.ReportTime(state, kExport, "export", n);
    timer.ReportTime(state, kOpen, "open", n);
    timer.ReportTime(state, kImport, "import", n);
    state.counters["export_ratio"] =
        timer.Nanoseconds(state, kExport, n) / timer.Nanoseconds(state, kSave, n);
    state.counters["import_ratio"] =
        timer.Nanoseconds(state, kImport, n) / timer.Nanoseconds(state, kOpen, n);
    state.counters["target"] = 3;
    state.counters["glb_bytes"] = static_cast<double>(fs::file_size(glb));
    state.counters["json_bytes"] = static_cast<double>(fs::file_size(saved));
    fs::remove(document);
    fs::remove(saved);
    fs::remove(glb);
}

} // namespace

BENCHMARK(ExportImportAgainstSaveOpen)->Arg(10000)->Iterations(3)->Unit(benchmark::kMillisecond);
