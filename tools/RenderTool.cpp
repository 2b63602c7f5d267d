// SPDX-License-Identifier: MIT
#include "RenderTool.h"

#include "audio/RandomSchedule.h"
#include "audio/SoundscapeRender.h"
#include "document/Loader.h"
#include "settings/IniFile.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <list>
#include <map>
#include <optional>
#include <ostream>

#ifndef TONVALE_VERSION
#define TONVALE_VERSION "unknown"
#endif

namespace tonvale {

namespace fs = std::filesystem;

namespace {

constexpr const char* Usage =
    "Usage: tonvale-render [--sound-dir DIR] [--seconds N] [--seed S] [--rate HZ] SCRIPT SOUNDSCAPE OUT.wav\n"
    "Renders the soundscape SOUNDSCAPE of SCRIPT to OUT.wav (16-bit PCM, stereo): every looping and\n"
    "random sound, and the soundscapes it plays, found in SCRIPT or in the other scripts beside it.\n"
    "  --sound-dir DIR  the folder wave values are relative to (default: the project's sound folder,\n"
    "                   else Sounddir of the settings, else the script's folder)\n"
    "  --seconds N      length in seconds (default 30)\n"
    "  --seed S         seed of the random sounds, 0 to 4294967295 (default: drawn and printed)\n"
    "  --rate HZ        sample rate, 8000 to 192000 (default 44100)\n"
    "  --help           show this text\n"
    "  --version        show the version\n"
    "Missing waves are reported and left out. The same seed gives the same file.\n"
    "Exit status: 0 written, 1 wrong arguments (or no audio back-end), 2 script or soundscape not found,\n"
    "3 the output could not be written.\n";

struct Arguments {
    std::optional<std::string> soundDir;
    double seconds = 30.0;
    std::optional<std::uint32_t> seed;
    int rate = 44100;
    std::vector<std::string> files;
};

template <typename T> std::optional<T> parseWhole(const std::string& text) {
    T value{};
    const auto res = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || res.ec != std::errc() || res.ptr != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::optional<double> parseSeconds(const std::string& text) {
    double value = 0.0;
    const auto res = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || res.ec != std::errc() || res.ptr != text.data() + text.size())
        return std::nullopt;
    return value;
}

// Reads the arguments; a message for the first wrong one.
std::optional<std::string> parse(const std::vector<std::string>& args, Arguments& a) {
    bool options = true;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string arg = args[i];
        if (!options || arg.empty() || arg[0] != '-' || arg == "-") {
            a.files.push_back(arg);
            continue;
        }
        if (arg == "--") {
            options = false;
            continue;
        }
        std::string value;
        const std::size_t eq = arg.find('=');
        if (eq != std::string::npos) {
            value = arg.substr(eq + 1);
            arg.resize(eq);
        } else if (arg == "--sound-dir" || arg == "--seconds" || arg == "--seed" || arg == "--rate") {
            if (i + 1 == args.size())
                return arg + " needs a value";
            value = args[++i];
        }
        if (arg == "--sound-dir") {
            a.soundDir = value;
        } else if (arg == "--seconds") {
            const std::optional<double> s = parseSeconds(value);
            if (!s || !(*s > 0.0 && *s <= MaxRenderSeconds))
                return "--seconds wants a length from above 0 to " +
                       std::to_string(static_cast<int>(MaxRenderSeconds)) + ", not \"" + value + "\"";
            a.seconds = *s;
        } else if (arg == "--seed") {
            a.seed = parseWhole<std::uint32_t>(value);
            if (!a.seed)
                return "--seed wants a whole number from 0 to 4294967295, not \"" + value + "\"";
        } else if (arg == "--rate") {
            const std::optional<int> r = parseWhole<int>(value);
            if (!r || *r < MinRenderRate || *r > MaxRenderRate)
                return "--rate wants a sample rate from " + std::to_string(MinRenderRate) + " to " +
                       std::to_string(MaxRenderRate) + ", not \"" + value + "\"";
            a.rate = *r;
        } else {
            return "unknown option " + args[i];
        }
    }
    if (a.files.size() != 3)
        return "SCRIPT, SOUNDSCAPE and OUT.wav are needed";
    return std::nullopt;
}

bool isFolder(const fs::path& path) {
    std::error_code ec;
    return fs::is_directory(path, ec);
}

bool sameFile(const std::string& a, const std::string& b) {
    std::error_code ec;
    return fs::equivalent(fs::path(a), fs::path(b), ec);
}

// The other scripts of the script's folder, loaded the first time a name is not found in the script.
class FolderScripts {
  public:
    explicit FolderScripts(std::string script) : m_script(std::move(script)) {}

    SoundscapeRef find(std::string_view name) {
        if (!m_loaded)
            loadAll();
        for (const LoadResult& doc : m_docs)
            if (const Node* node = findSoundscape(doc.tree, name))
                return {&doc.tree, node};
        return {};
    }

  private:
    void loadAll() {
        m_loaded = true;
        const fs::path folder = fs::path(m_script).parent_path();
        std::vector<fs::path> files;
        std::error_code ec;
        for (fs::directory_iterator it(folder.empty() ? fs::path(".") : folder, ec), end; !ec && it != end;
             it.increment(ec)) {
            std::string ext = it->path().extension().string();
            std::transform(ext.begin(), ext.end(), ext.begin(), [](char c) {
                return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
            });
            std::error_code fileEc;
            if (ext == ".txt" && it->is_regular_file(fileEc) && !sameFile(it->path().string(), m_script))
                files.push_back(it->path());
        }
        std::sort(files.begin(), files.end());
        for (const fs::path& file : files) {
            LoadResult doc = loadScriptFile(file.string());
            if (doc.ok() || doc.failure == LoadFailure::LoadError)
                m_docs.push_back(std::move(doc));
        }
    }

    std::string m_script;
    bool m_loaded = false;
    std::list<LoadResult> m_docs; // stable addresses: the gathering keeps pointers into the trees
};

class ProgressLine {
  public:
    ProgressLine(std::ostream& err, bool enabled) : m_err(err), m_enabled(enabled) {}
    ~ProgressLine() { finish(); }
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    bool show(double done) {
        const int percent = static_cast<int>(done * 100.0);
        if (m_enabled && percent != m_shown) {
            m_err << "\rRendering: " << percent << "%" << std::flush;
            m_shown = percent;
        }
        return true;
    }
    void finish() {
        if (m_enabled && m_shown >= 0)
            m_err << '\n' << std::flush;
        m_shown = -1;
    }

  private:
    std::ostream& m_err;
    bool m_enabled;
    int m_shown = -1;
};

} // namespace

std::string defaultSoundFolder(const std::string& script, const std::vector<std::string>& settingsFiles) {
    std::error_code ec;
    fs::path folder = fs::absolute(fs::path(script), ec).parent_path();
    const fs::path scriptFolder = folder;
    for (;;) {
        if (isFolder(folder / "sound"))
            return (folder / "sound").string();
        if (!folder.has_parent_path() || folder.parent_path() == folder)
            break;
        folder = folder.parent_path();
    }
    for (const std::string& file : settingsFiles) {
        IniFile ini;
        if (!ini.load(file))
            continue;
        if (const std::optional<std::string> dir = ini.value("Options", "Sounddir"); dir && isFolder(*dir))
            return *dir;
    }
    return scriptFolder.string();
}

RenderToolContext defaultRenderToolContext(const std::string& executable) {
    RenderToolContext context;
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec)
        exe = fs::absolute(fs::path(executable), ec);
    context.settingsFiles.push_back((exe.parent_path() / "tnv.ini").string());
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    if (xdg && *xdg)
        context.settingsFiles.push_back((fs::path(xdg) / "tonvale" / "tnv.ini").string());
    else if (home && *home)
        context.settingsFiles.push_back((fs::path(home) / ".config" / "tonvale" / "tnv.ini").string());
    return context;
}

int runRenderTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                  const RenderToolContext& context) {
    if (std::find(args.begin(), args.end(), "--help") != args.end() ||
        std::find(args.begin(), args.end(), "-h") != args.end()) {
        out << Usage;
        return RenderWritten;
    }
    if (std::find(args.begin(), args.end(), "--version") != args.end()) {
        out << "tonvale-render " << TONVALE_VERSION << '\n';
        return RenderWritten;
    }
    Arguments a;
    if (const std::optional<std::string> wrong = parse(args, a)) {
        err << "tonvale-render: " << *wrong << '\n' << Usage;
        return RenderUsage;
    }
    const std::string& script = a.files[0];
    const std::string& name = a.files[1];
    const std::string& output = a.files[2];
    if (sameFile(script, output)) {
        err << "tonvale-render: " << output << ": is the script itself; not overwritten\n";
        return RenderUsage;
    }

    LoadResult doc = loadScriptFile(script);
    if (doc.failure == LoadFailure::ReadError) {
        err << script << ": error: cannot read the script: " << doc.readError << '\n';
        return RenderNotFound;
    }
    if (doc.failure == LoadFailure::BraceCheck) {
        err << script << ": error: " << loadtext::BraceMessage << '\n';
        return RenderNotFound;
    }
    if (doc.levelError)
        err << script << ": warning: part of the script could not be loaded (a line is nested too deep)\n";
    const Node* top = findSoundscape(doc.tree, name);
    if (!top) {
        err << script << ": error: no soundscape \"" << name << "\"\n";
        return RenderNotFound;
    }

    const std::string soundDir = a.soundDir ? *a.soundDir : defaultSoundFolder(script, context.settingsFiles);
    if (!isFolder(soundDir))
        err << "tonvale-render: warning: the sound folder " << soundDir << " does not exist\n";
    FolderScripts others(script);
    const SoundscapeMix mix =
        gatherSoundscape(doc.tree, top, soundDir, [&others](std::string_view n) { return others.find(n); });

    RenderSettings settings;
    settings.seconds = a.seconds;
    settings.sampleRate = a.rate;
    settings.seed = a.seed ? *a.seed : SeededRandom::freshSeed();
    if (!a.seed)
        out << "seed: " << settings.seed << '\n' << std::flush;

    RenderResult result;
    {
        ProgressLine progress(err, context.progressOnTerminal);
        progress.show(0.0);
        result =
            renderSoundscape(mix, settings, output, [&progress](double done) { return progress.show(done); });
    }
    bool missing = false;
    for (const MixProblem& p : result.problems) {
        err << script << ": warning: " << describeProblem(p) << '\n';
        missing = missing || p.kind == MixProblemKind::MissingWave;
    }
    if (missing)
        err << "tonvale-render: note: wave values are read below the sound folder " << soundDir << '\n';
    switch (result.outcome) {
    case RenderOutcome::Written:
        return RenderWritten;
    case RenderOutcome::WriteFailed:
        err << output << ": error: cannot write the file: " << result.error << '\n';
        return RenderIoError;
    case RenderOutcome::NoAudio:
    case RenderOutcome::Cancelled:
        break;
    }
    err << "tonvale-render: error: " << result.error << '\n';
    return RenderUsage;
}

} // namespace tonvale
