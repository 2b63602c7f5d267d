// SPDX-License-Identifier: MIT
#include "audio/SoundscapeMix.h"

#include "audio/SoundscapeAnalysis.h"
#include "audio/Values.h"
#include "document/SoundPaths.h"
#include "document/TextHelpers.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>

namespace tonvale {

namespace {

char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Text without its quotes and surrounding blanks, lower-cased for comparing names and keys.
std::string comparable(std::string_view text) {
    std::string out(trim(stripQuotes(text)));
    std::transform(out.begin(), out.end(), out.begin(), lowerAscii);
    return out;
}

std::string plainValue(const Node* node) {
    const NodeData* data = node->data();
    return data ? std::string(trim(stripQuotes(data->value))) : std::string();
}

// Document numbers always use "."; both ends of a range are trimmed.
std::optional<double> readDocumentNumber(std::string_view text) {
    return readNumber(trim(text), '.');
}

struct Range {
    double low;
    double high;
};

// "a,b" or "a": unreadable ends take `unreadable`; the ends are put in order.
Range readRange(std::string_view value, double unreadable) {
    const std::string text = stripQuotes(value);
    const std::size_t comma = text.find(',');
    const std::string_view all(text);
    const double a = readDocumentNumber(all.substr(0, comma)).value_or(unreadable);
    const double b =
        comma == std::string::npos ? a : readDocumentNumber(all.substr(comma + 1)).value_or(unreadable);
    return {std::min(a, b), std::max(a, b)};
}

float clampVolume(double v) {
    return static_cast<float>(std::clamp(v, 0.0, 1.0));
}
int clampPitch(double p) {
    return static_cast<int>(std::lround(std::clamp(p, 1.0, 400.0)));
}
std::uint32_t clampDelayMs(double seconds) {
    constexpr double MinMs = 100.0;
    constexpr double MaxMs = 24.0 * 3600.0 * 1000.0;
    return static_cast<std::uint32_t>(std::llround(std::clamp(seconds * 1000.0, MinMs, MaxMs)));
}

// The parameters (nodes with data and no children) directly inside a block, by lower-cased key.
template <typename Visit> void forEachParameter(const Node* block, Visit visit) {
    for (const Node* child : block->children())
        if (!child->hasChildren() && child->data())
            visit(comparable(child->text()), child);
}

class Gatherer {
  public:
    Gatherer(std::string_view soundDir, const SoundscapeLookup& lookup)
        : m_soundDir(soundDir), m_lookup(lookup) {}

    SoundscapeMix run(const SectionTree& tree, const Node* soundscape) {
        m_mix.name = soundscapeName(soundscape);
        expand(tree, soundscape, 1.0f);
        return std::move(m_mix);
    }

  private:
    struct Frame {
        const SectionTree* tree;
        const Node* node;
        std::string name;
    };

    void expand(const SectionTree& tree, const Node* soundscape, float scale) {
        if (m_mix.soundscapes.size() >= MaxSoundscapes) {
            tooMany(soundscapeName(soundscape));
            return;
        }
        m_stack.push_back({&tree, soundscape, soundscapeName(soundscape)});
        m_mix.soundscapes.push_back(m_stack.back().name);
        for (const Node* block : soundscape->children()) {
            if (!block->hasChildren())
                continue;
            switch (classifyBlockHeader(std::string(trim(block->text())))) {
            case SoundBlock::PlayLooping:
                addLoop(block, scale);
                break;
            case SoundBlock::PlayRandom:
                addRandom(block, scale);
                break;
            case SoundBlock::PlaySoundscape:
                follow(tree, block, scale);
                break;
            default:
                break;
            }
        }
        m_stack.pop_back();
    }

    const std::string& current() const { return m_stack.back().name; }

    void report(MixProblemKind kind, std::string subject) {
        m_mix.problems.push_back({kind, current(), std::move(subject)});
    }
    void tooMany(const std::string& subject) {
        if (!m_reportedTooMany)
            report(MixProblemKind::TooManySounds, subject);
        m_reportedTooMany = true;
    }

    std::optional<MixWave> wave(const Node* parameter) {
        MixWave w{plainValue(parameter), {}};
        if (w.value.empty())
            return std::nullopt;
        if (std::optional<std::string> found = findWaveFile(m_soundDir, parameter->data()->value)) {
            w.path = std::move(*found);
            return w;
        }
        report(MixProblemKind::MissingWave, w.value);
        return std::nullopt;
    }

    void addLoop(const Node* block, float scale) {
        std::optional<MixWave> found;
        bool named = false;
        double volume = 1.0;
        double pitch = 100.0;
        forEachParameter(block, [&](const std::string& key, const Node* p) {
            if (key == "wave") {
                named = true;
                found = wave(p);
            } else if (key == "volume") {
                volume = readDocumentNumber(plainValue(p)).value_or(0.5);
            } else if (key == "pitch") {
                pitch = readDocumentNumber(plainValue(p)).value_or(100.0);
            }
        });
        if (!named || !found)
            return;
        if (m_mix.loops.size() >= MaxLoops) {
            tooMany(found->value);
            return;
        }
        m_mix.loops.push_back({std::move(*found), clampVolume(volume * scale), clampPitch(pitch), current()});
    }

    void addRandom(const Node* block, float scale) {
        MixRandomBlock r;
        Range time{10.0, 10.0};
        Range volume{1.0, 1.0};
        Range pitch{100.0, 100.0};
        forEachParameter(block, [&](const std::string& key, const Node* p) {
            if (key == "time")
                time = readRange(p->data()->value, 10.0);
            else if (key == "volume")
                volume = readRange(p->data()->value, 0.5);
            else if (key == "pitch")
                pitch = readRange(p->data()->value, 100.0);
        });
        for (const Node* list : block->children()) {
            if (!list->hasChildren() ||
                classifyBlockHeader(std::string(trim(list->text()))) != SoundBlock::RndWave)
                continue;
            forEachParameter(list, [&](const std::string& key, const Node* p) {
                if (key != "wave")
                    return;
                if (std::optional<MixWave> w = wave(p))
                    r.waves.push_back(std::move(*w));
            });
        }
        if (r.waves.empty())
            return;
        if (m_mix.randoms.size() >= MaxRandomBlocks) {
            tooMany(r.waves.front().value);
            return;
        }
        r.delayMinMs = clampDelayMs(time.low);
        r.delayMaxMs = clampDelayMs(time.high);
        r.volumeMin = clampVolume(volume.low * scale);
        r.volumeMax = clampVolume(volume.high * scale);
        r.pitchMin = clampPitch(pitch.low);
        r.pitchMax = clampPitch(pitch.high);
        r.soundscape = current();
        m_mix.randoms.push_back(std::move(r));
    }

    SoundscapeRef resolve(const SectionTree& tree, const std::string& name) const {
        if (const Node* here = findSoundscape(tree, name))
            return {&tree, here};
        if (m_lookup) {
            SoundscapeRef ref = m_lookup(name);
            if (ref.tree && ref.node)
                return ref;
        }
        return {};
    }

    void follow(const SectionTree& tree, const Node* block, float scale) {
        std::string name;
        double volume = 1.0;
        forEachParameter(block, [&](const std::string& key, const Node* p) {
            if (key == "name")
                name = plainValue(p);
            else if (key == "volume")
                volume = readDocumentNumber(plainValue(p)).value_or(0.5);
        });
        if (name.empty()) {
            report(MixProblemKind::MissingName, {});
            return;
        }
        const SoundscapeRef ref = resolve(tree, name);
        if (!ref.node) {
            report(MixProblemKind::SoundscapeNotFound, name);
            return;
        }
        const auto open = std::find_if(m_stack.begin(), m_stack.end(), [&](const Frame& f) {
            return f.tree == ref.tree && f.node == ref.node;
        });
        if (open != m_stack.end()) {
            std::string chain;
            for (auto it = open; it != m_stack.end(); ++it)
                chain += it->name + " -> ";
            report(MixProblemKind::Cycle, chain + soundscapeName(ref.node));
            return;
        }
        if (static_cast<int>(m_stack.size()) >= MaxReferenceDepth) {
            report(MixProblemKind::TooDeep, name);
            return;
        }
        expand(*ref.tree, ref.node, clampVolume(volume * scale));
    }

    std::string_view m_soundDir;
    const SoundscapeLookup& m_lookup;
    SoundscapeMix m_mix;
    std::vector<Frame> m_stack;
    bool m_reportedTooMany = false;
};

} // namespace

std::string soundscapeName(const Node* soundscape) {
    return soundscape ? std::string(trim(stripQuotes(soundscape->text()))) : std::string();
}

const Node* findSoundscape(const SectionTree& tree, std::string_view name) {
    const std::string wanted = comparable(name);
    for (const Node* node : tree.topLevel())
        if (node->hasChildren() && comparable(node->text()) == wanted)
            return node;
    return nullptr;
}

SoundscapeMix gatherSoundscape(const SectionTree& tree, const Node* soundscape, std::string_view soundDir,
                               const SoundscapeLookup& lookup) {
    if (!soundscape)
        return {};
    return Gatherer(soundDir, lookup).run(tree, soundscape);
}

std::string describeProblem(const MixProblem& p) {
    const std::string where = "soundscape \"" + p.soundscape + "\": ";
    switch (p.kind) {
    case MixProblemKind::MissingWave:
        return where + "wave \"" + p.subject + "\" not found; left out";
    case MixProblemKind::UndecodableWave:
        return where + "wave \"" + p.subject + "\" cannot be decoded; left out";
    case MixProblemKind::SoundscapeNotFound:
        return where + "referenced soundscape \"" + p.subject + "\" not found; left out";
    case MixProblemKind::MissingName:
        return where + "playsoundscape without a \"name\"; left out";
    case MixProblemKind::Cycle:
        return where + "references form a cycle (" + p.subject + "); the last reference is not followed";
    case MixProblemKind::TooDeep:
        return where + "references nested deeper than " + std::to_string(MaxReferenceDepth) + "; \"" +
               p.subject + "\" left out";
    case MixProblemKind::TooManySounds:
        return where + "too many sounds; the rest, from \"" + p.subject + "\" on, left out";
    }
    return where + p.subject;
}

} // namespace tonvale
