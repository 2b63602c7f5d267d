// SPDX-License-Identifier: MIT
#pragma once

// A problem found in a project: where it is, how bad it is, what is wrong, and which check found it.
// The project and problems panels list these; `tonvale-format --lint` prints them.

#include "project/ScriptOutline.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tonvale::project {

enum class Severity { Warning, Error };

enum class Check {
    LoadFailure,         // the editor cannot load the script, or its braces do not pair up
    MissingWave,         // a wave file that is not found in the sound folder
    UndefinedSoundscape, // a playsoundscape naming a soundscape that no script defines
    SoundscapeCycle,     // a soundscape that plays itself through playsoundscape references
    DuplicateSoundscape, // one soundscape name defined more than once
    ValueRange,          // a number outside its range, or a range whose first number is the greater
    NotANumber,          // a value that must be a number and is not
    UnknownSoundLevel,   // a soundlevel that names no sound level
    BlockWithoutWave,    // a block that plays nothing: no wave, no rndwave list
    UnknownKey,          // a key that nothing reads in its block
    MissingScript,       // the manifest lists a script that does not exist
    UnlistedScript,      // a script of the scripts folder that the manifest does not list
    UnclosedQuote,       // a quoted text that runs over the end of its line
};

struct CheckInfo {
    Check check;
    std::string_view name; // as the command line and the output name it
    Severity severity;
    std::string_view summary;
};

inline constexpr std::array<CheckInfo, 13> Checks{{
    {Check::LoadFailure, "load-failure", Severity::Error, "a script that does not load"},
    {Check::MissingWave, "missing-wave", Severity::Error, "a wave file that is not found"},
    {Check::UndefinedSoundscape, "undefined-soundscape", Severity::Error,
     "playsoundscape naming a soundscape defined nowhere"},
    {Check::SoundscapeCycle, "soundscape-cycle", Severity::Error, "a soundscape that plays itself"},
    {Check::DuplicateSoundscape, "duplicate-soundscape", Severity::Warning,
     "a soundscape name defined more than once"},
    {Check::ValueRange, "value-range", Severity::Warning, "a value outside its range"},
    {Check::NotANumber, "not-a-number", Severity::Error, "a value that must be a number and is not"},
    {Check::UnknownSoundLevel, "unknown-soundlevel", Severity::Error, "an unknown soundlevel name"},
    {Check::BlockWithoutWave, "block-without-wave", Severity::Error, "a block that names no wave"},
    {Check::UnknownKey, "unknown-key", Severity::Warning, "a key that nothing reads in its block"},
    {Check::MissingScript, "missing-script", Severity::Error, "the manifest lists a missing script"},
    {Check::UnlistedScript, "unlisted-script", Severity::Warning, "a script the manifest does not list"},
    {Check::UnclosedQuote, "unclosed-quote", Severity::Warning, "a quoted text that runs over its line"},
}};

const CheckInfo& checkInfo(Check check);
std::optional<Check> checkByName(std::string_view name);

// Another place a problem concerns, such as the first definition of a duplicate.
struct RelatedPlace {
    std::string file;
    SourcePosition at;
    bool operator==(const RelatedPlace&) const = default;
};

struct Problem {
    std::string file; // the script's path, as the project names it
    SourcePosition at;
    Severity severity = Severity::Error;
    Check check = Check::LoadFailure;
    std::string message;         // UTF-8
    std::string soundscape;      // the soundscape it concerns, as written (script bytes); empty for none
    SourcePosition soundscapeAt; // where that soundscape's name stands
    std::vector<RelatedPlace> related;
};

// A problem of `check` at the given place, with the check's severity.
Problem makeProblem(Check check, std::string file, SourcePosition at, std::string message);

// Orders problems by file, line, column and check, so every run lists them alike.
void sortProblems(std::vector<Problem>& problems);

} // namespace tonvale::project
