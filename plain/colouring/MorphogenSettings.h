#pragma once

#include <string>
#include <vector>

#include "colouring/Rgb.h"

class Messages;

// What the morphogen panel holds and a ".mor" file stores: the mix mode,
// the base colour and, per morphogen, a colour and an on/off toggle. Names
// are not stored in the file: its lines apply to the current morphogens by
// position.
//
//   SIZE 3
//   BASECOL 10 20 30
//   MIXMODE 1
//   MORPHO<tab>255 0 0 0      red, green, blue, toggle; one line per morphogen
class MorphogenSettings {
public:
    enum class Load {
        Loaded,         // the file was read to its end
        Unreadable,     // it could not be opened ("ERROR!!!", the file, why); nothing changed
        Malformed,      // no SIZE line, or a value is missing or out of range; nothing changed
        CountMismatch,  // its count line does not match the names held
    };

    int mix_mode = 0;  // 0 additive, anything else subtractive
    Rgb base_colour;   // black
    std::vector<Rgb> colours;
    std::vector<std::string> names;
    std::vector<int> toggles;  // 1 on, 0 off

    // A fresh list for a newly read mesh: every morphogen off and red;
    // base colour and mix mode stay.
    void reset(const std::vector<std::string>& morphogen_names);

    // Writes the file; false (after one console line) when it cannot be
    // opened or written completely.
    bool write(const std::string& path, Messages& out) const;

    // Reads a file written by write(). The whole file is checked first; a
    // missing or out-of-range value, or a file without a SIZE line, rejects
    // it with one line naming the file and line. Settings are then applied in file order; a count line that
    // differs from the number of names stops there (settings before it stay)
    // with one line giving both counts. Lines beyond the count are ignored.
    Load read(const std::string& path, Messages& out);
    // read() on a file's text; `path` names it in the messages.
    Load read_text(const std::string& text, const std::string& path, Messages& out);
};
