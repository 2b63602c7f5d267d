// SPDX-License-Identifier: MIT
#include "project/ScriptIndex.h"

#include "document/Cp1251.h"
#include "document/FileIO.h"
#include "document/SoundPaths.h"
#include "project/LoadCheck.h"
#include "project/ValueRules.h"

namespace tonvale::project {

namespace {

std::string quoted(std::string_view bytes) {
    return '"' + cp1251ToUtf8(bytes) + '"';
}

// One pass over a script's outline: soundscapes, their blocks and keys.
class Indexer {
  public:
    Indexer(ScriptIndex& index, const ScriptOutline& outline, WaveLookup* waves)
        : m_index(index), m_elements(outline.elements), m_waves(waves), m_opened(outline.elements.size()) {}

    void run() {
        for (std::size_t i = 0; i < m_elements.size(); i = m_elements[i].end) {
            const OutlineElement& top = m_elements[i];
            if (!top.block || top.key.empty())
                continue; // a stray key or an anonymous block defines nothing
            m_soundscape = &top;
            // A manifest's block lists files; whatever its file is called, it defines no soundscape.
            const bool manifest = sameKey(top.key, "soundscapes_manifest");
            if (!manifest)
                m_index.soundscapes.push_back({top.key, top.keyAt});
            m_opened[i] = manifest ? ScriptBlock::Manifest : ScriptBlock::Soundscape;
            for (std::size_t e = i + 1; e < top.end; ++e)
                visit(e);
        }
    }

  private:
    void add(Check check, SourcePosition at, std::string message) {
        Problem problem = makeProblem(check, m_index.path, at, std::move(message));
        problem.soundscape = m_soundscape->key;
        problem.soundscapeAt = m_soundscape->keyAt;
        m_index.problems.push_back(std::move(problem));
    }

    SourcePosition valuePlace(const OutlineElement& element) const {
        return element.hasValue ? element.valueAt : element.keyAt;
    }

    void visit(std::size_t i) {
        const OutlineElement& element = m_elements[i];
        const ScriptBlock where = m_opened[static_cast<std::size_t>(element.parent)];
        m_opened[i] = ScriptBlock::Unknown;
        if (sameKey(element.key, "wave"))
            wave(element, where);
        if (where == ScriptBlock::Unknown || element.key.starts_with('$'))
            return; // inside a block already reported, or a variable
        const ScriptKey* row = findScriptKey(where, element.key);
        if (row == nullptr) {
            const std::string in = " in " + std::string(blockKeyword(where));
            add(Check::UnknownKey, element.keyAt,
                element.key.empty() ? "a block without a key" + in
                                    : "unknown key " + quoted(element.key) + in);
            return;
        }
        if (row->value == KeyValue::Block) {
            m_opened[i] = row->opens;
            finishBlock(i, row->opens);
            return;
        }
        if (element.block) {
            add(Check::UnknownKey, element.keyAt,
                quoted(element.key) + " holds a block where a value belongs");
            return;
        }
        if (row->value == KeyValue::Soundscape)
            reference(element);
        else if (std::optional<ValueFinding> finding = checkValue(row->value, element.key, element.value))
            add(finding->check, valuePlace(element), std::move(finding->message));
    }

    void wave(const OutlineElement& element, ScriptBlock where) {
        if (element.value.empty()) {
            add(Check::MissingWave, valuePlace(element), "\"wave\" names no file");
            return;
        }
        WaveReference reference{element.value,       element.valueAt, m_soundscape->key,
                                m_soundscape->keyAt, where,           std::nullopt};
        if (m_waves != nullptr) {
            reference.found = m_waves->exists(element.value);
            if (!*reference.found)
                add(Check::MissingWave, element.valueAt,
                    "wave file " + quoted(element.value) + " is not found in the sound folder");
        }
        m_index.waves.push_back(std::move(reference));
    }

    void reference(const OutlineElement& element) {
        if (element.value.empty()) {
            add(Check::UndefinedSoundscape, valuePlace(element), "playsoundscape names no soundscape");
            return;
        }
        m_index.references.push_back(
            {element.value, element.valueAt, m_soundscape->key, m_soundscape->keyAt});
    }

    // A block that plays nothing: checked once its direct children are known.
    void finishBlock(std::size_t i, ScriptBlock block) {
        const OutlineElement& element = m_elements[i];
        std::string_view needed;
        switch (block) {
        case ScriptBlock::PlayLooping:
        case ScriptBlock::RndWave:
            needed = "wave";
            break;
        case ScriptBlock::PlayRandom:
            needed = "rndwave";
            break;
        case ScriptBlock::PlaySoundscape:
            needed = "name";
            break;
        default:
            return;
        }
        for (std::size_t c = i + 1; c < element.end; c = m_elements[c].end) {
            if (sameKey(m_elements[c].key, needed))
                return;
        }
        const std::string keyword(blockKeyword(block));
        if (block == ScriptBlock::PlaySoundscape)
            add(Check::UndefinedSoundscape, element.keyAt, "playsoundscape names no soundscape");
        else if (block == ScriptBlock::PlayRandom)
            add(Check::BlockWithoutWave, element.keyAt, "playrandom has no rndwave list");
        else
            add(Check::BlockWithoutWave, element.keyAt, keyword + " has no \"wave\"");
    }

    ScriptIndex& m_index;
    const std::vector<OutlineElement>& m_elements;
    WaveLookup* m_waves;
    std::vector<ScriptBlock> m_opened; // the block each element opens
    const OutlineElement* m_soundscape = nullptr;
};

} // namespace

bool WaveLookup::exists(std::string_view storedValue) {
    const auto known = m_known.find(std::string(storedValue));
    if (known != m_known.end())
        return known->second;
    const bool found = findWaveFile(m_folder, storedValue).has_value();
    m_known.emplace(std::string(storedValue), found);
    return found;
}

ScriptIndex indexScript(const std::string& path, std::string_view bytes, WaveLookup* waves) {
    ScriptIndex index;
    index.path = path;
    const ScriptOutline outline = readOutline(bytes);
    index.lineCount = outline.lineCount;
    if (std::optional<Problem> problem = loadProblem(path, bytes, outline))
        index.problems.push_back(std::move(*problem));
    for (const QuoteFault& fault : outline.quoteFaults) {
        const std::string message =
            fault.closingLine == 0
                ? "this quoted text is never closed: a game reads it to the end of the file"
                : "this quoted text runs on to line " + std::to_string(fault.closingLine) +
                      ", where its closing quote stands";
        index.problems.push_back(makeProblem(Check::UnclosedQuote, path, fault.at, message));
    }
    Indexer(index, outline, waves).run();
    sortProblems(index.problems);
    return index;
}

ScriptIndex indexScriptFile(const std::string& path, WaveLookup* waves) {
    std::string bytes;
    std::string error;
    if (!readWholeFile(path, bytes, error)) {
        ScriptIndex index;
        index.path = path;
        index.problems.push_back(
            makeProblem(Check::LoadFailure, path, {1, 1}, "cannot read the file: " + error));
        return index;
    }
    return indexScript(path, bytes, waves);
}

} // namespace tonvale::project
