// SPDX-License-Identifier: MIT
#include "project/ProjectChecks.h"

#include "document/Cp1251.h"

#include <algorithm>
#include <deque>
#include <unordered_map>

namespace tonvale::project {

namespace {

std::string quoted(std::string_view bytes) {
    return '"' + cp1251ToUtf8(bytes) + '"';
}

std::string placeText(const std::string& file, SourcePosition at) {
    return file + ':' + std::to_string(at.line);
}

void manifestProblems(const Project& project, std::vector<Problem>& out) {
    for (const Manifest& manifest : project.manifests) {
        out.insert(out.end(), manifest.problems.begin(), manifest.problems.end());
        for (const ManifestEntry& entry : manifest.entries) {
            if (!entry.present)
                out.push_back(
                    makeProblem(Check::MissingScript, manifest.path, entry.at,
                                "the manifest lists " + quoted(entry.value) + ", which does not exist"));
        }
    }
    for (const ProjectScript& script : project.scripts) {
        if (script.present && script.besideManifest && !script.listed)
            out.push_back(makeProblem(Check::UnlistedScript, script.path, {1, 1},
                                      "the manifest beside this script does not list it"));
    }
}

Problem soundscapeProblem(Check check, const std::string& file, SourcePosition at, std::string message,
                          const std::string& soundscape, SourcePosition soundscapeAt) {
    Problem problem = makeProblem(check, file, at, std::move(message));
    problem.soundscape = soundscape;
    problem.soundscapeAt = soundscapeAt;
    return problem;
}

void duplicateProblems(const ProjectIndex& index, std::vector<Problem>& out) {
    std::unordered_map<std::string, std::vector<ProjectPlace>> seen;
    for (const ScriptIndex& script : index.scripts()) {
        for (const SoundscapeDefinition& definition : script.soundscapes) {
            auto& places = seen[foldName(definition.name)];
            if (places.empty())
                places = index.definitions(definition.name);
        }
    }
    for (const auto& [name, places] : seen) {
        if (places.size() < 2)
            continue;
        for (const ProjectPlace& place : places) {
            std::string others;
            Problem problem = soundscapeProblem(Check::DuplicateSoundscape, place.file, place.at, {},
                                                place.soundscape, place.soundscapeAt);
            for (const ProjectPlace& other : places) {
                if (&other == &place)
                    continue;
                others += (others.empty() ? "" : ", ") + placeText(other.file, other.at);
                problem.related.push_back({other.file, other.at});
            }
            problem.message = "soundscape " + quoted(place.soundscape) + " is also defined at " + others;
            out.push_back(std::move(problem));
        }
    }
}

void undefinedProblems(const ProjectIndex& index, std::vector<Problem>& out) {
    for (const ScriptIndex& script : index.scripts()) {
        for (const SoundscapeReference& reference : script.references) {
            if (!index.isDefined(reference.target))
                out.push_back(soundscapeProblem(Check::UndefinedSoundscape, script.path, reference.at,
                                                "playsoundscape names " + quoted(reference.target) +
                                                    ", which no script of the project defines",
                                                reference.soundscape, reference.soundscapeAt));
        }
    }
}

// The graph of soundscapes by folded name, an edge for every playsoundscape of a defined soundscape.
class PlayGraph {
  public:
    explicit PlayGraph(const ProjectIndex& index) {
        for (const ScriptIndex& script : index.scripts()) {
            for (const SoundscapeDefinition& definition : script.soundscapes)
                node(definition.name);
        }
        for (const ScriptIndex& script : index.scripts()) {
            for (const SoundscapeReference& reference : script.references) {
                const auto to = m_ids.find(foldName(reference.target));
                if (to != m_ids.end())
                    m_edges[node(reference.soundscape)].push_back(to->second);
            }
        }
        findComponents();
    }

    // The chain from `from` through `to` back to `from`, or empty when that edge is on no cycle.
    std::vector<std::size_t> cycleThrough(std::string_view from, std::string_view to) const {
        const std::size_t a = m_ids.at(foldName(from));
        const std::size_t b = m_ids.at(foldName(to));
        if (m_component[a] != m_component[b])
            return {};
        std::vector<std::size_t> previous(m_names.size(), Unset);
        std::deque<std::size_t> queue{b};
        previous[b] = b;
        while (!queue.empty() && previous[a] == Unset) {
            const std::size_t at = queue.front();
            queue.pop_front();
            for (const std::size_t next : m_edges[at]) {
                if (previous[next] == Unset && m_component[next] == m_component[a]) {
                    previous[next] = at;
                    queue.push_back(next);
                }
            }
        }
        std::vector<std::size_t> chain{a};
        for (std::size_t at = a; at != b; at = previous[at])
            chain.push_back(previous[at]);
        chain.push_back(a);
        std::reverse(chain.begin() + 1, chain.end() - 1);
        return chain;
    }

    const std::string& name(std::size_t id) const { return m_names[id]; }

  private:
    static constexpr std::size_t Unset = static_cast<std::size_t>(-1);

    std::size_t node(const std::string& name) {
        const auto [it, added] = m_ids.emplace(foldName(name), m_names.size());
        if (added) {
            m_names.push_back(name);
            m_edges.emplace_back();
        }
        return it->second;
    }

    // Strongly connected components (Tarjan's algorithm with an explicit stack).
    void findComponents() {
        const std::size_t count = m_names.size();
        std::vector<std::size_t> order(count, Unset), low(count, 0), stack;
        std::vector<bool> onStack(count, false);
        m_component.assign(count, Unset);
        std::size_t counter = 0;
        std::size_t components = 0;
        struct Frame {
            std::size_t node;
            std::size_t edge;
        };
        for (std::size_t start = 0; start < count; ++start) {
            if (order[start] != Unset)
                continue;
            std::vector<Frame> frames{{start, 0}};
            order[start] = low[start] = counter++;
            stack.push_back(start);
            onStack[start] = true;
            while (!frames.empty()) {
                Frame& frame = frames.back();
                const std::size_t v = frame.node;
                if (frame.edge < m_edges[v].size()) {
                    const std::size_t w = m_edges[v][frame.edge++];
                    if (order[w] == Unset) {
                        order[w] = low[w] = counter++;
                        stack.push_back(w);
                        onStack[w] = true;
                        frames.push_back({w, 0});
                    } else if (onStack[w]) {
                        low[v] = std::min(low[v], order[w]);
                    }
                    continue;
                }
                if (low[v] == order[v]) {
                    std::size_t w = Unset;
                    do {
                        w = stack.back();
                        stack.pop_back();
                        onStack[w] = false;
                        m_component[w] = components;
                    } while (w != v);
                    ++components;
                }
                frames.pop_back();
                if (!frames.empty())
                    low[frames.back().node] = std::min(low[frames.back().node], low[v]);
            }
        }
    }

    std::unordered_map<std::string, std::size_t> m_ids;
    std::vector<std::string> m_names; // as first written
    std::vector<std::vector<std::size_t>> m_edges;
    std::vector<std::size_t> m_component;
};

void cycleProblems(const ProjectIndex& index, std::vector<Problem>& out) {
    const PlayGraph graph(index);
    for (const ScriptIndex& script : index.scripts()) {
        for (const SoundscapeReference& reference : script.references) {
            if (!index.isDefined(reference.target))
                continue;
            const std::vector<std::size_t> chain = graph.cycleThrough(reference.soundscape, reference.target);
            if (chain.empty())
                continue;
            std::string text;
            for (const std::size_t id : chain)
                text += (text.empty() ? "" : " -> ") + cp1251ToUtf8(graph.name(id));
            out.push_back(
                soundscapeProblem(Check::SoundscapeCycle, script.path, reference.at,
                                  "soundscape " + quoted(reference.soundscape) + " plays itself: " + text,
                                  reference.soundscape, reference.soundscapeAt));
        }
    }
}

} // namespace

std::vector<Problem> checkProject(const Project& project, const ProjectIndex& index,
                                  const CheckOptions& options) {
    std::vector<Problem> problems;
    manifestProblems(project, problems);
    for (const ScriptIndex& script : index.scripts())
        problems.insert(problems.end(), script.problems.begin(), script.problems.end());
    if (options.enabled(Check::DuplicateSoundscape))
        duplicateProblems(index, problems);
    if (options.enabled(Check::UndefinedSoundscape))
        undefinedProblems(index, problems);
    if (options.enabled(Check::SoundscapeCycle))
        cycleProblems(index, problems);
    std::erase_if(problems, [&options](const Problem& problem) { return !options.enabled(problem.check); });
    sortProblems(problems);
    return problems;
}

std::vector<Problem> problemsOfFile(const std::vector<Problem>& problems, std::string_view file) {
    std::vector<Problem> out;
    std::copy_if(problems.begin(), problems.end(), std::back_inserter(out),
                 [file](const Problem& problem) { return problem.file == file; });
    return out;
}

ProblemCounts countProblems(const std::vector<Problem>& problems) {
    ProblemCounts counts;
    for (const Problem& problem : problems)
        (problem.severity == Severity::Error ? counts.errors : counts.warnings)++;
    return counts;
}

} // namespace tonvale::project
